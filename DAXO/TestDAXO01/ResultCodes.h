#pragma once
// The codes with which the module's reports reach the host's result log (SendTestResult).
// The host's own headers do not name them, so the module names them once here.

namespace result {
const unsigned char kProgress = 112;   // a step has started
const unsigned char kFailure = 113;    // a step failed or the operator broke off
const unsigned char kSuccess = 114;    // a step succeeded
const unsigned char kSummary = 117;    // the configuration set on the unit

// What every report passes besides its texts and code.
const int kReportFlag = 1;
const unsigned short kReportReserved = 0;
} // namespace result
