#include "XmlInput.h"
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace xmlinput {

namespace {

const wchar_t kEscapedWhiteSpace = 0xFDD0;   // + the character: U+FDD9, U+FDDA, U+FDDD

bool IsEscapedWhiteSpace(wchar_t c)
{
    return c == kEscapedWhiteSpace + 9 || c == kEscapedWhiteSpace + 10 || c == kEscapedWhiteSpace + 13;
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

bool IsLineBreak(const std::string& text, size_t at)
{
    // CR LF counts once, at its LF; a CR alone counts too.
    return text[at] == '\n' || (text[at] == '\r' && (at + 1 == text.size() || text[at + 1] != '\n'));
}

unsigned long LineBreaks(const std::string& text, size_t from, size_t to)
{
    unsigned long count = 0;
    for (size_t at = from; at < to; ++at)
        count += IsLineBreak(text, at) ? 1 : 0;
    return count;
}

std::string NotXml(const std::string& text, size_t at, const char* what)
{
    return Printed("the file is not well-formed XML (line %lu: ", 1 + LineBreaks(text, 0, at)) + what + ")";
}

// The end of the comment that starts at `at`, or false with the reason.
bool SkipComment(const std::string& text, size_t at, size_t* end, std::string* error)
{
    size_t close = text.find("-->", at + 4);
    if (close == std::string::npos) {
        *error = NotXml(text, at, "a comment is not closed");
        return false;
    }
    size_t dashes = text.find("--", at + 4);
    if (dashes < close) {
        *error = NotXml(text, dashes, "\"--\" inside a comment");
        return false;
    }
    *end = close + 3;
    return true;
}

// The end of the tag that starts at `at`; its attribute values may hold '>'. npos when the
// tag is not closed, which the reader reports.
size_t EndOfTag(const std::string& text, size_t at)
{
    for (++at; at < text.size(); ++at) {
        char c = text[at];
        if (c == '>')
            return at + 1;
        if (c == '"' || c == '\'') {
            at = text.find(c, at + 1);
            if (at == std::string::npos)
                return at;
        }
    }
    return std::string::npos;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// "<?xml" in any case, which only the XML declaration may begin with.
bool IsXmlDeclaration(const std::string& text, size_t at)
{
    if (text.size() <= at + 5 ||
        ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.data() + at, 5, "<?xml", 5) != CSTR_EQUAL)
        return false;
    return IsSpace(text[at + 5]) || text[at + 5] == '?';
}

// Copies the byte-order mark and the XML declaration; what follows up to the first tag is
// left out, but for a line break and the spaces that keep the first tag in its column. A
// file without a declaration must begin with its first tag: the reader takes one that
// begins with white space for a file without tags.
bool ShapeProlog(const std::string& in, std::string* out, size_t* firstTag, unsigned long* lineOffset,
                 std::string* error)
{
    const size_t kMaxIndent = 4096;   // far below what the reader can take there
    size_t at = in.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    bool declared = IsXmlDeclaration(in, at);
    if (declared) {
        size_t end = in.find("?>", at);
        if (end == std::string::npos) {
            *error = NotXml(in, at, "the XML declaration is not closed");
            return false;
        }
        at = end + 2;
    }
    out->assign(in, 0, at);
    size_t lineStart = at;
    unsigned long breaks = 0;
    while (at < in.size() && !(in[at] == '<' && in.compare(at, 2, "<!") != 0 && in.compare(at, 2, "<?") != 0)) {
        size_t end = at + 1;
        if (in.compare(at, 4, "<!--") == 0) {
            if (!SkipComment(in, at, &end, error))
                return false;
        } else if (in.compare(at, 2, "<?") == 0) {
            end = in.find("?>", at + 2);
            if (end == std::string::npos || IsXmlDeclaration(in, at)) {
                *error = NotXml(in, at, end == std::string::npos ? "a processing instruction is not closed"
                                                                 : "an XML declaration after the start of the file");
                return false;
            }
            end += 2;
        } else if (in[at] == '<') {
            *error = NotXml(in, at, "a document type definition, which a language file may not have");
            return false;
        } else if (!IsSpace(in[at])) {
            *error = NotXml(in, at, "text before the first tag");
            return false;
        }
        for (; at < end; ++at)
            if (IsLineBreak(in, at)) {
                ++breaks;
                lineStart = at + 1;
            }
    }
    if (at == in.size()) {
        *error = "the file holds no tag";
        return false;
    }
    *firstTag = at;
    *lineOffset = breaks;
    if (!declared)
        return true;
    if (breaks > 0) {
        *out += '\n';
        --*lineOffset;
    }
    if (at - lineStart <= kMaxIndent)
        out->append(at - lineStart, ' ');
    return true;
}

// Copies the document from its first tag on, with only the line breaks of every comment.
bool ShapeBody(const std::string& in, size_t at, std::string* out, std::string* error)
{
    size_t copied = at;
    while (at != std::string::npos && (at = in.find('<', at)) != std::string::npos) {
        if (in.compare(at, 4, "<!--") == 0) {
            size_t end = 0;
            if (!SkipComment(in, at, &end, error))
                return false;
            out->append(in, copied, at - copied);
            for (; at < end; ++at)
                if (IsLineBreak(in, at))
                    *out += '\n';
            copied = end;
        } else if (in.compare(at, 9, "<![CDATA[") == 0) {
            at = in.find("]]>", at + 9);
        } else if (in.compare(at, 2, "<?") == 0) {
            at = in.find("?>", at + 2);
        } else {
            at = EndOfTag(in, at);
        }
    }
    out->append(in, copied, std::string::npos);
    return true;
}

bool KeepFromReader(std::string* bytes, unsigned long* lineOffset, std::string* error)
{
    std::string shaped;
    size_t firstTag = 0;
    if (!ShapeProlog(*bytes, &shaped, &firstTag, lineOffset, error) || !ShapeBody(*bytes, firstTag, &shaped, error))
        return false;
    bytes->swap(shaped);
    return true;
}

} // namespace

std::string Printed(const char* format, unsigned long a, unsigned long b, unsigned long c)
{
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return buffer;
}

bool ReadShaped(const std::string& path, unsigned long maxSize, ShapedFile* file, std::string* error)
{
    if (!ReadWholeFile(path, maxSize, &file->bytes, error) || !Utf16ToUtf8(&file->bytes, error) ||
        !KeepFromReader(&file->bytes, &file->lineOffset, error))
        return false;
    file->escapedWhiteSpace = EscapeWhiteSpaceReferences(&file->bytes);
    file->bytes += '\n';
    return true;
}

bool HoldsEscapedWhiteSpace(const wchar_t* text, size_t length)
{
    return std::any_of(text, text + length, IsEscapedWhiteSpace);
}

bool Unescape(std::wstring* text)
{
    bool any = false;
    for (wchar_t& c : *text)
        if (IsEscapedWhiteSpace(c)) {
            c = static_cast<wchar_t>(c - kEscapedWhiteSpace);
            any = true;
        }
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
