#pragma once
// Reads a message box as the operator sees it: what tells it from other dialogs, and the MB_
// flags that would show it as it is.
#include <windows.h>

namespace opdriver {

// The static that holds a message box's text; no control of the module's dialogs has it.
constexpr int kMessageTextId = 0xFFFF;

// A dialog (class #32770) with the message text, an icon and message box buttons only.
bool IsMessageBoxWindow(HWND window);
// Buttons, icon, default button and MB_HELP, read from the box's controls; 0 for another window.
unsigned MessageBoxStyle(HWND window);

} // namespace opdriver
