#include "TestDAXO01.h"
#include <windows.h>

namespace {
// Two separate copies of the same name: the host's table has one entry per test variant.
const char kSupported0[] = "DAXO-01";
const char kSupported1[] = "DAXO-01";
const char kSupported2[] = "DAX-01";
const char kModuleName[] = "DAXO-01";
}

const char* const CTestDAXO01::m_szSupportedTest[3] = {kSupported0, kSupported1, kSupported2};

// The module's one test object, constructed when the library loads.
static CTestDAXO01 g_TestDAXO01(nullptr);

CTestDAXO01::CTestDAXO01(void* context) : CDAXOTester(context) {}

CTestDAXO01::~CTestDAXO01() = default;

const char* CTestDAXO01::GetModuleName() { return kModuleName; }

int CTestDAXO01::IsSupportedTest(const char* name)
{
    return TestSupportedTest(name, m_szSupportedTest, 3);
}

unsigned int CTestDAXO01::GetSupportedTestCount() { return 3; }

const char* CTestDAXO01::GetSupportedTest(unsigned int index)
{
    return index < 3u ? m_szSupportedTest[index] : nullptr;
}

extern "C" CTestDAXO01* GetTestInstance(void) { return &g_TestDAXO01; }

extern "C" unsigned short GetTestInstanceID(void) { return kTestInstanceID; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_TestDAXO01.SetInstance(instance);
    return TRUE;
}
