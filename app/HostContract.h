#pragma once
// The numbers the host application shares with the module and with whoever starts it: the
// result codes of the module's reports, what ConfigureThermometer answers, and the exit codes
// of daxohost.exe.

namespace daxohost {

// The codes the module reports with through CTest::SendTestResult.
enum ResultCode : int {
    kReportProgress = 112,  // a step begins; a configuration cycle opens with its heading
    kReportFailure = 113,   // a failure or the operator's break
    kReportSuccess = 114,
    kReportSummary = 117,   // the configuration set in a unit
};

// What ConfigureThermometer answers.
enum CallResult : int {
    kCallConfigured = 1,    // one unit configured and tested
    kCallEnded = 2,         // every other ending, a series too
};

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
