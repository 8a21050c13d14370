#include "DlgConfig.h"
#include "Controls.h"
#include "DialogRunner.h"
#include "UnitContract.h"
#include "TestDAXO01.h"
#include "Texts.h"
#include "resource.h"
#include <string.h>

namespace {

const char kCaption[] = "DAXO-01";

// The controls of inputs I2 and I3, in the order they are disabled or hidden.
const unsigned int kInputs23[] = {IDC_QUAD23, IDC_CURRENT23, IDC_LBL_CURRENT23, IDC_MIN2, IDC_MIN3,
                                  IDC_MAX2,   IDC_MAX3,      IDC_SPIN_MIN2,     IDC_SPIN_MIN3,
                                  IDC_SPIN_MAX2, IDC_SPIN_MAX3, IDC_LBL_I2,     IDC_LBL_I3};

// Spinner and edit of each pulse field: minima of I0..I3, then maxima of I0..I3.
struct PulsePair {
    unsigned int spin;
    unsigned int edit;
};
const PulsePair kPulsePairs[] = {{IDC_SPIN_MIN0, IDC_MIN0}, {IDC_SPIN_MIN1, IDC_MIN1}, {IDC_SPIN_MIN2, IDC_MIN2},
                                  {IDC_SPIN_MIN3, IDC_MIN3}, {IDC_SPIN_MAX0, IDC_MAX0}, {IDC_SPIN_MAX1, IDC_MAX1},
                                  {IDC_SPIN_MAX2, IDC_MAX2}, {IDC_SPIN_MAX3, IDC_MAX3}};

// The controls whose texts come from the language file, in the order they are set.
const unsigned int kLocalisedControls[] = {IDC_LBL_ADDRESS, IDC_LBL_DELAY, IDC_LBL_BAUD, IDC_LBL_PARITY,
                                           IDC_LBL_QUAD,    IDC_LBL_CURRENT01, IDC_LBL_CURRENT23, IDC_LBL_MIN,
                                           IDC_LBL_MAX,     IDC_LBL_I0, IDC_LBL_I1, IDC_LBL_I2, IDC_LBL_I3,
                                           IDCANCEL,        IDC_WRITE, IDC_SERIES, IDC_TIMEOUT_ON};

// What a type of unit lets the operator set (exact, case-sensitive codes): the I2 and I3
// controls greyed for one type, hidden for the types with a communication timeout.
const char* const kTypeWithGreyedInputs23 = "VX1203.00";
const char* const kTypesWithTimeout[] = {"VX1205.00", "VX1205.10", "VX1205.20"};

bool IsTypeWithTimeout(const char* type)
{
    for (const char* code : kTypesWithTimeout)
        if (strcmp(type, code) == 0)
            return true;
    return false;
}

bool IsTypeWithGreyedInputs23(const char* type) { return strcmp(type, kTypeWithGreyedInputs23) == 0; }

// The default configuration's timeout and shortest pulse spacing (2.5 ms).
const unsigned int kDefaultTimeoutMs = 600;
const int kDefaultMinPulseSteps = 1;
const unsigned int kShownDelayWhenSilent = 10;

// What the dialog ends with when the operator cancels it.
const INT_PTR kConfigCancelled = -1;

// The host's selectors: the block it is asked for once the stored record is usable (the answer
// is not used), and the default block.
const unsigned char kDefaultBlockAskedFirst = 1, kDefaultBlock = 2;
// Where in the unit the record is written.
const unsigned short kConfigOffset = 0;

// The mouse wheel's steps: address and delay edits, and the pulse spinners (12.5 ms).
const int kAddressWheelStep = 1, kDelayWheelStep = 5, kPulseWheelStep = 5;

// The two input-current lists, I0/I1 and I2/I3.
const unsigned int kCurrentLists[] = {IDC_CURRENT01, IDC_CURRENT23};

// Pulse pairs: minima of I0..I3 at 0..3, maxima at kInputCount..7.
const int kPulsePairCount = 2 * kInputCount;

// The four halves of inputCurrent: I0/I1 in the low one, I2/I3 in the high one.
const unsigned int kCurrentHalfBits = 4, kCurrentHalfMask = 0x0F;

template <typename Entry, size_t count>
constexpr int CountOf(const Entry (&)[count])
{
    return static_cast<int>(count);
}

static_assert(CountOf(kCurrentTexts) == CountOf(kCurrentCodes), "a code for each current entry");

} // namespace

