#include "DAXOTester.h"
#include "LanguageFile.h"
#include "SimBench.h"
#include <cstring>

CDAXOTester::CDAXOTester(void* context) : CTest(context), m_pLanguage(new CLanguageFile)
{
    std::memset(m_UserConfig, 0, sizeof m_UserConfig);
    std::memset(m_DefaultBlock, 0, sizeof m_DefaultBlock);
}

CDAXOTester::~CDAXOTester() { delete m_pLanguage; }

int CDAXOTester::GetProductName(void* buffer, void*, unsigned int size)
{
    static const char name[] = "DAXO tester";
    if (!buffer || size == 0)
        return 0;
    lstrcpynA(static_cast<char*>(buffer), name, static_cast<int>(size));
    return 1;
}

int CDAXOTester::Test(unsigned int, void*, unsigned short, void*) { return 0; }
int CDAXOTester::ShowHelp(void*, unsigned int, unsigned long) { return 0; }
int CDAXOTester::GetFirstLanguage(unsigned int*) { return 0; }
int CDAXOTester::GetNextLanguage(unsigned int*) { return 0; }
unsigned int CDAXOTester::GetCurrentLanguageID() { return 0; }
int CDAXOTester::LanguageFileClose()
{
    m_pLanguage->Close();
    return 1;
}
int CDAXOTester::SetCurrentLanguage(unsigned int) { return 0; }
int CDAXOTester::LanguageFileOpen() { return m_pLanguage->Open() ? 1 : 0; }
const char* CDAXOTester::GetLanguageFileName(unsigned int) { return m_pLanguage->Path(); }
const char* CDAXOTester::GetLanguageValue(unsigned int) { return nullptr; }
int CDAXOTester::InitTestMenu(void*) { return 0; }

int CDAXOTester::LanguageFileGetTag(unsigned long move, const char* name)
{
    return m_pLanguage->GetTag(move, name);
}

const char* CDAXOTester::LanguageFileGetCurrentTagAttribute(const char* name)
{
    return m_pLanguage->GetAttribute(name);
}

const char* CDAXOTester::LanguageFileGetCurrentTagName() { return m_pLanguage->GetTagName(); }
const char* CDAXOTester::GetMenuTooltip(unsigned int, unsigned int) { return ""; }
int CDAXOTester::InitLanguage() { return 0; }
int CDAXOTester::SetLanguage(const char*) { return 0; }

int CDAXOTester::SetLanguageFile(const char* path)
{
    m_pLanguage->SetPath(path);
    return 1;
}

// The host's own texts: none of the module's ids are known here.
const char* CDAXOTester::GetMessageA(unsigned int) { return ""; }
const char* CDAXOTester::GetDialogName(unsigned int) { return ""; }
const char* CDAXOTester::GetDialogControlName(unsigned int, unsigned int) { return ""; }

int CDAXOTester::AutoTest(void*, unsigned short) { return 0; }

int CDAXOTester::CheckEEPROM(void*, unsigned short, int checkFlag)
{
    int ok = m_Comm.ReadEEPROM(checkFlag, m_EEPROMCache.Image(), CEEPROMCache::Size);
    m_EEPROMCache.SetValid(ok);
    return ok ? 1 : 0;
}

int CDAXOTester::ShowEEPROM(void*, unsigned short, int) { return m_EEPROMCache.IsValid(); }
int CDAXOTester::SaveEEPROMToFile(void*, unsigned short) { return 0; }

int CDAXOTester::ClearEEPROM(void*, unsigned short)
{
    std::memset(m_EEPROMCache.Image(), 0, CEEPROMCache::Size);
    m_EEPROMCache.SetValid(0);
    return 1;
}

int CDAXOTester::ConfigureThermometer(void*, unsigned short, int) { return 0; }
int CDAXOTester::WriteEEPROM(void*, int, unsigned short) { return 0; }
int CDAXOTester::ShowConfigure(void*, unsigned short) { return 0; }
int CDAXOTester::MeasureTest(void*, unsigned short) { return 0; }

unsigned char* CDAXOTester::ReadUserConfig()
{
    const unsigned char* stored = CSimBench::Instance().UserConfig();
    if (!stored)
        return nullptr;
    std::memcpy(m_UserConfig, stored, sizeof m_UserConfig);
    return m_UserConfig;
}

unsigned char* CDAXOTester::ReadDefaultConfig(unsigned char which)
{
    const unsigned char* block = CSimBench::Instance().DefaultBlock();
    if (!block || (which != 1 && which != 2))
        return nullptr;
    std::memcpy(m_DefaultBlock, block, sizeof m_DefaultBlock);
    return m_DefaultBlock;
}

int CDAXOTester::WriteConfig(unsigned short offset, unsigned char* record, unsigned char length)
{
    if (offset != 0 || !record)
        return 0;
    return m_Comm.WriteConfig(record, length);
}

int CDAXOTester::Reconnect(int baud, int bits, int parity) { return m_Comm.Reconnect(baud, bits, parity); }

int CDAXOTester::IdentTest(unsigned char address, int requestFlag)
{
    return m_Comm.IdentTest(address, requestFlag);
}
