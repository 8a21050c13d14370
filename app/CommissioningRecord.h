#pragma once
// Production's record of every configured unit, for labels and traceability: one CSV row per
// configuration summary, appended and closed at once so that it survives a crash of the host.
#include <string>

namespace daxohost {

struct CommissioningRow {
    std::string time;       // "2024-05-01 12:00:01", local time
    std::string serial;     // the serial text of the unit, as stored
    std::string typeCode;   // trimmed
    int address = 0;
    int baud = 0;
    int parity = 0;         // 0 none, 1 odd, anything else even
    std::string result;
};

class CCommissioningRecord {
public:
    explicit CCommissioningRecord(std::string path) : m_path(std::move(path)) {}

    const std::string& Path() const { return m_path; }
    // Appends the row (after the header when the file is new or empty). False when the file
    // cannot be written.
    bool Append(const CommissioningRow& row) const;
    // Whether rows can be appended as far as can be told before the first: false, with the
    // reason, for a folder, a read-only file or a file in a folder that does not exist.
    bool CanAppend(std::string* reason) const;

    // The unit connected at the bench now, with the settings it holds; false when none is.
    static bool RowFromBench(const std::string& result, CommissioningRow* row);
    static std::string Header();
    static std::string FormatRow(const CommissioningRow& row);
    static std::string ParityWord(int parity);

private:
    std::string m_path;
};

} // namespace daxohost
