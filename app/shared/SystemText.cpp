#include "SystemText.h"
#include "TextCodec.h"
#include <windows.h>
#include <string>

namespace daxohost {

namespace {

// A message may name more inserts than we have values for: each slot gets the one value,
// so that FormatMessage never reads past the array.
const int kInsertSlots = 99;

} // namespace

std::string SystemErrorText(DWORD error, const std::string& insert)
{
    const std::wstring value = WideFrom(insert, CP_ACP);
    DWORD_PTR inserts[kInsertSlots];
    for (DWORD_PTR& slot : inserts)
        slot = reinterpret_cast<DWORD_PTR>(value.c_str());
    wchar_t* text = nullptr;
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                        FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                    nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0,
                                    reinterpret_cast<va_list*>(inserts));
    std::string message = length && text ? NarrowFrom(std::wstring(text, length), CP_UTF8) : std::string();
    if (text)
        ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.' ||
                                message.back() == ' '))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(error) : message;
}

} // namespace daxohost
