#include "PeImage.h"
#include <windows.h>
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <map>

namespace daxohost {

namespace {

using Size = unsigned long long;   // every offset and count is reckoned in 64 bits

// No library of this host comes near; a larger file is refused before its tables are read.
constexpr Size kMaxFileBytes = 256ull << 20;
// Windows loads no image with more sections.
constexpr Size kMaxSections = 96;
// The longest decorated name Microsoft's compiler writes.
constexpr Size kMaxNameLength = 4096;
// Export ordinals are 16 bits wide: no library names more.
constexpr Size kMaxExportNames = 65536;
// Far beyond what any program imports, across all its libraries (a thunk table shared by many
// descriptors counts each time), and far below what would cost the operator time.
constexpr Size kMaxImportedNames = 65536;
constexpr Size kMaxImportLibraries = 4096;
// Bytes of names, exported and imported together.
constexpr Size kMaxNameBytes = 16ull << 20;
// The file is read in pages, and only the pages the headers and tables lie in.
constexpr Size kPageBytes = 64 * 1024;

// Thrown by the reader when the file does not hold what its headers say; caught below only.
struct Damage {
    std::string what;
};

std::string Hex(Size value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", value);
    return text;
}

class File {
public:
    File(HANDLE handle, Size size) : m_handle(handle), m_size(size) {}
    ~File() { ::CloseHandle(m_handle); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    Size Bytes() const { return m_size; }

    // The whole range, or false when the file is shorter.
    bool Read(Size offset, void* out, Size size)
    {
        if (offset > m_size || size > m_size - offset)
            return false;
        char* to = static_cast<char*>(out);
        while (size > 0) {
            const char* page = Page(offset / kPageBytes);
            Size within = offset % kPageBytes;
            Size take = std::min(size, kPageBytes - within);
            std::memcpy(to, page + within, take);
            to += take;
            offset += take;
            size -= take;
        }
        return true;
    }

    // The characters from `offset` up to a zero before `end` and within `limit`; false when
    // there is none.
    bool Text(Size offset, Size end, Size limit, std::string* out)
    {
        out->clear();
        end = std::min(end, m_size);
        while (offset < end) {
            const char* page = Page(offset / kPageBytes);
            Size within = offset % kPageBytes;
            Size take = std::min(end - offset, kPageBytes - within);
            const char* from = page + within;
            const void* zero = std::memchr(from, 0, take);
            Size length = zero ? static_cast<Size>(static_cast<const char*>(zero) - from) : take;
            if (out->size() + length > limit)
                return false;
            out->append(from, length);
            if (zero)
                return true;
            offset += take;
        }
        return false;
    }

private:
    const char* Page(Size index)
    {
        auto found = m_pages.find(index);
        if (found != m_pages.end())
            return found->second.data();
        std::vector<char>& page = m_pages[index];
        page.assign(kPageBytes, 0);
        Size start = index * kPageBytes;
        DWORD wanted = static_cast<DWORD>(std::min(kPageBytes, m_size - start));
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(start);
        at.OffsetHigh = static_cast<DWORD>(start >> 32);
        DWORD read = 0;
        if (!::ReadFile(m_handle, page.data(), wanted, &read, &at) || read != wanted)
            throw Damage{"the file cannot be read at byte " + std::to_string(start + read) + " (error " +
                         std::to_string(::GetLastError()) + ")"};
        return page.data();
    }

    HANDLE m_handle;
    Size m_size;
    std::map<Size, std::vector<char>> m_pages;
};

// Where a virtual address lies in the file: in the headers or in a section's raw data.
class Layout {
public:
    Layout(File& file, Size headerBytes, std::vector<IMAGE_SECTION_HEADER> sections)
        : m_file(file), m_headerBytes(std::min(headerBytes, file.Bytes())), m_sections(std::move(sections)) {}

    // The file offset of `size` bytes at `rva`, and where the raw data they lie in ends.
    bool Find(Size rva, Size size, Size* offset, Size* end) const
    {
        if (rva < m_headerBytes) {
            *offset = rva;
            *end = m_headerBytes;
        } else {
            const IMAGE_SECTION_HEADER* in = nullptr;
            for (const IMAGE_SECTION_HEADER& s : m_sections)
                if (rva >= s.VirtualAddress && rva - s.VirtualAddress < s.SizeOfRawData)
                    in = &s;
            if (!in)
                return false;
            *offset = Size(in->PointerToRawData) + (rva - in->VirtualAddress);
            *end = Size(in->PointerToRawData) + in->SizeOfRawData;
        }
        return size <= *end - *offset;
    }

    template <typename T>
    void Read(Size rva, T* out, const char* what) const
    {
        Size offset = 0, end = 0;
        if (!Find(rva, sizeof(T), &offset, &end) || !m_file.Read(offset, out, sizeof(T)))
            throw Damage{std::string(what) + " at " + Hex(rva) + " lies outside the file"};
    }

