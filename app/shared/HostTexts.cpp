#include "HostTexts.h"
#include "HostTester.h"
#include "UnitContract.h"
#include <memory>

namespace daxohost {

using namespace hosttext;

namespace {

// The file's first item of an id answers the module too: no host text may take one of its ids.
static_assert(kFirst > msg::kLast, "the host's messages lie beyond the module's");

const std::vector<HostText> kTexts = {
    {Configured, "configured at address %d"},
    {TestFailed, "test failed: unit did not answer"},
    {WriteFailed, "write failed: check that JP1 is in WE"},
    {Cancelled, "cancelled: not configured"},
    {Skipped, "skipped: configured earlier in this series"},
    {NoTypeCode, "no type code in the unit's EEPROM"},
    {ModuleError, "error in the module"},
    {StoryThen, "%s, then %s"},
    {StoryTimes, "%s (%d times)"},
    {BeingConfigured, "being configured..."},
    {BeingConfiguredAgain, "%s, then being configured again..."},
    {UnitName, "Unit %s:"},
    {NoSerial, "(no serial)"},
    {NoUnitVerdict, "No unit connected: its EEPROM could not be read."},
    {NoUnitYet, "No unit configured yet."},
    {OneUnitConfigured, "%d unit configured"},
    {UnitsConfigured, "%d units configured"},
    {NotConfigured, "%d not configured"},
    {FirstPassYield, "first-pass yield %d %"},
    {SessionLine, "This session: %s."},
    {AdviceConfigured, "Done: the unit is configured. Connect the next unit, then configure it."},
    {AdviceTestFailed,
     "The unit did not answer with its new settings: check its wiring and settings, or configure it again."},
    {AdviceWriteFailed, "The write failed: move JP1 of the unit to WE, then configure it again."},
    {AdviceCancelled, "Cancelled: the unit is not configured. Configure it again, or connect the next unit."},
    {AdviceSkipped, "The unit was configured earlier in this series. Connect the next unit, then configure it."},
    {AdviceNoTypeCode,
     "The unit's EEPROM holds no type code: the unit cannot be configured here. Set it aside, connect the next unit."},
    {AdviceError, "The module failed: see the log, then configure the unit again."},
    {AdviceDone, "Done: see the verdict and the log. Connect the next unit, then configure it."},
    {AdviceNoUnit, "No unit is connected: connect a unit at the bench, then configure it."},
    {AdviceStart, "Connect a unit at the bench, then configure it."},
    {AdviceConfiguring, "Configuring: follow the dialogs."},
    {MenuFile, "&File"},
    {MenuSaveLog, "&Save result log..."},
    {MenuExit, "E&xit"},
    {MenuUnit, "&Unit"},
    {MenuConfigure, "&Configure unit..."},
    {MenuLanguage, "&Language"},
    {MenuView, "&View"},
    {MenuBench, "&Bench window"},
    {LanguageEnglish, "&English (the module's own texts)"},
    {ModuleLine, "Module %s (%s).   Supported tests: %s."},
    {RecordLine, "Commissioning record: %s"},
    {LogNotSaved, "The log could not be written to %s: %s.\nA file that was there is as it was. Choose another "
                  "folder, or make room on the disk."},
    {LanguageNotRead, "The language file %s cannot be read: %s. The module shows its English texts."},
    {LanguageBoxTitle, "Language"},
    {RecordRowLost, "The commissioning record %s cannot be written: the row of unit %s is lost."},
    {CodePageNotice, "Windows uses code page %d on this machine: the dialogs show Czech letters right only with "
                     "code page 1250 (the log and the record hold them right). To see them, set the system locale "
                     "to Czech (under Wine: LC_ALL=cs_CZ.UTF-8)."},
    {ColumnTime, "Time"},
    {ColumnCode, "Code"},
    {ColumnText, "Text"},
};

// The host's own tester answers an id that no file holds with a text of its own ("host message
// 1000"): a file without the id tells itself by that answer.
std::string BareAnswer(const CHostTester& bare, unsigned id)
{
    const char* text = bare.Object() ? CTestObject(bare.Object()).GetMessageA(id) : nullptr;
    return text ? text : "";
}

} // namespace

const std::vector<HostText>& HostTextTable()
{
    return kTexts;
}

const char* EnglishHostText(unsigned id)
{
    // The table is in the order of the ids, one text each.
    return id >= kFirst && id < kEnd && id - kFirst < kTexts.size() ? kTexts[id - kFirst].english : nullptr;
}

HostWords EnglishWords()
{
    return [](unsigned id) {
        const char* english = EnglishHostText(id);
        return std::string(english ? english : "");
    };
}

HostWords WordsOf(CTestObject test)
{
    std::shared_ptr<CHostTester> bare = std::make_shared<CHostTester>();
    return [test, bare](unsigned id) {
        // Copied at once: the tester may answer the next question in the same buffer.
        const char* answer = test.GetMessageA(id);
        const std::string text = answer ? answer : "";
        const char* english = EnglishHostText(id);
        if (text.empty() || BareAnswer(*bare, id) == text)
            return std::string(english ? english : "");
        return text;
    };
}

std::string FillByKind(const std::string& text, const std::vector<std::string>& texts,
                       const std::vector<std::string>& numbers)
{
    std::string filled;
    size_t nextText = 0, nextNumber = 0;
    for (size_t at = 0; at < text.size();) {
        const bool isText = text.compare(at, 2, "%s") == 0, isNumber = text.compare(at, 2, "%d") == 0;
        // A placeholder beyond the values stays as written, as the module leaves it.
        const std::string* value = isText && nextText < texts.size()           ? &texts[nextText++]
                                   : isNumber && nextNumber < numbers.size()   ? &numbers[nextNumber++]
                                                                                : nullptr;
        if (value) {
            filled += *value;
            at += 2;
        } else {
            filled += text[at++];
        }
    }
    return filled;
}

} // namespace daxohost
