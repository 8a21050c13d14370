#pragma once
// The numbers the host application shares with the module (the unit's contract, written once
// beside the module) and with whoever starts it: the exit codes of daxohost.exe.
#include "UnitContract.h"

namespace daxohost {

// The process exit codes, as the usage text and the README give them.
enum ExitCode : int {
    kExitPassed = 0,
    kExitScriptFailed = 1,
    kExitBadInput = 2,          // wrong arguments, or a script, bench, language or record file
    kExitModuleNotFound = 3,
    kExitMissingExport = 4,
    kExitWrongIdentifier = 5,
    kExitNoTestObject = 6,
    kExitCrashed = 7,           // the process crashed; what happened is on the standard error
};

} // namespace daxohost
