// The translator's check and export, against the built module and the shipped language files.
#include "LanguageCheck.h"
#include "LanguageFile.h"
#include "LanguageMenu.h"
#include "ModuleLoader.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
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
    CModuleLoader module;
    std::unique_ptr<CLanguageCheck> checker;
};

TEST_F(LanguageCheck, TheShippedFilesAreCleanAndTheModuleConfirmsEveryReferenceId)
{
    const CLanguageCheck& check = *checker;
    EXPECT_TRUE(check.Unconfirmed().empty()) << check.Unconfirmed().front();
    EXPECT_EQ(check.Reference().size(), 27u + 3u + 18u + 3u + 3u) << "messages, captions, controls of 2020, 2021, 2022";
    for (const char* name : {"en.xml", "cs.xml"}) {
        std::vector<LanguageText> texts;
        std::string error;
        ASSERT_TRUE(ReadLanguageTexts(Shipped(name), &texts, &error)) << name << ": " << error;
        std::vector<std::string> problems = check.Check(texts);
        EXPECT_TRUE(problems.empty()) << name << ": " << problems.front();
    }
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
