#pragma once
// The window procedure of a top-level window that an object owns, with the messages every such
// window answers alike cracked as WTL does: the object comes as the creation parameter, is bound
// at WM_NCCREATE and forgotten at WM_NCDESTROY; WM_CREATE, WM_SIZE and WM_COMMAND go to its
// OnCreate, Layout and OnCommand, every other message to its OnMessage. No C++ exception
// reaches user32. The window's class befriends its route.
#include "HostDiagnostic.h"
#include <windows.h>

template <class T>
struct WindowRoute {
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            static_cast<T*>(create->lpCreateParams)->m_window = window;
        }
        auto* self = reinterpret_cast<T*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (!self)
            return ::DefWindowProcA(window, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            self->m_window = nullptr;
            return ::DefWindowProcA(window, message, wParam, lParam);
        }
        try {
            return Crack(*self, message, wParam, lParam);
        } catch (...) {
            daxohost::Diagnostic("daxohost", __LINE__, "exception in a window of the host");
            return ::DefWindowProcA(window, message, wParam, lParam);
        }
    }

private:
    static LRESULT Crack(T& self, UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_CREATE:
            self.OnCreate();
            return 0;
        case WM_SIZE:
            self.Layout(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_COMMAND:
            self.OnCommand(LOWORD(wParam));
            return 0;
        default:
            return self.OnMessage(message, wParam, lParam);
        }
    }
};
