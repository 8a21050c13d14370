#include "CommissioningRecord.h"
#include "TextCodec.h"
#include "UnitContract.h"
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

} // namespace

HANDLE CCommissioningRecord::Open(DWORD access, DWORD disposition, DWORD flags) const
{
    return ::CreateFileA(m_path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         disposition, flags, nullptr);
}

bool CCommissioningRecord::Write(HANDLE file, const char* data, DWORD size, DWORD* written) const
{
    return ::WriteFile(file, data, size, written, nullptr) != 0;
}

bool CCommissioningRecord::WriteAll(HANDLE file, const std::string& text) const
{
    DWORD written = 0;
    return Write(file, text.data(), static_cast<DWORD>(text.size()), &written) && written == text.size();
}

std::string CCommissioningRecord::Header()
{
    return "time,serial,type,address,baud,parity,result,detail";
}

// A code the unit does not know is written as it is, never as a parity it is not.
std::string CCommissioningRecord::ParityWord(int parity)
{
    switch (parity) {
    case kParityNone: return "none";
    case kParityOdd: return "odd";
    case kParityEven: return "even";
    default: return "code " + std::to_string(parity);
    }
}

std::string CCommissioningRecord::RateWord(int baudCode)
{
    for (const BaudRate& rate : kBaudRates)
        if (rate.code == baudCode)
            return rate.text;
    return "code " + std::to_string(baudCode);
}

std::string CCommissioningRecord::FormatRow(const std::string& time, const UnitPass& pass)
{
    std::string settings = ",,";
    if (pass.written)
        settings = std::to_string(pass.address) + "," + RateWord(pass.baudCode) + "," + ParityWord(pass.parity);
    return CsvField(time) + "," + CsvField(ModuleTextToUtf8(pass.serial)) + "," + CsvField(ModuleTextToUtf8(pass.typeCode)) + "," +
           settings + "," + ResultWord(pass.result) + "," + CsvField(ModuleTextToUtf8(pass.detail));
}

bool CCommissioningRecord::CanAppend(std::string* reason) const
{
    const DWORD attributes = ::GetFileAttributesA(m_path.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *reason = "it is a folder";
        return false;
    }
    // Said by the attribute too: an administrator's open would pass over it.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) {
        *reason = "it is read-only";
        return false;
    }
    const size_t slash = m_path.find_last_of("\\/");
    if (!exists && slash != std::string::npos) {
        const std::string folder = m_path.substr(0, slash + 1);
        const DWORD folderAttributes = ::GetFileAttributesA(folder.c_str());
        if (folderAttributes == INVALID_FILE_ATTRIBUTES || !(folderAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            *reason = "the folder " + folder + " does not exist";
            return false;
        }
    }
    // Opened as every row will be, so that a read-only file, mount or flag refuses the record
    // now and not at the first unit; a file made only for the check goes again at once.
    HANDLE file = Open(FILE_APPEND_DATA | (exists ? 0 : DELETE), exists ? OPEN_EXISTING : CREATE_NEW,
                       exists ? FILE_ATTRIBUTE_NORMAL : FILE_FLAG_DELETE_ON_CLOSE);
    if (file == INVALID_HANDLE_VALUE) {
        // Another program that has the file open now may well let go before the first row;
        // if not, that row's loss fails the run.
        const DWORD error = ::GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
            return true;
        *reason = "it cannot be opened for appending (error " + std::to_string(error) + ")";
        return false;
    }
    ::CloseHandle(file);
    return true;
}

bool CCommissioningRecord::Append(const UnitPass& pass) const
{
    HANDLE file = Open(FILE_APPEND_DATA, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    bool ok = ::GetFileSizeEx(file, &size) != 0;
    // One write for the whole: a crash never leaves a header without its row.
    const std::string header = ok && size.QuadPart == 0 ? Header() + "\r\n" : std::string();
    const std::string text = header + FormatRow(Now(), pass) + "\r\n";
    const bool written = ok && WriteAll(file, text) && ::FlushFileBuffers(file);
    ::CloseHandle(file);
    if (ok && !written) {
        // A row is whole or not there: what a full disk let through is cut off again.
        HANDLE again = Open(GENERIC_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
        if (again != INVALID_HANDLE_VALUE) {
            if (::SetFilePointerEx(again, size, nullptr, FILE_BEGIN))
                ::SetEndOfFile(again);
            ::CloseHandle(again);
        }
    }
    return written;
}

} // namespace daxohost
