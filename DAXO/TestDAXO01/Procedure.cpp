#include "Procedure.h"
#include "DialogRunner.h"
#include "DlgConfig.h"
#include "DlgConfirm.h"
#include "DlgTestConfig.h"
#include "ResultCodes.h"
#include "TestDAXO01.h"
#include "Texts.h"
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

const char kMessageBoxCaption[] = "DAXO-01";
const int kEepromTypeOffset = 40, kEepromTypeLength = 16;
const int kEepromSerialOffset = 80, kEepromSerialLength = 8;
// The host's selector of the cached image as read from the unit.
const int kEepromImage = 1;

// The parity words of the summary line, in code page 1250.
const char* ParityWord(unsigned char parity)
{
    switch (parity) {
    case 0: return "\x9E\xE1\x64n\xE1 (NO)";
    case 1: return "lich\xE1 (ODD)";
    default: return "sud\xE1 (EVEN)";
    }
}

// Fills the placeholders of `text` in the order given, each value into the first of its
// pattern's occurrences that is still free. Only the placeholders of the text itself are
// filled: an inserted value is never searched again (a damaged serial may hold "%s"), and a
// placeholder that a translation leaves out is simply not filled.
std::string FillPlaceholders(const std::string& text, const std::vector<std::pair<const char*, std::string>>& values)
{
    std::vector<std::pair<size_t, const std::string*>> fills;
    for (const auto& value : values) {
        size_t at = 0;
        for (;;) {
            at = text.find(value.first, at);
            bool taken = false;
            for (const auto& fill : fills)
                taken = taken || fill.first == at;
            if (at == std::string::npos || !taken)
                break;
            at += 1;
        }
        if (at != std::string::npos)
            fills.emplace_back(at, &value.second);
    }
    std::string result;
    for (size_t i = 0; i < text.size();) {
        const std::string* value = nullptr;
        for (const auto& fill : fills)
            if (fill.first == i)
                value = fill.second;
        if (value) {
            result += *value;
            i += 2;
        } else {
            result += text[i++];
        }
    }
    return result;
}

std::string Text(const char* text) { return text ? text : ""; }

// What the unit says of itself in its EEPROM image.
struct UnitIdentity {
    const char* typeCode;                      // trimmed, in the test object's text buffer
    char serialText[kEepromSerialLength + 1];  // as stored, up to the first zero byte
    long serial;                               // the serial text read as a decimal number
};

// One call of the configuration procedure: the passes over the units connected one after
// another, with the three dialogs that the call owns.
class ConfigurationRun {
public:
    ConfigurationRun(CTestDAXO01& test, HWND parent, unsigned short testId)
        : m_test(test), m_parent(parent), m_testId(testId), m_configDialog(parent, test.m_hInstance),
          m_testDialog(parent, test.m_hInstance), m_confirmDialog(parent, test.m_hInstance)
    {
        m_configDialog.SetTest(&test);
        m_confirmDialog.SetTest(&test);
    }

    int RunPasses(int checkFlag);

private:
    UnitIdentity ReadUnitIdentity();
    void Report(const char* heading, const char* line, unsigned char code);
    void ReportSummary(const char* serialText);
    void ReportEmptyType();
    const char* Message(msg::MessageId id) { return m_test.GetMessageA(id); }

    CTestDAXO01& m_test;
    HWND m_parent;
    unsigned short m_testId;
    CConfigDialog m_configDialog;
    CTestConfigDialog m_testDialog;
    CConfirmDialog m_confirmDialog;
};

void ConfigurationRun::Report(const char* heading, const char* line, unsigned char code)
{
    m_test.SendTestResult(m_parent, heading, line, result::kReportFlag, code, result::kReportReserved);
}

void ConfigurationRun::ReportSummary(const char* serialText)
{
    std::string line = FillPlaceholders(Text(Message(msg::Summary)),
                                        {{"%s", serialText},
                                         {"%s", ParityWord(m_configDialog.GetParity())},
                                         {"%d", std::to_string(m_configDialog.GetAddress())},
                                         {"%d", std::to_string(m_configDialog.GetBaudRate())}});
    m_test.m_strText.InitBuffer(line.c_str());
    Report(nullptr, m_test.m_strText, result::kSummary);
}

