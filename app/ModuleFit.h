#pragma once
// Why a module that Windows refuses to load does not fit the libraries beside the host: the
// loader says only "entry point not found" or "module not found".
#include <string>
#include <vector>

namespace daxohost {

// One line per problem: a library the module needs that is not in `folder` (and not a system
// library), and each name the module imports that its library in `folder` does not export,
// noting names of the GNU C++ ABI. Empty when the file cannot be read or nothing is found.
std::vector<std::string> ImportsNotMet(const std::string& modulePath, const std::string& folder);

} // namespace daxohost
