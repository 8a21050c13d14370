#include "DAXOTester.h"
#include "BenchLine.h"
#include "LanguageReader.h"
#include "TesterEvents.h"
#include "MyObject.h"
#include "TesterHooks.h"
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// The host's own texts sit in the same tags of the language file as a module's:
// TesterLanguage / Message / MessageItem and TesterLanguage / Dialog / DialogItem / ControlItem,
// each item with a decimal "ID" and a "text".
bool IdIs(const char* text, unsigned int id)
{
    return text && static_cast<unsigned int>(strtol(text, nullptr, 10)) == id;
}

// Moves the cursor to the first item of that name, inside the current tag, with the id.
bool FindItem(LanguageFileHandle* file, const char* item, unsigned int id)
{
    for (int found = LangFileGetTag(file, LanguageMoveFirstChild, item); found;
         found = LangFileGetTag(file, LanguageMoveNextSibling, item))
        if (IdIs(LangFileGetAttribute(file, "ID"), id))
            return true;
    return false;
}

bool FindSectionItem(LanguageFileHandle* file, const char* section, const char* item, unsigned int id)
{
    LangFileGetTag(file, LanguageMoveTop, "TesterLanguage");
    LangFileGetTag(file, LanguageMoveFirstChild, section);
    return FindItem(file, item, id);
}

const char* TextOrEmpty(const char* text) { return text ? text : ""; }

// The testers alive in the process. A host application hands a test object back through a C
// entry point; this tells a tester from anything else without the C++ runtime's type
// information, which msvcrt.dll does not read reliably for this build. A tester made beyond
// the table's room is simply not recognised.
struct LiveTesters {
    SRWLOCK lock = SRWLOCK_INIT;
    const CTest* testers[64] = {};

    void Change(const CTest* from, const CTest* to)
    {
        ::AcquireSRWLockExclusive(&lock);
        for (const CTest*& slot : testers)
            if (slot == from) {
                slot = to;
                break;
            }
        ::ReleaseSRWLockExclusive(&lock);
    }
    bool Contains(const void* object)
    {
        ::AcquireSRWLockShared(&lock);
        bool found = false;
        for (const CTest* slot : testers)
            found = found || (slot && slot == object);
        ::ReleaseSRWLockShared(&lock);
        return found;
    }
} g_liveTesters;

} // namespace

CDAXOTester::CDAXOTester(void* context)
    : CTest(context), m_pLanguage(LangFileCreate()), m_pLanguageFolder(LangFolderCreate())
{
    memset(m_UserConfig, 0, sizeof m_UserConfig);
    memset(m_DefaultBlock, 0, sizeof m_DefaultBlock);
    g_liveTesters.Change(nullptr, this);
}

CDAXOTester::~CDAXOTester()
{
    g_liveTesters.Change(this, nullptr);
    LangFolderDestroy(m_pLanguageFolder);
    LangFileDestroy(m_pLanguage);
}

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
// Languages: one file "<code>.xml" per language in the folder that DAXO_LANG_DIR names, else in
// the folder "lang" beside the executable (the language-file reader's folder). A language id is the position of
// its file in the listing sorted by code, from 1. InitLanguage, GetFirstLanguage and
// SetLanguage read the folder anew; the other operations use the last listing.
void CDAXOTester::ScanLanguages()
{
    // Copied whole: the scan frees the listing that the code points into, and a code is as long
    // as its file's name.
    const char* code = LangFolderCode(m_pLanguageFolder, m_currentLanguageId);
    CDynString current;
    current.InitBuffer(code ? code : "");
    LangFolderScan(m_pLanguageFolder);
    m_nextLanguageId = 0;
    m_currentLanguageId = LangFolderFind(m_pLanguageFolder, current.GetString() ? current.GetString() : "");
}

int CDAXOTester::GetFirstLanguage(unsigned int* languageId)
{
    ScanLanguages();
    m_nextLanguageId = 1;
    return GetNextLanguage(languageId);
}

int CDAXOTester::GetNextLanguage(unsigned int* languageId)
{
    if (!languageId || m_nextLanguageId == 0 || m_nextLanguageId > LangFolderCount(m_pLanguageFolder))
        return 0;
    *languageId = m_nextLanguageId++;
    return 1;
}

