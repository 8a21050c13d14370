#pragma once
#include "DaxoTesterApi.h"
#include <memory>
#include <string>
#include <vector>

// The host's language file: an XML document read once per open and walked with a cursor.
// Attribute texts are handed out in the ANSI code page and stay valid until the next open
// or close.
//
// Cursor: a move that finds its tag makes that tag current and answers 1; a move that finds
// nothing answers 0 and leaves no tag current, so that the following child and sibling moves
// and attribute reads answer 0 and null as well. An unknown move answers 0 and leaves the
// cursor where it was. Names are compared exactly, case included.
class DAXOTESTER_API CLanguageFile {
public:
    enum Move : unsigned long { MoveTop = 0x1, MoveFirstChild = 0x10, MoveNextSibling = 0x100 };

    // Limits that keep a broken or hostile file from exhausting the host: a real language
    // file is a few hundred kilobytes and four tags deep.
    static constexpr unsigned long kMaxFileSize = 16ul * 1024 * 1024;
    static constexpr unsigned int kMaxDepth = 256;

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

    struct Document;   // the parsed file; its layout is the reader's own

private:
    std::string m_path;
    std::string m_error;
    std::unique_ptr<Document> m_document;
};

// The languages the host offers: one language file "<code>.xml" per language in one folder,
// the folder that the environment variable DAXO_LANG_DIR names, or else the folder "lang"
// beside the host's executable. A language's id is its position (from 1) in the folder's
// listing sorted by code; 0 stands for no language. Scan() reads the folder again.
class DAXOTESTER_API CLanguageFolder {
public:
    static std::string Folder();

    void Scan();
    unsigned int Count() const { return static_cast<unsigned int>(m_codes.size()); }
    const char* Code(unsigned int id) const;     // "cs"; null for an unknown id
    const char* FilePath(unsigned int id) const; // full path; null for an unknown id
    unsigned int Find(const char* code) const;   // id of the code (case ignored), 0 when absent

    unsigned int m_nextId = 0;     // enumeration position of GetFirstLanguage/GetNextLanguage
    unsigned int m_currentId = 0;  // language whose file was selected last, 0 for none

private:
    std::string m_folder;
    std::vector<std::string> m_codes;
    std::vector<std::string> m_paths;
};
