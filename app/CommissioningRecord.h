#pragma once
// Production's record of every unit that a configuration reached, for labels and
// traceability: one CSV row per pass, appended and flushed at once so that it survives a
// crash of the host.
#include "UnitPass.h"
#include <string>

namespace daxohost {

class CCommissioningRecord {
public:
    explicit CCommissioningRecord(std::string path) : m_path(std::move(path)) {}

    const std::string& Path() const { return m_path; }
    // Appends the pass's row (after the header when the file is new or empty). False when the
    // file cannot be written.
    bool Append(const UnitPass& pass) const;
    // Whether rows can be appended as far as can be told before the first: false, with the
    // reason, for a folder, a read-only file or a file in a folder that does not exist.
    bool CanAppend(std::string* reason) const;

    static std::string Header();
    // `time` as "2024-05-01 12:00:01", local time.
    static std::string FormatRow(const std::string& time, const UnitPass& pass);
    static std::string ParityWord(int parity);
    static std::string RateWord(int baudCode);

private:
    std::string m_path;
};

} // namespace daxohost
