#pragma once
// The operator's script: one action or expectation per line, run against the module's
// dialogs and message boxes while ConfigureThermometer runs.
#include <string>
#include <vector>

namespace daxohost {

enum class ScriptOp {
    // Waits until such a window is the active one; it becomes the window that the following
    // lines act on.
    WaitDialog,
    WaitMessageBox,
    // Actions on that window.
    Type,
    Check,
    Select,
    Spin,
    Wheel,
    Click,
    Answer,
    Close,
    Escape,
    // Expectations about that window.
    ExpectText,
    ExpectSelected,
    ExpectEnabled,
    ExpectDisabled,
    ExpectVisible,
    ExpectHidden,
    ExpectChecked,
    ExpectUnchecked,
    ExpectFocus,
    ExpectCaption,
    ExpectMessageText,
    // Lines that need no window: the operator's hands on the bench, the result log.
    BenchJumper,
    BenchConnectNext,
    BenchUnplug,
    ExpectReport,
    // Waits that long (value, in milliseconds) while the dialogs keep working.
    Pause,
    // The value of the call just finished; ends the lines of one call.
    ExpectResult,
};

enum class LineScope {
    Window,     // needs the window named by the last dialog or msgbox line
    Anywhere,   // runs between the window lines, or after the call
    AfterCall,  // runs once the call has returned
};

LineScope ScopeOf(ScriptOp op);

struct ScriptLine {
    int number = 0;          // in the file, from 1
    std::string source;      // the line as written (UTF-8, trimmed), for messages
    ScriptOp op = ScriptOp::WaitMessageBox;
    unsigned id = 0;         // control id; the identifying control of a dialog; bench unit (from 1); report code
    int value = 0;           // on/off, spin position, wheel distance, message box button, call result
    bool hasText = false;    // an optional text was given (expect report)
    std::string text;        // in the ANSI code page
};

// The dialogs of the module, each known by a control that only it has.
struct KnownDialog {
    unsigned dialogId;
    unsigned identifyingControl;
};
const std::vector<KnownDialog>& KnownDialogs();

class CScript {
public:
    // A script of a long series would repeat the same lines: "repeat N" ... "end" runs them N
    // times, so the script holds at most this many lines once they are repeated.
    static constexpr int kMaxRepeat = 10000;
    static constexpr size_t kMaxLines = 100000;
    static constexpr int kMaxPauseMs = 600000;

    // Reads the script from UTF-8 text (a byte-order mark is skipped). False when a line is
    // wrong; Errors() then says which and why, "line N: ...".
    bool Parse(const std::string& utf8);
    bool Load(const std::string& path);

    const std::vector<ScriptLine>& Lines() const { return m_lines; }
    const std::vector<std::string>& Errors() const { return m_errors; }
    // The lines of each call: every "expect result" line ends one call's part; lines after the
    // last one make a part of their own. Never empty.
    std::vector<std::vector<ScriptLine>> Calls() const;

private:
    bool ParseLine(int number, const std::string& text);
    bool ParseBlock(int number, const std::vector<std::string>& words);
    void CheckWindowLines();

    // Open repeat blocks: where each starts in m_lines, how often it runs, its line.
    struct OpenRepeat {
        size_t firstLine;
        int count;
        int number;
    };
    std::vector<OpenRepeat> m_open;

    std::vector<ScriptLine> m_lines;
    std::vector<std::string> m_errors;
};

} // namespace daxohost