CConfigDialog::CConfigDialog(HWND parent, HINSTANCE instance)
    : CMyDialog(IDD_CONFIG, nullptr, parent), resourceModule(instance)
{
    // Both records start zeroed: an address of 0 in the result means nothing accepted yet, and
    // a dialog shown without a stored configuration writes no leftover bytes.
    memset(&workingConfig, 0, sizeof workingConfig);
    memset(&resultConfig, 0, sizeof resultConfig);
}

CConfigDialog::~CConfigDialog()
{
    if (bitmap)
        ::DeleteObject(bitmap);
}

INT_PTR CConfigDialog::RunModal()
{
    return RunModalDialog(*this, resourceModule, "DlgConfig", __LINE__, false);
}

void CConfigDialog::AdvanceAddress()
{
    resultConfig.address = static_cast<unsigned char>(resultConfig.address + 1);
    if (resultConfig.address > kMaxAddress) {
        // The dialog has closed by now, so the warning belongs to its parent window.
        MessageBoxA(testObject ? testObject->GetMessageA(msg::AddressWrapped) : "", kCaption, MB_OK | MB_ICONWARNING);
        resultConfig.address = kMinAddress;
    }
}

int CConfigDialog::OnInitDialog()
{
    AdaptToTypeCode();
    CheckDlgButton(IDC_SERIES, seriesFlag == 1 ? BST_CHECKED : BST_UNCHECKED);
    FillLists();
    for (const PulsePair& pair : kPulsePairs)
        if (CUpDown spin{GetDlgItem(pair.spin)})
            spin.SetRange32(0, kMaxPulseSteps);
    LoadConfiguration();
    if (bitmap) {
        ::DeleteObject(bitmap);
        bitmap = nullptr;
    }
    bitmap = ::LoadBitmapA(resourceModule, MAKEINTRESOURCEA(IDB_JUMPER));
    SetDialogItemBitmap(IDC_PICTURE, bitmap);
    SetLocalisedTexts();
    return 1;
}

const char* CConfigDialog::TypeCode() const
{
    return typeCode.GetString() ? typeCode.GetString() : "";
}

bool CConfigDialog::OperatorSetsInput(int input) const
{
    const int firstOfI2I3 = 2;
    const char* type = TypeCode();
    return input < firstOfI2I3 || !(IsTypeWithGreyedInputs23(type) || IsTypeWithTimeout(type));
}

void CConfigDialog::AdaptToTypeCode()
{
    const char* type = TypeCode();
    if (IsTypeWithGreyedInputs23(type))
        for (unsigned int id : kInputs23)
            EnableDialogItem(id, 0);
    if (IsTypeWithTimeout(type)) {
        for (unsigned int id : kInputs23)
            ShowDialogItem(id, 0);
    } else {
        ShowDialogItem(IDC_TIMEOUT_ON, 0);
        ShowDialogItem(IDC_TIMEOUT, 0);
    }
}

void CConfigDialog::FillLists()
{
    auto add = [this](unsigned int listId, const char* text, unsigned char code) {
        if (CComboBox list{GetDlgItem(listId)})
            list.AddItem(text, code);
    };
    for (const BaudRate& rate : kBaudRates)
        add(IDC_BAUD, rate.text, rate.code);
    // A parity's entry carries its code, which is its place in the table.
    for (int code = 0; code < CountOf(kParityTexts); ++code)
        add(IDC_PARITY, kParityTexts[code], static_cast<unsigned char>(code));
    for (unsigned int listId : kCurrentLists)
        for (int i = 0; i < CountOf(kCurrentTexts); ++i)
            add(listId, kCurrentTexts[i], kCurrentCodes[i]);
}

void CConfigDialog::SelectByText(unsigned int listId, const char* text)
{
    CComboBox list(GetDlgItem(listId));
    if (!list || !text)
        return;
    int index = list.FindStringExact(text);
    if (index >= 0)
        list.SetCurSel(index);
}

void CConfigDialog::ShowAnswerDelay(unsigned char delay)
{
    if (delay == kSilentDelay) {
        SetDlgItemInt(IDC_DELAY, kShownDelayWhenSilent, 0);
        EnableDialogItem(IDC_DELAY, 0);
        CheckDlgButton(IDC_NOANSWER, BST_CHECKED);
    } else {
        SetDlgItemInt(IDC_DELAY, delay, 0);
        EnableDialogItem(IDC_DELAY, 1);
        CheckDlgButton(IDC_NOANSWER, BST_UNCHECKED);
    }
}

