// The host application's language menu: what it offers and what it tells the operator about a
// language file that cannot be read.
#include "LanguageMenu.h"
#include "ModuleLoader.h"
#include "OperatorDriver.h"
#include "TesterHooks.h"
#include "TestSupport.h"
#include <gtest/gtest.h>

using daxohost::CLanguageMenu;
using daxohost::CModuleLoader;
using daxohost::LanguageChoice;
using daxohost::ModuleStatus;

namespace {

TEST(LanguageMenu, AFileThatCannotBeReadIsNamedWithItsReason)
{
    CModuleLoader module;   // the module as the host loads it, its tester in another library
    ASSERT_EQ(module.Load(), ModuleStatus::Loaded) << module.Message();
    const CTestObject* test = module.Test();
    const std::string folder = daxotest::TempPath("menu-languages");
    ::CreateDirectoryA(folder.c_str(), nullptr);
    daxotest::WriteFileBytes(folder + "\\de.xml", "<?xml version=\"1.0\"?>\nnot XML");
    daxotest::WriteFileBytes(folder + "\\en.xml", "<TesterLanguage/>");
    daxotest::ScopedEnv env("DAXO_LANG_DIR", folder.c_str());
    CLanguageMenu menu(*test, 700);
    HMENU popup = menu.Build();
    ASSERT_EQ(menu.Choices().size(), 3u) << "English, de, en: the tester's listing only";

    std::string shown;
    opdriver::OperatorDriver driver;
    driver.OnMessageBox([&](opdriver::Window& box) {
        shown = box.MessageText();
        box.Answer(IDOK);
    });
    EXPECT_TRUE(menu.OnCommand(701, nullptr));
    EXPECT_TRUE(driver.Succeeded()) << driver.Report();
    EXPECT_EQ(shown, "The language file " + folder + "\\de.xml cannot be read: the file is not well-formed XML "
                     "(line 2, column 1: text before the first tag). The module shows its English texts.");
    EXPECT_EQ(::GetMenuState(popup, 700, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    ::DestroyMenu(popup);

    EXPECT_FALSE(CLanguageMenu::OpenFile(*test, folder + "\\missing.xml"));
    EXPECT_EQ(CLanguageMenu::WhyNotRead(*test), "the file does not exist");
    CLanguageMenu::UseEnglish(*test);
}

TEST(LanguageMenuReason, ATesterThatCannotTellGetsAStandInText)
{
    // No test object at all, and the host's own tester before it has opened a file.
    EXPECT_EQ(CLanguageMenu::WhyNotRead(CTestObject(nullptr)), "the host's tester does not say why");
    void* tester = DaxoTesterCreate();
    EXPECT_EQ(CLanguageMenu::WhyNotRead(CTestObject(tester)), "the host's tester does not say why");
    DaxoTesterDestroy(tester);
}

} // namespace
