// The translator's check and export, against the built module and the shipped language files.
#include "HostTexts.h"
#include "LanguageCheck.h"
#include "LanguageFile.h"
#include "LanguageMenu.h"
#include "ModuleLoader.h"
#include "TesterHooks.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

using namespace daxohost;

std::string Shipped(const char* name)
{
    return ReferenceLanguageFile().substr(0, ReferenceLanguageFile().size() - 6) + name;
}

class LanguageCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(module.Load(), ModuleStatus::Loaded) << module.Message();
        CLanguageMenu::UseEnglish(*module.Test());
        checker.reset(new CLanguageCheck(*module.Test()));
        std::string error;
        ASSERT_TRUE(checker->LoadReference(ReferenceLanguageFile(), &error)) << error;
    }
    std::vector<std::string> ProblemsOf(const std::string& xml)
    {
        std::string path = daxotest::TempPath("check.xml");
        daxotest::WriteFileBytes(path, xml);
        std::vector<LanguageText> texts;
        std::string error;
        EXPECT_TRUE(ReadLanguageTexts(path, &texts, &error)) << error;
        return checker->Check(texts);
    }
    // What the check says of one item, in the order it says it.
    std::vector<LanguageFinding> FindingsOf(const std::string& xml, const std::string& name)
    {
        std::string path = daxotest::TempPath("check.xml");
        daxotest::WriteFileBytes(path, xml);
        std::vector<LanguageText> texts;
        std::string error;
        EXPECT_TRUE(ReadLanguageTexts(path, &texts, &error)) << error;
        std::vector<LanguageFinding> of;
        for (const LanguageFinding& finding : checker->Review(texts))
            if (finding.line.compare(0, name.size() + 1, name + ":") == 0)
                of.push_back(finding);
        return of;
    }
    CModuleLoader module;
    std::unique_ptr<CLanguageCheck> checker;
};

std::string MessageFile(const std::string& items)
{
    return "<TesterLanguage><Message>" + items + "</Message></TesterLanguage>";
}

// The host's words stand in the reference as built in, and none takes an id the module answers
// itself: the file's first item of an id answers the module too.
TEST_F(LanguageCheck, TheHostsWordsAreMirroredInTheReferenceUnderIdsOfTheirOwn)
{
    std::vector<LanguageText> english;
    std::string error;
    ASSERT_TRUE(ReadLanguageTexts(ReferenceLanguageFile(), &english, &error)) << error;
    std::unique_ptr<void, void (*)(void*)> host(DaxoTesterCreate(), &DaxoTesterDestroy);
    for (const HostText& word : HostTextTable()) {
        auto found = std::find_if(english.begin(), english.end(), [&](const LanguageText& text) {
            return text.kind == LanguageText::Message && text.id == word.id;
        });
        ASSERT_NE(found, english.end()) << "message " << word.id << " is not in en.xml";
        EXPECT_EQ(found->text, word.english) << "message " << word.id;
        EXPECT_STREQ(EnglishHostText(word.id), word.english) << "the table is in the order of the ids";
        const std::string handedOn = CTestObject(host.get()).GetMessageA(word.id);
        EXPECT_EQ(module.Test()->GetMessageA(word.id), handedOn) << "the module hands message " << word.id << " on";
    }
}

