#include "XmlInput.h"
#include "XmlShaper.h"
#include "XmlText.h"
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace xmlinput {

namespace {

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

} // namespace

std::string Printed(const char* format, unsigned long a, unsigned long b, unsigned long c)
{
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return buffer;
}

bool ReadShaped(const std::string& path, unsigned long maxSize, ShapedFile* file, std::string* error)
{
    std::string bytes;
    if (!ReadWholeFile(path, maxSize, &bytes, error))
        return false;
    bool utf16 = ToUtf8(&bytes);
    Shaper shaper(bytes, utf16, file);
    if (shaper.Run())
        return true;
    *error = shaper.Reason();
    return false;
}

bool HoldsEscape(const wchar_t* text, size_t length)
{
    return std::find(text, text + length, kEscape) != text + length;
}

bool Unescape(std::wstring* text)
{
    std::wstring& t = *text;
    size_t to = 0;
    for (size_t from = 0; from < t.size(); ++from, ++to)
        t[to] = t[from] == kEscape && from + 1 < t.size() ? Unescaped(t[++from]) : t[from];
    bool any = to < t.size();
    t.resize(to);
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
        // The reader misreads what the end of a chunk splits: it keeps back the last byte of a
        // chunk that ends in a multi-byte character, whole or not, and it has page-faulted on
        // files whose chunks split character references. So a chunk ends after an ASCII byte
        // and outside a reference; only a chunk shorter than a name can lack such an end, and
        // it ends between two characters.
        const char* chunk = m_bytes.data() + m_position;
        size_t ascii = count;
        for (size_t at = count; at > 0 && chunk[at - 1] != ';'; --at)
            if (chunk[at - 1] == '&') {
                ascii = at - 1;
                break;
            }
        while (ascii > 0 && static_cast<unsigned char>(chunk[ascii - 1]) >= 0x80)
            --ascii;
        if (ascii > 0)
            count = ascii;
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
