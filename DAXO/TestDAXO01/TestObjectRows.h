#pragma once
// The module's test object as code of another C++ ABI reaches it: through the rows of its
// virtual table as Microsoft's compiler lays them out, with one destructor row. No other file
// may know which row an operation has.

#if defined(_M_IX86) || defined(__i386__)
// 32-bit x86 hands a member function its object in ECX; x64 hands it over as the first argument.
#define DAXO_TEST_ROW_CALL __thiscall
#else
#define DAXO_TEST_ROW_CALL
#endif

enum class TestRow : unsigned {
    Destructor,  // the deleting destructor: the object belongs to the module, no host calls it
    GetProductName,
    GetModuleName,
    IsSupportedTest,
    GetSupportedTestCount,
    GetSupportedTest,
    GetExtendedInfoCount,
    GetExtendedInfo,
    GetExtendedInfoName,
    Test,
    Prepare4Test,
    AfterTest,
    GetTestID,
    ShowHelp,
    GetFirstLanguage,
    GetNextLanguage,
    GetCurrentLanguageID,
    LanguageFileClose,
    SetCurrentLanguage,
    LanguageFileOpen,
    GetLanguageFileName,
    GetLanguageValue,
    InitTestMenu,
    LanguageFileGetTag,
    LanguageFileGetCurrentTagAttribute,
    LanguageFileGetCurrentTagName,
    GetMenuTooltip,
    InitLanguage,
    SetLanguage,
    SetLanguageFile,
    GetMessageA,
    GetDialogName,
    GetDialogControlName,
    AutoTest,
    CheckEEPROM,
    ShowEEPROM,
    SaveEEPROMToFile,
    ClearEEPROM,
    ConfigureThermometer,
    WriteEEPROM,
    ShowConfigure,
    MeasureTest,
    Count
};
// Hosts built against this table break silently if a row moves.
static_assert(static_cast<unsigned>(TestRow::Count) == 42, "the table has 42 rows");

// A view of a test object that the module or the host's tester owns.
class CTestObject {
public:
    explicit CTestObject(void* object) : m_object(object) {}
    void* Object() const { return m_object; }

