#include "ModuleFit.h"
#include "PeImage.h"
#include <windows.h>
#include <algorithm>

namespace daxohost {

namespace {
bool IsFile(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A library the system provides: in the system folder or the Windows folder.
bool IsSystemLibrary(const std::string& name)
{
    char folder[MAX_PATH];
    UINT length = ::GetSystemDirectoryA(folder, sizeof folder);
    if (length && length < sizeof folder && IsFile(std::string(folder) + "\\" + name))
        return true;
    length = ::GetWindowsDirectoryA(folder, sizeof folder);
    return length && length < sizeof folder && IsFile(std::string(folder) + "\\" + name);
}
} // namespace

std::vector<std::string> ImportsNotMet(const std::string& modulePath, const std::string& folder)
{
    std::vector<std::string> problems;
    const std::string module = modulePath.substr(modulePath.find_last_of("\\/") + 1);
    daxohost::PeImage image = daxohost::ReadPeImage(modulePath);
    for (const daxohost::PeImport& import : image.imports) {
        const std::string path = folder + "\\" + import.library;
        if (!IsFile(path)) {
            if (!IsSystemLibrary(import.library))
                problems.push_back(module + " needs " + import.library + ", which is not beside the host.");
            continue;
        }
        daxohost::PeImage library = daxohost::ReadPeImage(path);
        for (const std::string& name : import.names) {
            if (std::find(library.exports.begin(), library.exports.end(), name) != library.exports.end())
                continue;
            std::string line = module + " imports " + name + " from " + import.library + ", which does not export it";
            if (name.compare(0, 2, "_Z") == 0)
                line += " (a name of the GNU C++ ABI: the module was not built in the host's ABI)";
            problems.push_back(line + ".");
        }
    }
    return problems;
}

} // namespace daxohost
