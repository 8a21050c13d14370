#include "SystemText.h"
#include <windows.h>
#include <string>

namespace daxohost {

namespace {

std::wstring WideFromAnsi(const std::string& text)
{
    if (text.empty())
        return {};
    int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string Utf8FromWide(const wchar_t* text, int length)
{
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string utf8(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, length, &utf8[0], size, nullptr, nullptr);
    return utf8;
}

// A message may name more inserts than we have values for: each slot gets the one value,
// so that FormatMessage never reads past the array.
const int kInsertSlots = 99;

} // namespace

std::string SystemErrorText(DWORD error, const std::string& insert)
{
    const std::wstring value = WideFromAnsi(insert);
    DWORD_PTR inserts[kInsertSlots];
    for (DWORD_PTR& slot : inserts)
        slot = reinterpret_cast<DWORD_PTR>(value.c_str());
    wchar_t* text = nullptr;
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                        FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                    nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0,
                                    reinterpret_cast<va_list*>(inserts));
    std::string message = length && text ? Utf8FromWide(text, static_cast<int>(length)) : std::string();
    if (text)
        ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.' ||
                                message.back() == ' '))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(error) : message;
}

} // namespace daxohost
