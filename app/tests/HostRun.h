#pragma once
// daxohost.exe started as the operator, the demo and CI start it, its output caught.
#include <windows.h>
#include <string>
#include <vector>

namespace daxotest {

struct Outcome {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;   // standard output and error together
};

// The absolute Windows form of a path of the build.
std::string WindowsPath(const std::string& path);

// Runs the program in `folder` with the arguments, in `currentFolder` (empty: `folder`);
// never waits longer than two minutes.
Outcome RunHost(const std::string& folder, const std::vector<std::string>& args,
                const std::string& currentFolder = std::string());

} // namespace daxotest
