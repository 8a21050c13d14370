#pragma once
// What the tests of the module's dialogs share: the module's resources, an owner window and
// a test object on a bench of the test's choosing.
#include "OperatorDriver.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <string>

namespace daxotest {

// The built library, loaded once for its templates and bitmap.
HINSTANCE ModuleResources();

// A top-level window that owns the dialogs under test, like the host's main window.
class OwnerWindow {
public:
    OwnerWindow();
    ~OwnerWindow();
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    HWND Handle() const { return m_window; }

private:
    HWND m_window;
};

// The owner of a window, as the system records it.
HWND OwnerOf(HWND window);

// Every message box the operator saw, with what it said.
struct SeenBox {
    std::string caption;
    std::string text;
    unsigned style;
    HWND owner;
};

// Records each message box as it opens and answers it with `button`.
void AnswerMessageBox(opdriver::OperatorDriver& driver, std::vector<SeenBox>& seen, int button,
                      const std::string& description = "message box");

} // namespace daxotest
