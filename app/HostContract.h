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

// The module's messages by which the host recognises its reports: compared as texts with what
// the module answers for the id, so in every language.
enum ModuleMessage : unsigned {
    kMsgWriteError = 32,
    kMsgRepeatDeclined = 36,  // a unit of the series again, not configured
    kMsgDialogShown = 37,
    kMsgFinished = 40,
    kMsgSeriesEnded = 41,     // the operator ended a series after a unit
    kMsgTestError = 42,
    kMsgConfigBreak = 43,
};

// The module's dialogs, and the controls of them that the host's scripts and tools use.
enum ModuleDialog : unsigned { kConfigDialog = 2020, kTestDialog = 2021, kNextUnitDialog = 2022 };
enum ModuleControl : unsigned {
    kWriteAndTestButton = 32788,  // only the configuration dialog has it
    kSeriesBox = 32789,
    kNextUnitPrompt = 32795,      // only the next-unit dialog has it
    kTestNotice = 32801,          // only the test dialog has it
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
