#include "TestDAXO01.h"
#include "DlgConfig.h"
#include "DlgConfirm.h"
#include "DlgTestConfig.h"
#include "Diagnostics.h"
#include "ResultCodes.h"
#include "Texts.h"
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace {
const char kSource[] = "TestDAXO01";
// Two separate copies of the same name: the host's table has one entry per test variant.
const char kSupported0[] = "DAXO-01";
const char kSupported1[] = "DAXO-01";
const char kSupported2[] = "DAX-01";
const char kModuleName[] = "DAXO-01";
}

const char* const CTestDAXO01::m_szSupportedTest[kSupportedTestCount] = {kSupported0, kSupported1, kSupported2};

// The module's one test object, constructed when the library loads.
static CTestDAXO01 g_TestDAXO01(nullptr);

CTestDAXO01::CTestDAXO01(void* context) : CDAXOTester(context) {}

CTestDAXO01::~CTestDAXO01() = default;

const char* CTestDAXO01::GetModuleName() { return kModuleName; }

int CTestDAXO01::IsSupportedTest(const char* name)
{
    return TestSupportedTest(name, m_szSupportedTest, kSupportedTestCount);
}

unsigned int CTestDAXO01::GetSupportedTestCount() { return kSupportedTestCount; }

const char* CTestDAXO01::GetSupportedTest(unsigned int index)
{
    return index < kSupportedTestCount ? m_szSupportedTest[index] : nullptr;
}

const char* CTestDAXO01::GetMessageA(unsigned int id)
{
    if (const char* text = texts::FileMessage(*this, id))
        return text;
    if (const char* text = texts::EnglishMessage(id))
        return text;
    return CDAXOTester::GetMessageA(id);
}

const char* CTestDAXO01::GetDialogName(unsigned int id)
{
    if (const char* text = texts::FileDialogName(*this, id))
        return text;
    if (const char* text = texts::EnglishCaption(id))
        return text;
    return CDAXOTester::GetDialogName(id);
}

const char* CTestDAXO01::GetDialogControlName(unsigned int dialogId, unsigned int controlId)
{
    if (const char* text = texts::FileControlName(*this, dialogId, controlId))
        return text;
    if (!texts::EnglishCaption(dialogId))
        return CDAXOTester::GetDialogControlName(dialogId, controlId);
    if (const char* text = texts::EnglishControlText(dialogId, controlId))
        return text;
    // The module's dialogs ask only for the controls of its table.
    char message[80];
    std::snprintf(message, sizeof message, "dialog %u has no text for control %u", dialogId, controlId);
    Diagnose(kSource, __LINE__, message);
    return "";
}

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

} // namespace

void CTestDAXO01::Report(HWND parent, const char* heading, const char* line, unsigned char code)
{
    SendTestResult(parent, heading, line, result::kReportFlag, code, result::kReportReserved);
}

void CTestDAXO01::ReportSummary(HWND parent, const char* serialText, const CConfigDialog& configDialog)
{
    std::string line = FillPlaceholders(Text(GetMessageA(msg::Summary)), {{"%s", serialText},
                                                                {"%s", ParityWord(configDialog.GetParity())},
                                                                {"%d", std::to_string(configDialog.GetAddress())},
                                                                {"%d", std::to_string(configDialog.GetBaudRate())}});
    m_strText.InitBuffer(line.c_str());
    Report(parent, nullptr, m_strText, result::kSummary);
}

// An empty type code leaves nothing to configure: "there is no configuration" followed by
// "for type %s" naming the empty type as "".
void CTestDAXO01::ReportEmptyType(HWND parent)
{
    std::string line = Text(GetMessageA(msg::NoConfiguration));
    std::string type = FillPlaceholders(Text(GetMessageA(msg::ForType)), {{"%s", "\"\""}});
    if (!line.empty() && !type.empty())
        line += ' ';
    line += type;
    m_strText.InitBuffer(line.c_str());
    Report(parent, nullptr, m_strText, result::kFailure);
}