// An empty type code leaves nothing to configure: "there is no configuration" followed by
// "for type %s" naming the empty type as "".
void ConfigurationRun::ReportEmptyType()
{
    std::string line = Text(Message(msg::NoConfiguration));
    std::string type = FillPlaceholders(Text(Message(msg::ForType)), {{"%s", "\"\""}});
    if (!line.empty() && !type.empty())
        line += ' ';
    line += type;
    m_test.m_strText.InitBuffer(line.c_str());
    Report(nullptr, m_test.m_strText, result::kFailure);
}

UnitIdentity ConfigurationRun::ReadUnitIdentity()
{
    CDynString& type = m_test.m_strText;
    type.SetString(reinterpret_cast<const char*>(m_test.m_EEPROMCache.GetEEPROMCacheFrom(kEepromTypeOffset, kEepromImage)),
                   kEepromTypeLength);
    type.Trim();
    UnitIdentity unit{};
    unit.typeCode = type.IsEmpty() ? "" : type.GetString();
    const unsigned char* serialField = m_test.m_EEPROMCache.GetEEPROMCacheFrom(kEepromSerialOffset, kEepromImage);
    for (int i = 0; i < kEepromSerialLength && serialField[i]; ++i)
        unit.serialText[i] = static_cast<char>(serialField[i]);
    unit.serial = std::strtol(unit.serialText, nullptr, 10);
    return unit;
}

int ConfigurationRun::RunPasses(int checkFlag)
{
    for (;;) {
        Report(Message(msg::Heading), nullptr, result::kProgress);
        if (m_test.CheckEEPROM(m_parent, m_testId, checkFlag) != 1)
            return kNotConfigured;
        checkFlag = 1;

        UnitIdentity unit = ReadUnitIdentity();
        if (!*unit.typeCode) {
            ReportEmptyType();
            return kNotConfigured;
        }
        m_configDialog.SetTest(&m_test);
        m_configDialog.SetTypeCode(unit.typeCode);

        if (m_test.m_ConfigList.FindUnit(unit.serial) == 1 &&
            ::MessageBoxA(m_parent, Message(msg::AlreadyConfigured), kMessageBoxCaption,
                          MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
            if (m_confirmDialog.Show(kShowModal) == kDialogDone)
                continue;
            Report(nullptr, Message(msg::RepeatRefused), result::kFailure);
            return kNotConfigured;
        }

        Report(nullptr, Message(msg::ConfigDialogShown), result::kProgress);
        if (m_configDialog.Show(kShowModal) != kDialogDone) {
            Report(nullptr, Message(msg::ConfigCancelled), result::kFailure);
            return kNotConfigured;
        }

        Report(nullptr, Message(msg::TestDialogShown), result::kProgress);
        CTestConfigDialog::SetTestParameters(&m_test, m_configDialog.GetAddress(), m_configDialog.GetBaudRate(),
                                             m_configDialog.GetParity());
        if (m_testDialog.Show(kShowModal) != kDialogDone) {
            Report(nullptr, Message(msg::TestFailed), result::kFailure);
            continue;
        }

        ReportSummary(unit.serialText);
        Report(nullptr, Message(msg::Finished), result::kSuccess);
        if (m_configDialog.IsSeries() != 1)
            return kConfigured;
        if (m_confirmDialog.Show(kShowModal) != kDialogDone) {
            Report(nullptr, Message(msg::SeriesEnded), result::kFailure);
            return kNotConfigured;
        }
        m_test.m_ConfigList.AddUnit(unit.serial, m_configDialog.GetAddress());
        m_configDialog.AdvanceAddress();
    }
}

} // namespace

int RunConfiguration(CTestDAXO01& test, HWND parent, unsigned short testId, int checkFlag)
{
    ConfigurationRun run(test, parent, testId);
    int result = run.RunPasses(checkFlag);
    // The list spans the passes of one call only; it is emptied before the dialogs go.
    test.m_ConfigList.Clear();
    return result;
}
