// What stands around the elements: the XML declaration, comments, processing instructions,
// CDATA sections and white space.
#include "XmlShaper.h"
#include "XmlText.h"

namespace xmlinput {

bool Shaper::Spaces()
{
    size_t start = m_at;
    for (; m_at < m_in.size() && IsSpace(static_cast<unsigned char>(m_in[m_at])); ++m_at)
        if (IsLineBreak(m_at) || m_in[m_at] != '\r')
            Put(IsLineBreak(m_at) ? '\n' : ' ');
    return m_at > start;
}

bool Shaper::Misc()
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
        else if (Is("<!DOCTYPE") && !m_rootSeen)
            return Refuse(m_at, "a document type definition, which a language file may not have");
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

bool Shaper::SkipTo(const char* end, size_t start, const char* unclosed)
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

bool Shaper::Comment()
{
    size_t start = m_at;
    m_at += 4;
    return SkipTo("-->", start, "a comment is not closed");
}

bool Shaper::CData()
{
    size_t start = m_at;
    m_at += 9;
    return SkipTo("]]>", start, "a CDATA section is not closed");
}

bool Shaper::Instruction()
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

int Shaper::Pseudo(const char* name, std::string* value, size_t* valueAt)
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

bool Shaper::Declaration()
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
        return Refuse(at, "the encoding \"" + value.substr(0, 40) + "\"; a language file is in UTF-8 or UTF-16");
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

} // namespace xmlinput
