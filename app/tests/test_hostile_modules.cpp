// Files that are no module of this host, some made to hurt whoever reads or loads them:
// daxohost --check-module names each with its exit code and its first line, and neither
// crashes, hangs nor runs out of memory on any.
#include "HostRun.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <cstddef>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using daxotest::DistFolder;
using daxotest::Outcome;
using daxotest::RunHost;
using daxotest::TempPath;
using daxotest::WindowsPath;

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%lX", static_cast<unsigned long>(value));
    return text;
}

// The shipped module's bytes, with the places of its headers and tables, to be changed.
class Image {
public:
    explicit Image(std::string bytes) : m_bytes(std::move(bytes)) {}

    std::string& Bytes() { return m_bytes; }

    template <typename T>
    T Get(size_t offset) const
    {
        T value{};
        std::memcpy(&value, m_bytes.data() + offset, sizeof value);
        return value;
    }
    template <typename T>
    void Put(size_t offset, T value)
    {
        std::memcpy(&m_bytes[offset], &value, sizeof value);
    }

    size_t FileHeader() const { return Get<LONG>(offsetof(IMAGE_DOS_HEADER, e_lfanew)) + 4; }
    size_t Optional() const { return FileHeader() + sizeof(IMAGE_FILE_HEADER); }
    size_t Directory(int entry) const
    {
        return Optional() + offsetof(IMAGE_OPTIONAL_HEADER, DataDirectory) + entry * sizeof(IMAGE_DATA_DIRECTORY);
    }
    DWORD DirectoryRva(int entry) const { return Get<DWORD>(Directory(entry)); }
    size_t SectionTable() const
    {
        return Optional() + Get<WORD>(FileHeader() + offsetof(IMAGE_FILE_HEADER, SizeOfOptionalHeader));
    }
    WORD Sections() const { return Get<WORD>(FileHeader() + offsetof(IMAGE_FILE_HEADER, NumberOfSections)); }
    IMAGE_SECTION_HEADER Section(int i) const
    {
        return Get<IMAGE_SECTION_HEADER>(SectionTable() + i * sizeof(IMAGE_SECTION_HEADER));
    }
    size_t Offset(DWORD rva) const
    {
        for (int i = 0; i < Sections(); ++i) {
            IMAGE_SECTION_HEADER s = Section(i);
            if (rva >= s.VirtualAddress && rva - s.VirtualAddress < s.SizeOfRawData)
                return s.PointerToRawData + (rva - s.VirtualAddress);
        }
        ADD_FAILURE() << "no section holds " << Hex(rva);
        return 0;
    }
    std::string Text(DWORD rva) const { return std::string(m_bytes.data() + Offset(rva)); }

    // A section of its own at the end of the file; its address.
    DWORD Append(const std::string& data)
    {
        IMAGE_SECTION_HEADER last = Section(Sections() - 1);
        IMAGE_SECTION_HEADER added{};
        std::memcpy(added.Name, ".hostile", 8);
        const DWORD pageBytes = 0x1000;
        added.VirtualAddress = (last.VirtualAddress + last.Misc.VirtualSize + pageBytes - 1) / pageBytes * pageBytes;
        added.Misc.VirtualSize = static_cast<DWORD>(data.size());
        added.SizeOfRawData = static_cast<DWORD>(data.size());
        added.PointerToRawData = static_cast<DWORD>(m_bytes.size());
        added.Characteristics = IMAGE_SCN_CNT_INITIALIZED_DATA | IMAGE_SCN_MEM_READ;
        Put(SectionTable() + Sections() * sizeof(IMAGE_SECTION_HEADER), added);
        Put<WORD>(FileHeader() + offsetof(IMAGE_FILE_HEADER, NumberOfSections), Sections() + 1);
        Put<DWORD>(Optional() + offsetof(IMAGE_OPTIONAL_HEADER, SizeOfImage),
                   added.VirtualAddress + (added.Misc.VirtualSize + pageBytes - 1) / pageBytes * pageBytes);
        m_bytes += data;
        return added.VirtualAddress;
    }