int CTestDAXO01::ConfigureThermometer(void* parentWindow, unsigned short testId, int checkFlag)
{
    HWND parent = static_cast<HWND>(parentWindow);
    int result = 2;
    try {
        CConfigDialog configDialog(parent, m_hInstance);
        CTestConfigDialog testDialog(parent, m_hInstance);
        CConfirmDialog confirmDialog(parent, m_hInstance);
        configDialog.SetTest(this);
        confirmDialog.SetTest(this);
        result = RunPasses(parent, testId, checkFlag, configDialog, testDialog, confirmDialog);
        m_ConfigList.Clear();
        return result;
    } catch (...) {
        DiagnoseCaughtException(kSource, __LINE__);
    }
    // Whatever failed, the host goes on and the next call starts with an empty list.
    m_ConfigList.Clear();
    return 2;
}

int CTestDAXO01::RunPasses(HWND parent, unsigned short testId, int checkFlag, CConfigDialog& configDialog,
                           CTestConfigDialog& testDialog, CConfirmDialog& confirmDialog)
{
    for (;;) {
        Report(parent, GetMessageA(msg::Heading), nullptr, result::kProgress);
        if (CheckEEPROM(parent, testId, checkFlag) != 1)
            return 2;
        checkFlag = 1;

        m_strText.SetString(reinterpret_cast<const char*>(m_EEPROMCache.GetEEPROMCacheFrom(kEepromTypeOffset, kEepromImage)),
                            kEepromTypeLength);
        m_strText.Trim();
        if (m_strText.IsEmpty()) {
            ReportEmptyType(parent);
            return 2;
        }
        configDialog.SetTest(this);
        configDialog.SetTypeCode(m_strText);

        char serialText[kEepromSerialLength + 1] = {};
        const unsigned char* serialField = m_EEPROMCache.GetEEPROMCacheFrom(kEepromSerialOffset, kEepromImage);
        for (int i = 0; i < kEepromSerialLength && serialField[i]; ++i)
            serialText[i] = static_cast<char>(serialField[i]);
        long serial = std::strtol(serialText, nullptr, 10);

        if (m_ConfigList.FindUnit(serial) == 1 &&
            ::MessageBoxA(parent, GetMessageA(msg::AlreadyConfigured), kMessageBoxCaption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
            if (confirmDialog.Show(-1) == 1)
                continue;
            Report(parent, nullptr, GetMessageA(msg::RepeatRefused), result::kFailure);
            return 2;
        }

        Report(parent, nullptr, GetMessageA(msg::ConfigDialogShown), result::kProgress);
        if (configDialog.Show(-1) != 1) {
            Report(parent, nullptr, GetMessageA(msg::ConfigCancelled), result::kFailure);
            return 2;
        }

        Report(parent, nullptr, GetMessageA(msg::TestDialogShown), result::kProgress);
        CTestConfigDialog::SetTestParameters(this, configDialog.GetAddress(), configDialog.GetBaudRate(),
                                             configDialog.GetParity());
        if (testDialog.Show(-1) != 1) {
            Report(parent, nullptr, GetMessageA(msg::TestFailed), result::kFailure);
            continue;
        }

        ReportSummary(parent, serialText, configDialog);
        Report(parent, nullptr, GetMessageA(msg::Finished), result::kSuccess);
        if (configDialog.IsSeries() != 1)
            return 1;
        if (confirmDialog.Show(-1) != 1) {
            Report(parent, nullptr, GetMessageA(msg::SeriesEnded), result::kFailure);
            return 2;
        }
        m_ConfigList.AddUnit(serial, configDialog.GetAddress());
        configDialog.AdvanceAddress();
    }
}

extern "C" CTestDAXO01* GetTestInstance(void) { return &g_TestDAXO01; }

extern "C" unsigned short GetTestInstanceID(void) { return kTestInstanceID; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_TestDAXO01.SetInstance(instance);
    return TRUE;
}
