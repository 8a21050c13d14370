#include "SystemMessage.h"
#include <windows.h>

namespace daxohost {

namespace {
// A message may name more inserts than it is about: each gets the file, none reads past the array.
constexpr int kInserts = 9;

std::wstring Wide(const std::string& ansi)
{
    int length = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(length > 0 ? length : 0, L'\0');
    if (length > 0)
        ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], length);
    return wide;
}

std::string Utf8(const wchar_t* text, int length)
{
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text, length, &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}
} // namespace

std::string SystemMessage(unsigned long error, const std::string& file)
{
    const std::wstring name = Wide(file);
    DWORD_PTR inserts[kInserts];
    for (DWORD_PTR& insert : inserts)
        insert = reinterpret_cast<DWORD_PTR>(name.c_str());
    wchar_t* text = nullptr;
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                        FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                    nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0,
                                    reinterpret_cast<va_list*>(inserts));
    std::string message = length && text ? Utf8(text, static_cast<int>(length)) : std::string();
    if (text)
        ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.' ||
                                message.back() == ' '))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(error) : message;
}

} // namespace daxohost
