// daxohost.exe: the host application of the TestDAXO01 module.
#include "CommandLine.h"
#include "CrashReport.h"
#include "HostApplication.h"
#include "HostLibraries.h"
#include "ModuleFit.h"
#include "ModuleProbe.h"
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    daxohost::InstallCrashReport();
    // The result log and the messages are UTF-8 on the console, as in the files, with the
    // same line ends.
    ::SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // Before anything calls into the host's libraries: a call would load a missing one and fail.
    const std::vector<std::string> notLoaded = daxohost::LoadHostLibraries(daxohost::ProgramFolder());
    if (!notLoaded.empty()) {
        for (const std::string& line : notLoaded)
            std::fprintf(stderr, "daxohost: %s\n", line.c_str());
        return daxohost::kExitModuleNotFound;
    }
    std::vector<std::string> args(argv + 1, argv + argc);
    // The host's own child that loads a module it checks; the usage does not name it.
    if (args.size() == 2 && args[0] == daxohost::kProbeOption)
        return daxohost::RunModuleProbe(args[1]);
    daxohost::HostOptions options;
    std::string error;
    if (!daxohost::ParseCommandLine(args, &options, &error)) {
        std::fprintf(stderr, "daxohost: %s\n%s", error.c_str(), daxohost::Usage().c_str());
        return daxohost::kExitBadInput;
    }
    if (options.help) {
        std::fputs(daxohost::Usage().c_str(), stdout);
        return daxohost::kExitPassed;
    }
    if (!options.checkModule.empty())
        return daxohost::RunCheckModule(options.checkModule);
    daxohost::CHostApplication application(options);
    return application.Run();
}
