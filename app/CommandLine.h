#pragma once
// What daxohost.exe is asked to do.
#include <string>
#include <vector>

namespace daxohost {

struct HostOptions {
    std::string bench;      // bench INI file; empty: DAXO_BENCH or the built-in bench
    std::string script;     // operator script; empty: the operator works by hand
    std::string lang;       // language file to open before the first call
    std::string log;        // file that receives the result log
    std::string shots;      // folder for a picture of every dialog and message box
    std::string record;     // commissioning record; empty: commissioning.csv beside the log
    std::string checkLang;  // a language file to check against the module, instead of a run
    std::string exportLang; // where to write a complete language file of the module's texts
    std::string checkModule; // a module to check against the host's libraries, instead of a run
    int calls = 1;          // ConfigureThermometer calls of a script
    unsigned timeoutMs = 10000;  // how long a script line waits for its window
    bool replace = false;   // --export-lang may write over an existing file
    bool help = false;
};

// Reads the arguments after the program name. False, with the reason, when they are wrong.
bool ParseCommandLine(const std::vector<std::string>& args, HostOptions* options, std::string* error);
std::string Usage();
// The commissioning record's file for these options.
std::string RecordPath(const HostOptions& options);

} // namespace daxohost
