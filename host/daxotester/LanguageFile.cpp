#include "LanguageFile.h"
#include <windows.h>
#include <objbase.h>
#include <xmllite.h>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <unordered_map>

namespace {

const std::uint32_t kNone = 0xFFFFFFFFu;

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
    XmlLite() : m_module(::LoadLibraryExW(L"xmllite.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
    {
        if (!m_module)   // a system without the restricted search
            m_module = ::LoadLibraryW(L"xmllite.dll");
    }
    ~XmlLite()
    {
        if (m_module)
            ::FreeLibrary(m_module);
    }
    XmlLite(const XmlLite&) = delete;
    XmlLite& operator=(const XmlLite&) = delete;

    HRESULT CreateReader(IXmlReader** reader) const
    {
        typedef HRESULT(WINAPI * CreateFn)(REFIID, void**, IMalloc*);
        if (!m_module)
            return E_NOINTERFACE;
        auto create = reinterpret_cast<CreateFn>(reinterpret_cast<void*>(::GetProcAddress(m_module, "CreateXmlReader")));
        if (!create)
            return E_NOINTERFACE;
        return create(__uuidof(IXmlReader), reinterpret_cast<void**>(reader), nullptr);
    }

private:
    HMODULE m_module;
};

std::string Printed(const char* format, unsigned long a, unsigned long b = 0, unsigned long c = 0)
{
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return buffer;
}

// Limits of the XML reader as Wine implements it, which the input is shaped around (the same
// input reads the same with the reader of Windows):
// - it replaces the characters of the references &#9; &#10; &#13; in attribute values by
//   spaces, as it rightly does with literal white space; such references are rewritten to
//   references to noncharacters, which no text holds, and mapped back when the values are
//   converted;
// - it misreads a UTF-8 character, and a comment, that the end of a chunk of the stream
//   splits; the stream ends each chunk right after a '>' or at least between two characters;
// - it misreads UTF-16 input longer than one chunk; such files are handed over as UTF-8;
// - a file that ends inside text or a comment makes it answer the same node for ever; the
//   stream counts the reads past its end, so that the parse can give up;
// - a file that ends within or right after its XML declaration ends the process; a line
//   break is added after the end of every file, where XML allows white space anyway.
const wchar_t kEscapedWhiteSpace = 0xFDD0;   // + the character: U+FDD9, U+FDDA, U+FDDD

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error)
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
    else if (size.QuadPart > static_cast<LONGLONG>(CLanguageFile::kMaxFileSize))
        *error = Printed("the file is larger than %lu MB", CLanguageFile::kMaxFileSize / (1024 * 1024));
    else {
        bytes->resize(static_cast<size_t>(size.QuadPart));
        if (!::ReadFile(file, &(*bytes)[0], static_cast<DWORD>(bytes->size()), &read, nullptr) || read != bytes->size())
            *error = Printed("the file cannot be read (Windows error %lu)", ::GetLastError());
    }
    ::CloseHandle(file);
    return error->empty();
}

// UTF-16 (with a byte-order mark, or recognised by its first '<') becomes UTF-8 with a mark;
// its XML declaration, which names UTF-16, is blanked out.
bool Utf16ToUtf8(std::string* bytes, std::string* error)
{
    const std::string& in = *bytes;
    if (in.size() < 2)
        return true;
    bool little = (in[0] == '\xFF' && in[1] == '\xFE') || (in[0] == '<' && in[1] == '\0');
    bool big = (in[0] == '\xFE' && in[1] == '\xFF') || (in[0] == '\0' && in[1] == '<');
    if (!little && !big)
        return true;
    std::wstring wide(in.size() / 2, L' ');
    for (size_t i = 0; i < wide.size(); ++i) {
        auto low = static_cast<unsigned char>(in[2 * i + (little ? 0 : 1)]);
        auto high = static_cast<unsigned char>(in[2 * i + (little ? 1 : 0)]);
        wide[i] = static_cast<wchar_t>(low | (high << 8));
    }
    if (!wide.empty() && wide[0] == 0xFEFF)
        wide[0] = L' ';
    if (wide.compare(1, 5, L"<?xml") == 0 || wide.compare(0, 5, L"<?xml") == 0) {
        size_t end = wide.find(L"?>");
        if (end == std::wstring::npos) {
            *error = "the XML declaration is not closed";
            return false;
        }
        for (size_t i = 0; i < end + 2; ++i)
            wide[i] = L' ';
    }
    int size = static_cast<int>(wide.size());
    int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    bytes->assign("\xEF\xBB\xBF");
    bytes->resize(3 + static_cast<size_t>(length));
    if (length > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, &(*bytes)[3], length, nullptr, nullptr);
    return true;
}