    std::vector<DWORD> Words(Size rva, Size count, const char* what) const
    {
        Size offset = 0, end = 0;
        std::vector<DWORD> words;
        if (!Find(rva, count * 4, &offset, &end))
            throw Damage{std::string(what) + " of " + std::to_string(count) + " entries at " + Hex(rva) +
                         " lies outside the file"};
        words.resize(count);
        if (count && !m_file.Read(offset, words.data(), count * 4))
            throw Damage{std::string(what) + " at " + Hex(rva) + " lies outside the file"};
        return words;
    }

    std::string Name(Size rva, Size limit, Size* budget, const char* what) const
    {
        Size offset = 0, end = 0;
        std::string name;
        if (!Find(rva, 1, &offset, &end))
            throw Damage{std::string(what) + " at " + Hex(rva) + " lies outside the file"};
        if (!m_file.Text(offset, end, limit, &name))
            throw Damage{std::string(what) + " at " + Hex(rva) + " has no end within " + std::to_string(limit) +
                         " characters"};
        if (name.size() + 1 > *budget)
            throw Damage{"its names take more than " + std::to_string(kMaxNameBytes >> 20) + " MB"};
        *budget -= name.size() + 1;
        return name;
    }

private:
    File& m_file;
    Size m_headerBytes;
    std::vector<IMAGE_SECTION_HEADER> m_sections;
};

void ReadExports(const Layout& layout, const IMAGE_DATA_DIRECTORY& directory, Size* budget, PeImage* image)
{
    if (!directory.VirtualAddress || !directory.Size)
        return;
    IMAGE_EXPORT_DIRECTORY exports;
    layout.Read(directory.VirtualAddress, &exports, "its export directory");
    if (exports.NumberOfNames > kMaxExportNames)
        throw Damage{"its export directory counts " + std::to_string(exports.NumberOfNames) + " names, more than " +
                     std::to_string(kMaxExportNames)};
    for (DWORD rva : layout.Words(exports.AddressOfNames, exports.NumberOfNames, "its table of export names"))
        image->exports.push_back(layout.Name(rva, kMaxNameLength, budget, "an exported name"));
}

void ReadImports(const Layout& layout, const IMAGE_DATA_DIRECTORY& directory, Size* budget, PeImage* image)
{
    Size names = 0;
    const Size width = image->is64 ? 8 : 4;
    const Size byOrdinal = 1ull << (width * 8 - 1);
    for (Size at = directory.VirtualAddress; directory.VirtualAddress; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR descriptor;
        layout.Read(at, &descriptor, "its import directory");
        if (!descriptor.Name || !descriptor.FirstThunk)
            break;
        if (image->imports.size() >= kMaxImportLibraries)
            throw Damage{"it imports from more than " + std::to_string(kMaxImportLibraries) + " libraries"};
        PeImport import{layout.Name(descriptor.Name, MAX_PATH, budget, "the name of an imported library"), {}};
        Size thunk = descriptor.OriginalFirstThunk ? descriptor.OriginalFirstThunk : descriptor.FirstThunk;
        for (;; thunk += width) {
            Size value = 0;
            if (width == 8) {
                layout.Read(thunk, &value, "an import");
            } else {
                DWORD narrow = 0;
                layout.Read(thunk, &narrow, "an import");
                value = narrow;
            }
            if (!value)
                break;
            if (++names > kMaxImportedNames)
                throw Damage{"it imports more than " + std::to_string(kMaxImportedNames) + " names"};
            if (value & byOrdinal)
                continue;
            if (value > 0xFFFFFFFFull)
                throw Damage{"an import from " + import.library + " names the address " + Hex(value)};
            import.names.push_back(layout.Name(value + 2, kMaxNameLength, budget, "an imported name"));   // past the hint
        }
        image->imports.push_back(std::move(import));
    }
}

PeImage Refused(PeFault problem, const std::string& fault, unsigned long error = 0)
{
    PeImage image;
    image.problem = problem;
    image.fault = fault;
    image.error = error;
    return image;
}

void ReadTables(File& file, PeImage* image)
{
    IMAGE_DOS_HEADER dos;
    DWORD signature = 0;
    if (!file.Read(0, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) {
        *image = Refused(PeFault::NotPe, "it has no Windows image header");
        return;
    }
    const Size nt = static_cast<DWORD>(dos.e_lfanew);
    if (!file.Read(nt, &signature, sizeof signature))
        throw Damage{"its headers end before the image header at byte " + std::to_string(nt)};
    if (signature != IMAGE_NT_SIGNATURE) {
        *image = Refused(PeFault::NotPe, "it is a DOS program or no image at all");
        return;
    }
    IMAGE_FILE_HEADER header;
    WORD magic = 0;
    const Size optional = nt + 4 + sizeof header;
    if (!file.Read(nt + 4, &header, sizeof header) || !file.Read(optional, &magic, sizeof magic))
        throw Damage{"its headers are cut short"};
    image->machine = header.Machine;
    image->isDll = (header.Characteristics & IMAGE_FILE_DLL) != 0;
    if (magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC && magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC)
        throw Damage{"its optional header has the unknown kind " + Hex(magic)};
    image->is64 = magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    const Size fixed = image->is64 ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                                   : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory);
    const Size countAt = image->is64 ? offsetof(IMAGE_OPTIONAL_HEADER64, NumberOfRvaAndSizes)
                                     : offsetof(IMAGE_OPTIONAL_HEADER32, NumberOfRvaAndSizes);
    const Size headersAt = image->is64 ? offsetof(IMAGE_OPTIONAL_HEADER64, SizeOfHeaders)
                                       : offsetof(IMAGE_OPTIONAL_HEADER32, SizeOfHeaders);
    DWORD count = 0, headerBytes = 0;
    if (header.SizeOfOptionalHeader < fixed || !file.Read(optional + countAt, &count, sizeof count) ||
        !file.Read(optional + headersAt, &headerBytes, sizeof headerBytes))
        throw Damage{"its optional header is cut short"};
    count = static_cast<DWORD>(std::min<Size>({count, IMAGE_NUMBEROF_DIRECTORY_ENTRIES,
                                               (header.SizeOfOptionalHeader - fixed) / sizeof(IMAGE_DATA_DIRECTORY)}));
    IMAGE_DATA_DIRECTORY directories[IMAGE_NUMBEROF_DIRECTORY_ENTRIES] = {};
    if (count && !file.Read(optional + fixed, directories, count * sizeof(IMAGE_DATA_DIRECTORY)))
        throw Damage{"its data directories are cut short"};
    if (header.NumberOfSections > kMaxSections)
        throw Damage{"it counts " + std::to_string(header.NumberOfSections) + " sections, more than " +
                     std::to_string(kMaxSections)};
    std::vector<IMAGE_SECTION_HEADER> sections(header.NumberOfSections);
    if (!sections.empty() &&
        !file.Read(optional + header.SizeOfOptionalHeader, sections.data(), sections.size() * sizeof sections[0]))
        throw Damage{"its section table is cut short"};
    for (const IMAGE_SECTION_HEADER& s : sections) {
        const Size end = Size(s.PointerToRawData) + s.SizeOfRawData;
        if (s.SizeOfRawData && end > file.Bytes())
            throw Damage{"its section " + std::string(reinterpret_cast<const char*>(s.Name), strnlen(reinterpret_cast<const char*>(s.Name), 8)) +
                         " ends at byte " + std::to_string(end) + ", the file at byte " + std::to_string(file.Bytes())};
    }
    Layout layout(file, headerBytes, std::move(sections));
    Size budget = kMaxNameBytes;
    ReadExports(layout, directories[IMAGE_DIRECTORY_ENTRY_EXPORT], &budget, image);
    ReadImports(layout, directories[IMAGE_DIRECTORY_ENTRY_IMPORT], &budget, image);
    image->read = true;
}

} // namespace

bool IsDeviceName(const std::string& fileName)
{
    std::string base = fileName.substr(0, fileName.find('.'));
    while (!base.empty() && (base.back() == ' ' || base.back() == ':'))
        base.pop_back();
    for (char& c : base)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"})
        if (base == device)
            return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

PeImage ReadPeImage(const std::string& path)
{
    const std::string name = path.substr(path.find_last_of("\\/") + 1);
    if (IsDeviceName(name) || path.compare(0, 4, "\\\\.\\") == 0 || path.compare(0, 4, "//./") == 0)
        return Refused(PeFault::CannotOpen, "it names a device, not a file");
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Refused(PeFault::CannotOpen, "", ::GetLastError());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return Refused(PeFault::CannotOpen, "it is a folder");
    HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return Refused(PeFault::CannotOpen, "", ::GetLastError());
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        ::CloseHandle(handle);
        return Refused(PeFault::CannotOpen, "it is a device or a pipe, not a file");
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle, &size)) {
        DWORD error = ::GetLastError();
        ::CloseHandle(handle);
        return Refused(PeFault::CannotOpen, "", error);
    }
    File file(handle, static_cast<Size>(size.QuadPart));
    if (file.Bytes() > kMaxFileBytes)
        return Refused(PeFault::TooLarge, "it has " + std::to_string(file.Bytes() >> 20) + " MB, more than the " +
                                              std::to_string(kMaxFileBytes >> 20) + " MB of any library of this host");
    PeImage image;
    try {
        ReadTables(file, &image);
    } catch (const Damage& damage) {
        PeImage damaged = Refused(PeFault::Damaged, damage.what);
        damaged.machine = image.machine;
        damaged.is64 = image.is64;
        damaged.isDll = image.isDll;
        return damaged;
    }
    return image;
}

} // namespace daxohost
