#include "XmlInput.h"
#include "LanguageFile.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <unordered_set>
#include <vector>

namespace xmlinput {

namespace {

// Escapes of our own in attribute values: kEscape, then the escaped UTF-16 unit moved to
// where no other escape lands (a surrogate up by 0x800, white space up by 0xE800, the escape
// itself as itself). kEscape is a noncharacter, which no real text holds, but one that does is
// handed over escaped as well, so that it reads back as itself.
const wchar_t kEscape = 0xFDD0;

unsigned long Escaped(unsigned long unit)
{
    return unit == kEscape ? unit : unit >= 0xD800 ? unit + 0x800 : unit + 0xE800;
}

wchar_t Unescaped(wchar_t escaped)
{
    return static_cast<wchar_t>(escaped == kEscape ? escaped : escaped < 0xE800 ? escaped - 0x800 : escaped - 0xE800);
}

bool ReadWholeFile(const std::string& path, unsigned long maxSize, std::string* bytes, std::string* error)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD code = ::GetLastError();
        *error = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND
                     ? "the file does not exist"
                     : Printed("the file cannot be opened (Windows error %lu)", code);
        return false;
    }
    LARGE_INTEGER size{};
    DWORD read = 0;
    if (!::GetFileSizeEx(file, &size))
        *error = Printed("the size of the file cannot be read (Windows error %lu)", ::GetLastError());
    else if (size.QuadPart == 0)
        *error = "the file is empty";
    else if (size.QuadPart > static_cast<LONGLONG>(maxSize))
        *error = Printed("the file is larger than %lu MB", maxSize / (1024 * 1024));
    else {
        bytes->resize(static_cast<size_t>(size.QuadPart));
        if (!::ReadFile(file, &(*bytes)[0], static_cast<DWORD>(bytes->size()), &read, nullptr) || read != bytes->size())
            *error = Printed("the file cannot be read (Windows error %lu)", ::GetLastError());
    }
    ::CloseHandle(file);
    return error->empty();
}

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

// UTF-16 (with a byte-order mark, or recognised by its first '<') becomes UTF-8, and a UTF-8
// byte-order mark is dropped: the check counts columns from the first character. A lone
// surrogate, or an odd last byte, becomes a byte that no UTF-8 holds, which the check refuses
// where it stands. Returns whether the file was UTF-16.
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

const unsigned long kEnd = 0xFFFFFFFFul;   // no character: the end of the file
const unsigned long kBad = 0xFFFFFFFEul;   // no character: bytes that are not UTF-8

// The character at `at` and its length in bytes; strict UTF-8, no overlong forms, no surrogates.
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

