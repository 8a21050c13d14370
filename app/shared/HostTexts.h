#pragma once
// The host application's own words on screen. A host of this kind keeps its texts in the language
// file beside the module's, under ids of its own, and has its English built in for an id the file
// lacks. The ids stay clear of the module's (messages 20 to 46, dialogs 2020 to 2022): the file's
// first item of an id answers whoever asks, so a host text under one of those would change the
// module's words. What machines read stays English whatever the language: the console and log
// lines, the record's columns and result words, the exit codes, the script language.
#include "TestObjectRows.h"
#include <functional>
#include <string>
#include <vector>

namespace daxohost {

namespace hosttext {
enum TextId : unsigned {
    kFirst = 1000,
    // The verdict line: one unit's story.
    Configured = kFirst, TestFailed, WriteFailed, Cancelled, Skipped, NoTypeCode, ModuleError, StoryThen,
    StoryTimes, BeingConfigured, BeingConfiguredAgain, UnitName, NoSerial, NoUnitVerdict, NoUnitYet,
    // The totals line.
    OneUnitConfigured, UnitsConfigured, NotConfigured, FirstPassYield, SessionLine,
    // The status line: what to do next.
    AdviceConfigured, AdviceTestFailed, AdviceWriteFailed, AdviceCancelled, AdviceSkipped, AdviceNoTypeCode,
    AdviceError, AdviceDone, AdviceNoUnit, AdviceStart, AdviceConfiguring,
    // Menus, the button and the module's line.
    MenuFile, MenuSaveLog, MenuExit, MenuUnit, MenuConfigure, MenuLanguage, MenuView, MenuBench,
    LanguageEnglish, ModuleLine, RecordLine,
    // Message boxes.
    LogNotSaved, LanguageNotRead, LanguageBoxTitle, RecordRowLost, CodePageNotice,
    // The result log's column heads.
    ColumnTime, ColumnCode, ColumnText,
    kEnd
};
} // namespace hosttext

struct HostText {
    unsigned id;
    const char* english;
};

// Every host text with its English, in the order of the ids.
const std::vector<HostText>& HostTextTable();
// Null for an id that is not the host's.
const char* EnglishHostText(unsigned id);

// A host text, English or from the language file (code page 1250).
using HostWords = std::function<std::string(unsigned id)>;
HostWords EnglishWords();
// The words of the language file open on `test`, the built-in English where it has none.
HostWords WordsOf(CTestObject test);

// Fills a text's placeholders as the module fills its own: by kind, the first "%s" with the
// first of `texts`, the first "%d" with the first of `numbers`, whatever their places.
std::string FillByKind(const std::string& text, const std::vector<std::string>& texts,
                       const std::vector<std::string>& numbers = {});

} // namespace daxohost