// The number of a character reference "&#...;" that starts at `at`, or -1.
long CharacterReference(const std::string& text, size_t at, size_t* end)
{
    size_t i = at + 2;
    bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex)
        ++i;
    long value = 0;
    size_t digits = 0;
    for (; i < text.size() && digits < 8; ++i, ++digits) {
        char c = text[i];
        int digit = c >= '0' && c <= '9' ? c - '0'
                    : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                  : -1;
        if (digit < 0)
            break;
        value = value * (hex ? 16 : 10) + digit;
    }
    if (digits == 0 || i >= text.size() || text[i] != ';')
        return -1;
    *end = i + 1;
    return value;
}

// Returns whether any reference was rewritten.
bool EscapeWhiteSpaceReferences(std::string* bytes)
{
    std::string& text = *bytes;
    size_t at = text.find("&#");
    if (at == std::string::npos)
        return false;
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    size_t copied = 0;
    bool escaped = false;
    for (; at != std::string::npos; at = text.find("&#", at + 2)) {
        size_t end = 0;
        long value = CharacterReference(text, at, &end);
        if (value != 9 && value != 10 && value != 13)
            continue;
        out.append(text, copied, at - copied);
        out += Printed("&#x%lX;", static_cast<unsigned long>(kEscapedWhiteSpace + value));
        copied = end;
        escaped = true;
    }
    out.append(text, copied, std::string::npos);
    text.swap(out);
    return escaped;
}

// The prepared file as the reader pulls it, in chunks that no character or tag straddles.
class ChunkStream : public ISequentialStream {
public:
    explicit ChunkStream(const std::string& bytes) : m_bytes(bytes) {}
    virtual ~ChunkStream() = default;

    unsigned long ReadsPastEnd() const { return m_readsPastEnd; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
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
    // Lives on the stack of one parse, which outlasts the reader that holds it.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_references; }

    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG wanted, ULONG* given) override
    {
        size_t left = m_bytes.size() - m_position;
        size_t count = left < wanted ? left : wanted;
        if (count == 0)
            ++m_readsPastEnd;
        if (count < left) {
            size_t tag = count;
            while (tag > 0 && m_bytes[m_position + tag - 1] != '>')
                --tag;
            if (tag > 0)
                count = tag;
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
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return STG_E_ACCESSDENIED; }

private:
    const std::string& m_bytes;
    size_t m_position = 0;
    unsigned long m_readsPastEnd = 0;
    ULONG m_references = 1;
};

} // namespace

// The parsed file. Every tag is a node in one array; children and siblings are linked by
// index, so neither building nor freeing the tree recurses however deep the file nests.
// Names and attribute values live, converted and NUL-terminated, in one text block.
struct CLanguageFile::Document {
    struct Node {
        std::uint32_t name;
        std::uint32_t firstChild;
        std::uint32_t nextSibling;
        std::uint32_t firstAttribute;
        std::uint32_t attributeCount;
    };
    struct Attribute {
        std::uint32_t name;
        std::uint32_t value;
    };

    std::string text;
    std::vector<Node> nodes;             // node 0 is the document, parent of the top-level tags
    std::vector<Attribute> attributes;
    std::vector<std::uint32_t> names;    // each distinct tag or attribute name once
    std::uint32_t current = kNone;

    const char* At(std::uint32_t offset) const { return text.data() + offset; }