// The module fills the first %s with the serial, the second with the parity word, the first %d
// with the address and the second with the baud rate, wherever they stand.
TEST_F(LanguageCheck, PlaceholdersAreCheckedByKindAndAReorderedMessageIsShownFilled)
{
    const char* const kFilledNote = "message 39: %s and %d stand in another order than in the English; the module "
                                    "fills them by kind, in its own order, so it reads ";
    const struct {
        const char* text;
        LanguageFinding::Weight weight;
        std::string line;   // empty: nothing to say
    } kCases[] = {
        {"konfigurace pro %s: adresa %d; %d Bd, parita %s", LanguageFinding::Note, ""},
        {"konfigurace pro %d: adresa %s; %d Bd, parita %s", LanguageFinding::Note,
         kFilledNote + std::string("\"konfigurace pro 5: adresa 00000712; 9600 Bd, parita \x9E\xE1\x64n\xE1 (NO)\"")},
        {"adresa %d; %d Bd, parita %s; serial %s", LanguageFinding::Note,
         kFilledNote + std::string("\"adresa 5; 9600 Bd, parita 00000712; serial \x9E\xE1\x64n\xE1 (NO)\"")},
        {"konfigurace pro %s: adresa %d; parita %s", LanguageFinding::Problem,
         "message 39: has 2 %s and 1 %d, the English has 2 %s and 2 %d"},
        {"konfigurace pro %s: adresa %d; %d Bd, %d bit, parita %s", LanguageFinding::Problem,
         "message 39: has 2 %s and 3 %d, the English has 2 %s and 2 %d"},
        {"konfigurace pro %s: adresa %d; %d Bd, parita %s, %2.1f V", LanguageFinding::Problem,
         "message 39: has %2.1f, which the module does not fill; it fills %s and %d only"},
        {"konfigurace pro %s: adresa %d; %d Bd, parita %s (100 %)", LanguageFinding::Note, ""},
    };
    for (const auto& test : kCases) {
        std::vector<LanguageFinding> findings =
            FindingsOf(MessageFile("<MessageItem ID=\"39\" text=\"" + std::string(test.text) + "\"/>"), "message 39");
        if (test.line.empty()) {
            EXPECT_TRUE(findings.empty()) << test.text << ": " << findings.front().line;
            continue;
        }
        ASSERT_EQ(findings.size(), 1u) << test.text;
        EXPECT_EQ(findings[0].line, test.line) << test.text;
        EXPECT_EQ(findings[0].weight, test.weight) << test.text;
    }
}

// The host writes these notes into the log when the file is taken into use.
TEST_F(LanguageCheck, ALoadedFileThatReordersTheSummaryIsShownFilled)
{
    const std::string path = daxotest::TempPath("reordered.xml");
    daxotest::WriteFileBytes(path, MessageFile("<MessageItem ID=\"39\" text=\"pro %d: adresa %s; %d Bd, %s\"/>"));
    ASSERT_TRUE(CLanguageMenu::OpenFile(*module.Test(), path));
    const std::vector<std::string> notes = ReorderedMessages(*module.Test());
    CLanguageMenu::UseEnglish(*module.Test());
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], "message 39 has its placeholders in another order than the English; the module fills them "
                        "by kind, so it reads \"pro 5: adresa 00000712; 9600 Bd, \x9E\xE1\x64n\xE1 (NO)\" (example values)");
    EXPECT_TRUE(ReorderedMessages(*module.Test()).empty()) << "the English as it is";
}

TEST_F(LanguageCheck, AnAttributeTheModuleDoesNotReadIsNamedWithTheOneItResembles)
{
    const struct {
        const char* item;
        const char* name;
        std::vector<std::string> lines;
    } kCases[] = {
        {"<MessageItem ID=\"42\" txt=\"chyba testu\"/>", "message 42",
         {"message 42: \"txt\" is no attribute the module reads; did you mean \"text\"?"}},
        {"<MessageItem ID=\"42\" Text=\"chyba testu\"/>", "message 42",
         {"message 42: \"Text\" is no attribute the module reads; did you mean \"text\"?"}},
        {"<MessageItem Id=\"42\" text=\"chyba testu\"/>", "message (no ID)",
         {"message (no ID): \"Id\" is no attribute the module reads; did you mean \"ID\"?"}},
        {"<MessageItem ID=\"42\" text=\"chyba testu\" colour=\"red\"/>", "message 42",
         {"message 42: unknown attribute \"colour\"; the module reads ID and text only"}},
        {"<MessageItem ID=\"42\"/>", "message 42", {"message 42: has no text; the module shows its English one"}},
    };
    for (const auto& test : kCases) {
        std::vector<std::string> lines;
        for (const LanguageFinding& finding : FindingsOf(MessageFile(test.item), test.name))
            lines.push_back(finding.line);
        EXPECT_EQ(lines, test.lines) << test.item;
    }
}

