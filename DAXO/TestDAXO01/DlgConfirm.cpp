#include "DlgConfirm.h"
#include "DialogRunner.h"
#include "TestDAXO01.h"
#include "resource.h"

namespace {
// The prompt line: a plain visible child.
const DWORD kPromptStyle = WS_CHILD | WS_VISIBLE;
// Where the prompt stands (left, top, right, bottom in pixels) and its blue.
const RECT kPromptArea = {30, 25, 300, 50};
const unsigned char kPromptRed = 0x00, kPromptGreen = 0x00, kPromptBlue = 0xFF;
} // namespace

CConfirmDialog::CConfirmDialog(HWND parent, HINSTANCE instance)
    : CMyDialog(IDD_CONFIRM, nullptr, parent), resourceModule(instance)
{
}

CConfirmDialog::~CConfirmDialog() = default;

INT_PTR CConfirmDialog::RunModal()
{
    return RunModalDialog(*this, resourceModule, "DlgConfirm", __LINE__, false);
}

int CConfirmDialog::OnInitDialog()
{
    RECT area;
    ::SetRect(&area, kPromptArea.left, kPromptArea.top, kPromptArea.right, kPromptArea.bottom);
    if (testObject) {
        SetWindowTextA(testObject->GetDialogName(IDD_CONFIRM));
        SetDlgItemTextA(IDOK, testObject->GetDialogControlName(IDD_CONFIRM, IDOK));
        SetDlgItemTextA(IDCANCEL, testObject->GetDialogControlName(IDD_CONFIRM, IDCANCEL));
    }
    const char* prompt = testObject ? testObject->GetDialogControlName(IDD_CONFIRM, IDC_CONFIRM_PROMPT) : "";
    coloredText.Create(prompt, kPromptStyle, m_hWnd, IDC_CONFIRM_PROMPT, 0, 0, &area);
    return 1;
}

int CConfirmDialog::OnCommand(WPARAM command)
{
    unsigned int id = LOWORD(command);
    if (id != IDOK && id != IDCANCEL)
        return 0;
    EndDialog(id);
    return 1;
}

int CConfirmDialog::OnMyColoredTextGetTextParam(unsigned int id, _MY_COLORED_TEXT_STRUCT* param)
{
    return DescribeColouredLine(id, IDC_CONFIRM_PROMPT, kPromptRed, kPromptGreen, kPromptBlue, param);
}
