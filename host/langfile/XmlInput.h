#pragma once
// The language file as Wine's XML reader can take it. Internal to the language-file reader;
// the stream is exported for its tests only.
#include "LangFileApi.h"
#include <windows.h>
#include <objbase.h>
#include <xmllite.h>
#include <string>

namespace xmlinput {

// A file is first checked here for XML 1.0 well-formedness as a conforming parser checks it,
// because Wine's reader lets through what Windows' refuses (control characters, NUL,
// duplicate attributes, a declaration that names another encoding, content after the root
// tag), and for the rules of a language file (no document type definition, no namespace
// prefix, names of at most kMaxNameLength characters, UTF-8 or UTF-16, a bounded number of
// dialog items). A refusal says which of the two it is and names the line and column of the
// fault itself, counted in characters.
//
// What the reader then gets is shaped around its limits (the same bytes read the same with the
// reader of Windows):
// - it misreads UTF-8 that the end of a chunk of the stream splits, and even a whole
//   multi-byte character that ends a chunk (it keeps back the last byte of such a chunk).
//   So every non-ASCII character of an attribute value is handed over as a character
//   reference, and a chunk always ends after an ASCII byte; names, which cannot be written
//   as references, stay as they are and are at most kMaxNameLength characters long, so that
//   every chunk holds an ASCII byte to end after. Nor does a chunk end inside a reference:
//   the reader has page-faulted on files whose chunks did;
// - without a byte-order mark it finds no tag whose name begins beyond ASCII at the start;
// - it truncates references to characters beyond U+FFFF, and it replaces the characters of
//   &#9; &#10; &#13; by spaces, as it rightly does with literal white space. These, and the
//   escape character itself, are handed over as escapes of our own (kEscape followed by one
//   character), which Unescape maps back;
// - it misreads UTF-16 input longer than one chunk: such files are handed over as UTF-8;
// - it page-faults on a large comment and fails an assertion, which ends the process, on a
//   file that ends within its XML declaration or on a long prolog. So it never sees a comment,
//   a processing instruction, text or anything before or after the root tag: the shaped bytes
//   begin at the root tag, and what is left out leaves only its line breaks behind.
struct ShapedFile {
    std::string bytes;
    bool escaped = false;             // attribute values may hold escapes (Unescape)
    unsigned long firstLine = 1;      // the line of the file where the shaped bytes begin
};

const unsigned long kMaxNameLength = 1000;   // characters of a tag or attribute name

// Reads, checks and shapes the file; false with the reason when it cannot be used.
bool ReadShaped(const std::string& path, unsigned long maxSize, ShapedFile* file, std::string* error);

// Maps the escapes in an attribute value back; true when there was any.
bool Unescape(std::wstring* text);
bool HoldsEscape(const wchar_t* text, size_t length);

// "format" with up to three numbers, for the reasons of a refused file.
std::string Printed(const char* format, unsigned long a, unsigned long b = 0, unsigned long c = 0);

// The shaped file as the reader pulls it, in chunks that end after an ASCII byte.
class LANGFILE_API ChunkStream : public ISequentialStream {
public:
    explicit ChunkStream(const std::string& bytes) : m_bytes(bytes) {}
    virtual ~ChunkStream() = default;

    unsigned long ReadsPastEnd() const { return m_readsPastEnd; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    // Lives on the stack of one parse, which outlasts the reader that holds it.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_references; }
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG wanted, ULONG* given) override;
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return STG_E_ACCESSDENIED; }

private:
    const std::string& m_bytes;
    size_t m_position = 0;
    unsigned long m_readsPastEnd = 0;
    ULONG m_references = 1;
};

// Holds one COM interface for the time of a parse and releases it.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef()
    {
        if (m_p)
            m_p->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }
    T** Out() { return &m_p; }

private:
    T* m_p = nullptr;
};

// MinGW ships no import library for xmllite.dll, and a run-time look-up works the same for
// the 32-bit and the 64-bit build. The library stays loaded only while one file is parsed.
class XmlLite {
public:
    XmlLite();
    ~XmlLite();
    XmlLite(const XmlLite&) = delete;
    XmlLite& operator=(const XmlLite&) = delete;
    HRESULT CreateReader(IXmlReader** reader) const;

private:
    HMODULE m_module;
};

} // namespace xmlinput