int CConfigDialog::SpinPosition(unsigned int spinId) const
{
    CUpDown spin(GetDlgItem(spinId));
    return spin ? spin.GetPos32() : 0;
}

void CConfigDialog::SetSpinPosition(unsigned int spinId, int position)
{
    if (CUpDown spin{GetDlgItem(spinId)})
        spin.SetPos32(position);
}

void CConfigDialog::ShowPulse(int index, int steps)
{
    SetSpinPosition(kPulsePairs[index].spin, steps);
    ShowPulseText(index, steps);
}

void CConfigDialog::ShowPulseText(int index, int steps)
{
    scratchText.Format("%2.1f", steps * kPulseStepMs);
    SetDlgItemTextA(kPulsePairs[index].edit, scratchText);
}

void CConfigDialog::LoadConfiguration()
{
    if (!testObject)
        return;
    const unsigned char* stored = testObject->ReadUserConfig();
    if (!stored)
        return;
    memcpy(&workingConfig, stored, sizeof workingConfig);
    // Once a unit has been accepted, the next one is proposed its communication settings.
    const UnitConfig& source = resultConfig.address != 0 ? resultConfig : workingConfig;
    const char* rateText = BaudTextOfCode(source.baudCode);
    if (!rateText) {
        LoadDefaults();
        return;
    }
    testObject->ReadDefaultConfig(kDefaultBlockAskedFirst);
    SelectByText(IDC_BAUD, rateText);
    SelectByText(IDC_PARITY, ParityTextOfCode(source.parity));
    SetDlgItemInt(IDC_ADDRESS, source.address, 0);
    ShowAnswerDelay(source.answerDelay);
    CheckDlgButton(IDC_QUAD01, (workingConfig.quadrature & kQuadratureI0I1) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_QUAD23, (workingConfig.quadrature & kQuadratureI2I3) ? BST_CHECKED : BST_UNCHECKED);
    if (CComboBox list{GetDlgItem(IDC_CURRENT01)})
        list.SetCurSel(CurrentPositionOfCode(workingConfig.inputCurrent & kCurrentHalfMask));
    if (CComboBox list{GetDlgItem(IDC_CURRENT23)})
        list.SetCurSel(CurrentPositionOfCode(workingConfig.inputCurrent >> kCurrentHalfBits));
    for (int i = 0; i < kInputCount; ++i)
        ShowPulse(i, workingConfig.minPulse[i]);
    for (int i = 0; i < kInputCount; ++i)
        ShowPulse(kInputCount + i, workingConfig.maxPulse[i]);
    unsigned int timeout = CommTimeoutOf(workingConfig);
    SetDlgItemInt(IDC_TIMEOUT, timeout != 0 ? timeout : kDefaultTimeoutMs, 0);
    CheckDlgButton(IDC_TIMEOUT_ON, timeout != 0 ? BST_CHECKED : BST_UNCHECKED);
    EnableDialogItem(IDC_TIMEOUT, timeout != 0);
}

void CConfigDialog::LoadDefaults()
{
    const unsigned char* block = testObject ? testObject->ReadDefaultConfig(kDefaultBlock) : nullptr;
    if (!block)
        return;
    DefaultConfig defaults = DecodeDefaultBlock(block);
    workingConfig.baudCode = defaults.baudCode;
    SelectByText(IDC_BAUD, BaudTextOfCode(defaults.baudCode));
    workingConfig.parity = defaults.parity;
    SelectByText(IDC_PARITY, ParityTextOfCode(defaults.parity));
    SetDlgItemInt(IDC_ADDRESS, defaults.address, 0);
    workingConfig.address = defaults.address;
    workingConfig.answerDelay = defaults.answerDelay;
    ShowAnswerDelay(defaults.answerDelay);
    for (unsigned int id : kCurrentLists)
        if (CComboBox list{GetDlgItem(id)})
            list.SetCurSel(0);
    for (int i = 0; i < kInputCount; ++i)
        ShowPulse(i, kDefaultMinPulseSteps);
    for (int i = 0; i < kInputCount; ++i)
        ShowPulse(kInputCount + i, kMaxPulseSteps);
    SetDlgItemInt(IDC_TIMEOUT, kDefaultTimeoutMs, 0);
    CheckDlgButton(IDC_TIMEOUT_ON, BST_CHECKED);
    EnableDialogItem(IDC_TIMEOUT, 1);
}

