#pragma once
#include "MyDialog.h"

// A static text painted in the colour that its parent dialog gives through
// OnMyColoredTextGetTextParam.
class QUILLET_API CMyColoredText : public CMyDialog {
public:
    CMyColoredText();
    ~CMyColoredText() override;

    int Create(const char* text, DWORD style, HWND parent, unsigned int id,
               int reserved1, int reserved2, const RECT* rect) override;

    static const char* ClassName() { return "QuilletColoredText"; }
    static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Paint();
};
