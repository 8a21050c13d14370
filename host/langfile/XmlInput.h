#pragma once
// The language file as Wine's XML reader can take it. Internal to the tester library.
#include <windows.h>
#include <objbase.h>
#include <xmllite.h>
#include <string>

namespace xmlinput {

// Limits of the XML reader as Wine implements it, which the input is shaped around (the same
// input reads the same with the reader of Windows):
// - it replaces the characters of the references &#9; &#10; &#13; in attribute values by
//   spaces, as it rightly does with literal white space; such references are rewritten to
//   references to noncharacters, which no text holds, and mapped back by Unescape;
// - it misreads a UTF-8 character, and a comment, that the end of a chunk of the stream
//   splits; the stream ends each chunk right after a '>' or at least between two characters;
// - it misreads UTF-16 input longer than one chunk; such files are handed over as UTF-8;
// - a file that ends inside text or a comment makes it answer the same node for ever; the
//   stream counts the reads past its end, so that the parse can give up;
// - a file that ends within or right after its XML declaration ends the process; a line
//   break is added after the end of every file, where XML allows white space anyway;
// - it page-faults on a comment of some hundred kilobytes, wherever it stands, and fails an
//   assertion, which ends the process, when more than about 8 KB of anything stand between
//   the XML declaration and the first tag. So the reader never sees a comment, nor what
//   stands before the first tag: comments leave only their line breaks behind, so that the
//   reader's line numbers stay right, and the lines taken from before the first tag are
//   counted in lineOffset. A comment, processing instruction or declaration there that is
//   not closed, text there and document type definitions are refused here.
struct ShapedFile {
    std::string bytes;
    bool escapedWhiteSpace = false;   // attribute values may hold escaped white space
    unsigned long lineOffset = 0;     // add to the reader's line numbers
};

// Reads the file and shapes it; false with the reason when it cannot be read.
bool ReadShaped(const std::string& path, unsigned long maxSize, ShapedFile* file, std::string* error);

// Maps escaped white space in an attribute value back; true when there was any.
bool Unescape(std::wstring* text);
bool HoldsEscapedWhiteSpace(const wchar_t* text, size_t length);

// "format" with up to three numbers, for the reasons of a refused file.
std::string Printed(const char* format, unsigned long a, unsigned long b = 0, unsigned long c = 0);

// The shaped file as the reader pulls it, in chunks that no character or tag straddles.
class ChunkStream : public ISequentialStream {
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
