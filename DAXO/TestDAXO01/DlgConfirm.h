#pragma once
#include "MyColoredText.h"

class CTestDAXO01;

// Asks the operator to connect the next unit: OK ends with 1, Cancel with 2.
class CConfirmDialog : public CMyDialog {
public:
    CConfirmDialog(HWND parent, HINSTANCE instance);
    ~CConfirmDialog() override;

    int OnCommand(WPARAM command) override;
    INT_PTR RunModal() override;
    int OnInitDialog() override;
    int OnMyColoredTextGetTextParam(unsigned int id, _MY_COLORED_TEXT_STRUCT* param) override;

    void SetTest(CTestDAXO01* test) { testObject = test; }

private:
    HINSTANCE resourceModule;
    CMyColoredText coloredText;
    CTestDAXO01* testObject = nullptr;
};
