#pragma once
#include "MyWindow.h"
#include "MyColoredTextParam.h"

// A modal dialog from a template. The toolkit's dialog procedure binds the window to the
// object at WM_INITDIALOG and hands the messages below to the virtual operations; no C++
// exception ever reaches user32.
class QUILLET_API CMyDialog : public CMyWindow {
public:
    CMyDialog(unsigned int templateId, DLGPROC callback, HWND parent);
    ~CMyDialog() override;

    // The operations a dialog overrides, in the order of the virtual table.
    virtual int OnCommand(WPARAM command);
    virtual int OnMouseWheel(int distance);
    virtual int OnVScroll(int code, int position, HWND scrollControl);
    virtual INT_PTR RunModal();
    virtual int OnInitDialog();
    virtual int OnMyColoredTextGetTextParam(unsigned int id, _MY_COLORED_TEXT_STRUCT* param);
    // The close box and Alt+F4: the dialog's cancel command, which decides how it ends.
    virtual int OnClose();
    // Creates a child control of `parent` (used by controls derived from the dialog class).
    virtual int Create(const char* text, DWORD style, HWND parent, unsigned int id,
                       int reserved1, int reserved2, const RECT* rect);

    // -1: modal, through RunModal. Other modes are not supported and answer 0.
    INT_PTR Show(int mode);
    int EndDialog(INT_PTR result);

    HWND GetDlgItem(unsigned int id) const;
    unsigned int GetDlgItemInt(unsigned int id, BOOL* translated, int isSigned) const;
    int SetDlgItemInt(unsigned int id, unsigned int value, int isSigned);
    int SetDlgItemTextA(unsigned int id, const char* text);
    int IsDlgButtonChecked(unsigned int id) const;
    int CheckDlgButton(unsigned int id, unsigned int state);
    int EnableDialogItem(unsigned int id, int enable);
    int ShowDialogItem(unsigned int id, int show);
    int SetDialogItemFocus(unsigned int id);
    int GetDialogItemTextLength(unsigned int id) const;
    int SetDialogItemBitmap(unsigned int id, HBITMAP bitmap);

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
};
