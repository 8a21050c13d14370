#include "XmlShaper.h"
#include "LanguageFile.h"
#include "XmlText.h"
#include <algorithm>
#include <iterator>

namespace xmlinput {

namespace {

const char kDialogItem[] = "DialogItem";

} // namespace

Shaper::Shaper(const std::string& in, bool utf16, ShapedFile* file) : m_in(in), m_utf16(utf16), m_file(*file)
{
    m_file.bytes.clear();
    m_file.bytes.reserve(in.size() + in.size() / 4);
}

bool Shaper::Run()
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

std::string Shaper::Reason() const
{
    if (m_faultAt == std::string::npos)
        return m_what;
    unsigned long line = 1, column = 1;
    for (size_t at = 0; at < m_faultAt; ++at) {
        bool lineBreak = IsLineBreak(at);
        line += lineBreak ? 1 : 0;
        column = lineBreak ? 1 : column + ((static_cast<unsigned char>(m_in[at]) & 0xC0) != 0x80 && m_in[at] != '\r');
    }
    return Printed(m_byRule ? "the file breaks a rule of language files (line %lu, column %lu: "
                            : "the file is not well-formed XML (line %lu, column %lu: ",
                   line, column) +
           m_what + ")";
}

bool Shaper::IsLineBreak(size_t at) const
{
    // CR LF counts once, at its LF; a CR alone counts too.
    return m_in[at] == '\n' || (m_in[at] == '\r' && (at + 1 == m_in.size() || m_in[at + 1] != '\n'));
}

unsigned long Shaper::Line(size_t at) const
{
    unsigned long line = 1;
    for (size_t i = 0; i < at; ++i)
        line += IsLineBreak(i) ? 1 : 0;
    return line;
}

bool Shaper::Fail(size_t at, std::string what)
{
    m_faultAt = at;
    m_what = std::move(what);
    return false;
}

bool Shaper::Refuse(size_t at, std::string what)
{
    m_byRule = true;
    return Fail(at, std::move(what));
}

bool Shaper::BadCharacter(unsigned long c)
{
    if (c == kBad)
        return Fail(m_at, m_utf16 ? "a lone half of a UTF-16 character" : "bytes that are not UTF-8");
    return Fail(m_at, Printed("the character U+%04lX, which XML does not allow", c));
}

void Shaper::Put(const std::string& text)
{
    if (m_emitting)
        m_file.bytes += text;
}

void Shaper::Put(char c)
{
    if (m_emitting)
        m_file.bytes += c;
}

void Shaper::Skip(size_t length)
{
    if (IsLineBreak(m_at))
        Put('\n');
    m_at += length;
}

unsigned long Shaper::Name(size_t at, size_t* length) const
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

bool Shaper::TakeName(size_t* length, bool attribute)
{
    unsigned long count = Name(m_at, length);
    size_t n = 0;
    unsigned long first = Next(&n);
    if (count == 0 && first != kEnd && (first == kBad || !IsChar(first)))
        return BadCharacter(first);
    if (count == 0)
        return Fail(m_at, "a name is missing or begins with a character that no name begins with");
    if (count > kMaxNameLength)
        return Refuse(m_at, Printed("a name longer than %lu characters", kMaxNameLength));
    // Windows' reader resolves prefixes; a language file has none but xml: and xmlns:.
    std::string name(m_in, m_at, *length);
    size_t colon = name.find(':');
    if (colon != std::string::npos &&
        !(attribute && colon + 1 < name.size() && (name.compare(0, colon, "xml") == 0 || name.compare(0, colon, "xmlns") == 0)))
        return Refuse(m_at, "the name " + Shown(m_in, m_at, *length) + " has a namespace prefix, which a language file does not use");
    m_at += *length;
    return true;
}

bool Shaper::Element()
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

bool Shaper::StartTag()
{
    size_t start = m_at++;
    size_t name = m_at, length = 0;
    if (!TakeName(&length, false))
        return false;
    if (m_in.compare(name, length, kDialogItem) == 0 && ++m_dialogItems > CLanguageFile::kMaxDialogItems)
        return Refuse(start, Printed("more than %lu DialogItem tags", CLanguageFile::kMaxDialogItems));
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

bool Shaper::Attribute()
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

void Shaper::PutEscape(unsigned long unit)
{
    Put(Printed("&#x%lX;&#x%lX;", kEscape, Escaped(unit)));
    m_file.escaped = true;
}

void Shaper::PutValueCharacter(unsigned long c, bool referenced)
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

bool Shaper::Reference(unsigned long* value)
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

bool Shaper::EndTag()
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

} // namespace xmlinput
