#pragma once
// The result log as the operator reads it: one row per report, coloured by its result code.
#include "ResultLog.h"
#include <windows.h>
#include <commctrl.h>

namespace daxohost {

class CResultView {
public:
    bool Create(HWND parent, int id);
    HWND Handle() const { return m_list; }
    void Append(const LogEntry& entry);
    // The colours of a row; answers the list's NM_CUSTOMDRAW.
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) const;

    struct Colours {
        COLORREF text;
        COLORREF background;
    };
    // 112 progress, 113 failure or break, 114 success, 117 configuration summary; the rows of
    // the host (call results, its notes) in grey.
    static Colours ColoursOf(int code, bool hostRow);

private:
    HWND m_list = nullptr;
};

} // namespace daxohost