// Measured in the module's own dialog with its font: the button "Write and test" is 75 dialog
// units wide.
TEST_F(LanguageCheck, ATextWiderThanItsControlIsAWarningWithBothWidths)
{
    const std::string name = "dialog 2020 control 32788";
    auto file = [](const std::string& text) {
        return "<TesterLanguage><Dialog><DialogItem ID=\"2020\" text=\"Konfigurace\"><ControlItem ID=\"32788\" text=\"" +
               text + "\"/></DialogItem></Dialog></TesterLanguage>";
    };
    EXPECT_TRUE(FindingsOf(file("Zapsat"), name).empty());
    std::vector<LanguageFinding> findings = FindingsOf(file("Text, kter\xC3\xBD se nevejde na tla\xC4\x8D\xC3\xADtko"), name);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].weight, LanguageFinding::Warning);
    const std::string prefix = name + ": the text is ";
    ASSERT_EQ(findings[0].line.compare(0, prefix.size(), prefix), 0) << findings[0].line;
    const char* rest = findings[0].line.c_str() + prefix.size();
    char* end = nullptr;
    const long needed = std::strtol(rest, &end, 10);
    const std::string middle = " pixels wide, the control shows ";
    ASSERT_EQ(std::string(end, middle.size()), middle) << findings[0].line;
    const long room = std::strtol(end + middle.size(), nullptr, 10);
    EXPECT_GT(needed, room) << findings[0].line;
    EXPECT_GT(room, 60) << "the button's own width, less its frame";
}

TEST_F(LanguageCheck, TheShippedFilesAreCleanAndTheModuleConfirmsEveryReferenceId)
{
    const CLanguageCheck& check = *checker;
    EXPECT_TRUE(check.Unconfirmed().empty()) << check.Unconfirmed().front();
    EXPECT_EQ(check.Reference().size(), 27u + 3u + 18u + 3u + 3u + HostTextTable().size())
        << "messages, captions, controls of 2020, 2021, 2022, the host's words";
    for (const char* name : {"en.xml", "cs.xml"}) {
        std::vector<LanguageText> texts;
        std::string error;
        ASSERT_TRUE(ReadLanguageTexts(Shipped(name), &texts, &error)) << name << ": " << error;
        std::vector<std::string> problems = check.Check(texts);
        EXPECT_TRUE(problems.empty()) << name << ": " << problems.front();
    }
    // The English is the module's own (its check box 32830 is too narrow for it); the Czech
    // translation fits every control.
    std::vector<LanguageText> czech;
    std::string error;
    ASSERT_TRUE(ReadLanguageTexts(Shipped("cs.xml"), &czech, &error)) << error;
    std::vector<LanguageFinding> findings = check.Review(czech);
    EXPECT_TRUE(findings.empty()) << findings.front().line;
}

TEST_F(LanguageCheck, EachKindOfProblemIsNamedWithItsId)
{
    std::vector<std::string> problems = ProblemsOf(
        "<TesterLanguage><Message>"
        "<MessageItem ID=\"39\" text=\"konfigurace %s: adresa %d; parita %s\"/>"
        "<MessageItem ID=\"99\" text=\"navíc\"/>"
        "<MessageItem ID=\"40\" text=\"\xCE\xA9 hotovo\"/>"
        "<MessageItem ID=\"40\" text=\"znovu\"/>"
        "</Message><Dialog><DialogItem ID=\"2020\"><ControlItem ID=\"32815\" text=\"Adresa:\"/>"
        "<ControlItem ID=\"1234\" text=\"?\"/></DialogItem></Dialog></TesterLanguage>");
    auto has = [&](const std::string& line) {
        return std::find(problems.begin(), problems.end(), line) != problems.end();
    };
    EXPECT_TRUE(has("message 39: has 2 %s and 1 %d, the English has 2 %s and 2 %d"));
    EXPECT_TRUE(has("message 99: unknown to the module"));
    EXPECT_TRUE(has("dialog 2020 control 1234: unknown to the module"));
    EXPECT_TRUE(has("message 40: has characters that code page 1250 cannot show"));
    EXPECT_TRUE(has("message 40: given again; only the first one is used"));
    EXPECT_TRUE(has("message 35: missing"));
    EXPECT_TRUE(has("dialog 2021 control 32800: missing"));
    EXPECT_FALSE(has("dialog 2020 control 32815: missing"));
}

