#include "ModuleFit.h"
#include "Files.h"
#include "ModuleLoader.h"
#include "PeImage.h"
#include <windows.h>
#include <algorithm>
#include <cstdio>

namespace daxohost {

namespace {
// A library the system provides: in the system folder or the Windows folder.
bool IsSystemLibrary(const std::string& name)
{
    char folder[MAX_PATH];
    UINT length = ::GetSystemDirectoryA(folder, sizeof folder);
    if (length && length < sizeof folder && FileExists(std::string(folder) + "\\" + name))
        return true;
    length = ::GetWindowsDirectoryA(folder, sizeof folder);
    return length && length < sizeof folder && FileExists(std::string(folder) + "\\" + name);
}

bool IsGnuName(const std::string& name) { return name.compare(0, 2, "_Z") == 0; }

std::string FileName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

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

unsigned short AskIdentifier(const std::string& path, std::string* failure)
{
    UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = ::LoadLibraryA(path.c_str());
    DWORD error = ::GetLastError();
    ::SetErrorMode(oldMode);
    if (!module) {
        *failure = "Windows does not load it (error " + std::to_string(error) + ").";
        return 0;
    }
    auto getId = reinterpret_cast<unsigned short (*)()>(
        reinterpret_cast<void*>(::GetProcAddress(module, "_GetTestInstanceID")));
    unsigned short id = getId ? getId() : 0;
    ::FreeLibrary(module);
    return id;
}
} // namespace

std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length < sizeof path ? length : 0);
    return folder.substr(0, folder.find_last_of("\\/"));
}

namespace {
std::vector<std::string> ImportsNotMetBy(const std::string& module, const PeImage& image, const std::string& folder)
{
    std::vector<std::string> problems;
    for (const PeImport& import : image.imports) {
        const std::string path = folder + "\\" + import.library;
        if (!FileExists(path)) {
            if (!IsSystemLibrary(import.library))
                problems.push_back(module + " needs " + import.library + ", which is not beside the host.");
            continue;
        }
        PeImage library = ReadPeImage(path);
        for (const std::string& name : import.names) {
            if (std::find(library.exports.begin(), library.exports.end(), name) != library.exports.end())
                continue;
            std::string line = module + " imports " + name + " from " + import.library + ", which does not export it";
            if (IsGnuName(name))
                line += " (a name of the GNU C++ ABI: the module was not built in the host's ABI)";
            problems.push_back(line + ".");
        }
    }
    return problems;
}
} // namespace

std::vector<std::string> ImportsNotMet(const std::string& modulePath, const std::string& folder)
{
    return ImportsNotMetBy(FileName(modulePath), ReadPeImage(modulePath), folder);
}

ModuleFit CheckModule(const std::string& modulePath, const std::string& folder, bool load)
{
    ModuleFit fit;
    const std::string module = FileName(modulePath);
    if (!FileExists(modulePath)) {
        fit.unreadable = modulePath + " cannot be read.";
        return fit;
    }
    PeImage image = ReadPeImage(modulePath);
    const bool host64 = sizeof(void*) == 8;
    if (!image.read || !image.isDll) {
        fit.unreadable = modulePath + " is no Windows library.";
        return fit;
    }
    if (image.is64 != host64) {
        fit.unreadable = modulePath + " is a " + (image.is64 ? "64" : "32") + "-bit library; this host is " +
                         (host64 ? "64" : "32") + "-bit.";
        return fit;
    }
    fit.readable = true;
    for (const char* name : {"_GetTestInstance", "_GetTestInstanceID"})
        if (std::find(image.exports.begin(), image.exports.end(), name) == image.exports.end())
            fit.problems.push_back(module + " does not export " + name + ".");
    AbiProblems(module, image, &fit.problems);
    std::vector<std::string> imports = ImportsNotMetBy(module, image, folder);
    fit.problems.insert(fit.problems.end(), imports.begin(), imports.end());
    if (load && fit.problems.empty()) {
        std::string failure;
        unsigned short id = AskIdentifier(modulePath, &failure);
        if (!failure.empty())
            fit.problems.push_back(module + ": " + failure);
        else if (id != CModuleLoader::kFamilyId)
            fit.problems.push_back(module + " answers the module identifier " + std::to_string(id) + ", not " +
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