    // The import descriptors, by their offset in the file.
    std::vector<size_t> Descriptors() const
    {
        std::vector<size_t> found;
        for (size_t at = Offset(DirectoryRva(IMAGE_DIRECTORY_ENTRY_IMPORT));
             Get<IMAGE_IMPORT_DESCRIPTOR>(at).Name; at += sizeof(IMAGE_IMPORT_DESCRIPTOR))
            found.push_back(at);
        return found;
    }
    size_t Descriptor(const char* library) const
    {
        for (size_t at : Descriptors())
            if (_stricmp(Text(Get<IMAGE_IMPORT_DESCRIPTOR>(at).Name).c_str(), library) == 0)
                return at;
        ADD_FAILURE() << "no imports from " << library;
        return Descriptors().front();
    }
    size_t ExportField(size_t field) const { return Offset(DirectoryRva(IMAGE_DIRECTORY_ENTRY_EXPORT)) + field; }

private:
    std::string m_bytes;
};

template <typename T>
std::string Raw(const T& value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// Each mutation of the shipped module returns what its expected line names ({detail}).
using Mutation = std::function<std::string(Image&)>;

std::string WrapTheExportNameCount(Image& image)
{
    image.Put<DWORD>(image.ExportField(offsetof(IMAGE_EXPORT_DIRECTORY, NumberOfNames)), 0x40000001);
    return std::string();
}

std::string MoveTheImportDirectoryOut(Image& image)
{
    image.Put<DWORD>(image.Directory(IMAGE_DIRECTORY_ENTRY_IMPORT), 0x7FFF0000);
    return std::string();
}

std::string MoveTheThunksOut(Image& image)
{
    image.Put<DWORD>(image.Descriptors().front() + offsetof(IMAGE_IMPORT_DESCRIPTOR, OriginalFirstThunk), 0x7FFF0000);
    return std::string();
}

// 4,000 export names, all at one megabyte of letters without an end.
std::string LeaveTheNamesUnterminated(Image& image)
{
    const DWORD names = 4000;
    const DWORD at = image.Append(std::string(names * 4, '\0') + std::string(1 << 20, 'A'));
    const DWORD text = at + names * 4;
    for (DWORD i = 0; i < names; ++i)
        image.Put<DWORD>(image.Offset(at) + i * 4, text);
    image.Put<DWORD>(image.ExportField(offsetof(IMAGE_EXPORT_DIRECTORY, NumberOfNames)), names);
    image.Put<DWORD>(image.ExportField(offsetof(IMAGE_EXPORT_DIRECTORY, AddressOfNames)), at);
    return Hex(text);
}

// 3,000 import descriptors that share one table of 30,000 names.
std::string ShareOneThunkTable(Image& image)
{
    const DWORD thunks = 30000, descriptors = 3000;
    const std::string library = "KERNEL32.dll";
    std::string data(2 + 6 + library.size() + 1, '\0');   // hint, "Sleep", the library's name
    data.replace(2, 5, "Sleep");
    data.replace(8, library.size(), library);
    const size_t tableAt = (data.size() + 7) / 8 * 8;
    data.resize(tableAt + (thunks + 1) * 8, '\0');
    const size_t descriptorsAt = data.size();
    data.resize(descriptorsAt + (descriptors + 1) * sizeof(IMAGE_IMPORT_DESCRIPTOR), '\0');
    const DWORD at = image.Append(data);
    const size_t file = image.Offset(at);
    for (DWORD i = 0; i < thunks; ++i)
        image.Put<ULONGLONG>(file + tableAt + i * 8, at);
    for (DWORD i = 0; i < descriptors; ++i) {
        IMAGE_IMPORT_DESCRIPTOR descriptor{};
        descriptor.OriginalFirstThunk = at + static_cast<DWORD>(tableAt);
        descriptor.FirstThunk = descriptor.OriginalFirstThunk;
        descriptor.Name = at + 8;
        image.Put(file + descriptorsAt + i * sizeof descriptor, descriptor);
    }
    image.Put<DWORD>(image.Directory(IMAGE_DIRECTORY_ENTRY_IMPORT), at + static_cast<DWORD>(descriptorsAt));
    return std::string();
}

Mutation SetTheMachine(WORD machine)
{
    return [machine](Image& image) {
        image.Put<WORD>(image.FileHeader() + offsetof(IMAGE_FILE_HEADER, Machine), machine);
        return std::string();
    };
}

Mutation CutTo(size_t bytes)
{
    return [bytes](Image& image) {
        image.Bytes().resize(bytes ? bytes : image.Bytes().size() / 2);
        return std::string();
    };
}

// The first name imported from `library`, one letter changed: the detail is the new name.
Mutation ChangeAnImportedName(const char* library)
{
    return [library](Image& image) {
        const size_t thunks = image.Offset(image.Get<IMAGE_IMPORT_DESCRIPTOR>(image.Descriptor(library)).OriginalFirstThunk);
        const size_t name = image.Offset(static_cast<DWORD>(image.Get<ULONGLONG>(thunks)) + 2);
        image.Bytes()[name] = 'X';
        return std::string(image.Bytes().data() + name);
    };
}

std::string ImportFromCon(Image& image)
{
    const size_t name = image.Offset(image.Get<IMAGE_IMPORT_DESCRIPTOR>(image.Descriptor("KERNEL32.dll")).Name);
    image.Bytes().replace(name, 4, std::string("CON\0", 4));
    return std::string();
}

std::string Replace(std::string text, const std::string& field, const std::string& value)
{
    for (size_t at; (at = text.find(field)) != std::string::npos;)
        text.replace(at, field.size(), value);
    return text;
}

TEST(HostileModules, CheckModuleNamesEachWithItsExitCodeAndNeverCrashesOrHangs)
{
    // The mutations are placed by the layout of the x86-64 module (8-byte thunks, its tables'
    // places); on i686 they would be other files than their names say.
    if (sizeof(void*) == 4)
        GTEST_SKIP() << "the hostile files are made from the x86-64 module's layout";
    // A case's time limit of the module's own process, where it loops: short, as no case needs more.
    const char* const loopSeconds = "2";
    const struct {
        const char* what;
        Mutation mutate;           // of the shipped module
        const char* fake;          // or one of the fake modules
        const char* argument;      // as named on the command line; null: the file's full path
        DWORD exitCode;
        const char* firstLine;     // {path}: the argument, {detail}: what the mutation names
        bool loops;
    } cases[] = {
        {"export name count that wraps", WrapTheExportNameCount, nullptr, nullptr, 2,
         "daxohost: {path} is damaged or cut short: its export directory counts 1073741825 names, more than 65536.", false},
        {"import directory outside the image", MoveTheImportDirectoryOut, nullptr, nullptr, 2,
         "daxohost: {path} is damaged or cut short: its import directory at 0x7FFF0000 lies outside the file.", false},
        {"thunks outside the image", MoveTheThunksOut, nullptr, nullptr, 2,
         "daxohost: {path} is damaged or cut short: an import at 0x7FFF0000 lies outside the file.", false},
        {"unterminated names", LeaveTheNamesUnterminated, nullptr, nullptr, 2,
         "daxohost: {path} is damaged or cut short: an exported name at {detail} has no end within 4096 characters.",
         false},
        {"shared thunk tables", ShareOneThunkTable, nullptr, nullptr, 2,
         "daxohost: {path} is damaged or cut short: it imports more than 65536 names.", false},
        {"another machine: ARM64", SetTheMachine(0xAA64), nullptr, nullptr, 2,
         "daxohost: {path} is a library of another architecture (ARM64); this host is x86-64, 64-bit.", false},
        {"another machine: i386 in a 64-bit image", SetTheMachine(IMAGE_FILE_MACHINE_I386), nullptr, nullptr, 2,
         "daxohost: {path} is a library of another architecture (i386, 32-bit); this host is x86-64, 64-bit.", false},
        {"cut short in half", CutTo(0), nullptr, nullptr, 2, "daxohost: {path} is damaged or cut short: its section ",
         false},
        {"cut to 4 KB", CutTo(4096), nullptr, nullptr, 2, "daxohost: {path} is damaged or cut short: its section ", false},
        {"an imported name changed by a byte", ChangeAnImportedName("prubel.dll"), nullptr, nullptr, 1,
         "TestDAXO01.dll imports {detail} from prubel.dll, which does not export it.", false},
        {"a KERNEL32 import that does not exist", ChangeAnImportedName("KERNEL32.dll"), nullptr, nullptr, 1,
         "TestDAXO01.dll imports {detail} from KERNEL32.dll, which does not export it.", false},
        {"an import from CON", ImportFromCon, nullptr, nullptr, 1,
         "TestDAXO01.dll imports from CON, which is a device, not a library.", false},
        {"bare file name in another folder as the current one", nullptr, "wrongid", "TestDAXO01.dll", 1,
         "TestDAXO01.dll answers the module identifier 1234, not 20292.", false},
        {"relative file name in another folder as the current one", nullptr, "crashes", ".\\TestDAXO01.dll", 1,
         "TestDAXO01.dll crashed while loading: access violation 0xC0000005 at address ", false},
        {"_GetTestInstanceID loops", nullptr, "loops", nullptr, 1,
         "TestDAXO01.dll did not answer within 2 s (loading it and asking _GetTestInstanceID); the process that "
         "loaded it was ended.", true},
        {"DllMain faults", nullptr, "attachcrashes", nullptr, 1, "TestDAXO01.dll ", false},
        {"DllMain loops", nullptr, "attachloops", nullptr, 1, "TestDAXO01.dll did not answer within 2 s", true},
        {"a device as the module", nullptr, nullptr, "CON", 2, "daxohost: CON cannot be read: it names a device, not a file.",
         false},
        {"no such file", nullptr, nullptr, "missing.dll", 2, "daxohost: missing.dll cannot be read: ", false},
    };
    const std::string shipped = daxotest::ReadFileBytes(DistFolder() + "\\TestDAXO01.dll");
    ASSERT_FALSE(shipped.empty());
    int index = 0;
    for (const auto& check : cases) {
        const std::string folder = TempPath("hostile-" + std::to_string(++index));
        ::CreateDirectoryA(folder.c_str(), nullptr);
        const std::string file = folder + "\\TestDAXO01.dll";
        std::string detail;
        if (check.mutate) {
            Image image(shipped);
            detail = check.mutate(image);
            daxotest::WriteFileBytes(file, image.Bytes());
        } else if (check.fake) {
            const std::string fake = WindowsPath(std::string(DAXO_FAKE_MODULES) + "/" + check.fake + "/TestDAXO01.dll");
            ASSERT_TRUE(::CopyFileA(fake.c_str(), file.c_str(), FALSE)) << fake;
        }
        const std::string argument = check.argument ? check.argument : file;
        ::SetEnvironmentVariableA("DAXO_MODULE_PROBE_SECONDS", check.loops ? loopSeconds : nullptr);
        const Outcome outcome = RunHost(DistFolder(), {"--check-module", argument}, folder);
        ::SetEnvironmentVariableA("DAXO_MODULE_PROBE_SECONDS", nullptr);
        const std::string first = outcome.output.substr(0, outcome.output.find('\n'));
        const std::string expected = Replace(Replace(check.firstLine, "{path}", argument), "{detail}", detail);
        EXPECT_EQ(outcome.exitCode, check.exitCode) << check.what << ": " << outcome.output;
        EXPECT_EQ(first.compare(0, expected.size(), expected), 0) << check.what << ":\n  " << first << "\n  expected "
                                                                   << expected;
    }
}

} // namespace
