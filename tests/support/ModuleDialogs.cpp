#include "ModuleDialogs.h"

namespace daxotest {

namespace {
HINSTANCE g_resources = nullptr;
}

HINSTANCE ModuleResources()
{
    if (!g_resources)
        g_resources = ::LoadLibraryA("TestDAXO01.dll");
    return g_resources;
}

OwnerWindow::OwnerWindow()
    : m_window(::CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                 nullptr, ::GetModuleHandleA(nullptr), nullptr))
{
}

OwnerWindow::~OwnerWindow()
{
    if (m_window)
        ::DestroyWindow(m_window);
}

HWND OwnerOf(HWND window) { return ::GetWindow(window, GW_OWNER); }

void AnswerMessageBox(opdriver::OperatorDriver& driver, std::vector<SeenBox>& seen, int button,
                      const std::string& description)
{
    driver.OnMessageBox(
        [&seen, button](opdriver::Window& box) {
            seen.push_back(SeenBox{box.Caption(), box.MessageText(), box.MessageStyle(), OwnerOf(box.Handle())});
            box.Answer(button);
        },
        description);
}

} // namespace daxotest