unsigned int CDAXOTester::GetCurrentLanguageID() { return m_currentLanguageId; }

int CDAXOTester::LanguageFileClose()
{
    LangFileClose(m_pLanguage);
    return 1;
}

// Selects the language's file and opens it: 1 when its texts can be read.
int CDAXOTester::SetCurrentLanguage(unsigned int languageId)
{
    const char* path = LangFolderFilePath(m_pLanguageFolder, languageId);
    if (!path)
        return 0;
    LangFileSetPath(m_pLanguage, path);
    m_currentLanguageId = languageId;
    return LanguageFileOpen();
}

// A file that cannot be read leaves the host without its texts, not without its work: the
// reason goes to the debug output and every text falls back.
int CDAXOTester::LanguageFileOpen()
{
    if (LangFileOpen(m_pLanguage))
        return 1;
    CDynString notice;
    notice.Format("language file \"%s\": %s\n", LangFilePath(m_pLanguage), LangFileLastError(m_pLanguage));
    CMyObject::OutputDebugStringA(notice.GetString());
    return 0;
}

const char* CDAXOTester::LanguageFileError() const { return LangFileLastError(m_pLanguage); }

const char* DaxoTesterLanguageFileError(void* test)
{
    if (!test || !g_liveTesters.Contains(test))
        return nullptr;
    return static_cast<const CDAXOTester*>(static_cast<const CTest*>(test))->LanguageFileError();
}

void* DaxoTesterCreate(void) { return static_cast<CTest*>(new CDAXOTester(nullptr)); }

void DaxoTesterDestroy(void* tester) { delete static_cast<CDAXOTester*>(static_cast<CTest*>(tester)); }

const char* CDAXOTester::GetLanguageFileName(unsigned int languageId) { return LangFolderFilePath(m_pLanguageFolder, languageId); }
const char* CDAXOTester::GetLanguageValue(unsigned int languageId) { return LangFolderCode(m_pLanguageFolder, languageId); }
int CDAXOTester::InitTestMenu(void*) { return 0; }

int CDAXOTester::LanguageFileGetTag(unsigned long move, const char* name)
{
    return LangFileGetTag(m_pLanguage, move, name);
}

const char* CDAXOTester::LanguageFileGetCurrentTagAttribute(const char* name)
{
    return LangFileGetAttribute(m_pLanguage, name);
}

const char* CDAXOTester::LanguageFileGetCurrentTagName() { return LangFileGetTagName(m_pLanguage); }
const char* CDAXOTester::GetMenuTooltip(unsigned int, unsigned int) { return ""; }
// The user's language when the folder has its file, else English, else the first listed.
int CDAXOTester::InitLanguage()
{
    ScanLanguages();
    LanguageFolderHandle* languages = m_pLanguageFolder;
    char code[16] = "";
    ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, code, sizeof code);
    unsigned int id = LangFolderFind(languages, code);
    if (!id)
        id = LangFolderFind(languages, "en");
    if (!id)
        id = LangFolderCount(languages) ? 1 : 0;
    return SetCurrentLanguage(id);
}

// By code, such as "cs".
int CDAXOTester::SetLanguage(const char* name)
{
    ScanLanguages();
    unsigned int id = LangFolderFind(m_pLanguageFolder, name);
    return id ? SetCurrentLanguage(id) : 0;
}

// Any file, listed or not; it is read by the next LanguageFileOpen.
int CDAXOTester::SetLanguageFile(const char* path)
{
    LangFileSetPath(m_pLanguage, path);
    m_currentLanguageId = 0;
    return path && *path ? 1 : 0;
}

// The host's own texts, from the open language file. An id it has no entry for answers a text
// that names it ("host message 19"), so that a module's hand-over to the host can be told from
// an empty text; it lives until the next such answer. Texts are asked for on the host's
// user-interface thread only, so one buffer serves.
static const char* HostFallback(const char* format, ...)
{
    static char answer[64];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(answer, sizeof answer, format, arguments);
    va_end(arguments);
    return answer;
}

const char* CDAXOTester::GetMessageA(unsigned int id)
{
    LanguageFileHandle* file = m_pLanguage;
    if (!FindSectionItem(file, "Message", "MessageItem", id))
        return HostFallback("host message %u", id);
    return TextOrEmpty(LangFileGetAttribute(file, "text"));
}

