#pragma once
// The translator's tools: check a language file against the module itself, and write a
// complete file of the module's English texts to start a new language from.
#include "TestObjectRows.h"
#include <string>
#include <tuple>
#include <vector>

namespace daxohost {

// One text of a language file, named by what it translates.
struct LanguageText {
    enum Kind { Message, Caption, Control };
    Kind kind = Message;
    unsigned dialogId = 0;     // Caption and Control: the dialog
    unsigned id = 0;           // the message, dialog or control id
    std::string idText;        // the ID attribute as written
    std::string text;          // code page 1250
    bool outside1250 = false;  // the text has characters that code page 1250 cannot show

    // "message 39", "dialog 2020", "dialog 2020 control 32815"
    std::string Name() const;
    bool SameItem(const LanguageText& other) const;
    // The same for the same item: kind, dialog of a control, id.
    using ItemKey = std::tuple<int, unsigned, unsigned>;
    ItemKey Key() const;
};

// Every text of the file, in the order of the file. False, with the reader's reason, when the
// file cannot be read.
bool ReadLanguageTexts(const std::string& path, std::vector<LanguageText>* texts, std::string* error);

// Exit codes of --check-lang and --export-lang.
enum LanguageToolExit : int { kLanguageClean = 0, kLanguageProblems = 1, kLanguageUnreadable = 2 };

class CLanguageCheck {
public:
    // `test` must have no language file open: its answers are the module's own texts.
    explicit CLanguageCheck(CTestObject test) : m_test(test) {}

    // The ids of the reference file that the module answers with a text of its own.
    bool LoadReference(const std::string& path, std::string* error);
    const std::vector<LanguageText>& Reference() const { return m_reference; }
    // Ids of the reference file that the module does not answer itself.
    const std::vector<std::string>& Unconfirmed() const { return m_unconfirmed; }

    // One line per problem, each naming the id; empty when the file is clean.
    std::vector<std::string> Check(const std::vector<LanguageText>& texts) const;
    // A complete language file (UTF-8) with every reference id and the module's text for it.
    std::string Export() const;

private:
    const char* ModuleText(const LanguageText& item) const;

    CTestObject m_test;
    std::vector<LanguageText> m_reference;
    std::vector<std::string> m_unconfirmed;
};

// The reference language file: en.xml of the host's language folder.
std::string ReferenceLanguageFile();
// daxohost --check-lang FILE and --export-lang FILE; they print what they found.
int RunCheckLanguage(CTestObject test, const std::string& path);
int RunExportLanguage(CTestObject test, const std::string& path, bool replace = false);

} // namespace daxohost
