#pragma once
#include "DialogRunner.h"
#include "Diagnostics.h"
#include "MyColoredText.h"
#include <windows.h>

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
// 1 while the worker may go on polling; the operator's cancel sets it to 0. Both threads
// touch it only through the interlocked calls, which also order it with their other memory.
extern volatile LONG testRunning;

// Reads a flag that another thread writes with InterlockedExchange.
inline LONG ReadTestFlag(const volatile LONG& flag)
{
    // Exchanging 0 for 0 never changes the flag, so the const is only set aside for the
    // call's signature; the call gives the read the same full barrier as the writes.
    return ::InterlockedCompareExchange(const_cast<volatile LONG*>(&flag), 0, 0);
}

// What the test dialog ends with when the operator stopped the test or it failed.
const INT_PTR kTestStopped = 2;

// After a poll that asked for identification, this many polls go without asking.
const unsigned char kPollsWithoutRequest = 5;
// The line's data bits for the new settings.
const int kTestDataBits = 8;

// The worker's test, against the host's tester or anything with its two calls: reconnects
// once, then polls the unit at its new address until it answers while `running` is set (1) or
// the operator clears `running` (2). Whatever a call throws ends the test as failed (2) with a
// diagnostic: nothing leaves the worker, so the host's process never ends because of it.
template <typename Tester>
INT_PTR TestNewSettings(Tester* tester, const TestParameters& parameters, const volatile LONG& running) noexcept
{
    try {
        if (tester)
            tester->Reconnect(parameters.baudRate, kTestDataBits, parameters.parity);
        int requestFlag = 1;
        unsigned char polls = 0;
        while (ReadTestFlag(running) != 0) {
            if (tester && tester->IdentTest(parameters.address, requestFlag))
                break;
            ::Sleep(1);
            ++polls;
            requestFlag = 0;
            if (polls > kPollsWithoutRequest) {
                polls = 0;
                requestFlag = 1;
            }
        }
        return ReadTestFlag(running) != 0 ? kDialogDone : kTestStopped;
    } catch (...) {
        DiagnoseCaughtException("DlgTestConfig", __LINE__);
        return kTestStopped;
    }
}

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
