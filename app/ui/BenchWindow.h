#pragma once
// The operator's hands at the simulated fixture: which units wait there, which one is
// connected, the write-protect jumper JP1 of each. A top-level window of its own, so that it
// stays usable while the module's modal dialogs disable the main window.
#include "WindowRouting.h"
#include <windows.h>
#include <string>

struct SimUnitInfo;

namespace daxohost {

class CBenchWindow {
public:
    // The unit list and the operator's commands.
    enum Control : unsigned { kListId = 100, kJumperCommand, kNextCommand, kUnplugCommand };

    CBenchWindow() = default;
    ~CBenchWindow();
    CBenchWindow(const CBenchWindow&) = delete;
    CBenchWindow& operator=(const CBenchWindow&) = delete;

    bool Create(HINSTANCE instance, int x, int y);
    HWND Handle() const { return m_window; }
    void Show();

    // The texts of one unit's row: unit, type, serial, address, rate, parity, JP1, answers, state.
    static std::string CellText(const SimUnitInfo& unit, int index, bool connected, int column);

private:
    enum { kColumns = 9 };

    friend struct WindowRoute<CBenchWindow>;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void Layout(int width, int height);
    void OnCommand(unsigned id);
    void Refresh(bool always);
    int SelectedUnit() const;

    HWND m_window = nullptr;
    HWND m_list = nullptr;
    HWND m_status = nullptr;
    HWND m_buttons[3] = {};
    unsigned m_revision = 0;
    bool m_filled = false;
};

} // namespace daxohost
