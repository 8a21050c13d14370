#pragma once
// No file the host writes may be another file of the same run: a log written over the record
// or over the script would destroy it while the run passed.
#include "CommandLine.h"
#include <string>

namespace daxohost {

// False, naming both options and the file, when a file the run writes (the log, the record,
// an exported language file, a picture) is one file with another file the options name.
bool FilesAreDistinct(const HostOptions& options, std::string* error);

} // namespace daxohost
