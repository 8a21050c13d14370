#pragma once
// Production's record of every unit that a configuration reached, for labels and
// traceability: one CSV row per pass, appended and flushed at once so that it survives a
// crash of the host.
#include "UnitPass.h"
#include <windows.h>
#include <string>

namespace daxohost {

class CCommissioningRecord {
public:
    explicit CCommissioningRecord(std::string path) : m_path(std::move(path)) {}
    virtual ~CCommissioningRecord() = default;
    CCommissioningRecord(const CCommissioningRecord&) = default;
    CCommissioningRecord& operator=(const CCommissioningRecord&) = default;

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

protected:
    // The file system's two calls, which a test replaces to fail as a sick disk or share does.
    virtual HANDLE Open(DWORD access, DWORD disposition, DWORD flags) const;
    virtual bool Write(HANDLE file, const char* data, DWORD size, DWORD* written) const;

private:
    bool WriteAll(HANDLE file, const std::string& text) const;

    std::string m_path;
};

} // namespace daxohost
