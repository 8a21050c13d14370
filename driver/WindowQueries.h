#pragma once
// The few questions the driver asks of any window, and a combo box entry's text as a string:
// its convenience on top of the module's control wrappers, which it sends every control
// message through, so that the driver works the controls the way the module's dialogs do.
#include "Controls.h"  // the module's (DAXO/TestDAXO01), on the driver's private include path
#include <string>
#include <vector>

namespace opdriver {

inline LONG StyleOf(HWND window)
{
    return ::GetWindowLongA(window, GWL_STYLE);
}

inline bool ClassIs(HWND window, const char* name)
{
    char className[64] = {};
    return ::GetClassNameA(window, className, sizeof className) > 0 && ::lstrcmpiA(className, name) == 0;
}

// A text of `length` characters that `copy(buffer, room)` writes with its zero, answering the
// characters copied; empty when there is none.
template <typename Copy>
std::string CopiedText(int length, Copy copy)
{
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = copy(&text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

inline std::string WindowText(HWND window)
{
    return CopiedText(::GetWindowTextLengthA(window),
                      [window](char* buffer, int room) { return ::GetWindowTextA(window, buffer, room); });
}

inline std::vector<HWND> DirectChildren(HWND window)
{
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// The entry's text; empty for an entry that does not exist.
inline std::string ItemText(const CComboBox& list, int index)
{
    return CopiedText(list.GetItemTextLength(index),
                      [&list, index](char* buffer, int) { return list.GetItemText(index, buffer); });
}

} // namespace opdriver
