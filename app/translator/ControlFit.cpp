#include "ControlFit.h"
#include "TextCodec.h"
#include <commctrl.h>
#include <windowsx.h>
#include <cstring>
#include <vector>

namespace daxohost {

namespace {

// A push button keeps its frame and the focus rectangle clear of the text on each side; a check
// box draws its box and a gap before the text.
const int kButtonMargin = 4;
const int kCheckGap = 4;
// An extended template starts with its version and this signature.
const WORD kExtendedTemplateSignature = 0xFFFF;

INT_PTR CALLBACK Silent(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

bool IsCheckBox(LONG style)
{
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return true;
    default: return false;
    }
}

} // namespace

CControlFit::~CControlFit()
{
    for (const auto& dialog : m_dialogs)
        if (dialog.second)
            ::DestroyWindow(dialog.second);
}

HMODULE CControlFit::ModuleOf(void* object)
{
    HMODULE module = nullptr;
    if (!object)
        return nullptr;
    const void* table = *static_cast<void* const*>(object);
    if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<const char*>(table), &module))
        return nullptr;
    return module;
}

HWND CControlFit::Dialog(unsigned dialogId) const
{
    auto known = m_dialogs.find(dialogId);
    if (known != m_dialogs.end())
        return known->second;
    HWND dialog = nullptr;
    HRSRC found = m_module ? ::FindResourceA(m_module, MAKEINTRESOURCEA(dialogId), MAKEINTRESOURCEA(5)) : nullptr;
    HGLOBAL loaded = found ? ::LoadResource(m_module, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = found ? ::SizeofResource(m_module, found) : 0;
    if (bytes && size >= sizeof(DLGTEMPLATE)) {
        // A copy, aligned as a template must be, without WS_VISIBLE: measuring shows nothing.
        std::vector<DWORD> copy((size + sizeof(DWORD) - 1) / sizeof(DWORD));
        std::memcpy(copy.data(), bytes, size);
        WORD words[2];
        std::memcpy(words, copy.data(), sizeof words);
        DWORD* style = words[1] == kExtendedTemplateSignature && size >= 4 * sizeof(DWORD) ? &copy[3] : &copy[0];
        *style &= ~static_cast<DWORD>(WS_VISIBLE);
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);
        dialog = ::CreateDialogIndirectParamA(m_module, reinterpret_cast<const DLGTEMPLATE*>(copy.data()), nullptr,
                                              &Silent, 0);
    }
    m_dialogs[dialogId] = dialog;
    return dialog;
}

ControlRoom CControlFit::Measure(unsigned dialogId, unsigned controlId, const std::string& text) const
{
    ControlRoom fit;
    HWND dialog = Dialog(dialogId);
    HWND control = dialog ? ::GetDlgItem(dialog, static_cast<int>(controlId)) : nullptr;
    if (!control)
        return fit;
    char className[32] = "";
    ::GetClassNameA(control, className, sizeof className);
    const LONG style = ::GetWindowLongA(control, GWL_STYLE);
    const bool button = ::lstrcmpiA(className, "Button") == 0, label = ::lstrcmpiA(className, "Static") == 0;
    if (!button && !label)
        return fit;
    RECT client{};
    ::GetClientRect(control, &client);
    int width = client.right - client.left;
    if (button)
        width -= IsCheckBox(style) ? ::GetSystemMetrics(SM_CXMENUCHECK) + kCheckGap : 2 * kButtonMargin;
    const LONG kind = style & SS_TYPEMASK;
    fit.wraps = button ? (style & BS_MULTILINE) != 0
                       : !(style & SS_CENTERIMAGE) && (kind == SS_LEFT || kind == SS_CENTER || kind == SS_RIGHT);

    HDC dc = ::GetDC(control);
    HGDIOBJ before = ::SelectObject(dc, GetWindowFont(control));
    const std::wstring wide = WideFrom(text, kModuleCodePage);
    RECT needed{0, 0, width > 0 ? width : 0, 0};
    ::DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &needed,
                DT_CALCRECT | DT_EXPANDTABS | (fit.wraps ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(dc, before);
    ::ReleaseDC(control, dc);

    fit.measured = true;
    // A word longer than the line widens the wrapped text as well: that is clipped too.
    if (fit.wraps && needed.right - needed.left <= width) {
        fit.needed = needed.bottom - needed.top;
        fit.room = client.bottom - client.top;
    } else {
        fit.wraps = false;
        fit.needed = needed.right - needed.left;
        fit.room = width;
    }
    return fit;
}

} // namespace daxohost