TEST_F(LanguageCheck, TheExportHoldsTheIdsAndTextsOfTheReference)
{
    std::string path = daxotest::TempPath("exported.xml");
    ASSERT_EQ(RunExportLanguage(*module.Test(), path), kLanguageClean);
    std::vector<LanguageText> exported, reference;
    std::string error;
    ASSERT_TRUE(ReadLanguageTexts(path, &exported, &error)) << error;
    ASSERT_TRUE(ReadLanguageTexts(ReferenceLanguageFile(), &reference, &error)) << error;
    ASSERT_EQ(exported.size(), reference.size());
    for (size_t i = 0; i < reference.size(); ++i) {
        auto same = std::find_if(exported.begin(), exported.end(),
                                 [&](const LanguageText& text) { return text.SameItem(reference[i]); });
        ASSERT_NE(same, exported.end()) << reference[i].Name();
        EXPECT_EQ(same->text, reference[i].text) << reference[i].Name();
    }
    EXPECT_EQ(RunExportLanguage(*module.Test(), ReferenceLanguageFile()), kLanguageUnreadable)
        << "the reference stays as it is";
    daxotest::WriteFileBytes(path, "<TesterLanguage><Message>");
    EXPECT_EQ(RunCheckLanguage(*module.Test(), path), kLanguageUnreadable);
}

// --export-lang at the reference, under any name of it and with --replace, leaves it as it is.
// The refusal looks at the reference of the language folder, so a copy of that folder stands in.
TEST_F(LanguageCheck, TheReferenceIsNeverWrittenOver)
{
    const std::string folder = daxotest::TempPath("reference-folder"), other = daxotest::TempPath("elsewhere");
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr) && ::CreateDirectoryA(other.c_str(), nullptr));
    const std::string english = daxotest::ReadFileBytes(ReferenceLanguageFile());
    ASSERT_FALSE(english.empty());
    daxotest::WriteFileBytes(folder + "\\en.xml", english);
    daxotest::ScopedEnv env("DAXO_LANG_DIR", folder.c_str());
    ASSERT_EQ(ReferenceLanguageFile(), folder + "\\en.xml");
    ASSERT_TRUE(::CreateHardLinkA((other + "\\linked.xml").c_str(), ReferenceLanguageFile().c_str(), nullptr));
    const std::string names[] = {ReferenceLanguageFile(), folder + "\\EN.XML", folder + "\\.\\en.xml",
                                 other + "\\..\\reference-folder\\en.xml", other + "\\linked.xml"};
    for (const std::string& name : names) {
        EXPECT_EQ(RunExportLanguage(*module.Test(), name, true), kLanguageUnreadable) << name;
        EXPECT_TRUE(daxotest::ReadFileBytes(ReferenceLanguageFile()) == english) << name;
    }
}

// The check and the load share the reader and so every limit of it, with the same reason.
TEST_F(LanguageCheck, AFileTheCheckRefusesDoesNotLoadEither)
{
    std::string xml = "<TesterLanguage><Dialog>";
    for (unsigned long i = 0; i < CLanguageFile::kMaxDialogItems; ++i)
        xml += "<DialogItem ID=\"2020\"/>";
    const std::string column = std::to_string(xml.size() + 1);
    const std::string path = daxotest::TempPath("many.xml");
    daxotest::WriteFileBytes(path, xml + "<DialogItem ID=\"2020\"/></Dialog></TesterLanguage>");
    std::vector<LanguageText> texts;
    std::string error;
    EXPECT_FALSE(ReadLanguageTexts(path, &texts, &error));
    EXPECT_EQ(error, "the file breaks a rule of language files (line 1, column " + column + ": more than 10000 DialogItem tags)");
    EXPECT_EQ(RunCheckLanguage(*module.Test(), path), kLanguageUnreadable);
    EXPECT_FALSE(CLanguageMenu::OpenFile(*module.Test(), path)) << "what --lang does";
    EXPECT_EQ(CLanguageMenu::WhyNotRead(*module.Test()), error);
    CLanguageMenu::UseEnglish(*module.Test());
}

} // namespace
