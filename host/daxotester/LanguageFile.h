#pragma once
#include <memory>
#include <string>

// The host's language file: an XML document read once per open and walked with a cursor.
// Attribute texts are handed out in the ANSI code page and stay valid until the next open
// or close.
class CLanguageFile {
public:
    enum Move : unsigned long { MoveTop = 0x1, MoveFirstChild = 0x10, MoveNextSibling = 0x100 };

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
    const char* GetTagName() const;

private:
    struct Document;
    std::string m_path;
    std::string m_error;
    std::unique_ptr<Document> m_document;
};
