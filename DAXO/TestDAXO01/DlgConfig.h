#pragma once
#include "DynString.h"
#include "MyDialog.h"
#include "UnitConfig.h"

class CTestDAXO01;

// The operator's view of one unit's configuration: shows the stored or default record
// adapted to the unit's type, checks the entries, writes the record into the unit.
class CConfigDialog : public CMyDialog {
public:
    CConfigDialog(HWND parent, HINSTANCE instance);
    ~CConfigDialog() override;

    int OnCommand(WPARAM command) override;
    int OnMouseWheel(int distance) override;
    int OnVScroll(int code, int position, HWND scrollControl) override;
    INT_PTR RunModal() override;
    int OnInitDialog() override;

    void SetTest(CTestDAXO01* test) { testObject = test; }
    void SetTypeCode(const char* text) { typeCode.InitBuffer(text); }
    int IsSeries() const { return seriesFlag; }
    unsigned char GetAddress() const { return workingConfig.address; }
    int GetBaudRate() const { return BaudRateOfCode(workingConfig.baudCode); }
    unsigned char GetParity() const { return workingConfig.parity; }
    // Steps the address proposed to the next unit of a series; after 125 it starts at 1 again
    // with a warning.
    void AdvanceAddress();

    const UnitConfig& WorkingConfig() const { return workingConfig; }
    const UnitConfig& ResultConfig() const { return resultConfig; }
    HBITMAP GetBitmap() const { return bitmap; }

private:
    const char* TypeCode() const;
    // Whether the unit's type lets the operator set input `input` (0 to 3 for I0 to I3).
    bool OperatorSetsInput(int input) const;
    void AdaptToTypeCode();
    void FillLists();
    void LoadConfiguration();
    void LoadDefaults();
    void ShowAnswerDelay(unsigned char delay);
    // Moves pulse pair `index`'s spinner to `steps` and shows the spacing in its edit.
    void ShowPulse(int index, int steps);
    // Shows the spacing only: how every pulse edit is written, whoever moved the spinner.
    void ShowPulseText(int index, int steps);
    void SelectByText(unsigned int listId, const char* text);
    void SetLocalisedTexts();
    void UpdateWriteButton();
    int ValidateAndStore();
    int WriteToUnit();
    int Reject(unsigned int messageId, unsigned int focusId);
    int SpinPosition(unsigned int spinId) const;
    void SetSpinPosition(unsigned int spinId, int position);
    // The selected entry's item data; -1 when the list is missing or nothing is selected.
    long long SelectedItemData(unsigned int listId) const;
    void StepEdit(unsigned int editId, int step, int low, int high, int distance);
    void StepSpinner(int pair, int distance);

    CDynString scratchText;
    CDynString typeCode;
    CTestDAXO01* testObject = nullptr;
    UnitConfig workingConfig{};
    HBITMAP bitmap = nullptr;
    HINSTANCE resourceModule;
    int seriesFlag = 0;
    UnitConfig resultConfig{};
};
