#include "ModuleFit.h"
#include "ModuleLoader.h"
#include "ModuleProbe.h"
#include "PeImage.h"
#include "SystemText.h"
#include <windows.h>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>

namespace daxohost {

namespace {

#if defined(_WIN64)
constexpr unsigned short kHostMachine = IMAGE_FILE_MACHINE_AMD64;
#else
constexpr unsigned short kHostMachine = IMAGE_FILE_MACHINE_I386;
#endif

std::string MachineName(unsigned short machine)
{
    switch (machine) {
    case IMAGE_FILE_MACHINE_I386: return "i386, 32-bit";
    case IMAGE_FILE_MACHINE_AMD64: return "x86-64, 64-bit";
    case 0xAA64: return "ARM64";
    case IMAGE_FILE_MACHINE_ARMNT: return "ARM, 32-bit";
    case IMAGE_FILE_MACHINE_IA64: return "Itanium";
    }
    char text[32];
    std::snprintf(text, sizeof text, "machine 0x%04X", machine);
    return text;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsGnuName(const std::string& name) { return name.compare(0, 2, "_Z") == 0; }

std::string FileName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH];
    DWORD length = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : path;
}

std::string SystemFolder()
{
    char folder[MAX_PATH];
    UINT length = ::GetSystemDirectoryA(folder, sizeof folder);
    return length && length < sizeof folder ? std::string(folder, length) : std::string();
}

std::string WindowsFolder()
{
    char folder[MAX_PATH];
    UINT length = ::GetWindowsDirectoryA(folder, sizeof folder);
    return length && length < sizeof folder ? std::string(folder, length) : std::string();
}

bool IsFile(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Names the loader maps to other libraries itself; no file of theirs need exist.
bool IsApiSet(const std::string& name)
{
    const std::string lower = Lower(name);
    return lower.compare(0, 8, "api-ms-w") == 0 || lower.compare(0, 7, "ext-ms-") == 0;
}

// Under Wine the system's libraries are Wine's own, and its C runtime lacks type_info's
// virtual table, which Windows' msvcrt.dll exports and the host's runtime imports: Wine binds
// it as it binds every missing import, and nothing calls through it.
constexpr const char* kNamesWineLacks[] = {"??_7type_info@@6B@"};

bool WineLacks(const std::string& library, const std::string& name)
{
    return Lower(library) == "msvcrt.dll" &&
           std::find(std::begin(kNamesWineLacks), std::end(kNamesWineLacks), name) != std::end(kNamesWineLacks) &&
           ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// Why a file is no library of this host, after its name; empty when it is one.
std::string WhyNotALibrary(const std::string& shown, const PeImage& image)
{
    if (image.machine && image.machine != kHostMachine)
        return shown + " is a library of another architecture (" + MachineName(image.machine) + "); this host is " +
               MachineName(kHostMachine) + ".";
    switch (image.problem) {
    case PeFault::None: break;
    case PeFault::CannotOpen:
        return shown + " cannot be read: " +
               (image.fault.empty() ? SystemErrorText(image.error, shown) + " (error " + std::to_string(image.error) + ")"
                                    : image.fault) + ".";
    case PeFault::TooLarge: return shown + " is no library of this host: " + image.fault + ".";
    case PeFault::NotPe: return shown + " is no Windows library.";
    case PeFault::Damaged: return shown + " is damaged or cut short: " + image.fault + ".";
    }
    if (image.is64 != (kHostMachine == IMAGE_FILE_MACHINE_AMD64))
        return shown + " is damaged or cut short: its machine is " + MachineName(image.machine) +
               ", its optional header of the other kind.";
    if (!image.isDll)
        return shown + " is a program, not a library.";
    return std::string();
}

// The libraries a module's imports bind to, found as the loader finds them: beside the host,
// then in the system's folders. Each is read once.
class Libraries {
public:
    explicit Libraries(const std::string& folder) : m_folders{folder, SystemFolder(), WindowsFolder()} {}

    struct Library {
        std::string path;         // empty: found nowhere
        bool besideHost = false;
        PeImage image;
        std::vector<std::string> exports;   // sorted
        std::string unusable;     // why the file found cannot serve
    };

    const Library& Find(const std::string& name)
    {
        auto known = m_found.find(Lower(name));
        if (known != m_found.end())
            return known->second;
        Library& library = m_found[Lower(name)];
        for (size_t i = 0; i < m_folders.size() && library.path.empty(); ++i) {
            if (!m_folders[i].empty() && IsFile(m_folders[i] + "\\" + name)) {
                library.path = m_folders[i] + "\\" + name;
                library.besideHost = i == 0;
            }
        }
        if (library.path.empty())
            return library;
        library.image = ReadPeImage(library.path);
        library.unusable = WhyNotALibrary(library.path, library.image);
        library.exports = library.image.exports;
        std::sort(library.exports.begin(), library.exports.end());
        return library;
    }

private:
    std::vector<std::string> m_folders;
    std::map<std::string, Library> m_found;
};

// A library name the loader could not take as one: a device it would open, or a path.
std::string NoLibraryName(const std::string& module, const std::string& name)
{
    if (IsDeviceName(name))
        return module + " imports from " + name + ", which is a device, not a library.";
    if (name.empty() || name.find_first_of("\\/:") != std::string::npos)
        return module + " imports from \"" + name + "\", which is no library name.";
    return std::string();
}

// Libraries that a library beside the host needs in turn, each that is found nowhere.
void MissingBehind(const std::string& needed, Libraries& libraries, std::set<std::string>* seen,
                   std::vector<std::string>* problems)
{
    const Libraries::Library& library = libraries.Find(needed);
    if (!library.besideHost || !library.image.read || !seen->insert(Lower(needed)).second)
        return;
    for (const PeImport& import : library.image.imports) {
        if (!NoLibraryName(needed, import.library).empty() || IsApiSet(import.library))
            continue;
        if (libraries.Find(import.library).path.empty())
            problems->push_back(needed + " needs " + import.library + ", which is not beside the host.");
        else
            MissingBehind(import.library, libraries, seen, problems);
    }
}

std::vector<std::string> ImportsNotMetBy(const std::string& module, const PeImage& image, const std::string& folder)
{
    std::vector<std::string> problems;
    Libraries libraries(folder);
    std::set<std::string> seen;
    for (const PeImport& import : image.imports) {
        const std::string refused = NoLibraryName(module, import.library);
        if (!refused.empty()) {
            problems.push_back(refused);
            continue;
        }
        const Libraries::Library& library = libraries.Find(import.library);
        if (library.path.empty()) {
            if (!IsApiSet(import.library))
                problems.push_back(module + " needs " + import.library + ", which is not beside the host.");
            continue;
        }
        if (!library.unusable.empty()) {
            problems.push_back(module + " needs " + import.library + ", but " + library.unusable);
            continue;
        }
        for (const std::string& name : import.names) {
            if (std::binary_search(library.exports.begin(), library.exports.end(), name) ||
                (!library.besideHost && WineLacks(import.library, name)))
                continue;
            std::string line = module + " imports " + name + " from " + import.library + ", which does not export it";
            if (IsGnuName(name))
                line += " (a name of the GNU C++ ABI: the module was not built in the host's ABI)";
            problems.push_back(line + ".");
        }
        MissingBehind(import.library, libraries, &seen, &problems);
    }
    return problems;
}

// Exports of the GNU C++ ABI, and the deleting destructors (D0) that give every class of that
// ABI a second destructor entry in its table.
void AbiProblems(const std::string& module, const PeImage& image, std::vector<std::string>* problems)
{
    std::vector<std::string> gnu;
    std::copy_if(image.exports.begin(), image.exports.end(), std::back_inserter(gnu), IsGnuName);
    if (gnu.empty())
        return;
    problems->push_back(module + " exports " + std::to_string(gnu.size()) + " names of the GNU C++ ABI (such as " +
                        gnu.front() + "): it was not built in the host's C++ ABI.");
    auto deleting = std::find_if(gnu.begin(), gnu.end(), [](const std::string& name) {
        return name.size() > 4 && name.compare(name.size() - 4, 4, "D0Ev") == 0;
    });
    if (deleting != gnu.end())
        problems->push_back(module + "'s virtual tables have two destructor entries (" + *deleting +
                            " and its D1): every operation sits one slot after the row the host calls.");
}

} // namespace

std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length < sizeof path ? length : 0);
    return folder.substr(0, folder.find_last_of("\\/"));
}

