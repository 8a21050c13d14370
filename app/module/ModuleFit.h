#pragma once
// Whether a module fits this host and the libraries beside it, said one problem a line: Windows
// itself says only "entry point not found" or "module not found". Any file may be handed in.
#include <string>
#include <vector>

namespace daxohost {

struct ModuleFit {
    bool readable = false;      // false: no file, no library, damaged, or of another architecture
    std::string unreadable;     // why, when not readable
    bool importsMet = false;    // every import resolves: Windows would load it
    std::vector<std::string> problems;   // empty: it fits
};

// Reads the file `modulePath` names (made absolute, never looked for by the search order)
// against the libraries the loader would bind: those in `folder`, then the system's. It names
// its two exports, names of the GNU C++ ABI and the two destructor entries that come with
// them, each import a library lacks (naming the library), each library missing. With `load`, a
// module whose imports all resolve is loaded in a process of its own and asked for its
// identifier as well.
ModuleFit CheckModule(const std::string& modulePath, const std::string& folder, bool load);

// The import problems alone.
std::vector<std::string> ImportsNotMet(const std::string& modulePath, const std::string& folder);

// The folder of the running program, where the host's libraries lie.
std::string ProgramFolder();

// daxohost --check-module FILE: prints the problems; exit 0 fits, 1 does not fit, 2 unreadable.
enum { kModuleFits = 0, kModuleDoesNotFit = 1, kModuleUnreadable = 2 };
int RunCheckModule(const std::string& modulePath);

} // namespace daxohost