bool IsSpace(unsigned long c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

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

// A UTF-8 name in the code page of the reader's texts, for a reason.
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

// Checks a UTF-8 file for well-formedness, without a document type definition, and writes
// what the reader gets: the root tag with the names and the attributes of every tag, the
// attribute values in ASCII, and in place of everything else only its line breaks.
class Shaper {
public:
    Shaper(const std::string& in, bool utf16, ShapedFile* file) : m_in(in), m_utf16(utf16), m_file(*file)
    {
        m_file.bytes.clear();
        m_file.bytes.reserve(in.size() + in.size() / 4);
    }

    bool Run()
    {
        if (Is("<?xml") && m_in.size() > 5 && IsSpace(static_cast<unsigned char>(m_in[5])) && !Declaration())
            return false;
        if (!Misc())
            return false;
        if (m_at >= m_in.size()) {
            m_what = "the file holds no tag";
            return false;
        }
        m_file.firstLine = Line(m_at);
        m_file.bytes = "\xEF\xBB\xBF";   // without it, the reader finds no tag whose name begins beyond ASCII
        m_emitting = true;
        size_t root = m_at;
        if (!Element())
            return false;
        m_emitting = false;
        if (!Misc())
            return false;
        if (m_at < m_in.size()) {
            size_t length = 0;
            Name(root + 1, &length);
            return Fail(m_at, "content after the end of the root tag <" + Shown(m_in, root + 1, length) + ">");
        }
        m_file.bytes += '\n';
        return true;
    }

    std::string Reason() const
    {
        if (m_faultAt == std::string::npos)
            return m_what;
        unsigned long line = 1, column = 1;
        for (size_t at = 0; at < m_faultAt; ++at) {
            bool lineBreak = IsLineBreak(at);
            line += lineBreak ? 1 : 0;
            column = lineBreak ? 1 : column + ((static_cast<unsigned char>(m_in[at]) & 0xC0) != 0x80 && m_in[at] != '\r');
        }
        return Printed("the file is not well-formed XML (line %lu, column %lu: ", line, column) + m_what + ")";
    }

private:
    struct OpenTag {
        size_t at;      // its '<'
        size_t name;
        size_t length;
    };

    bool Is(const char* text) const { return m_in.compare(m_at, std::strlen(text), text) == 0; }
    unsigned long Next(size_t* length) const { return Decode(m_in, m_at, length); }

    bool IsLineBreak(size_t at) const
    {
        // CR LF counts once, at its LF; a CR alone counts too.
        return m_in[at] == '\n' || (m_in[at] == '\r' && (at + 1 == m_in.size() || m_in[at + 1] != '\n'));
    }

    unsigned long Line(size_t at) const
    {
        unsigned long line = 1;
        for (size_t i = 0; i < at; ++i)
            line += IsLineBreak(i) ? 1 : 0;
        return line;
    }

    bool Fail(size_t at, std::string what)
    {
        m_faultAt = at;
        m_what = std::move(what);
        return false;
    }

    bool BadCharacter(unsigned long c)
    {
        if (c == kBad)
            return Fail(m_at, m_utf16 ? "a lone half of a UTF-16 character" : "bytes that are not UTF-8");
        return Fail(m_at, Printed("the character U+%04lX, which XML does not allow", c));
    }

    void Put(const std::string& text)
    {
        if (m_emitting)
            m_file.bytes += text;
    }
    void Put(char c)
    {
        if (m_emitting)
            m_file.bytes += c;
    }

    // Passes over one character outside the tags; only a line break is handed over.
    void Skip(size_t length)
    {
        if (IsLineBreak(m_at))
            Put('\n');
        m_at += length;
    }

    // White space inside a tag, handed over with its line breaks; whether there was any.
    bool Spaces()
    {
        size_t start = m_at;
        for (; m_at < m_in.size() && IsSpace(static_cast<unsigned char>(m_in[m_at])); ++m_at)
            if (IsLineBreak(m_at) || m_in[m_at] != '\r')
                Put(IsLineBreak(m_at) ? '\n' : ' ');
        return m_at > start;
    }

    // White space, comments and processing instructions before and after the root tag.
    bool Misc()
    {
        for (;;) {
            size_t length = 0;
            unsigned long c = Next(&length);
            if (c == kEnd || (c == '<' && !Is("<!") && !Is("<?")))
                return true;
            bool fine = true;
            if (IsSpace(c))
                m_at += length;
            else if (Is("<!--"))
                fine = Comment();
            else if (Is("<?"))
                fine = Instruction();
            else if (Is("<!DOCTYPE"))
                return Fail(m_at, "a document type definition, which a language file may not have");
            else if (c == kBad || !IsChar(c))
                return BadCharacter(c);
            else if (m_rootSeen)
                return true;   // the caller names it
            else
                return Fail(m_at, c == '<' ? "markup that may not stand before the root tag" : "text before the first tag");
            if (!fine)
                return false;
        }
    }

    // A name at `at`; its length in bytes, 0 when none begins there.
    unsigned long Name(size_t at, size_t* length) const
    {
        size_t n = 0;
        unsigned long count = 0;
        *length = 0;
        for (size_t i = at;; i += n, ++count) {
            unsigned long c = Decode(m_in, i, &n);
            if (c == kEnd || c == kBad || !(count == 0 ? IsNameStart(c) : IsNameChar(c))) {
                *length = i - at;
                return count;
            }
        }
    }

    bool TakeName(size_t* length, bool attribute)
    {
        unsigned long count = Name(m_at, length);
        size_t n = 0;
        unsigned long first = Next(&n);
        if (count == 0 && first != kEnd && (first == kBad || !IsChar(first)))
            return BadCharacter(first);
        if (count == 0)
            return Fail(m_at, "a name is missing or begins with a character that no name begins with");
        if (count > kMaxNameLength)
            return Fail(m_at, Printed("a name longer than %lu characters", kMaxNameLength));
        // Windows' reader resolves prefixes; a language file has none but xml: and xmlns:.
        std::string name(m_in, m_at, *length);
        size_t colon = name.find(':');
        if (colon != std::string::npos &&
            !(attribute && colon + 1 < name.size() && (name.compare(0, colon, "xml") == 0 || name.compare(0, colon, "xmlns") == 0)))
            return Fail(m_at, "the name " + Shown(m_in, m_at, *length) + " has a namespace prefix, which a language file does not use");
        m_at += *length;
        return true;
    }

    bool Element()
    {
        if (!StartTag())
            return false;
        while (!m_open.empty()) {
            size_t length = 0;
            unsigned long c = Next(&length);
            if (c == kEnd) {
                const OpenTag& open = m_open.back();
                return Fail(open.at, "the tag <" + Shown(m_in, open.name, open.length) + "> is not closed");
            }
            bool fine = true;
            if (c == '<')
                fine = Is("</")            ? EndTag()
                       : Is("<!--")        ? Comment()
                       : Is("<![CDATA[")   ? CData()
                       : Is("<?")          ? Instruction()
                       : Is("<!")          ? Fail(m_at, "markup that a tag may not hold")
                                           : StartTag();
            else if (c == '&')
                fine = Reference(nullptr);
            else if (c == ']' && Is("]]>"))
                fine = Fail(m_at, "\"]]>\" in text");
            else if (c == kBad || !IsChar(c))
                fine = BadCharacter(c);
            else
                Skip(length);
            if (!fine)
                return false;
        }
        m_rootSeen = true;
        return true;
    }

    bool StartTag()
    {
        size_t start = m_at++;
        size_t name = m_at, length = 0;
        if (!TakeName(&length, false))
            return false;
        Put(m_in.substr(start, m_at - start));
        m_attributes.clear();
        for (;;) {
            bool space = Spaces();
            if (Is("/>") || Is(">")) {
                Put(m_in[m_at] == '/' ? "/>" : ">");
                if (m_in[m_at] == '>')
                    m_open.push_back({start, name, length});
                m_at += m_in[m_at] == '/' ? 2 : 1;
                return true;
            }
            if (m_at >= m_in.size())
                return Fail(start, "a tag is not closed");
            if (!space && IsNameStart(Decode(m_in, m_at, &length)))
                return Fail(m_at, "an attribute that no white space parts from the one before");
            if (!Attribute())
                return false;
        }
    }

    bool Attribute()
    {
        size_t name = m_at, length = 0;
        if (!TakeName(&length, true))
            return false;
        if (!m_attributes.insert(std::string(m_in, name, length)).second)
            return Fail(name, "the attribute " + Shown(m_in, name, length) + " is given twice");
        Put(m_in.substr(name, length));
        Spaces();
        if (!Is("="))
            return Fail(m_at, "an attribute without \"=\" and a value");
        Put('=');
        ++m_at;
        Spaces();
        char quote = m_at < m_in.size() ? m_in[m_at] : '\0';
        if (quote != '"' && quote != '\'')
            return Fail(m_at, "an attribute value that is not in quotes");
        size_t open = m_at++;
        Put(quote);
        for (;;) {
            size_t n = 0;
            unsigned long c = Next(&n);
            if (c == kEnd)
                return Fail(open, "an attribute value is not closed");
            if (c == static_cast<unsigned char>(quote))
                break;
            if (c == '<')
                return Fail(m_at, "\"<\" in an attribute value");
            if (c == kBad || !IsChar(c))
                return BadCharacter(c);
            if (c == '&') {
                size_t at = m_at;
                unsigned long value = kEnd;
                if (!Reference(&value))
                    return false;
                if (value == kEnd)
                    Put(m_in.substr(at, m_at - at));   // one of the five named entities
                else
                    PutValueCharacter(value, true);
            } else if (IsSpace(c)) {
                Skip(n);   // the reader makes a space of it, as XML has it
                if (c != '\r' && c != '\n')
                    Put(' ');
            } else {
                PutValueCharacter(c, false);
                m_at += n;
            }
        }
        Put(quote);
        ++m_at;
        return true;
    }

    void PutEscape(unsigned long unit)
    {
        Put(Printed("&#x%lX;&#x%lX;", kEscape, Escaped(unit)));
        m_file.escaped = true;
    }

    void PutValueCharacter(unsigned long c, bool referenced)
    {
        if (c == kEscape || (referenced && (c == '\t' || c == '\n' || c == '\r')))
            PutEscape(c);
        else if (c >= 0x10000) {
            PutEscape(0xD800 + ((c - 0x10000) >> 10));
            PutEscape(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else if (c >= 0x80 || referenced)
            Put(Printed("&#x%lX;", c));
        else
            Put(static_cast<char>(c));
    }

    // "&name;" or "&#...;" at m_at; a character reference gives its character in `value`.
    bool Reference(unsigned long* value)
    {
        size_t start = m_at;
        if (Is("&#")) {
            bool hex = Is("&#x");
            m_at += hex ? 3 : 2;
            unsigned long number = 0;
            size_t digits = 0;
            for (; m_at < m_in.size(); ++m_at, ++digits) {
                char c = m_in[m_at];
                int digit = c >= '0' && c <= '9' ? c - '0'
                            : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                            : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                          : -1;
                if (digit < 0)
                    break;
                number = std::min(number * (hex ? 16 : 10) + static_cast<unsigned long>(digit), 0x110000ul);
            }
            if (digits == 0 || !Is(";"))
                return Fail(start, "a character reference that is not \"&#digits;\" or \"&#xhex;\"");
            if (!IsChar(number))
                return Fail(start, "a reference to a character that XML does not allow");
            ++m_at;
            if (value)
                *value = number;
            return true;
        }
        ++m_at;
        size_t length = 0;
        Name(m_at, &length);
        if (length == 0 || m_in.compare(m_at + length, 1, ";") != 0)
            return Fail(start, "\"&\" that begins no reference (write &amp;)");
        static const char* const kPredefined[] = {"lt", "gt", "amp", "apos", "quot"};
        if (std::none_of(std::begin(kPredefined), std::end(kPredefined), [&](const char* entity) {
                return m_in.compare(m_at, length, entity) == 0;
            }))
            return Fail(start, "the entity &" + Shown(m_in, m_at, std::min<size_t>(length, 64)) + "; is not defined");
        m_at += length + 1;
        return true;
    }

    bool EndTag()
    {
        size_t start = m_at;
        m_at += 2;
        size_t name = m_at, length = 0;
        if (!TakeName(&length, false))
            return false;
        const OpenTag& open = m_open.back();
        if (length != open.length || m_in.compare(name, length, m_in, open.name, length) != 0)
            return Fail(start, "the end tag </" + Shown(m_in, name, length) + "> does not close <" +
                                   Shown(m_in, open.name, open.length) + ">");
        Put(m_in.substr(start, m_at - start));
        Spaces();
        if (!Is(">"))
            return Fail(m_at, "an end tag that does not end with \">\"");
        Put('>');
        ++m_at;
        m_open.pop_back();
        return true;
    }

    // A comment, a CDATA section or a processing instruction from `m_at`, to `end`.
    bool SkipTo(const char* end, size_t start, const char* unclosed)
    {
        for (;;) {
            if (Is(end)) {
                m_at += std::strlen(end);
                return true;
            }
            size_t length = 0;
            unsigned long c = Next(&length);
            if (c == kEnd)
                return Fail(start, unclosed);
            if (c == kBad || !IsChar(c))
                return BadCharacter(c);
            if (end[0] == '-' && Is("--"))
                return Fail(m_at, "\"--\" inside a comment");
            Skip(length);
        }
    }

    bool Comment()
    {
        size_t start = m_at;
        m_at += 4;
        return SkipTo("-->", start, "a comment is not closed");
    }

    bool CData()
    {
        size_t start = m_at;
        m_at += 9;
        return SkipTo("]]>", start, "a CDATA section is not closed");
    }

    bool Instruction()
    {
        size_t start = m_at;
        m_at += 2;
        size_t length = 0;
        if (!TakeName(&length, false))
            return false;
        if (SameIgnoringCase(m_in.substr(start + 2, length), "xml"))
            return Fail(start, start == 0 ? "the XML declaration lacks the version"
                                          : "an XML declaration that is not at the very start of the file");
        if (!Is("?>") && !Spaces())
            return Fail(m_at, "a processing instruction whose name no white space ends");
        return SkipTo("?>", start, "a processing instruction is not closed");
    }

    // One pseudo-attribute of the XML declaration: 0 when it is not there, -1 on a fault.
    int Pseudo(const char* name, std::string* value, size_t* valueAt)
    {
        size_t before = m_at;
        if (!Spaces() || !Is(name)) {
            m_at = before;
            return 0;
        }
        m_at += std::strlen(name);
        Spaces();
        if (!Is("="))
            return Fail(m_at, std::string("\"=\" is missing after ") + name), -1;
        ++m_at;
        Spaces();
        char quote = m_at < m_in.size() ? m_in[m_at] : '\0';
        size_t end = quote == '"' || quote == '\'' ? m_in.find(quote, m_at + 1) : std::string::npos;
        if (end == std::string::npos)
            return Fail(m_at, std::string("the value of ") + name + " is not in quotes"), -1;
        *valueAt = m_at + 1;
        value->assign(m_in, m_at + 1, end - m_at - 1);
        m_at = end + 1;
        return 1;
    }

    bool Declaration()
    {
        size_t start = 0;
        m_at = 5;
        std::string value;
        size_t at = 0;
        int found = Pseudo("version", &value, &at);
        if (found == 0)
            return Fail(start, "the XML declaration lacks the version");
        if (found < 0)
            return false;
        if (value.size() < 3 || value.compare(0, 2, "1.") != 0 ||
            value.find_first_not_of("0123456789", 2) != std::string::npos)
            return Fail(at, "an XML version other than 1.x");
        if ((found = Pseudo("encoding", &value, &at)) < 0)
            return false;
        bool utf8 = SameIgnoringCase(value, "UTF-8"), utf16 = SameIgnoringCase(value, "UTF-16");
        if (found > 0 && !utf8 && !utf16)
            return Fail(at, "the encoding \"" + value.substr(0, 40) + "\"; a language file is in UTF-8 or UTF-16");
        if (found > 0 && utf16 != m_utf16)
            return Fail(at, m_utf16 ? "the declared encoding is UTF-8, but the file is in UTF-16"
                                    : "the declared encoding is UTF-16, but the file is not");
        if ((found = Pseudo("standalone", &value, &at)) < 0)
            return false;
        if (found > 0 && value != "yes" && value != "no")
            return Fail(at, "standalone is neither yes nor no");
        Spaces();
        if (!Is("?>"))
            return Fail(m_at, m_at < m_in.size() && m_in[m_at] != '<'
                                  ? "the XML declaration holds more than version, encoding and standalone"
                                  : "the XML declaration is not closed");
        m_at += 2;
        return true;
    }

    const std::string& m_in;
    bool m_utf16;
    ShapedFile& m_file;
    size_t m_at = 0;
    bool m_emitting = false;
    bool m_rootSeen = false;
    std::vector<OpenTag> m_open;
    std::unordered_set<std::string> m_attributes;   // the names of the tag being read
    size_t m_faultAt = std::string::npos;
    std::string m_what;
};

} // namespace

std::string Printed(const char* format, unsigned long a, unsigned long b, unsigned long c)
{
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return buffer;
}

bool ReadShaped(const std::string& path, unsigned long maxSize, ShapedFile* file, std::string* error)
{
    std::string bytes;
    if (!ReadWholeFile(path, maxSize, &bytes, error))
        return false;
    bool utf16 = ToUtf8(&bytes);
    Shaper shaper(bytes, utf16, file);
    if (shaper.Run())
        return true;
    *error = shaper.Reason();
    return false;
}

bool HoldsEscape(const wchar_t* text, size_t length)
{
    return std::find(text, text + length, kEscape) != text + length;
}

bool Unescape(std::wstring* text)
{
    std::wstring& t = *text;
    size_t to = 0;
    for (size_t from = 0; from < t.size(); ++from, ++to)
        t[to] = t[from] == kEscape && from + 1 < t.size() ? Unescaped(t[++from]) : t[from];
    bool any = to < t.size();
    t.resize(to);
    return any;
}

HRESULT STDMETHODCALLTYPE ChunkStream::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(ISequentialStream)) {
        *object = static_cast<ISequentialStream*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE ChunkStream::Read(void* buffer, ULONG wanted, ULONG* given)
{
    size_t left = m_bytes.size() - m_position;
    size_t count = left < wanted ? left : wanted;
    if (count == 0)
        ++m_readsPastEnd;
    if (count < left) {
        // The reader misreads what the end of a chunk splits: it keeps back the last byte of a
        // chunk that ends in a multi-byte character, whole or not, and it has page-faulted on
        // files whose chunks split character references. So a chunk ends after an ASCII byte
        // and outside a reference; only a chunk shorter than a name can lack such an end, and
        // it ends between two characters.
        const char* chunk = m_bytes.data() + m_position;
        size_t ascii = count;
        for (size_t at = count; at > 0 && chunk[at - 1] != ';'; --at)
            if (chunk[at - 1] == '&') {
                ascii = at - 1;
                break;
            }
        while (ascii > 0 && static_cast<unsigned char>(chunk[ascii - 1]) >= 0x80)
            --ascii;
        if (ascii > 0)
            count = ascii;
        else
            while (count > 1 && (static_cast<unsigned char>(m_bytes[m_position + count]) & 0xC0) == 0x80)
                --count;
    }
    if (count > 0)
        std::memcpy(buffer, m_bytes.data() + m_position, count);
    m_position += count;
    if (given)
        *given = static_cast<ULONG>(count);
    return count < wanted && m_position == m_bytes.size() ? S_FALSE : S_OK;
}

XmlLite::XmlLite() : m_module(::LoadLibraryExW(L"xmllite.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
{
    if (!m_module)   // a system without the restricted search
        m_module = ::LoadLibraryW(L"xmllite.dll");
}

XmlLite::~XmlLite()
{
    if (m_module)
        ::FreeLibrary(m_module);
}

HRESULT XmlLite::CreateReader(IXmlReader** reader) const
{
    typedef HRESULT(WINAPI * CreateFn)(REFIID, void**, IMalloc*);
    if (!m_module)
        return E_NOINTERFACE;
    auto create = reinterpret_cast<CreateFn>(reinterpret_cast<void*>(::GetProcAddress(m_module, "CreateXmlReader")));
    if (!create)
        return E_NOINTERFACE;
    return create(__uuidof(IXmlReader), reinterpret_cast<void**>(reader), nullptr);
}

} // namespace xmlinput
