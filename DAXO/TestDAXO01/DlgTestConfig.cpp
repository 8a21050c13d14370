#include "DlgTestConfig.h"
#include "Diagnostics.h"
#include "DialogRunner.h"
#include "TestDAXO01.h"
#include "resource.h"

namespace {
// The heading line: a visible child with the toolkit's coloured-text style bits.
const DWORD kHeadingStyle = WS_CHILD | WS_VISIBLE | 0x30;
// Where the heading stands (left, top, right, bottom in pixels) and its green.
const RECT kHeadingArea = {5, 5, 400, 50};
const unsigned char kHeadingRed = 0x40, kHeadingGreen = 0xC0, kHeadingBlue = 0x40;
} // namespace

TestParameters g_testParameters;
volatile LONG testRunning = 0;

CTestConfigDialog::CTestConfigDialog(HWND parent, HINSTANCE instance)
    : CMyDialog(IDD_TESTCONFIG, nullptr, parent), resourceModule(instance)
{
}

CTestConfigDialog::~CTestConfigDialog()
{
    if (threadHandle)
        ::CloseHandle(threadHandle);
}

void CTestConfigDialog::SetTestParameters(CTestDAXO01* test, unsigned char address, int baudRate,
                                          unsigned char parity)
{
    g_testParameters.testObject = test;
    g_testParameters.address = address;
    g_testParameters.baudRate = baudRate;
    g_testParameters.parity = parity;
}

INT_PTR CTestConfigDialog::RunModal()
{
    INT_PTR result = RunModalDialog(*this, resourceModule, "DlgTestConfig", __LINE__, true);
    // However the dialog ended, its worker must be gone before the caller uses the host
    // tester again, and it must never end a window that no longer exists.
    ::InterlockedExchange(&testRunning, 0);
    // Ending the dialog from the worker sends messages to this thread's windows, so keep
    // answering them while waiting, or both threads would wait for each other.
    while (threadHandle &&
           ::MsgWaitForMultipleObjects(1, &threadHandle, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return result;
}

int CTestConfigDialog::OnInitDialog()
{
    RECT area;
    ::SetRect(&area, kHeadingArea.left, kHeadingArea.top, kHeadingArea.right, kHeadingArea.bottom);
    CTestDAXO01* test = g_testParameters.testObject;
    if (test) {
        SetWindowTextA(test->GetDialogName(IDD_TESTCONFIG));
        SetDlgItemTextA(IDC_TEST_INFO, test->GetDialogControlName(IDD_TESTCONFIG, IDC_TEST_INFO));
        SetDlgItemTextA(IDCANCEL, test->GetDialogControlName(IDD_TESTCONFIG, IDCANCEL));
    }
    const char* heading = test ? test->GetDialogControlName(IDD_TESTCONFIG, IDC_TEST_HEADING) : "";
    coloredText.Create(heading, kHeadingStyle, m_hWnd, IDC_TEST_HEADING, 0, 0, &area);
    if (threadHandle) {
        ::CloseHandle(threadHandle);
        threadHandle = nullptr;
    }
    ::InterlockedExchange(&testRunning, 1);
    threadHandle = ::CreateThread(nullptr, 0, &CTestConfigDialog::TestThreadProc, m_hWnd, 0, nullptr);
    if (!threadHandle)
        Diagnose("DlgTestConfig", __LINE__, "the test thread could not be started");
    return 1;
}

int CTestConfigDialog::OnCommand(WPARAM command)
{
    if (LOWORD(command) == IDCANCEL) {
        ::InterlockedExchange(&testRunning, 0);
        EnableDialogItem(IDCANCEL, 0);
        // Without a worker nobody else would end the dialog.
        if (!threadHandle)
            EndDialog(kTestStopped);
    }
    return 0;
}

int CTestConfigDialog::OnMyColoredTextGetTextParam(unsigned int id, _MY_COLORED_TEXT_STRUCT* param)
{
    return DescribeColouredLine(id, IDC_TEST_HEADING, kHeadingRed, kHeadingGreen, kHeadingBlue, param);
}

DWORD WINAPI CTestConfigDialog::TestThreadProc(LPVOID dialogWindow)
{
    const TestParameters parameters = g_testParameters;
    ::EndDialog(static_cast<HWND>(dialogWindow), TestNewSettings(parameters.testObject, parameters, testRunning));
    return 0;
}