void CConfigDialog::SetLocalisedTexts()
{
    if (!testObject)
        return;
    SetWindowTextA(testObject->GetDialogName(IDD_CONFIG));
    for (unsigned int id : kLocalisedControls)
        SetDlgItemTextA(id, testObject->GetDialogControlName(IDD_CONFIG, id));
}

void CConfigDialog::UpdateWriteButton()
{
    bool enable = GetDialogItemTextLength(IDC_ADDRESS) > 0 &&
                  (GetDialogItemTextLength(IDC_DELAY) > 0 || IsDlgButtonChecked(IDC_NOANSWER) == 1);
    EnableDialogItem(IDC_WRITE, enable ? 1 : 0);
}

int CConfigDialog::OnCommand(WPARAM command)
{
    unsigned int id = LOWORD(command);
    switch (id) {
    case IDCANCEL:
        EndDialog(kConfigCancelled);
        return 1;
    case IDC_NOANSWER:
        EnableDialogItem(IDC_DELAY, IsDlgButtonChecked(IDC_NOANSWER) != 1);
        UpdateWriteButton();
        return 0;
    case IDC_WRITE:
        if (ValidateAndStore() == 1) {
            seriesFlag = IsDlgButtonChecked(IDC_SERIES) == 1 ? 1 : 0;
            memcpy(&resultConfig, &workingConfig, sizeof resultConfig);
            EndDialog(kDialogDone);
        }
        return 0;
    case IDC_TIMEOUT_ON:
        EnableDialogItem(IDC_TIMEOUT, IsDlgButtonChecked(IDC_TIMEOUT_ON) == 1);
        return 0;
    default:
        if (id == IDC_ADDRESS || id == IDC_DELAY || (id >= IDC_MIN0 && id <= IDC_MAX3))
            UpdateWriteButton();
        return 0;
    }
}

int CConfigDialog::OnVScroll(int, int, HWND)
{
    for (int i = 0; i < kPulsePairCount; ++i)
        ShowPulseText(i, SpinPosition(kPulsePairs[i].spin));
    return 0;
}

void CConfigDialog::StepEdit(unsigned int editId, int step, int low, int high, int distance)
{
    // Wide enough for any number the operator can type, so the step never overflows.
    long long value = GetDlgItemInt(editId, nullptr, 0);
    value += distance > 0 ? step : -step;
    value = value < low ? low : value > high ? high : value;
    SetDlgItemInt(editId, static_cast<unsigned int>(value), 0);
}

void CConfigDialog::StepSpinner(int pair, int distance)
{
    int position = SpinPosition(kPulsePairs[pair].spin) + (distance > 0 ? kPulseWheelStep : -kPulseWheelStep);
    position = position < 0 ? 0 : position > kMaxPulseSteps ? kMaxPulseSteps : position;
    ShowPulse(pair, position);
}

int CConfigDialog::OnMouseWheel(int distance)
{
    HWND focus = ::GetFocus();
    if (!focus || !m_hWnd || ::GetParent(focus) != m_hWnd)
        return 0;
    unsigned int id = static_cast<unsigned int>(::GetDlgCtrlID(focus));
    if (id == IDC_ADDRESS) {
        StepEdit(IDC_ADDRESS, kAddressWheelStep, kMinAddress, kMaxAddress, distance);
    } else if (id == IDC_DELAY) {
        StepEdit(IDC_DELAY, kDelayWheelStep, 0, kMaxAnswerDelay, distance);
    } else {
        for (int i = 0; i < kPulsePairCount; ++i)
            if (id == kPulsePairs[i].spin || id == kPulsePairs[i].edit)
                StepSpinner(i, distance);
    }
    return 0;
}

int CConfigDialog::Reject(unsigned int messageId, unsigned int focusId)
{
    MessageBoxA(testObject ? testObject->GetMessageA(messageId) : "", kCaption, MB_OK | MB_ICONEXCLAMATION);
    SetDialogItemFocus(focusId);
    if (CEdit edit{GetDlgItem(focusId)})
        edit.SelectAll();
    return 0;
}

long long CConfigDialog::SelectedItemData(unsigned int listId) const
{
    CComboBox list(GetDlgItem(listId));
    if (!list)
        return -1;
    int index = list.GetCurSel();
    if (index < 0)
        return -1;
    return static_cast<long long>(list.GetItemData(index));
}

