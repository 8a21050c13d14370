#include "CommissioningRecord.h"
#include "SimBench.h"
#include "TextCodec.h"
#include <windows.h>
#include <cstdio>
#include <cstring>

namespace daxohost {

namespace {

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string Now()
{
    SYSTEMTIME time;
    ::GetLocalTime(&time);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute, time.wSecond);
    return text;
}

bool WriteAll(HANDLE file, const std::string& text)
{
    DWORD written = 0;
    return ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

} // namespace

std::string CCommissioningRecord::Header()
{
    return "time,serial,type,address,baud,parity,result";
}

std::string CCommissioningRecord::ParityWord(int parity)
{
    return parity == 0 ? "none" : parity == 1 ? "odd" : "even";
}

std::string CCommissioningRecord::FormatRow(const CommissioningRow& row)
{
    return CsvField(row.time) + "," + CsvField(AnsiToUtf8(row.serial)) + "," + CsvField(AnsiToUtf8(row.typeCode)) +
           "," + std::to_string(row.address) + "," + std::to_string(row.baud) + "," + ParityWord(row.parity) + "," +
           CsvField(row.result);
}

bool CCommissioningRecord::RowFromBench(const std::string& result, CommissioningRow* row)
{
    CSimBench& bench = CSimBench::Instance();
    SimUnitInfo unit{};
    if (!bench.GetUnit(bench.ConnectedIndex(), &unit))
        return false;
    row->time = Now();
    row->serial.assign(unit.serial, ::strnlen(unit.serial, sizeof unit.serial - 1));
    std::string type(unit.typeCode, ::strnlen(unit.typeCode, sizeof unit.typeCode - 1));
    size_t end = type.find_last_not_of(' ');
    row->typeCode = end == std::string::npos ? std::string() : type.substr(0, end + 1);
    row->address = unit.address;
    row->baud = unit.baud;
    row->parity = unit.parity;
    row->result = result;
    return true;
}

bool CCommissioningRecord::CanAppend(std::string* reason) const
{
    const DWORD attributes = ::GetFileAttributesA(m_path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            *reason = "it is a folder";
        else if (attributes & FILE_ATTRIBUTE_READONLY)
            *reason = "it is read-only";
        return !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
    }
    const size_t slash = m_path.find_last_of("\\/");
    if (slash == std::string::npos)
        return true;   // a new file in the current folder
    const std::string folder = m_path.substr(0, slash + 1);
    const DWORD folderAttributes = ::GetFileAttributesA(folder.c_str());
    if (folderAttributes != INVALID_FILE_ATTRIBUTES && (folderAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    *reason = "the folder " + folder + " does not exist";
    return false;
}

bool CCommissioningRecord::Append(const CommissioningRow& row) const
{
    HANDLE file = ::CreateFileA(m_path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    bool ok = ::GetFileSizeEx(file, &size) != 0;
    if (ok && size.QuadPart == 0)
        ok = WriteAll(file, Header() + "\r\n");
    ok = ok && WriteAll(file, FormatRow(row) + "\r\n") && ::FlushFileBuffers(file);
    ::CloseHandle(file);
    return ok;
}

} // namespace daxohost
