#include "HostLibraries.h"
#include "SystemText.h"
#include <windows.h>

namespace daxohost {

namespace {

// Every library daxohost.exe links delay-loaded (app/CMakeLists.txt lists the same), none of
// which may be called before they are all loaded here, and tarlex.dll, which the tester imports.
const char* const kHostLibraries[] = {"simbench.dll", "langfile.dll", "quillet.dll", "prubel.dll", "tarlex.dll",
                                      "daxotester.test"};

const char kWhatToDo[] = "put the host's libraries back beside daxohost.exe, all from the same delivery.";

} // namespace

std::vector<std::string> LoadHostLibraries(const std::string& folder)
{
    std::vector<std::string> problems;
    for (const char* library : kHostLibraries) {
        if (::GetFileAttributesA((folder + "\\" + library).c_str()) == INVALID_FILE_ATTRIBUTES)
            problems.push_back(std::string(library) + " is missing beside daxohost.exe.");
    }
    // They import one another: with one missing, the others would fail for it alone.
    if (!problems.empty()) {
        problems.push_back(kWhatToDo);
        return problems;
    }
    for (const char* library : kHostLibraries) {
        // By its full path, so that no library of that name elsewhere on the search path stands
        // in for it; the program's later calls find it loaded by its name.
        if (!::LoadLibraryA((folder + "\\" + library).c_str()))
            problems.push_back(std::string(library) + " beside daxohost.exe cannot be loaded: " +
                               SystemErrorText(::GetLastError(), library) + ".");
    }
    if (!problems.empty())
        problems.push_back(kWhatToDo);
    return problems;
}

} // namespace daxohost
