#include "TextCodec.h"
#include "HostTexts.h"
#include <windows.h>
#include <string>

namespace daxohost {

namespace {

std::wstring Widen(const std::string& text, UINT codePage, DWORD flags, bool* valid)
{
    *valid = true;
    if (text.empty())
        return {};
    int length = ::MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) {
        *valid = false;
        return {};
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string Narrow(const std::wstring& wide, UINT codePage)
{
    if (wide.empty())
        return {};
    int length =
        ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &text[0], length, nullptr,
                          nullptr);
    return text;
}

} // namespace

bool Utf8ToModuleText(const std::string& utf8, std::string* text)
{
    bool valid = false;
    std::wstring wide = Widen(utf8, CP_UTF8, MB_ERR_INVALID_CHARS, &valid);
    if (!valid)
        return false;
    *text = Narrow(wide, kModuleCodePage);
    return true;
}

std::string ModuleTextToUtf8(const std::string& text)
{
    bool valid = false;
    return Narrow(Widen(text, kModuleCodePage, 0, &valid), CP_UTF8);
}

std::string AnsiToUtf8(const std::string& ansi)
{
    bool valid = false;
    return Narrow(Widen(ansi, CP_ACP, 0, &valid), CP_UTF8);
}

std::string Utf8ToAnsi(const std::string& utf8)
{
    bool valid = false;
    return Narrow(Widen(utf8, CP_UTF8, 0, &valid), CP_ACP);
}

std::wstring WideFrom(const std::string& text, unsigned codePage)
{
    bool valid = false;
    return Widen(text, codePage, 0, &valid);
}

std::string NarrowFrom(const std::wstring& wide, unsigned codePage)
{
    return Narrow(wide, codePage);
}

std::string CodePageNotice()
{
    const UINT machine = ::GetACP();
    if (machine == kModuleCodePage)
        return {};
    return FillByKind(EnglishHostText(hosttext::CodePageNotice), {}, {std::to_string(machine)});
}

} // namespace daxohost
