#include "TestDAXO01.h"
#include "Diagnostics.h"
#include "Procedure.h"
#include "UnitContract.h"
#include "Texts.h"
#include <windows.h>
#include <stdio.h>

namespace {
const char kSource[] = "TestDAXO01";
// Two separate copies of the same name: the host's table has one entry per test variant.
const char kSupported0[] = "DAXO-01";
const char kSupported1[] = "DAXO-01";
const char kSupported2[] = "DAX-01";
const char kModuleName[] = "DAXO-01";
}

const char* CTestDAXO01::m_szSupportedTest[kSupportedTestCount] = {kSupported0, kSupported1, kSupported2};

// The module's one test object, constructed when the library loads.
static CTestDAXO01 g_TestDAXO01(nullptr);

CTestDAXO01::CTestDAXO01(void* context) : CDAXOTester(context) {}

CTestDAXO01::~CTestDAXO01() = default;

const char* CTestDAXO01::GetModuleName() { return kModuleName; }

int CTestDAXO01::IsSupportedTest(const char* name)
{
    // The host's signature takes the table as char**; it only reads it.
    return TestSupportedTest(name, const_cast<char**>(m_szSupportedTest), kSupportedTestCount);
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
    snprintf(message, sizeof message, "dialog %u has no text for control %u", dialogId, controlId);
    Diagnose(kSource, __LINE__, message);
    return "";
}

namespace {
// A pass stopped by a failure still ends in the result log, as a pass without a configuration.
// That report may fail as well; the host goes on all the same.
void ReportStoppedPass(CTestDAXO01& test, HWND parent) noexcept
{
    try {
        test.SendTestResult(parent, nullptr, test.GetMessageA(msg::NoConfiguration), result::kReportFlag,
                            result::kFailure, result::kReportReserved);
    } catch (...) {
        DiagnoseCaughtException(kSource, __LINE__);
    }
}
} // namespace

int CTestDAXO01::ConfigureThermometer(void* parentWindow, unsigned short testId, int checkFlag)
{
    HWND parent = static_cast<HWND>(parentWindow);
    try {
        return RunConfiguration(*this, parent, testId, checkFlag);
    } catch (...) {
        DiagnoseCaughtException(kSource, __LINE__);
    }
    ReportStoppedPass(*this, parent);
    // Whatever failed, the host goes on and the next call starts with an empty list.
    m_ConfigList.Clear();
    return result::kCallEnded;
}

extern "C" CTestDAXO01* GetTestInstance(void) { return &g_TestDAXO01; }

extern "C" unsigned short GetTestInstanceID(void) { return kTestInstanceID; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_TestDAXO01.SetInstance(instance);
    return TRUE;
}
