#pragma once
#include "LangFileApi.h"
#include <memory>
#include <string>

// The host's language file: an XML document read once per open and walked with a cursor.
// Attribute texts are handed out in code page 1250, as the module's own texts are, whatever
// the machine's code page, and stay valid until the next open or close. A character that the
// code page lacks becomes the conversion's stand-in: a letter like it (ñ: n) or '?'.
//
// Cursor: a move that finds its tag makes that tag current and answers 1; a move that finds
// nothing answers 0 and leaves no tag current, so that the following child and sibling moves
// and attribute reads answer 0 and null as well. An unknown move answers 0 and leaves the
// cursor where it was. Names are compared exactly, case included.
class LANGFILE_API CLanguageFile {
public:
    enum Move : unsigned long { MoveTop = 0x1, MoveFirstChild = 0x10, MoveNextSibling = 0x100 };

    // Limits that keep a broken or hostile file from exhausting the host: a real language
    // file is a few hundred kilobytes and four tags deep.
    static constexpr unsigned long kMaxFileSize = 16ul * 1024 * 1024;
    static constexpr unsigned int kMaxDepth = 256;
    // A real file has three dialogs; a file of thousands is generated or broken.
    static constexpr unsigned long kMaxDialogItems = 10000;
    static constexpr unsigned int kCodePage = 1250;

    CLanguageFile();
    ~CLanguageFile();
    CLanguageFile(const CLanguageFile&) = delete;
    CLanguageFile& operator=(const CLanguageFile&) = delete;

    void SetPath(const char* path);
    const char* Path() const { return m_path.c_str(); }
    bool Open();           // false, with the reason in LastError(), when the file cannot be read
    void Close();
    bool IsOpen() const;
    const char* LastError() const { return m_error.c_str(); }

    int GetTag(unsigned long move, const char* name);
    const char* GetAttribute(const char* name) const;
    // The same text before its conversion to the code page, for checking a translation.
    const wchar_t* GetAttributeWide(const char* name) const;
    // The names of the current tag's attributes in the file's order, null past the last: a
    // translator's check names the attribute that is misspelt rather than calling the text missing.
    const char* GetAttributeName(unsigned long index) const;
    const char* GetTagName() const;

    // Where the cursor stands, and the way back there: a walk that looks inside each tag of a
    // list goes on from the tag it left, rather than seeking it from the top again, which costs
    // as much as the whole list. A place holds until the next open or close; one that names
    // no tag of the file leaves no tag current, and the return answers 0.
    unsigned long Place() const;
    int ReturnTo(unsigned long place);

    struct Document;   // the parsed file; its layout is the reader's own

private:
    std::string m_path;
    std::string m_error;
    std::unique_ptr<Document> m_document;
};
