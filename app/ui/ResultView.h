#pragma once
// The result log as the operator reads it: one row per report, coloured by its result code.
#include "HostTexts.h"
#include "ResultLog.h"
#include <windows.h>
#include <commctrl.h>

namespace daxohost {

class CResultView {
public:
    bool Create(HWND parent, int id);
    // The column heads in the language in use.
    void SetHeadings(const HostWords& words);
    HWND Handle() const { return m_list; }
    // `chosenEnd`: a break report that only says the operator ended the series, not a failure.
    void Append(const LogEntry& entry, bool chosenEnd = false);
    // The colours of a row; answers the list's NM_CUSTOMDRAW.
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) const;

    struct Colours {
        COLORREF text;
        COLORREF background;
    };
    // 112 progress, 113 failure or break, 114 success, 117 configuration summary; the rows of
    // the host (call results) in grey.
    static Colours ColoursOf(int code, bool hostRow);
    // The host's notes (where a unit begins, its verdict); a series ended by the operator's choice.
    static Colours NoteColours();
    static Colours ChosenEndColours();

private:
    HWND m_list = nullptr;
};

} // namespace daxohost
