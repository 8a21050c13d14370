#pragma once
#include "MyColoredText.h"
#include <atomic>

class CTestDAXO01;

// What the test of a new configuration checks, shared by the dialog and its worker. The
// user-interface thread writes it before the dialog opens; afterwards both only read it.
struct TestParameters {
    CTestDAXO01* testObject = nullptr;
    unsigned char address = 0;
    int baudRate = 0;
    unsigned char parity = 0;
};
extern TestParameters g_testParameters;
// 1 while the worker may go on polling; the operator's cancel sets it to 0.
extern std::atomic<int> testRunning;

// Reconnects the line with the new rate and parity and polls the unit at its new address
// from a worker thread until it answers (ends with 1) or the operator stops it (ends with 2).
class CTestConfigDialog : public CMyDialog {
public:
    CTestConfigDialog(HWND parent, HINSTANCE instance);
    ~CTestConfigDialog() override;

    int OnCommand(WPARAM command) override;
    INT_PTR RunModal() override;
    int OnInitDialog() override;
    int OnMyColoredTextGetTextParam(unsigned int id, _MY_COLORED_TEXT_STRUCT* param) override;

    static void SetTestParameters(CTestDAXO01* test, unsigned char address, int baudRate, unsigned char parity);
    static DWORD WINAPI TestThreadProc(LPVOID dialogWindow);

    HANDLE GetThreadHandle() const { return threadHandle; }

private:
    HANDLE threadHandle = nullptr;
    HINSTANCE resourceModule;
    CMyColoredText coloredText;
};
