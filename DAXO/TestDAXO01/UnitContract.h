#pragma once
// What the module, the host that runs it and the bench that stands in for the units all know of
// a unit and of the module's contract with its host, each number once. Plain C++ without the
// C++ library: the module's Microsoft-ABI build and the GCC-built host and bench include it.
// The dialog and control ids are the resource script's (resource.h).
#include "resource.h"

// The unit's EEPROM image, as the host's CheckEEPROM reads it into its cache.
namespace image {
const int kTypeCodeOffset = 40, kTypeCodeLength = 16;   // blank-padded text
const int kSerialOffset = 80, kSerialLength = 8;        // zero-padded text
const int kBytesNeeded = kSerialOffset + kSerialLength;  // what a reader of both fields needs
} // namespace image

// The configuration record as the unit stores it: the first bytes of its image, which
// WriteConfig writes (the whole layout is UnitConfig's).
namespace record {
const int kAddressByte = 0, kAnswerDelayByte = 1, kBaudCodeByte = 2, kParityByte = 3;
} // namespace record

// The communication rates the unit knows by their codes, in the order the rate list shows them.
struct BaudRate {
    unsigned char code;
    int baud;
    const char* text;
};
constexpr BaudRate kBaudRates[] = {{1, 1200, "1200"},    {2, 2400, "2400"},    {4, 4800, "4800"},
                                   {9, 9600, "9600"},    {19, 19200, "19200"}, {38, 38400, "38400"}};
const int kBaudRateCount = sizeof kBaudRates / sizeof kBaudRates[0];

// The parity codes of the record.
enum ParityCode : unsigned char { kParityNone = 0, kParityOdd = 1, kParityEven = 2 };
const int kParityCount = 3;

// The codes with which the module's reports reach the host's result log (SendTestResult).
namespace result {
const unsigned char kProgress = 112;   // a step has started; a configuration opens with its heading
const unsigned char kFailure = 113;    // a step failed or the operator broke off
const unsigned char kSuccess = 114;    // a step succeeded
const unsigned char kSummary = 117;    // the configuration set on the unit

// What every report passes besides its texts and code.
const int kReportFlag = 1;
const unsigned short kReportReserved = 0;

// What ConfigureThermometer answers.
const int kCallConfigured = 1;   // one unit configured and tested
const int kCallEnded = 2;        // every other ending (a series always ends so)
} // namespace result

// The ids of the module's messages: their keys in the host's language file. The host
// recognises the module's reports by comparing their texts with these, so in every language.
namespace msg {
enum MessageId : unsigned int {
    AddressWrapped = 20,       // series address went past 125: the next unit starts at 1
    BadAddress = 21,
    BadDelay = 22,
    BadMinPulseI0 = 23,        // 23 to 26: the minimum of inputs I0 to I3
    BadMaxPulseI0 = 27,        // 27 to 30: the maximum of inputs I0 to I3
    Written = 31,
    WriteFailedLog = 32,       // the same words as 33, one for the result log
    WriteFailedBox = 33,       // and one for the operator
    Heading = 34,
    AlreadyConfigured = 35,
    RepeatRefused = 36,        // a unit of the series again, not configured
    ConfigDialogShown = 37,
    TestDialogShown = 38,
    Summary = 39,
    Finished = 40,
    SeriesEnded = 41,          // the operator ended a series after a unit
    TestFailed = 42,
    ConfigCancelled = 43,
    ForType = 44,
    NoConfiguration = 45,
    BadTimeout = 46,
};
const unsigned int kFirst = AddressWrapped, kLast = BadTimeout;
} // namespace msg