const char* CDAXOTester::GetDialogName(unsigned int id)
{
    LanguageFileHandle* file = m_pLanguage;
    if (!FindSectionItem(file, "Dialog", "DialogItem", id))
        return HostFallback("host dialog %u", id);
    return TextOrEmpty(LangFileGetAttribute(file, "text"));
}

const char* CDAXOTester::GetDialogControlName(unsigned int dialogId, unsigned int controlId)
{
    LanguageFileHandle* file = m_pLanguage;
    if (!FindSectionItem(file, "Dialog", "DialogItem", dialogId) || !FindItem(file, "ControlItem", controlId))
        return HostFallback("host control %u/%u", dialogId, controlId);
    return TextOrEmpty(LangFileGetAttribute(file, "text"));
}

int CDAXOTester::AutoTest(void*, unsigned short) { return 0; }

namespace {

// The sink and its context change together: a report never reaches a sink with another's context.
struct EventSink {
    SRWLOCK lock = SRWLOCK_INIT;
    TesterEventSink sink = nullptr;
    void* context = nullptr;
} g_events;

} // namespace

void NotifyTesterEvent(int kind, const unsigned char* data, int length, int result)
{
    ::AcquireSRWLockShared(&g_events.lock);
    TesterEventSink sink = g_events.sink;
    void* context = g_events.context;
    ::ReleaseSRWLockShared(&g_events.lock);
    if (sink)
        sink(context, kind, data, length, result);
}

void DaxoTesterSetEventSink(TesterEventSink sink, void* context)
{
    ::AcquireSRWLockExclusive(&g_events.lock);
    g_events.sink = sink;
    g_events.context = context;
    ::ReleaseSRWLockExclusive(&g_events.lock);
}

int CDAXOTester::CheckEEPROM(void*, unsigned short, int checkFlag)
{
    int ok = m_Comm.ReadEEPROM(checkFlag, m_EEPROMCache.Image(), CEEPROMCache::Size);
    m_EEPROMCache.SetValid(ok);
    NotifyTesterEvent(TesterEventImageRead, ok ? m_EEPROMCache.Image() : nullptr, ok ? CEEPROMCache::Size : 0, ok ? 1 : 0);
    return ok ? 1 : 0;
}

int CDAXOTester::ShowEEPROM(void*, unsigned short, int) { return m_EEPROMCache.IsValid(); }
int CDAXOTester::SaveEEPROMToFile(void*, unsigned short) { return 0; }

int CDAXOTester::ClearEEPROM(void*, unsigned short)
{
    memset(m_EEPROMCache.Image(), 0, CEEPROMCache::Size);
    m_EEPROMCache.SetValid(0);
    return 1;
}

int CDAXOTester::ConfigureThermometer(void*, unsigned short, int) { return 0; }
int CDAXOTester::WriteEEPROM(void*, int, unsigned short) { return 0; }
int CDAXOTester::ShowConfigure(void*, unsigned short) { return 0; }
int CDAXOTester::MeasureTest(void*, unsigned short) { return 0; }

unsigned char* CDAXOTester::ReadUserConfig()
{
    const unsigned char* stored = SimBenchUserConfig();
    if (!stored)
        return nullptr;
    memcpy(m_UserConfig, stored, sizeof m_UserConfig);
    return m_UserConfig;
}

unsigned char* CDAXOTester::ReadDefaultConfig(unsigned char which)
{
    const unsigned char* block = SimBenchDefaultBlock();
    if (!block || (which != 1 && which != 2))
        return nullptr;
    memcpy(m_DefaultBlock, block, sizeof m_DefaultBlock);
    return m_DefaultBlock;
}

int CDAXOTester::WriteConfig(unsigned short offset, unsigned char* record, unsigned char length)
{
    if (offset != 0 || !record)
        return 0;
    int written = m_Comm.WriteConfig(record, length);
    NotifyTesterEvent(TesterEventWrite, record, length, written);
    return written;
}

int CDAXOTester::Reconnect(int baud, int bits, int parity) { return m_Comm.Reconnect(baud, bits, parity); }

int CDAXOTester::IdentTest(unsigned char address, int requestFlag)
{
    return m_Comm.IdentTest(address, requestFlag);
}
