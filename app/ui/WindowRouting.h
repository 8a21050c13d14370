#pragma once
// The window procedure of a top-level window that an object owns: the object comes as the
// creation parameter, is bound at WM_NCCREATE and forgotten at WM_NCDESTROY, and every other
// message goes to its handler. No C++ exception reaches user32.
#include "Diagnostic.h"
#include <windows.h>

template <class T>
LRESULT RouteToObject(HWND window, UINT message, WPARAM wParam, LPARAM lParam, HWND T::*handle,
                      LRESULT (T::*onMessage)(UINT, WPARAM, LPARAM))
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<T*>(create->lpCreateParams)->*handle = window;
    }
    auto* self = reinterpret_cast<T*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return ::DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->*handle = nullptr;
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    try {
        return (self->*onMessage)(message, wParam, lParam);
    } catch (...) {
        daxohost::Diagnostic("daxohost", __LINE__, "exception in a window of the host");
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}
