#pragma once
// The export and import tables of a Windows library read from its file, for either
// architecture: what the loader would bind, without loading it.
#include <string>
#include <vector>

namespace daxohost {

struct PeImport {
    std::string library;              // as named in the import table
    std::vector<std::string> names;   // imported by name; ordinals are left out
};

struct PeImage {
    bool read = false;        // false: no file, or no PE image
    bool is64 = false;        // PE32+ (x86-64) or PE32 (i686)
    bool isDll = false;       // a library, not a program
    std::vector<std::string> exports;
    std::vector<PeImport> imports;
};

PeImage ReadPeImage(const std::string& path);

} // namespace daxohost
