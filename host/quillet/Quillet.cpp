#include "MyColoredText.h"
#include <commctrl.h>

// Registers the toolkit's window class for the life of the library.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
        ::InitCommonControlsEx(&controls);
        WNDCLASSA wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = &CMyColoredText::ControlProc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = CMyColoredText::ClassName();
        ::RegisterClassA(&wc);
    } else if (reason == DLL_PROCESS_DETACH) {
        ::UnregisterClassA(CMyColoredText::ClassName(), instance);
    }
    return TRUE;
}