    // A name's offset in the text block; kNone when no tag or attribute carries it.
    std::uint32_t NameOffset(const char* name) const
    {
        for (std::uint32_t offset : names)
            if (std::strcmp(At(offset), name) == 0)
                return offset;
        return kNone;
    }

    std::uint32_t FindFrom(std::uint32_t node, std::uint32_t name) const
    {
        while (node != kNone && nodes[node].name != name)
            node = nodes[node].nextSibling;
        return node;
    }
};

namespace {

// Fills a document from the reader's stream of nodes, keeping the open tags on a stack.
class TreeBuilder {
public:
    TreeBuilder(CLanguageFile::Document& document, bool escapedWhiteSpace)
        : m_doc(document), m_escapedWhiteSpace(escapedWhiteSpace)
    {
    }

    bool Build(IXmlReader* reader, const ChunkStream& stream, std::string* error)
    {
        m_doc.nodes.push_back({kNone, kNone, kNone, 0, 0});
        m_open.push_back({0, kNone});
        XmlNodeType type;
        HRESULT hr;
        unsigned long pastEnd = 0;
        int stalled = 0;
        while ((hr = reader->Read(&type)) == S_OK) {
            // A healthy end reads past the end of the stream a few times, not on every node.
            stalled = stream.ReadsPastEnd() != pastEnd ? stalled + 1 : 0;
            pastEnd = stream.ReadsPastEnd();
            if (stalled > 32) {
                *error = "the file ends in the middle of its content";
                return false;
            }
            if (type == XmlNodeType_Element) {
                if (m_open.size() > CLanguageFile::kMaxDepth) {
                    *error = Printed("the tags are nested deeper than %lu levels", CLanguageFile::kMaxDepth);
                    return false;
                }
                if (!AddElement(reader, error))
                    return false;
            } else if (type == XmlNodeType_EndElement && m_open.size() > 1) {
                m_open.pop_back();
            }
        }
        if (FAILED(hr)) {
            UINT line = 0, column = 0;
            reader->GetLineNumber(&line);
            reader->GetLinePosition(&column);
            *error = Printed("the file is not well-formed XML (line %lu, column %lu, error 0x%08lX)", line, column,
                             static_cast<unsigned long>(hr));
            return false;
        }
        if (m_open.size() > 1) {
            *error = std::string("the file ends inside the tag <") + m_doc.At(m_doc.nodes[m_open.back().node].name) + ">";
            return false;
        }
        if (m_doc.nodes[0].firstChild == kNone) {
            *error = "the file holds no tag";
            return false;
        }
        return true;
    }

private:
    struct OpenTag {
        std::uint32_t node;
        std::uint32_t lastChild;
    };

    bool AddElement(IXmlReader* reader, std::string* error)
    {
        const WCHAR* name = nullptr;
        UINT nameLength = 0;
        if (FAILED(reader->GetQualifiedName(&name, &nameLength))) {
            *error = "a tag name cannot be read";
            return false;
        }
        auto index = static_cast<std::uint32_t>(m_doc.nodes.size());
        bool empty = reader->IsEmptyElement() != FALSE;
        m_doc.nodes.push_back({Intern(name, nameLength), kNone, kNone,
                               static_cast<std::uint32_t>(m_doc.attributes.size()), 0});
        HRESULT hr = reader->MoveToFirstAttribute();
        for (; hr == S_OK; hr = reader->MoveToNextAttribute()) {
            const WCHAR* value = nullptr;
            UINT valueLength = 0;
            if (FAILED(reader->GetQualifiedName(&name, &nameLength)) || FAILED(reader->GetValue(&value, &valueLength))) {
                hr = E_FAIL;
                break;
            }
            std::uint32_t attributeName = Intern(name, nameLength);
            m_doc.attributes.push_back({attributeName, AddText(value, valueLength)});
            ++m_doc.nodes[index].attributeCount;
        }
        if (FAILED(hr)) {
            *error = std::string("the attributes of a tag <") + m_doc.At(m_doc.nodes[index].name) + "> cannot be read";
            return false;
        }
        reader->MoveToElement();

        OpenTag& parent = m_open.back();
        if (parent.lastChild == kNone)
            m_doc.nodes[parent.node].firstChild = index;
        else
            m_doc.nodes[parent.lastChild].nextSibling = index;
        parent.lastChild = index;
        if (!empty)
            m_open.push_back({index, kNone});
        return true;
    }