std::vector<std::string> ImportsNotMet(const std::string& modulePath, const std::string& folder)
{
    return ImportsNotMetBy(FileName(modulePath), ReadPeImage(FullPath(modulePath)), folder);
}

ModuleFit CheckModule(const std::string& modulePath, const std::string& folder, bool load)
{
    ModuleFit fit;
    const std::string module = FileName(modulePath);
    const std::string path = FullPath(modulePath);
    const PeImage image = ReadPeImage(path);
    fit.unreadable = WhyNotALibrary(modulePath, image);
    if (!fit.unreadable.empty())
        return fit;
    fit.readable = true;
    for (const char* name : {"_GetTestInstance", "_GetTestInstanceID"})
        if (std::find(image.exports.begin(), image.exports.end(), name) == image.exports.end())
            fit.problems.push_back(module + " does not export " + name + ".");
    AbiProblems(module, image, &fit.problems);
    std::vector<std::string> imports = ImportsNotMetBy(module, image, folder);
    fit.importsMet = imports.empty();
    fit.problems.insert(fit.problems.end(), imports.begin(), imports.end());
    if (load && fit.problems.empty()) {
        const ProbeAnswer answer = ProbeModule(path);
        if (!answer.answered)
            fit.problems.push_back(module + " " + answer.failure);
        else if (answer.id != CModuleLoader::kFamilyId)
            fit.problems.push_back(module + " answers the module identifier " + std::to_string(answer.id) + ", not " +
                                   std::to_string(CModuleLoader::kFamilyId) + ".");
    }
    return fit;
}

int RunCheckModule(const std::string& modulePath)
{
    ModuleFit fit = CheckModule(modulePath, ProgramFolder(), true);
    if (!fit.readable) {
        std::fprintf(stderr, "daxohost: %s\n", fit.unreadable.c_str());
        return kModuleUnreadable;
    }
    for (const std::string& problem : fit.problems)
        std::printf("%s\n", problem.c_str());
    if (fit.problems.empty())
        std::printf("%s fits this host and the libraries beside it.\n", modulePath.c_str());
    return fit.problems.empty() ? kModuleFits : kModuleDoesNotFit;
}

} // namespace daxohost