int CConfigDialog::ValidateAndStore()
{
    unsigned int address = GetDlgItemInt(IDC_ADDRESS, nullptr, 0);
    if (address < kMinAddress || address > kMaxAddress)
        return Reject(msg::BadAddress, IDC_ADDRESS);
    workingConfig.address = static_cast<unsigned char>(address);

    if (IsDlgButtonChecked(IDC_NOANSWER) == 1) {
        workingConfig.answerDelay = kSilentDelay;
    } else {
        unsigned int delay = GetDlgItemInt(IDC_DELAY, nullptr, 0);
        if (delay > kMaxAnswerDelay)
            return Reject(msg::BadDelay, IDC_DELAY);
        workingConfig.answerDelay = static_cast<unsigned char>(delay);
    }

    // An input the operator can neither see nor change is not his to correct: its values are
    // brought into range instead, a maximum below its minimum raised to the minimum.
    auto held = [](int steps, int low) { return steps < low ? low : steps > kMaxPulseSteps ? kMaxPulseSteps : steps; };
    for (int i = 0; i < kInputCount; ++i) {
        int steps = SpinPosition(kPulsePairs[i].spin);
        if (!OperatorSetsInput(i))
            steps = held(steps, 0);
        if (steps < 0 || steps > kMaxPulseSteps)
            return Reject(msg::BadMinPulseI0 + i, kPulsePairs[i].edit);
        workingConfig.minPulse[i] = static_cast<unsigned char>(steps);
    }
    for (int i = 0; i < kInputCount; ++i) {
        int steps = SpinPosition(kPulsePairs[kInputCount + i].spin);
        if (!OperatorSetsInput(i))
            steps = held(steps, workingConfig.minPulse[i]);
        if (steps < workingConfig.minPulse[i] || steps > kMaxPulseSteps)
            return Reject(msg::BadMaxPulseI0 + i, kPulsePairs[kInputCount + i].edit);
        workingConfig.maxPulse[i] = static_cast<unsigned char>(steps);
    }

    workingConfig.quadrature = 0;
    if (IsDlgButtonChecked(IDC_QUAD01) == 1)
        workingConfig.quadrature |= kQuadratureI0I1;
    if (IsDlgButtonChecked(IDC_QUAD23) == 1)
        workingConfig.quadrature |= kQuadratureI2I3;

    unsigned char high = CurrentCodeOfItemData(SelectedItemData(IDC_CURRENT23));
    unsigned char low = CurrentCodeOfItemData(SelectedItemData(IDC_CURRENT01));
    workingConfig.inputCurrent = static_cast<unsigned char>((high << kCurrentHalfBits) | low);

    unsigned int timeout = 0;
    if (IsDlgButtonChecked(IDC_TIMEOUT_ON) == 1) {
        int typed = static_cast<int>(GetDlgItemInt(IDC_TIMEOUT, nullptr, 1));
        if (typed < static_cast<int>(kMinCommTimeoutMs) || typed > static_cast<int>(kMaxCommTimeoutMs))
            return Reject(msg::BadTimeout, IDC_TIMEOUT);
        timeout = static_cast<unsigned int>(typed);
    }
    SetCommTimeout(workingConfig, timeout);
    return WriteToUnit();
}

int CConfigDialog::WriteToUnit()
{
    HWND owner = m_hWnd ? reinterpret_cast<HWND>(::GetWindowLongPtrA(m_hWnd, GWLP_HWNDPARENT)) : nullptr;
    SetSaveMarker(workingConfig);
    // A list without a selection (-1) leaves the stored code as it is.
    long long baud = SelectedItemData(IDC_BAUD);
    if (baud >= 0)
        workingConfig.baudCode = static_cast<unsigned char>(baud);
    long long parity = SelectedItemData(IDC_PARITY);
    if (parity >= 0)
        workingConfig.parity = static_cast<unsigned char>(parity);
    if (!testObject)
        return 0;
    if (testObject->WriteConfig(kConfigOffset, reinterpret_cast<unsigned char*>(&workingConfig), kWrittenConfigBytes)) {
        testObject->SendTestResult(owner, nullptr, testObject->GetMessageA(msg::Written), result::kReportFlag,
                                   result::kSuccess, result::kReportReserved);
        return 1;
    }
    testObject->SendTestResult(owner, nullptr, testObject->GetMessageA(msg::WriteFailedLog), result::kReportFlag,
                               result::kFailure, result::kReportReserved);
    MessageBoxA(testObject->GetMessageA(msg::WriteFailedBox), kCaption, MB_OK | MB_ICONHAND);
    return 0;
}
