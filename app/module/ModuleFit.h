#pragma once
// Whether a module fits this host and the libraries beside it, said one problem a line: Windows
// itself says only "entry point not found" or "module not found".
#include <string>
#include <vector>

namespace daxohost {

struct ModuleFit {
    bool readable = false;      // false: no file, no library, or one of another architecture
    std::string unreadable;     // why, when not readable
    std::vector<std::string> problems;   // empty: it fits
};

// Reads `modulePath` against the libraries in `folder`: its two exports, names of the GNU C++
// ABI and the two destructor entries that come with it, each import the libraries lack (naming
// the library), each library of theirs that is missing. With `load`, a module whose imports all
// resolve is loaded and its identifier asked for as well.
ModuleFit CheckModule(const std::string& modulePath, const std::string& folder, bool load);

// The import problems alone.
std::vector<std::string> ImportsNotMet(const std::string& modulePath, const std::string& folder);

// The folder of the running program, where the host's libraries lie.
std::string ProgramFolder();

// daxohost --check-module FILE: prints the problems; exit 0 fits, 1 does not fit, 2 unreadable.
enum { kModuleFits = 0, kModuleDoesNotFit = 1, kModuleUnreadable = 2 };
int RunCheckModule(const std::string& modulePath);

} // namespace daxohost
