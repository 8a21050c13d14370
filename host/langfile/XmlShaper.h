#pragma once
// The one pass over a language file that checks it as a conforming XML reader would and
// writes what the system's reader is given. Internal to the language reader.
#include "XmlInput.h"
#include "XmlText.h"
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

namespace xmlinput {

// Checks a UTF-8 file for well-formedness, without a document type definition, and writes
// what the reader gets: the root tag with the names and the attributes of every tag, the
// attribute values in ASCII, and in place of everything else only its line breaks.
class Shaper {
public:
    Shaper(const std::string& in, bool utf16, ShapedFile* file);
    bool Run();
    std::string Reason() const;

private:
    struct OpenTag {
        size_t at;      // its '<'
        size_t name;
        size_t length;
    };

    bool Is(const char* text) const { return m_in.compare(m_at, std::strlen(text), text) == 0; }
    unsigned long Next(size_t* length) const { return Decode(m_in, m_at, length); }

    bool IsLineBreak(size_t at) const;
    unsigned long Line(size_t at) const;
    // A fault of XML itself, and a refusal by a rule of language files, of well-formed XML.
    bool Fail(size_t at, std::string what);
    bool Refuse(size_t at, std::string what);
    bool BadCharacter(unsigned long c);
    void Put(const std::string& text);
    void Put(char c);

    // Passes over one character outside the tags; only a line break is handed over.
    void Skip(size_t length);

    // White space inside a tag, handed over with its line breaks; whether there was any.
    bool Spaces();

    // White space, comments and processing instructions before and after the root tag.
    bool Misc();

    // A name at `at`; its length in bytes, 0 when none begins there.
    unsigned long Name(size_t at, size_t* length) const;
    bool TakeName(size_t* length, bool attribute);
    bool Element();
    bool StartTag();
    bool Attribute();
    void PutEscape(unsigned long unit);
    void PutValueCharacter(unsigned long c, bool referenced);

    // "&name;" or "&#...;" at m_at; a character reference gives its character in `value`.
    bool Reference(unsigned long* value);
    bool EndTag();

    // A comment, a CDATA section or a processing instruction from `m_at`, to `end`.
    bool SkipTo(const char* end, size_t start, const char* unclosed);
    bool Comment();
    bool CData();
    bool Instruction();

    // One pseudo-attribute of the XML declaration: 0 when it is not there, -1 on a fault.
    int Pseudo(const char* name, std::string* value, size_t* valueAt);
    bool Declaration();

    const std::string& m_in;
    bool m_utf16;
    ShapedFile& m_file;
    size_t m_at = 0;
    bool m_emitting = false;
    bool m_rootSeen = false;
    std::vector<OpenTag> m_open;
    std::unordered_set<std::string> m_attributes;   // the names of the tag being read
    unsigned long m_dialogItems = 0;
    size_t m_faultAt = std::string::npos;
    bool m_byRule = false;
    std::string m_what;
};

} // namespace xmlinput
