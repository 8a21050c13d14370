#include "BenchLayout.h"
#include <windows.h>
#include <algorithm>
#include <cstdio>

namespace {

const char32_t kReplacement = 0xFFFD;
const char32_t kControlZ = 0x1A;   // the INI functions take it for a blank, as old editors ended files with it

bool IsBlank(char32_t c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == kControlZ; }

char32_t Utf16Unit(const std::string& bytes, size_t at, bool bigEndian)
{
    const unsigned char first = static_cast<unsigned char>(bytes[at]), second = static_cast<unsigned char>(bytes[at + 1]);
    return bigEndian ? (char32_t(first) << 8 | second) : (char32_t(second) << 8 | first);
}

std::u32string DecodeUtf16(const std::string& bytes, size_t from, bool bigEndian)
{
    std::u32string text;
    for (size_t at = from; at + 1 < bytes.size(); at += 2) {   // an odd last byte is no character
        char32_t unit = Utf16Unit(bytes, at, bigEndian);
        if (unit >= 0xD800 && unit < 0xDC00 && at + 3 < bytes.size()) {
            const char32_t low = Utf16Unit(bytes, at + 2, bigEndian);
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                at += 2;
            }
        }
        text += unit;
    }
    return text;
}

// A malformed sequence is one replacement character a byte, as the conversion of the INI
// functions makes it.
std::u32string DecodeUtf8(const std::string& bytes, size_t from)
{
    std::u32string text;
    for (size_t at = from; at < bytes.size();) {
        const unsigned char lead = static_cast<unsigned char>(bytes[at]);
        const size_t length = lead < 0x80 ? 1 : (lead >= 0xC2 && lead <= 0xDF) ? 2 : (lead >= 0xE0 && lead <= 0xEF) ? 3
                            : (lead >= 0xF0 && lead <= 0xF4) ? 4 : 0;
        char32_t c = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
        bool whole = length > 0 && at + length <= bytes.size();
        for (size_t i = 1; whole && i < length; ++i) {
            const unsigned char next = static_cast<unsigned char>(bytes[at + i]);
            whole = (next & 0xC0) == 0x80;
            c = c << 6 | (next & 0x3F);
        }
        text += whole ? c : kReplacement;
        at += whole ? length : 1;
    }
    return text;
}

std::u32string Decode(const std::string& bytes)
{
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return DecodeUtf8(bytes, 3);
    if (bytes.compare(0, 2, "\xFF\xFE") == 0)
        return DecodeUtf16(bytes, 2, false);
    if (bytes.compare(0, 2, "\xFE\xFF") == 0)
        return DecodeUtf16(bytes, 2, true);
    std::u32string text;
    text.reserve(bytes.size());
    for (char c : bytes)
        text += static_cast<unsigned char>(c);
    return text;
}

// Names are matched without regard to the case of their ASCII letters, as the INI functions do.
std::string Folded(const std::u32string& name)
{
    std::string folded;
    for (char32_t c : name) {
        if (c >= 'A' && c <= 'Z')
            c += 'a' - 'A';
        if (c < 0x80) {
            folded += static_cast<char>(c);
        } else {
            // Three bytes above ASCII, seven bits each: every character the decoding yields
            // (below 2^21) keeps a spelling of its own.
            for (int shift = 14; shift >= 0; shift -= 7)
                folded += static_cast<char>(0x80 | ((c >> shift) & 0x7F));
        }
    }
    return folded;
}

std::string Folded(const std::string& name) { return Folded(std::u32string(name.begin(), name.end())); }

// A name as a warning shows it: the file is not trusted to hold printable text.
std::string Shown(const std::u32string& name)
{
    const size_t kShownLength = 40;
    std::string shown;
    for (size_t i = 0; i < name.size() && i < kShownLength; ++i)
        shown += name[i] >= 0x20 && name[i] < 0x7F ? static_cast<char>(name[i]) : '?';
    return name.size() > kShownLength ? shown + "..." : shown;
}

} // namespace

