#pragma once
#include "ConfigList.h"
#include "DAXOTester.h"

#ifdef TESTDAXO01_BUILD
#define TESTDAXO01_API __declspec(dllexport)
#else
#define TESTDAXO01_API __declspec(dllimport)
#endif

// The names in the table of supported tests.
const unsigned int kSupportedTestCount = 3;

// The module's one test object. The host reaches it only through the virtual table that
// CTest lays down, so no virtual operation may be added here. It exports its own members
// one by one, as the host imports them; its table and the inherited members stay the host's.
class CTestDAXO01 : public CDAXOTester {
public:
    TESTDAXO01_API explicit CTestDAXO01(void* context);
    TESTDAXO01_API ~CTestDAXO01() override;

    TESTDAXO01_API const char* GetModuleName() override;
    TESTDAXO01_API int IsSupportedTest(const char* name) override;
    TESTDAXO01_API unsigned int GetSupportedTestCount() override;
    TESTDAXO01_API const char* GetSupportedTest(unsigned int index) override;
    // The host's language file first, then the module's English text for the ids it owns,
    // then the host's own answer.
    TESTDAXO01_API const char* GetMessageA(unsigned int id) override;
    TESTDAXO01_API const char* GetDialogName(unsigned int id) override;
    TESTDAXO01_API const char* GetDialogControlName(unsigned int dialogId, unsigned int controlId) override;
    // Configures one unit, or a series of units, and tests each: 1 when one unit was
    // configured and answered, 2 in every other case.
    TESTDAXO01_API int ConfigureThermometer(void* parentWindow, unsigned short testId, int checkFlag) override;

    TESTDAXO01_API static const char* m_szSupportedTest[kSupportedTestCount];

    CConfigList m_ConfigList;
};

extern "C" {
CTestDAXO01* GetTestInstance(void);
unsigned short GetTestInstanceID(void);
}

// The identifier with which the host recognises a module of this family.
const unsigned short kTestInstanceID = 20292;
