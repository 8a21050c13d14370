#pragma once
// The operator's choice of language: the module's own English texts, or one of the language
// files that the host ships, opened through the test object's inherited language operations.
// The host's tester lists the language folder; the menu never reads the folder itself.
#include "TestObjectRows.h"
#include <windows.h>
#include <string>
#include <vector>

namespace daxohost {

struct LanguageChoice {
    std::string label;
    unsigned languageId = 0;   // the host's id; 0: opened by its path
    std::string path;          // empty for English
};

class CLanguageMenu {
public:
    CLanguageMenu(CTestObject test, UINT firstCommand) : m_test(test), m_first(firstCommand) {}

    // A popup menu with English first, then every language the host offers; English is chosen.
    HMENU Build();
    // True when the command was one of the menu's items; then that language is in use, or the
    // operator has been told why not.
    bool OnCommand(UINT command, HWND owner);
    const std::vector<LanguageChoice>& Choices() const { return m_choices; }
    // The file of the language in use; empty for the module's English.
    const std::string& ChosenFile() const { return m_choices.empty() ? m_none : m_choices[m_chosen].path; }

    // Sets the file and opens it; true when its texts can be read.
    static bool OpenFile(CTestObject test, const std::string& path);
    // The module's own texts again.
    static void UseEnglish(CTestObject test);
    // Why the last file set could not be read, as the host's tester tells it; a stand-in
    // text for a tester that cannot tell.
    static std::string WhyNotRead(CTestObject test);

private:
    std::vector<LanguageChoice> LanguagesOfTester() const;
    bool Choose(size_t index);

    CTestObject m_test;
    UINT m_first;
    HMENU m_menu = nullptr;
    std::vector<LanguageChoice> m_choices;
    bool m_codePageSaid = false;   // once a session is enough
    size_t m_chosen = 0;
    std::string m_none;
};

} // namespace daxohost
