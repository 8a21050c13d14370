#include "Procedure.h"
#include "DialogRunner.h"
#include "DlgConfig.h"
#include "DlgConfirm.h"
#include "DlgTestConfig.h"
#include "UnitContract.h"
#include "TestDAXO01.h"
#include "Texts.h"
#include <stdlib.h>
#include <string.h>

namespace {

const char kMessageBoxCaption[] = "DAXO-01";
// The host's selector of the cached image as read from the unit.
const int kEepromImage = 1;

// The parity words of the summary line, in code page 1250.
const char* ParityWord(unsigned char parity)
{
    switch (parity) {
    case kParityNone: return "\x9E\xE1\x64n\xE1 (NO)";
    case kParityOdd: return "lich\xE1 (ODD)";
    default: return "sud\xE1 (EVEN)";
    }
}

// The toolkit's and the host's texts may be null pointers.
const char* TextOrEmpty(const char* text) { return text ? text : ""; }

// One value of a text with placeholders: the placeholder it fills ("%s" or "%d") and its text.
struct Placeholder {
    const char* pattern;
    const char* value;
};

// Fills the placeholders of `text` in the order given, each value into the first of its
// pattern's occurrences that is still free, and hands the whole text to `result`. Only the
// placeholders of the text itself are filled: an inserted value is never searched again (a
// damaged serial may hold "%s"), and a placeholder that a translation leaves out is simply not
// filled. The text is composed here rather than by the toolkit's Replace, whose only promised
// use is the first occurrence of a pattern.
template <size_t Count>
void FillPlaceholders(CDynString& result, const char* text, const Placeholder (&values)[Count])
{
    text = TextOrEmpty(text);
    // Every place is chosen in the untouched text before anything is inserted.
    size_t at[Count] = {};
    bool found[Count] = {};
    size_t length = strlen(text);
    for (size_t v = 0; v < Count; ++v) {
        for (const char* hit = strstr(text, values[v].pattern); hit; hit = strstr(hit + 1, values[v].pattern)) {
            size_t place = static_cast<size_t>(hit - text);
            bool taken = false;
            for (size_t f = 0; f < v; ++f)
                taken = taken || (found[f] && at[f] == place);
            if (!taken) {
                at[v] = place;
                found[v] = true;
                length += strlen(TextOrEmpty(values[v].value));
                break;
            }
        }
    }
    char* composed = new char[length + 1];
    size_t out = 0;
    for (size_t in = 0; text[in];) {
        size_t filled = Count;
        for (size_t v = 0; v < Count; ++v)
            if (found[v] && at[v] == in)
                filled = v;
        if (filled == Count) {
            composed[out++] = text[in++];
            continue;
        }
        const char* value = TextOrEmpty(values[filled].value);
        const size_t valueLength = strlen(value);
        memcpy(composed + out, value, valueLength);
        out += valueLength;
        in += strlen(values[filled].pattern);
    }
    composed[out] = '\0';
    result.InitBuffer(composed);
    delete[] composed;
}

// The unit's serial as its EEPROM image holds it.
struct UnitSerial {
    char text[image::kSerialLength + 1];  // as stored, up to the first zero byte
    long number;                          // the text read as a decimal number
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
    // The trimmed type code, in the test object's text buffer; "" when the unit has none.
    const char* ReadTypeCode();
    UnitSerial ReadSerial();
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
    CDynString address, baudRate, line;
    address.Format("%d", m_configDialog.GetAddress());
    baudRate.Format("%d", m_configDialog.GetBaudRate());
    const Placeholder values[] = {{"%s", serialText},
                                  {"%s", ParityWord(m_configDialog.GetParity())},
                                  {"%d", address.GetString()},
                                  {"%d", baudRate.GetString()}};
    // Built in a text of its own and only then copied into the test object's buffer, so that
    // the message is read from the host's buffers before anything else is written.
    FillPlaceholders(line, Message(msg::Summary), values);
    m_test.m_strText.InitBuffer(line);
    Report(nullptr, m_test.m_strText, result::kSummary);
}

// An empty type code leaves nothing to configure: "there is no configuration" followed by
// "for type %s" naming the empty type as "".
void ConfigurationRun::ReportEmptyType()
{
    // Copied at once: asking the host for the next message may reuse the first one's buffer.
    CDynString line;
    line.InitBuffer(TextOrEmpty(Message(msg::NoConfiguration)));
    CDynString type;
    const Placeholder values[] = {{"%s", "\"\""}};
    FillPlaceholders(type, Message(msg::ForType), values);
    const char* separator = !line.IsEmpty() && !type.IsEmpty() ? " " : "";
    m_test.m_strText.Format("%s%s%s", line.GetString(), separator, type.GetString());
    Report(nullptr, m_test.m_strText, result::kFailure);
}

const char* ConfigurationRun::ReadTypeCode()
{
    CDynString& type = m_test.m_strText;
    type.SetString(reinterpret_cast<const char*>(m_test.m_EEPROMCache.GetEEPROMCacheFrom(image::kTypeCodeOffset, kEepromImage)),
                   image::kTypeCodeLength);
    type.Trim();
    return type.IsEmpty() ? "" : type.GetString();
}

UnitSerial ConfigurationRun::ReadSerial()
{
    UnitSerial serial{};
    const unsigned char* field = m_test.m_EEPROMCache.GetEEPROMCacheFrom(image::kSerialOffset, kEepromImage);
    for (int i = 0; i < image::kSerialLength && field[i]; ++i)
        serial.text[i] = static_cast<char>(field[i]);
    serial.number = strtol(serial.text, nullptr, 10);
    return serial;
}

int ConfigurationRun::RunPasses(int checkFlag)
{
    for (;;) {
        Report(Message(msg::Heading), nullptr, result::kProgress);
        if (m_test.CheckEEPROM(m_parent, m_testId, checkFlag) != 1)
            return result::kCallEnded;
        checkFlag = 1;

        const char* typeCode = ReadTypeCode();
        if (!*typeCode) {
            ReportEmptyType();
            return result::kCallEnded;
        }
        m_configDialog.SetTest(&m_test);
        m_configDialog.SetTypeCode(typeCode);
        // Read only for a unit that can be configured, after the dialog has its type code.
        const UnitSerial unit = ReadSerial();

        if (m_test.m_ConfigList.FindUnit(unit.number) == 1 &&
            ::MessageBoxA(m_parent, Message(msg::AlreadyConfigured), kMessageBoxCaption,
                          MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
            if (m_confirmDialog.Show(kShowModal) == kDialogDone)
                continue;
            Report(nullptr, Message(msg::RepeatRefused), result::kFailure);
            return result::kCallEnded;
        }

        Report(nullptr, Message(msg::ConfigDialogShown), result::kProgress);
        if (m_configDialog.Show(kShowModal) != kDialogDone) {
            Report(nullptr, Message(msg::ConfigCancelled), result::kFailure);
            return result::kCallEnded;
        }

        Report(nullptr, Message(msg::TestDialogShown), result::kProgress);
        CTestConfigDialog::SetTestParameters(&m_test, m_configDialog.GetAddress(), m_configDialog.GetBaudRate(),
                                             m_configDialog.GetParity());
        if (m_testDialog.Show(kShowModal) != kDialogDone) {
            Report(nullptr, Message(msg::TestFailed), result::kFailure);
            continue;
        }

        ReportSummary(unit.text);
        Report(nullptr, Message(msg::Finished), result::kSuccess);
        if (m_configDialog.IsSeries() != 1)
            return result::kCallConfigured;
        if (m_confirmDialog.Show(kShowModal) != kDialogDone) {
            Report(nullptr, Message(msg::SeriesEnded), result::kFailure);
            return result::kCallEnded;
        }
        m_test.m_ConfigList.AddUnit(unit.number, m_configDialog.GetAddress());
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