    std::uint32_t AddText(const WCHAR* text, UINT length)
    {
        std::wstring unescaped;
        if (m_escapedWhiteSpace && std::any_of(text, text + length, IsEscapedWhiteSpace)) {
            unescaped.assign(text, length);
            for (wchar_t& c : unescaped)
                if (IsEscapedWhiteSpace(c))
                    c = static_cast<wchar_t>(c - kEscapedWhiteSpace);
            text = unescaped.data();
        }
        auto offset = static_cast<std::uint32_t>(m_doc.text.size());
        int wide = static_cast<int>(length);
        int bytes = wide > 0 ? ::WideCharToMultiByte(CP_ACP, 0, text, wide, nullptr, 0, nullptr, nullptr) : 0;
        if (bytes > 0) {
            m_doc.text.resize(offset + static_cast<size_t>(bytes));
            ::WideCharToMultiByte(CP_ACP, 0, text, wide, &m_doc.text[offset], bytes, nullptr, nullptr);
        }
        m_doc.text.push_back('\0');
        return offset;
    }

    // Names repeat on every item: each is converted once and kept once.
    std::uint32_t Intern(const WCHAR* name, UINT length)
    {
        std::wstring key(name, length);
        auto known = m_wideNames.find(key);
        if (known != m_wideNames.end())
            return known->second;
        std::uint32_t offset = AddText(name, length);
        std::uint32_t same = m_doc.NameOffset(m_doc.At(offset));
        if (same != kNone)
            m_doc.text.resize(offset);   // another spelling that converts to a known name
        else
            m_doc.names.push_back(same = offset);
        m_wideNames.emplace(std::move(key), same);
        return same;
    }

    static bool IsEscapedWhiteSpace(wchar_t c)
    {
        return c == kEscapedWhiteSpace + 9 || c == kEscapedWhiteSpace + 10 || c == kEscapedWhiteSpace + 13;
    }

    CLanguageFile::Document& m_doc;
    bool m_escapedWhiteSpace;
    std::vector<OpenTag> m_open;
    std::unordered_map<std::wstring, std::uint32_t> m_wideNames;
};

bool ParseFile(const std::string& path, CLanguageFile::Document& document, std::string* error)
{
    std::string bytes;
    if (!ReadWholeFile(path, &bytes, error) || !Utf16ToUtf8(&bytes, error))
        return false;
    bool escaped = EscapeWhiteSpaceReferences(&bytes);
    bytes += '\n';
    ChunkStream stream(bytes);
    XmlLite xmllite;   // declared before the reader, so that it is freed after it
    ComRef<IXmlReader> reader;
    HRESULT hr = xmllite.CreateReader(reader.Out());
    if (FAILED(hr)) {
        *error = Printed("the XML reader xmllite.dll is not available (error 0x%08lX)", static_cast<unsigned long>(hr));
        return false;
    }
    // No document type definitions, so no entity can blow a small file up; the depth limit
    // of the reader itself is set above ours, so that ours gives the message.
    reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
    reader->SetProperty(XmlReaderProperty_MaxElementDepth, 2 * CLanguageFile::kMaxDepth);
    hr = reader->SetInput(static_cast<ISequentialStream*>(&stream));
    if (FAILED(hr)) {
        *error = Printed("the XML reader does not accept the file (error 0x%08lX)", static_cast<unsigned long>(hr));
        return false;
    }
    hr = TreeBuilder(document, escaped).Build(reader.Get(), stream, error) ? S_OK : E_FAIL;
    reader->SetInput(nullptr);
    return hr == S_OK;
}

} // namespace

CLanguageFile::CLanguageFile() = default;
CLanguageFile::~CLanguageFile() = default;

void CLanguageFile::SetPath(const char* path)
{
    Close();
    m_path = path ? path : "";
}

