#pragma once
// The export and import tables of a Windows library read from its file, for either
// architecture: what the loader would bind, without loading it. Any file may be handed in: a
// count, offset or name that does not fit the file makes it "damaged", never a fault here.
#include <string>
#include <vector>

namespace daxohost {

struct PeImport {
    std::string library;              // as named in the import table
    std::vector<std::string> names;   // imported by name; ordinals are left out
};

enum class PeFault {
    None,
    CannotOpen,     // no such file, no access, a folder, a device: `error` or `fault` says which
    TooLarge,       // larger than any library of this host
    NotPe,          // no Windows image at all
    Damaged,        // an image whose headers or tables do not fit the file
};

struct PeImage {
    bool read = false;        // false: see `problem` and `fault`
    PeFault problem = PeFault::None;
    std::string fault;        // what of the file is wrong, for the operator; empty when read
    unsigned long error = 0;  // the system's error code when the file cannot be opened
    unsigned short machine = 0;   // IMAGE_FILE_MACHINE_*, once the file header is read
    bool is64 = false;        // PE32+ (x86-64) or PE32 (i686)
    bool isDll = false;       // a library, not a program
    std::vector<std::string> exports;   // by name, forwarded ones too
    std::vector<PeImport> imports;
};

PeImage ReadPeImage(const std::string& path);

// CON, NUL, COM1, LPT1 and their kin, with or without an extension: opening one reaches a
// device (the console waits for input), not a file.
bool IsDeviceName(const std::string& fileName);

} // namespace daxohost
