#include "Test.h"
#include "ResultSink.h"
#include <stdio.h>
#include <string.h>

namespace {
TestResultSink g_resultSink = nullptr;
void* g_resultContext = nullptr;

// The escape of a byte of a report's text, or null when it stands for itself.
const char* Escape(char c)
{
    switch (c) {
    case '\\': return "\\\\";
    case '\r': return "\\r";
    case '\n': return "\\n";
    case '\t': return "\\t";
    default: return nullptr;
    }
}

// One report per line: code, tab, text; the text's own carriage returns, line feeds, tabs
// and backslashes are escaped so that a line never splits. The bytes stay in the host's code page.
void AppendToResultLog(unsigned char code, const char* text)
{
    char path[MAX_PATH];
    DWORD length = ::GetEnvironmentVariableA("DAXO_RESULT_LOG", path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return;
    if (!text)
        text = "";
    size_t size = 8;   // the code, the tab, the line end and the terminator
    for (const char* p = text; *p; ++p)
        size += Escape(*p) ? 2 : 1;
    char* line = new char[size];
    size_t used = static_cast<size_t>(snprintf(line, size, "%u\t", static_cast<unsigned>(code)));
    for (const char* p = text; *p; ++p) {
        const char* escaped = Escape(*p);
        if (escaped) {
            memcpy(line + used, escaped, 2);
            used += 2;
        } else {
            line[used++] = *p;
        }
    }
    memcpy(line + used, "\r\n", 2);
    used += 2;
    // Opened and closed per report, so that the log survives whatever happens next.
    HANDLE file = ::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(file, line, static_cast<DWORD>(used), &written, nullptr);
        ::CloseHandle(file);
    }
    delete[] line;
}
} // namespace

CTest::CTest(void*) {}
CTest::~CTest() = default;

int CTest::GetProductName(void* buffer, void*, unsigned int size)
{
    static const char name[] = "Production tester";
    if (!buffer || size == 0)
        return 0;
    lstrcpynA(static_cast<char*>(buffer), name, static_cast<int>(size));
    return 1;
}

const char* CTest::GetModuleName() { return ""; }
int CTest::IsSupportedTest(const char*) { return 0; }
unsigned int CTest::GetSupportedTestCount() { return 0; }
const char* CTest::GetSupportedTest(unsigned int) { return nullptr; }
unsigned int CTest::GetExtendedInfoCount() { return 0; }
const char* CTest::GetExtendedInfo(unsigned int) { return nullptr; }
const char* CTest::GetExtendedInfoName(unsigned int) { return nullptr; }
int CTest::Test(unsigned int, void*, unsigned short, void*) { return 0; }
int CTest::Prepare4Test(unsigned int, void*, unsigned short, void*) { return 1; }
int CTest::AfterTest(unsigned int, void*, unsigned short, void*) { return 1; }
unsigned int CTest::GetTestID(unsigned int index, int) { return index; }
int CTest::ShowHelp(void*, unsigned int, unsigned long) { return 0; }
int CTest::GetFirstLanguage(unsigned int*) { return 0; }
int CTest::GetNextLanguage(unsigned int*) { return 0; }
unsigned int CTest::GetCurrentLanguageID() { return 0; }
int CTest::LanguageFileClose() { return 1; }
int CTest::SetCurrentLanguage(unsigned int) { return 0; }
int CTest::LanguageFileOpen() { return 0; }
const char* CTest::GetLanguageFileName(unsigned int) { return nullptr; }
const char* CTest::GetLanguageValue(unsigned int) { return nullptr; }
int CTest::InitTestMenu(void*) { return 0; }
int CTest::LanguageFileGetTag(unsigned long, const char*) { return 0; }
const char* CTest::LanguageFileGetCurrentTagAttribute(const char*) { return nullptr; }
const char* CTest::LanguageFileGetCurrentTagName() { return nullptr; }
const char* CTest::GetMenuTooltip(unsigned int, unsigned int) { return ""; }
int CTest::InitLanguage() { return 0; }
int CTest::SetLanguage(const char*) { return 0; }
int CTest::SetLanguageFile(const char*) { return 0; }
const char* CTest::GetMessageA(unsigned int) { return ""; }
const char* CTest::GetDialogName(unsigned int) { return ""; }
const char* CTest::GetDialogControlName(unsigned int, unsigned int) { return ""; }
int CTest::AutoTest(void*, unsigned short) { return 0; }
int CTest::CheckEEPROM(void*, unsigned short, int) { return 0; }
int CTest::ShowEEPROM(void*, unsigned short, int) { return 0; }
int CTest::SaveEEPROMToFile(void*, unsigned short) { return 0; }
int CTest::ClearEEPROM(void*, unsigned short) { return 0; }
int CTest::ConfigureThermometer(void*, unsigned short, int) { return 0; }
int CTest::WriteEEPROM(void*, int, unsigned short) { return 0; }
int CTest::ShowConfigure(void*, unsigned short) { return 0; }
int CTest::MeasureTest(void*, unsigned short) { return 0; }

void CTest::SetInstance(void* instance) { m_hInstance = static_cast<HINSTANCE>(instance); }

int CTest::TestSupportedTest(const char* name, char** table, int count)
{
    if (!name || !table)
        return 0;
    for (int i = 0; i < count; ++i)
        if (table[i] && strcmp(table[i], name) == 0)
            return 1;
    return 0;
}

int CTest::SendTestResult(void* window, const char* heading, const char* line, int flag, unsigned char code,
                          unsigned short reserved)
{
    AppendToResultLog(code, heading ? heading : line);
    if (g_resultSink)
        g_resultSink(g_resultContext, window, heading, line, flag, code, reserved);
    return 1;
}

void PrubelSetTestResultSink(TestResultSink sink, void* context)
{
    g_resultContext = context;
    g_resultSink = sink;
}
