#pragma once
// What went wrong while the driver played the operator: at which step, why, and which windows
// were open then, so that a caller can say it in its own words.
#include <cstddef>
#include <string>
#include <vector>

namespace opdriver {

struct Failure {
    enum Kind {
        kNoWindow,        // no window for the step came within its time limit
        kMatchFailed,     // the step's match threw
        kActionFailed,    // the step's action threw
        kCannotDo,        // asked of a window what it cannot do: a missing control, one of another kind
        kOpenedCallback,  // the opened callback threw; no step is to blame
        kUnexpected,      // a window that no step expects (ExpectNothingElse)
    };

    Kind kind = kNoWindow;
    size_t step = 0;                       // counted from 1; 0 when no step is to blame
    std::string stepName;                  // the step's description
    std::string reason;                    // "no matching window within 200 ms", "Click: no control 999"
    std::string window;                    // the window asked, described; empty when none was
    std::vector<std::string> openWindows;  // the thread's dialogs and message boxes then, top first

    // "open: <window>; <window>", or "open: nothing".
    std::string OpenText() const;
    // The failure without its step: the reason with the window asked, or with what was open
    // when no window came.
    std::string Detail() const;
    // One line for a log: "step 2 (poke): Click: no control 999 (dialog 'Caption')".
    std::string Text() const;
};

} // namespace opdriver
