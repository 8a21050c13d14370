#pragma once
// How much room the module's dialogs give a translated text: each dialog of the module's
// templates made once, hidden, with its own font and sizes, and a text measured in a control as
// Windows draws it there. A text wider than its control is clipped on the operator's screen.
#include <windows.h>
#include <map>
#include <string>

namespace daxohost {

struct ControlRoom {
    bool measured = false;   // the module's template has the control
    bool wraps = false;      // the control breaks its text into lines: heights are compared
    int needed = 0;          // pixels the text takes: its width, or its height where it wraps
    int room = 0;            // pixels the control shows
    bool Fits() const { return !measured || needed <= room; }
};

class CControlFit {
public:
    // The module whose dialog templates are measured; null measures nothing.
    explicit CControlFit(HMODULE module) : m_module(module) {}
    ~CControlFit();
    CControlFit(const CControlFit&) = delete;
    CControlFit& operator=(const CControlFit&) = delete;

    // `text` in code page 1250, as the module sets it.
    ControlRoom Measure(unsigned dialogId, unsigned controlId, const std::string& text) const;

    // The module that owns a test object: the one whose code its table points into.
    static HMODULE ModuleOf(void* object);

private:
    HWND Dialog(unsigned dialogId) const;

    HMODULE m_module;
    mutable std::map<unsigned, HWND> m_dialogs;   // null where the module has no such template
};

} // namespace daxohost
