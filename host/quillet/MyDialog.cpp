#include "MyDialog.h"
#include <commctrl.h>
#include <stdio.h>

namespace {
// An exception stopped at the dialog procedure, on the debug output with where it was stopped.
void ReportStopped(int line, const char* text)
{
    char buffer[512];
    snprintf(buffer, sizeof buffer, "quillet(%d): %s\n", line, text ? text : "");
    CMyObject::OutputDebugStringA(buffer);
}
} // namespace

CMyDialog::CMyDialog(unsigned int templateId, DLGPROC callback, HWND parent)
    : CMyWindow(templateId, callback, parent)
{
}

CMyDialog::~CMyDialog() = default;

int CMyDialog::OnCommand(WPARAM command)
{
    unsigned int id = LOWORD(command);
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(id);
        return 1;
    }
    return 0;
}

int CMyDialog::OnMouseWheel(int) { return 0; }
int CMyDialog::OnVScroll(int, int, HWND) { return 0; }

INT_PTR CMyDialog::RunModal()
{
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    return ::DialogBoxParamA(instance, MAKEINTRESOURCEA(GetClassTemplate()), m_hParentWnd, GetWndProc(),
                             reinterpret_cast<LPARAM>(this));
}

int CMyDialog::OnInitDialog() { return 1; }

int CMyDialog::OnMyColoredTextGetTextParam(unsigned int, _MY_COLORED_TEXT_STRUCT* param)
{
    return param ? 1 : 0;
}

int CMyDialog::OnClose()
{
    // The dialog's own cancel handling decides whether and when it ends.
    if (m_hWnd)
        ::PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return 1;
}

int CMyDialog::Create(const char*, DWORD, HWND, unsigned int, int, int, const RECT*) { return 0; }

INT_PTR CMyDialog::Show(int mode)
{
    return mode == -1 ? RunModal() : 0;
}

int CMyDialog::EndDialog(INT_PTR result)
{
    return m_hWnd ? ::EndDialog(m_hWnd, result) : 0;
}

HWND CMyDialog::GetDlgItem(unsigned int id) const
{
    return m_hWnd ? ::GetDlgItem(m_hWnd, static_cast<int>(id)) : nullptr;
}

unsigned int CMyDialog::GetDlgItemInt(unsigned int id, BOOL* translated, int isSigned) const
{
    if (!m_hWnd) {
        if (translated)
            *translated = FALSE;
        return 0;
    }
    return ::GetDlgItemInt(m_hWnd, static_cast<int>(id), translated, isSigned);
}

int CMyDialog::SetDlgItemInt(unsigned int id, unsigned int value, int isSigned)
{
    return m_hWnd ? ::SetDlgItemInt(m_hWnd, static_cast<int>(id), value, isSigned) : 0;
}

int CMyDialog::SetDlgItemTextA(unsigned int id, const char* text)
{
    return m_hWnd ? ::SetDlgItemTextA(m_hWnd, static_cast<int>(id), text ? text : "") : 0;
}

int CMyDialog::IsDlgButtonChecked(unsigned int id) const
{
    return m_hWnd ? static_cast<int>(::IsDlgButtonChecked(m_hWnd, static_cast<int>(id))) : 0;
}

int CMyDialog::CheckDlgButton(unsigned int id, unsigned int state)
{
    return m_hWnd ? ::CheckDlgButton(m_hWnd, static_cast<int>(id), state) : 0;
}

int CMyDialog::EnableDialogItem(unsigned int id, int enable)
{
    HWND item = GetDlgItem(id);
    if (!item)
        return 0;
    ::EnableWindow(item, enable ? TRUE : FALSE);
    return 1;
}

int CMyDialog::ShowDialogItem(unsigned int id, int show)
{
    HWND item = GetDlgItem(id);
    if (!item)
        return 0;
    ::ShowWindow(item, show ? SW_SHOW : SW_HIDE);
    return 1;
}

int CMyDialog::SetDialogItemFocus(unsigned int id)
{
    HWND item = GetDlgItem(id);
    if (!item)
        return 0;
    // The dialog manager's way of moving the focus keeps the default button in step.
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
    return 1;
}

int CMyDialog::GetDialogItemTextLength(unsigned int id) const
{
    HWND item = GetDlgItem(id);
    return item ? ::GetWindowTextLengthA(item) : 0;
}

int CMyDialog::SetDialogItemBitmap(unsigned int id, HBITMAP bitmap)
{
    HWND item = GetDlgItem(id);
    if (!item)
        return 0;
    // STM_SETIMAGE hands back the control's previous image; the caller owns both.
    ::SendMessageA(item, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    return 1;
}

INT_PTR CMyDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        OnCommand(wParam);
        return TRUE;
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_MOUSEWHEEL:
        OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return TRUE;
    case WM_CLOSE:
        OnClose();
        return TRUE;
    case WM_MYCOLOREDTEXT_GETTEXTPARAM: {
        int answer = OnMyColoredTextGetTextParam(static_cast<unsigned int>(wParam),
                                                 reinterpret_cast<_MY_COLORED_TEXT_STRUCT*>(lParam));
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, answer);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CMyDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CMyDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CMyDialog*>(lParam);
        ::SetWindowLongPtrA(window, DWLP_USER, lParam);
        if (self)
            self->m_hWnd = window;
    } else {
        self = reinterpret_cast<CMyDialog*>(::GetWindowLongPtrA(window, DWLP_USER));
    }
    if (!self)
        return FALSE;
    if (message == WM_NCDESTROY) {
        // The object outlives its window: forget the handle so that nothing uses it again.
        ::SetWindowLongPtrA(window, DWLP_USER, 0);
        self->m_hWnd = nullptr;
        return FALSE;
    }
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (...) {
        ReportStopped(__LINE__, "an exception left a dialog operation");
    }
    return FALSE;
}
