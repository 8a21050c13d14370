#pragma once
// The host's own libraries beside daxohost.exe. The program loads them itself at its start (it
// links them delay-loaded), so that one that is missing is named: Windows would end the process
// before main without a word.
#include <string>
#include <vector>

namespace daxohost {

// Loads each library of the host from `folder`, the program's own. A line for each that is
// missing there or that Windows will not load, and what to do; none when all are loaded.
std::vector<std::string> LoadHostLibraries(const std::string& folder);

} // namespace daxohost
