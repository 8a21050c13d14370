#pragma once
#include "DaxoTesterApi.h"
#include "EEPROMCache.h"
#include "Tarlex.h"
#include "Test.h"

struct LanguageFileHandle;
struct LanguageFolderHandle;

// The host's tester of the DAXO family: the fieldbus channel, the EEPROM image and the
// language file of the host.
class DAXOTESTER_API CDAXOTester : public CTest {
public:
    explicit CDAXOTester(void* context);
    ~CDAXOTester() override;

    int GetProductName(void* buffer, void* reserved, unsigned int size) override;
    int Test(unsigned int testId, void* window, unsigned short address, void* data) override;
    int ShowHelp(void* window, unsigned int command, unsigned long data) override;
    int GetFirstLanguage(unsigned int* languageId) override;
    int GetNextLanguage(unsigned int* languageId) override;
    unsigned int GetCurrentLanguageID() override;
    int LanguageFileClose() override;
    int SetCurrentLanguage(unsigned int languageId) override;
    int LanguageFileOpen() override;
    const char* GetLanguageFileName(unsigned int languageId) override;
    const char* GetLanguageValue(unsigned int languageId) override;
    int InitTestMenu(void* menu) override;
    int LanguageFileGetTag(unsigned long move, const char* name) override;
    const char* LanguageFileGetCurrentTagAttribute(const char* name) override;
    const char* LanguageFileGetCurrentTagName() override;
    const char* GetMenuTooltip(unsigned int menuId, unsigned int itemId) override;
    int InitLanguage() override;
    int SetLanguage(const char* name) override;
    int SetLanguageFile(const char* path) override;
    const char* GetMessageA(unsigned int id) override;
    const char* GetDialogName(unsigned int id) override;
    const char* GetDialogControlName(unsigned int dialogId, unsigned int controlId) override;
    int AutoTest(void* window, unsigned short testId) override;
    int CheckEEPROM(void* window, unsigned short testId, int checkFlag) override;
    int ShowEEPROM(void* window, unsigned short testId, int flag) override;
    int SaveEEPROMToFile(void* window, unsigned short testId) override;
    int ClearEEPROM(void* window, unsigned short testId) override;
    int ConfigureThermometer(void* window, unsigned short testId, int checkFlag) override;
    int WriteEEPROM(void* window, int flag, unsigned short testId) override;
    int ShowConfigure(void* window, unsigned short testId) override;
    int MeasureTest(void* window, unsigned short testId) override;

    // The unit's stored user configuration (21 bytes) or null.
    unsigned char* ReadUserConfig();
    // 2: the default block; 1: the same block (kept for older modules). Null when none.
    unsigned char* ReadDefaultConfig(unsigned char which);
    int WriteConfig(unsigned short offset, unsigned char* record, unsigned char length);
    int Reconnect(int baud, int bits, int parity);
    int IdentTest(unsigned char address, int requestFlag);
    // Why the last LanguageFileOpen failed ("the file is empty", "the file is not well-formed
    // XML (line 3, ...)"); empty after one that succeeded. Kept until the next open.
    const char* LanguageFileError() const;

    CTarlexComm m_Comm;
    CEEPROMCache m_EEPROMCache;

private:
    // Reads the language folder again; the current language keeps its id if its file is
    // still there, and the enumeration starts over.
    void ScanLanguages();

    LanguageFileHandle* m_pLanguage;
    LanguageFolderHandle* m_pLanguageFolder;
    unsigned int m_nextLanguageId = 0;      // enumeration position of GetFirstLanguage/GetNextLanguage
    unsigned int m_currentLanguageId = 0;   // language whose file was selected last, 0 for none
    unsigned char m_UserConfig[21];
    unsigned char m_DefaultBlock[64];
};