BenchLayout::Status BenchLayout::Load(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA file{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &file) ||
        (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return Missing;
    m_fileBytes = static_cast<unsigned long long>(file.nFileSizeHigh) << 32 | file.nFileSizeLow;
    if (m_fileBytes > kMaxBytes)
        return TooLarge;
    FILE* stream = std::fopen(path.c_str(), "rb");
    if (!stream)
        return Missing;
    // The file may have grown since its size was taken: never more than one byte past the limit.
    m_bytes.resize(kMaxBytes + 1);
    m_bytes.resize(std::fread(&m_bytes[0], 1, m_bytes.size(), stream));
    std::fclose(stream);
    if (m_bytes.size() > kMaxBytes) {
        m_fileBytes = m_bytes.size();
        return TooLarge;
    }
    if (m_bytes.empty())
        return Empty;
    Parse(Decode(m_bytes));
    return m_nul.line ? NotText : Read;
}

void BenchLayout::Parse(const std::u32string& text)
{
    Section* reading = nullptr;   // keys before the first section, or in a repeated one, are never read
    long long line = 1;
    for (size_t start = 0; start < text.size(); ++line) {
        size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        size_t next = end + (end < text.size() ? 1 : 0);
        if (end < text.size() && text[end] == '\r' && next < text.size() && text[next] == '\n')
            ++next;
        // Every search stays inside the line: a file of long lines costs its length once.
        auto inLine = [&](size_t from, size_t to, char32_t c) {
            return static_cast<size_t>(std::find(text.begin() + from, text.begin() + to, c) - text.begin());
        };
        const size_t nul = inLine(start, end, U'\0');
        if (!m_nul.line && nul < end)
            m_nul = {line, static_cast<long long>(nul - start) + 1};

        auto place = [&](size_t at) { return BenchPlace{line, static_cast<long long>(at - start) + 1}; };
        size_t first = start, last = end;
        while (first < last && IsBlank(text[first]))
            ++first;
        while (last > first && IsBlank(text[last - 1]))
            --last;
        const size_t close = inLine(first, last, U']');
        if (first < last && text[first] == '[' && close < last) {
            size_t nameStart = first + 1, nameEnd = close;
            while (nameStart < nameEnd && IsBlank(text[nameStart]))
                ++nameStart;
            while (nameEnd > nameStart && IsBlank(text[nameEnd - 1]))
                --nameEnd;
            const std::u32string name = text.substr(nameStart, nameEnd - nameStart);
            auto known = m_sections.find(Folded(name));
            if (known != m_sections.end()) {
                m_repeats.push_back({Shown(name), "", place(first), known->second.at});
                reading = nullptr;
            } else {
                reading = &m_sections[Folded(name)];
                reading->name = Shown(name);
                reading->at = place(first);
            }
        } else if (reading && first < last && text[first] != ';') {
            const size_t equals = inLine(first, last, U'=');
            size_t nameEnd = equals < last ? equals : last;
            while (nameEnd > first && IsBlank(text[nameEnd - 1]))
                --nameEnd;
            size_t value = equals < last ? equals + 1 : last;
            while (value < last && IsBlank(text[value]))
                ++value;
            const std::u32string name = text.substr(first, nameEnd - first);
            if (!name.empty()) {
                auto known = reading->keys.find(Folded(name));
                if (known != reading->keys.end())
                    m_repeats.push_back({reading->name, Shown(name), place(first), known->second.at});
                else
                    reading->keys[Folded(name)] = {place(first), place(value)};
            }
        }
        start = next;
    }
}

bool BenchLayout::Find(const std::string& section, const std::string& key, BenchPlace* keyAt, BenchPlace* valueAt) const
{
    auto found = m_sections.find(Folded(section));
    if (found == m_sections.end())
        return false;
    auto entry = found->second.keys.find(Folded(key));
    if (entry == found->second.keys.end())
        return false;
    *keyAt = entry->second.at;
    *valueAt = entry->second.valueAt;
    return true;
}
