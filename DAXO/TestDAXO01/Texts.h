#pragma once
// The module's texts: its English defaults and their look-up in the host's language file.
// Every text answered here is either a constant of the module or owned by the host's
// language-file reader; callers use it at once and do not keep it.

class CTest;

// The ids of the module's messages: their keys in the host's language file.
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
    RepeatRefused = 36,
    ConfigDialogShown = 37,
    TestDialogShown = 38,
    Summary = 39,
    Finished = 40,
    SeriesEnded = 41,
    TestFailed = 42,
    ConfigCancelled = 43,
    ForType = 44,
    NoConfiguration = 45,
    BadTimeout = 46,
};
} // namespace msg

namespace texts {

// Moves of the host's language-file cursor.
const unsigned long kTop = 0x1;
const unsigned long kFirstChild = 0x10;
const unsigned long kNextSibling = 0x100;

// The English defaults; null for an id the module has no text for.
const char* EnglishMessage(unsigned int id);                                  // 20 to 46
const char* EnglishCaption(unsigned int dialogId);                            // 2020 to 2022
const char* EnglishControlText(unsigned int dialogId, unsigned int controlId);

// The "text" of the first matching item of the host's language file, walked through the
// test object's own cursor: TesterLanguage / Message / MessageItem, TesterLanguage / Dialog /
// DialogItem (/ ControlItem). Null when no item matches or the matching item has no text.
const char* FileMessage(CTest& host, unsigned int id);
const char* FileDialogName(CTest& host, unsigned int dialogId);
const char* FileControlName(CTest& host, unsigned int dialogId, unsigned int controlId);

} // namespace texts
