#pragma once
// The translator's tools: check a language file against the module itself, and write a
// complete file of the module's English texts to start a new language from.
#include "ControlFit.h"
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
    bool hasId = false;        // without an ID the item never matches
    bool hasText = false;      // the first match without a text leaves the module's English
    std::vector<std::string> strayAttributes;   // names other than ID and text, as written

    // "message 39", "dialog 2020", "dialog 2020 control 32815"
    std::string Name() const;
    bool SameItem(const LanguageText& other) const;
    // The same for the same item: kind, dialog of a control, id.
    using ItemKey = std::tuple<int, unsigned, unsigned>;
    ItemKey Key() const;
};

// Every item of the file that has an ID or an attribute the module does not read, in the order
// of the file. False, with the reader's reason, when the
// file cannot be read.
bool ReadLanguageTexts(const std::string& path, std::vector<LanguageText>* texts, std::string* error);

// What the check finds: a problem puts a wrong or no text before the operator or into the record;
// a warning, a text clipped on screen; a note, what the translator should see before a unit does.
struct LanguageFinding {
    enum Weight { Problem, Warning, Note };
    Weight weight = Problem;
    std::string line;   // "message 39: ...", code page 1250
};

// Exit codes of --check-lang and --export-lang.
enum LanguageToolExit : int { kLanguageClean = 0, kLanguageProblems = 1, kLanguageUnreadable = 2 };

class CLanguageCheck {
public:
    // `test` must have no language file open: its answers are the module's own texts.
    explicit CLanguageCheck(CTestObject test) : m_test(test), m_fit(CControlFit::ModuleOf(test.Object())) {}

    // The ids of the reference file that the module answers with a text of its own, and those of
    // the host's own words.
    bool LoadReference(const std::string& path, std::string* error);
    const std::vector<LanguageText>& Reference() const { return m_reference; }
    // Ids of the reference file that the module does not answer itself.
    const std::vector<std::string>& Unconfirmed() const { return m_unconfirmed; }

    // One line per finding, each naming the id, in the order of the file; missing ids last.
    std::vector<LanguageFinding> Review(const std::vector<LanguageText>& texts) const;
    // The problems only; empty when the file is clean.
    std::vector<std::string> Check(const std::vector<LanguageText>& texts) const;
    // A complete language file (UTF-8) with every reference id and its English: the module's own,
    // or the host's.
    std::string Export() const;

private:
    const char* ModuleText(const LanguageText& item) const;
    void ReviewText(const LanguageText& item, const LanguageText& reference,
                    std::vector<LanguageFinding>* findings) const;

    CTestObject m_test;
    CControlFit m_fit;
    std::vector<LanguageText> m_reference;
    std::vector<std::string> m_unconfirmed;
};

// For the log as a language file is taken into use: each message of it whose placeholders stand
// in another order than in the reference, as the module will fill it with example values (code
// page 1250). `test` has the file open.
std::vector<std::string> ReorderedMessages(CTestObject test);

// The reference language file: en.xml of the host's language folder.
std::string ReferenceLanguageFile();
// daxohost --check-lang FILE and --export-lang FILE; they print what they found.
int RunCheckLanguage(CTestObject test, const std::string& path);
int RunExportLanguage(CTestObject test, const std::string& path, bool replace = false);

} // namespace daxohost
