#pragma once
#include "PrubelApi.h"
#include "DynString.h"
#include <windows.h>

// The host's base of every test object. The virtual operations below stand in the order in
// which a host calls them through the virtual table; never insert one in between.
class PRUBEL_API CTest {
public:
    explicit CTest(void* context = nullptr);
    virtual ~CTest();

    virtual int GetProductName(void* buffer, void* reserved, unsigned int size);
    virtual const char* GetModuleName();
    virtual int IsSupportedTest(const char* name);
    virtual unsigned int GetSupportedTestCount();
    virtual const char* GetSupportedTest(unsigned int index);
    virtual unsigned int GetExtendedInfoCount();
    virtual const char* GetExtendedInfo(unsigned int index);
    virtual const char* GetExtendedInfoName(unsigned int index);
    virtual int Test(unsigned int testId, void* window, unsigned short address, void* data);
    virtual int Prepare4Test(unsigned int testId, void* window, unsigned short address, void* data);
    virtual int AfterTest(unsigned int testId, void* window, unsigned short address, void* data);
    virtual unsigned int GetTestID(unsigned int index, int extended);
    virtual int ShowHelp(void* window, unsigned int command, unsigned long data);
    virtual int GetFirstLanguage(unsigned int* languageId);
    virtual int GetNextLanguage(unsigned int* languageId);
    virtual unsigned int GetCurrentLanguageID();
    virtual int LanguageFileClose();
    virtual int SetCurrentLanguage(unsigned int languageId);
    virtual int LanguageFileOpen();
    virtual const char* GetLanguageFileName(unsigned int languageId);
    virtual const char* GetLanguageValue(unsigned int languageId);
    virtual int InitTestMenu(void* menu);
    virtual int LanguageFileGetTag(unsigned long move, const char* name);
    virtual const char* LanguageFileGetCurrentTagAttribute(const char* name);
    virtual const char* LanguageFileGetCurrentTagName();
    virtual const char* GetMenuTooltip(unsigned int menuId, unsigned int itemId);
    virtual int InitLanguage();
    virtual int SetLanguage(const char* name);
    virtual int SetLanguageFile(const char* path);
    virtual const char* GetMessageA(unsigned int id);
    virtual const char* GetDialogName(unsigned int id);
    virtual const char* GetDialogControlName(unsigned int dialogId, unsigned int controlId);
    virtual int AutoTest(void* window, unsigned short testId);
    virtual int CheckEEPROM(void* window, unsigned short testId, int checkFlag);
    virtual int ShowEEPROM(void* window, unsigned short testId, int flag);
    virtual int SaveEEPROMToFile(void* window, unsigned short testId);
    virtual int ClearEEPROM(void* window, unsigned short testId);
    virtual int ConfigureThermometer(void* window, unsigned short testId, int checkFlag);
    virtual int WriteEEPROM(void* window, int flag, unsigned short testId);
    virtual int ShowConfigure(void* window, unsigned short testId);
    virtual int MeasureTest(void* window, unsigned short testId);

    void SetInstance(void* instance);
    // 1 when `name` is one of the first `count` entries of `table` (exact, case-sensitive).
    int TestSupportedTest(const char* name, char** table, int count);
    // Shows the report in the host and appends it to the file DAXO_RESULT_LOG names.
    int SendTestResult(void* window, const char* heading, const char* line, int flag, unsigned char code,
                       unsigned short reserved);

    HINSTANCE m_hInstance = nullptr;
    CDynString m_strText;
};