    int GetProductName(void* buffer, void* reserved, unsigned int size) const { return Call<int>(TestRow::GetProductName, buffer, reserved, size); }
    const char* GetModuleName() const { return Call<const char*>(TestRow::GetModuleName); }
    int IsSupportedTest(const char* name) const { return Call<int>(TestRow::IsSupportedTest, name); }
    unsigned int GetSupportedTestCount() const { return Call<unsigned int>(TestRow::GetSupportedTestCount); }
    const char* GetSupportedTest(unsigned int index) const { return Call<const char*>(TestRow::GetSupportedTest, index); }
    unsigned int GetExtendedInfoCount() const { return Call<unsigned int>(TestRow::GetExtendedInfoCount); }
    const char* GetExtendedInfo(unsigned int index) const { return Call<const char*>(TestRow::GetExtendedInfo, index); }
    const char* GetExtendedInfoName(unsigned int index) const { return Call<const char*>(TestRow::GetExtendedInfoName, index); }
    int Test(unsigned int testId, void* window, unsigned short address, void* data) const { return Call<int>(TestRow::Test, testId, window, address, data); }
    int Prepare4Test(unsigned int testId, void* window, unsigned short address, void* data) const { return Call<int>(TestRow::Prepare4Test, testId, window, address, data); }
    int AfterTest(unsigned int testId, void* window, unsigned short address, void* data) const { return Call<int>(TestRow::AfterTest, testId, window, address, data); }
    unsigned int GetTestID(unsigned int index, int extended) const { return Call<unsigned int>(TestRow::GetTestID, index, extended); }
    int ShowHelp(void* window, unsigned int command, unsigned long data) const { return Call<int>(TestRow::ShowHelp, window, command, data); }
    int GetFirstLanguage(unsigned int* languageId) const { return Call<int>(TestRow::GetFirstLanguage, languageId); }
    int GetNextLanguage(unsigned int* languageId) const { return Call<int>(TestRow::GetNextLanguage, languageId); }
    unsigned int GetCurrentLanguageID() const { return Call<unsigned int>(TestRow::GetCurrentLanguageID); }
    int LanguageFileClose() const { return Call<int>(TestRow::LanguageFileClose); }
    int SetCurrentLanguage(unsigned int languageId) const { return Call<int>(TestRow::SetCurrentLanguage, languageId); }
    int LanguageFileOpen() const { return Call<int>(TestRow::LanguageFileOpen); }
    const char* GetLanguageFileName(unsigned int languageId) const { return Call<const char*>(TestRow::GetLanguageFileName, languageId); }
    const char* GetLanguageValue(unsigned int languageId) const { return Call<const char*>(TestRow::GetLanguageValue, languageId); }
    int InitTestMenu(void* menu) const { return Call<int>(TestRow::InitTestMenu, menu); }
    int LanguageFileGetTag(unsigned long move, const char* name) const { return Call<int>(TestRow::LanguageFileGetTag, move, name); }
    const char* LanguageFileGetCurrentTagAttribute(const char* name) const { return Call<const char*>(TestRow::LanguageFileGetCurrentTagAttribute, name); }
    const char* LanguageFileGetCurrentTagName() const { return Call<const char*>(TestRow::LanguageFileGetCurrentTagName); }
    const char* GetMenuTooltip(unsigned int menuId, unsigned int itemId) const { return Call<const char*>(TestRow::GetMenuTooltip, menuId, itemId); }
    int InitLanguage() const { return Call<int>(TestRow::InitLanguage); }
    int SetLanguage(const char* name) const { return Call<int>(TestRow::SetLanguage, name); }
    int SetLanguageFile(const char* path) const { return Call<int>(TestRow::SetLanguageFile, path); }
    const char* GetMessageA(unsigned int id) const { return Call<const char*>(TestRow::GetMessageA, id); }
    const char* GetDialogName(unsigned int id) const { return Call<const char*>(TestRow::GetDialogName, id); }
    const char* GetDialogControlName(unsigned int dialogId, unsigned int controlId) const { return Call<const char*>(TestRow::GetDialogControlName, dialogId, controlId); }
    int AutoTest(void* window, unsigned short testId) const { return Call<int>(TestRow::AutoTest, window, testId); }
    int CheckEEPROM(void* window, unsigned short testId, int checkFlag) const { return Call<int>(TestRow::CheckEEPROM, window, testId, checkFlag); }
    int ShowEEPROM(void* window, unsigned short testId, int flag) const { return Call<int>(TestRow::ShowEEPROM, window, testId, flag); }
    int SaveEEPROMToFile(void* window, unsigned short testId) const { return Call<int>(TestRow::SaveEEPROMToFile, window, testId); }
    int ClearEEPROM(void* window, unsigned short testId) const { return Call<int>(TestRow::ClearEEPROM, window, testId); }
    int ConfigureThermometer(void* window, unsigned short testId, int checkFlag) const { return Call<int>(TestRow::ConfigureThermometer, window, testId, checkFlag); }
    int WriteEEPROM(void* window, int flag, unsigned short testId) const { return Call<int>(TestRow::WriteEEPROM, window, flag, testId); }
    int ShowConfigure(void* window, unsigned short testId) const { return Call<int>(TestRow::ShowConfigure, window, testId); }
    int MeasureTest(void* window, unsigned short testId) const { return Call<int>(TestRow::MeasureTest, window, testId); }

private:
    // The argument types come from the signature of the operation above, never from a caller.
    template <typename R, typename... A>
    R Call(TestRow row, A... args) const
    {
        void* operation = (*static_cast<void***>(m_object))[static_cast<unsigned>(row)];
#if defined(_M_IX86) && defined(_MSC_VER) && !defined(__clang__)
        // cl takes __thiscall on members only; __fastcall with EDX left unused hands over the
        // object and the arguments alike.
        return reinterpret_cast<R(__fastcall*)(void*, void*, A...)>(operation)(m_object, nullptr, args...);
#else
        return reinterpret_cast<R(DAXO_TEST_ROW_CALL*)(void*, A...)>(operation)(m_object, args...);
#endif
    }

    void* m_object;
};
