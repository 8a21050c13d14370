#include "LanguageMenu.h"
#include "HostTexts.h"
#include "TesterHooks.h"
#include "TextCodec.h"

namespace daxohost {

namespace {

std::string FileName(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

bool CLanguageMenu::OpenFile(CTestObject test, const std::string& path)
{
    return test.SetLanguageFile(path.c_str()) != 0 && test.LanguageFileOpen() == 1;
}

void CLanguageMenu::UseEnglish(CTestObject test)
{
    test.SetLanguageFile("");
    test.LanguageFileClose();
}

std::string CLanguageMenu::WhyNotRead(CTestObject test)
{
    const char* text = DaxoTesterLanguageFileError(test.Object());
    return text && *text ? text : "the host's tester does not say why";
}

std::vector<LanguageChoice> CLanguageMenu::LanguagesOfTester() const
{
    std::vector<LanguageChoice> languages;
    unsigned id = 0;
    // A broken enumeration must not keep the host busy for ever.
    for (int more = m_test.GetFirstLanguage(&id); more && languages.size() < 1000; more = m_test.GetNextLanguage(&id)) {
        LanguageChoice choice;
        choice.languageId = id;
        const char* path = m_test.GetLanguageFileName(id);
        const char* code = m_test.GetLanguageValue(id);
        choice.path = path ? path : "";
        choice.label = (code && *code ? std::string(code) + "  " : std::string()) + "(" + FileName(choice.path) + ")";
        languages.push_back(choice);
    }
    return languages;
}

HMENU CLanguageMenu::Build()
{
    m_choices.clear();
    LanguageChoice english;
    english.label = WordsOf(m_test)(hosttext::LanguageEnglish);
    m_choices.push_back(english);
    std::vector<LanguageChoice> offered = LanguagesOfTester();
    m_choices.insert(m_choices.end(), offered.begin(), offered.end());

    m_menu = ::CreatePopupMenu();
    for (size_t i = 0; i < m_choices.size(); ++i) {
        ::AppendMenuA(m_menu, MF_STRING, m_first + i, m_choices[i].label.c_str());
        if (i == 0 && m_choices.size() > 1)
            ::AppendMenuA(m_menu, MF_SEPARATOR, 0, nullptr);
    }
    // Built again in the language chosen: the choice stays marked.
    if (m_chosen >= m_choices.size())
        m_chosen = 0;
    ::CheckMenuRadioItem(m_menu, m_first, m_first + static_cast<UINT>(m_choices.size()) - 1,
                         m_first + static_cast<UINT>(m_chosen), MF_BYCOMMAND);
    return m_menu;
}

bool CLanguageMenu::Choose(size_t index)
{
    const LanguageChoice& choice = m_choices[index];
    if (index == 0) {
        UseEnglish(m_test);
        return true;
    }
    if (choice.languageId != 0)
        return m_test.SetCurrentLanguage(choice.languageId) == 1;
    return OpenFile(m_test, choice.path);
}

bool CLanguageMenu::OnCommand(UINT command, HWND owner)
{
    if (command < m_first || command >= m_first + m_choices.size())
        return false;
    size_t index = command - m_first;
    const HostWords words = WordsOf(m_test);
    if (!Choose(index)) {
        const std::string file = m_choices[index].path, why = WhyNotRead(m_test);
        UseEnglish(m_test);
        index = 0;
        // Told in the language now in use: the module's English.
        ::MessageBoxA(owner, FillByKind(words(hosttext::LanguageNotRead), {file, why}).c_str(),
                      words(hosttext::LanguageBoxTitle).c_str(), MB_OK | MB_ICONWARNING);
    } else if (index != 0 && !m_codePageSaid) {
        m_codePageSaid = true;
        if (!CodePageNotice().empty())
            ::MessageBoxA(owner, FillByKind(words(hosttext::CodePageNotice), {}, {std::to_string(::GetACP())}).c_str(),
                          words(hosttext::LanguageBoxTitle).c_str(), MB_OK | MB_ICONINFORMATION);
    }
    m_chosen = index;
    if (m_menu)
        ::CheckMenuRadioItem(m_menu, m_first, m_first + static_cast<UINT>(m_choices.size()) - 1,
                             m_first + static_cast<UINT>(index), MF_BYCOMMAND);
    return true;
}

} // namespace daxohost
