#include "XmlText.h"
#include "LanguageFile.h"
#include <windows.h>
#include <cstring>
#include <iterator>

namespace xmlinput {

void AppendUtf8(std::string* out, unsigned long c)
{
    if (c < 0x80) {
        *out += static_cast<char>(c);
        return;
    }
    int length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    static const unsigned char lead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    *out += static_cast<char>(lead[length] | (c >> (6 * (length - 1))));
    for (int i = length - 2; i >= 0; --i)
        *out += static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F));
}

bool ToUtf8(std::string* bytes)
{
    const std::string& in = *bytes;
    if (in.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        bytes->erase(0, 3);
        return false;
    }
    bool little = in.compare(0, 2, "\xFF\xFE") == 0 || in.compare(0, 2, std::string("<\0", 2)) == 0;
    bool big = in.compare(0, 2, "\xFE\xFF") == 0 || in.compare(0, 2, std::string("\0<", 2)) == 0;
    if (!little && !big)
        return false;
    auto unit = [&](size_t at) {
        return static_cast<unsigned long>(static_cast<unsigned char>(in[at + (little ? 0 : 1)]) |
                                          static_cast<unsigned char>(in[at + (little ? 1 : 0)]) << 8);
    };
    std::string out;
    out.reserve(in.size() + in.size() / 2);
    size_t at = in[0] == '<' || in[1] == '<' ? 0 : 2;
    for (; at + 1 < in.size(); at += 2) {
        unsigned long c = unit(at);
        if (c >= 0xD800 && c < 0xDC00 && at + 3 < in.size() && unit(at + 2) >= 0xDC00 && unit(at + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(at + 2) - 0xDC00);
            at += 2;
        } else if (c >= 0xD800 && c < 0xE000) {
            out += '\xFF';
            continue;
        }
        AppendUtf8(&out, c);
    }
    if (at < in.size())
        out += '\xFF';
    bytes->swap(out);
    return true;
}

unsigned long Decode(const std::string& text, size_t at, size_t* length)
{
    *length = 1;
    if (at >= text.size())
        return kEnd;
    unsigned long c = static_cast<unsigned char>(text[at]);
    if (c < 0x80)
        return c;
    size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (n == 0 || c > 0xF4 || at + n > text.size())
        return kBad;
    c &= 0xFFu >> (n + 1);
    for (size_t i = 1; i < n; ++i) {
        unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return kBad;
        c = c << 6 | (next & 0x3F);
    }
    static const unsigned long kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kLeast[n] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
        return kBad;
    *length = n;
    return c;
}

bool IsChar(unsigned long c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

bool IsNameStart(unsigned long c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || (c >= 0xC0 && c <= 0xD6) ||
           (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
           (c >= 0x37F && c <= 0x1FFF) || c == 0x200C || c == 0x200D || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
           (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(unsigned long c)
{
    return IsNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || c == 0x203F || c == 0x2040;
}

bool SameIgnoringCase(const std::string& a, const char* b)
{
    return a.size() == std::strlen(b) &&
           ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b,
                            static_cast<int>(a.size())) == CSTR_EQUAL;
}

std::string Shown(const std::string& text, size_t at, size_t length)
{
    std::wstring wide(length, L' ');
    int count = ::MultiByteToWideChar(CP_UTF8, 0, text.data() + at, static_cast<int>(length), &wide[0],
                                      static_cast<int>(length));
    std::string shown(2 * length, ' ');
    count = ::WideCharToMultiByte(CLanguageFile::kCodePage, 0, wide.data(), count, &shown[0], static_cast<int>(shown.size()), nullptr, nullptr);
    shown.resize(count > 0 ? static_cast<size_t>(count) : 0);
    return shown;
}

} // namespace xmlinput