bool CLanguageFile::Open()
{
    Close();
    m_error.clear();
    if (m_path.empty()) {
        m_error = "no language file is set";
        return false;
    }
    try {
        std::unique_ptr<Document> document(new Document);
        if (!ParseFile(m_path, *document, &m_error))
            return false;
        m_document = std::move(document);
        return true;
    } catch (const std::bad_alloc&) {
        m_error = "not enough memory to read the file";
        return false;
    }
}

void CLanguageFile::Close() { m_document.reset(); }

bool CLanguageFile::IsOpen() const { return m_document != nullptr; }

int CLanguageFile::GetTag(unsigned long move, const char* name)
{
    if (!m_document)
        return 0;
    Document& doc = *m_document;
    std::uint32_t start = kNone;
    switch (move) {
    case MoveTop:
        start = doc.nodes[0].firstChild;
        break;
    case MoveFirstChild:
        if (doc.current != kNone)
            start = doc.nodes[doc.current].firstChild;
        break;
    case MoveNextSibling:
        if (doc.current != kNone)
            start = doc.nodes[doc.current].nextSibling;
        break;
    default:
        return 0;
    }
    std::uint32_t wanted = name ? doc.NameOffset(name) : kNone;
    doc.current = wanted == kNone ? kNone : doc.FindFrom(start, wanted);
    return doc.current != kNone ? 1 : 0;
}

const char* CLanguageFile::GetAttribute(const char* name) const
{
    if (!m_document || m_document->current == kNone || !name)
        return nullptr;
    const Document& doc = *m_document;
    std::uint32_t wanted = doc.NameOffset(name);
    const Document::Node& node = doc.nodes[doc.current];
    for (std::uint32_t i = 0; wanted != kNone && i < node.attributeCount; ++i) {
        const Document::Attribute& attribute = doc.attributes[node.firstAttribute + i];
        if (attribute.name == wanted)
            return doc.At(attribute.value);
    }
    return nullptr;
}

const char* CLanguageFile::GetTagName() const
{
    if (!m_document || m_document->current == kNone)
        return nullptr;
    return m_document->At(m_document->nodes[m_document->current].name);
}

std::string CLanguageFolder::Folder()
{
    char buffer[MAX_PATH];
    DWORD length = ::GetEnvironmentVariableA("DAXO_LANG_DIR", buffer, sizeof buffer);
    if (length > 0 && length < sizeof buffer)
        return std::string(buffer, length);
    length = ::GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    std::string folder(buffer, length < sizeof buffer ? length : 0);
    size_t slash = folder.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : folder.substr(0, slash + 1)) + "lang";
}

void CLanguageFolder::Scan()
{
    const char* code = Code(m_currentId);
    std::string current = code ? code : "";
    m_folder = Folder();
    std::vector<std::string> codes;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((m_folder + "\\*.xml").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            // The pattern also matches longer extensions through their short names.
            size_t length = std::strlen(found.cFileName);
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && length > 4 &&
                ::lstrcmpiA(found.cFileName + length - 4, ".xml") == 0)
                codes.emplace_back(found.cFileName, length - 4);
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    std::sort(codes.begin(), codes.end(),
              [](const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) < 0; });
    m_codes = codes;
    m_paths.clear();
    for (const std::string& code : m_codes)
        m_paths.push_back(m_folder + "\\" + code + ".xml");
    m_nextId = 0;
    m_currentId = Find(current.c_str());
}

const char* CLanguageFolder::Code(unsigned int id) const
{
    return id >= 1 && id <= Count() ? m_codes[id - 1].c_str() : nullptr;
}

const char* CLanguageFolder::FilePath(unsigned int id) const
{
    return id >= 1 && id <= Count() ? m_paths[id - 1].c_str() : nullptr;
}

unsigned int CLanguageFolder::Find(const char* code) const
{
    if (!code || !*code)
        return 0;
    for (unsigned int id = 1; id <= Count(); ++id)
        if (::lstrcmpiA(m_codes[id - 1].c_str(), code) == 0)
            return id;
    return 0;
}
