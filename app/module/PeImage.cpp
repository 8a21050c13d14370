#include "PeImage.h"
#include <windows.h>
#include <cstring>
#include <fstream>
#include <iterator>

namespace daxohost {

namespace {

// Bounds-checked view of the file by virtual address.
class Layout {
public:
    Layout(const std::vector<char>& bytes, const IMAGE_SECTION_HEADER* sections, int count)
        : m_bytes(bytes), m_sections(sections), m_count(count) {}

    const char* At(DWORD rva, size_t size = 1) const
    {
        for (int i = 0; i < m_count; ++i) {
            const IMAGE_SECTION_HEADER& s = m_sections[i];
            DWORD extent = s.Misc.VirtualSize > s.SizeOfRawData ? s.Misc.VirtualSize : s.SizeOfRawData;
            if (rva >= s.VirtualAddress && rva - s.VirtualAddress < extent) {
                size_t offset = s.PointerToRawData + (rva - s.VirtualAddress);
                return offset + size <= m_bytes.size() ? m_bytes.data() + offset : nullptr;
            }
        }
        return nullptr;
    }
    std::string Text(DWORD rva) const
    {
        const char* text = At(rva);
        if (!text)
            return std::string();
        size_t room = static_cast<size_t>(m_bytes.data() + m_bytes.size() - text);
        return std::string(text, strnlen(text, room));
    }

private:
    const std::vector<char>& m_bytes;
    const IMAGE_SECTION_HEADER* m_sections;
    int m_count;
};

template <typename T>
bool Copy(const std::vector<char>& bytes, size_t offset, T* out)
{
    if (offset + sizeof(T) > bytes.size())
        return false;
    std::memcpy(out, bytes.data() + offset, sizeof(T));
    return true;
}

} // namespace

PeImage ReadPeImage(const std::string& path)
{
    PeImage image;
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    IMAGE_DOS_HEADER dos;
    DWORD signature = 0;
    IMAGE_FILE_HEADER header;
    WORD magic = 0;
    if (!Copy(bytes, 0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0 ||
        !Copy(bytes, dos.e_lfanew, &signature) || signature != IMAGE_NT_SIGNATURE ||
        !Copy(bytes, dos.e_lfanew + 4, &header) || !Copy(bytes, dos.e_lfanew + 4 + sizeof header, &magic))
        return image;
    image.is64 = magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    image.isDll = (header.Characteristics & IMAGE_FILE_DLL) != 0;
    size_t optional = dos.e_lfanew + 4 + sizeof header;
    IMAGE_DATA_DIRECTORY exportDir = {}, importDir = {};
    size_t directories = optional + (image.is64 ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                                                : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory));
    if (!Copy(bytes, directories + IMAGE_DIRECTORY_ENTRY_EXPORT * sizeof exportDir, &exportDir) ||
        !Copy(bytes, directories + IMAGE_DIRECTORY_ENTRY_IMPORT * sizeof importDir, &importDir))
        return image;
    size_t sectionsAt = optional + header.SizeOfOptionalHeader;
    if (sectionsAt + header.NumberOfSections * sizeof(IMAGE_SECTION_HEADER) > bytes.size())
        return image;
    Layout layout(bytes, reinterpret_cast<const IMAGE_SECTION_HEADER*>(bytes.data() + sectionsAt),
                  header.NumberOfSections);

    if (exportDir.VirtualAddress) {
        auto directory = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
            layout.At(exportDir.VirtualAddress, sizeof(IMAGE_EXPORT_DIRECTORY)));
        const char* names = directory ? layout.At(directory->AddressOfNames, directory->NumberOfNames * 4) : nullptr;
        for (DWORD i = 0; names && i < directory->NumberOfNames; ++i) {
            DWORD rva;
            std::memcpy(&rva, names + i * 4, 4);
            image.exports.push_back(layout.Text(rva));
        }
    }
    for (DWORD at = importDir.VirtualAddress; at; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        auto descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(layout.At(at, sizeof(IMAGE_IMPORT_DESCRIPTOR)));
        if (!descriptor || !descriptor->Name)
            break;
        PeImport import{layout.Text(descriptor->Name), {}};
        DWORD thunks = descriptor->OriginalFirstThunk ? descriptor->OriginalFirstThunk : descriptor->FirstThunk;
        size_t width = image.is64 ? 8 : 4;
        for (DWORD t = thunks;; t += static_cast<DWORD>(width)) {
            const char* slot = layout.At(t, width);
            if (!slot)
                break;
            unsigned long long value = 0;
            std::memcpy(&value, slot, width);
            if (!value)
                break;
            bool byOrdinal = value >> (width * 8 - 1);
            if (!byOrdinal)
                import.names.push_back(layout.Text(static_cast<DWORD>(value) + 2));   // past the hint
        }
        image.imports.push_back(import);
    }
    image.read = true;
    return image;
}

} // namespace daxohost
