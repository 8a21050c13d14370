#include "LanguageCheck.h"
#include "FileIdentity.h"
#include "HostTester.h"
#include "HostTexts.h"
#include "LanguageFile.h"
#include "LanguageFolder.h"
#include "Placeholders.h"
#include "TesterHooks.h"
#include "TextCodec.h"
#include "WholeFile.h"
#include <windows.h>
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

namespace daxohost {

namespace {

// The ID attribute read the way the module reads it: white space, sign, digits, saturated.
unsigned ParseId(const char* text)
{
    long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX)
        value = INT_MAX;
    if (value < INT_MIN)
        value = INT_MIN;
    return static_cast<unsigned>(static_cast<int>(value));
}

bool Outside1250(const wchar_t* text)
{
    if (!text || !*text)
        return false;
    BOOL lost = FALSE;
    int length = static_cast<int>(std::wcslen(text));
    int bytes = ::WideCharToMultiByte(CLanguageFile::kCodePage, WC_NO_BEST_FIT_CHARS, text, length, nullptr, 0, nullptr, &lost);
    return bytes <= 0 || lost;
}

const char kIdAttribute[] = "ID";
const char kTextAttribute[] = "text";

// The current item of the cursor; false when it has neither an ID nor anything to say about.
bool ReadItem(const CLanguageFile& file, LanguageText::Kind kind, unsigned dialogId, LanguageText* item)
{
    const char* id = file.GetAttribute(kIdAttribute);
    const char* text = file.GetAttribute(kTextAttribute);
    item->kind = kind;
    item->idText = id ? id : "(no ID)";
    item->id = id ? ParseId(id) : 0;
    item->dialogId = kind == LanguageText::Caption ? item->id : dialogId;
    item->text = text ? text : "";
    item->hasId = id != nullptr;
    item->hasText = text != nullptr;
    item->outside1250 = Outside1250(file.GetAttributeWide(kTextAttribute));
    item->strayAttributes.clear();
    for (unsigned long i = 0; const char* name = file.GetAttributeName(i); ++i)
        if (std::strcmp(name, kIdAttribute) != 0 && std::strcmp(name, kTextAttribute) != 0)
            item->strayAttributes.push_back(name);
    return item->hasId || !item->strayAttributes.empty();
}

// Edits that turn one name into the other, letter case aside (insert, delete, replace, swap two).
size_t Distance(const std::string& a, const std::string& b)
{
    auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (size_t i = 1; i <= a.size(); ++i)
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t replace = d[i - 1][j - 1] + (lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1);
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, replace});
            if (i > 1 && j > 1 && lower(a[i - 1]) == lower(b[j - 2]) && lower(a[i - 2]) == lower(b[j - 1]))
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// The attribute the module reads that a stray name was meant to be; null when it looks like none.
const char* MeantAttribute(const std::string& name)
{
    // A name is short: one slip in "ID", two in "text".
    if (name.size() < 8 && Distance(name, kIdAttribute) <= 1)
        return kIdAttribute;
    if (name.size() < 16 && Distance(name, kTextAttribute) <= 2)
        return kTextAttribute;
    return nullptr;
}

// An attribute value in UTF-8, with line breaks and tabs as character references so that they
// survive the reader.
std::string XmlAttribute(const std::string& text)
{
    std::string escaped;
    for (char c : ModuleTextToUtf8(text)) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\n': escaped += "&#10;"; break;
        case '\r': escaped += "&#13;"; break;
        case '\t': escaped += "&#9;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}


void Say(FILE* stream, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

} // namespace

std::string LanguageText::Name() const
{
    switch (kind) {
    case Message: return "message " + idText;
    case Caption: return "dialog " + idText;
    default: return "dialog " + std::to_string(dialogId) + " control " + idText;
    }
}

bool LanguageText::SameItem(const LanguageText& other) const
{
    return Key() == other.Key();
}

LanguageText::ItemKey LanguageText::Key() const
{
    return ItemKey(kind, kind == Control ? dialogId : 0, id);
}

bool ReadLanguageTexts(const std::string& path, std::vector<LanguageText>* texts, std::string* error)
{
    CLanguageFile file;
    file.SetPath(path.c_str());
    if (!file.Open()) {
        *error = file.LastError();
        return false;
    }
    texts->clear();
    LanguageText item;
    if (file.GetTag(CLanguageFile::MoveTop, "TesterLanguage") && file.GetTag(CLanguageFile::MoveFirstChild, "Message"))
        for (int found = file.GetTag(CLanguageFile::MoveFirstChild, "MessageItem"); found;
             found = file.GetTag(CLanguageFile::MoveNextSibling, "MessageItem"))
            if (ReadItem(file, LanguageText::Message, 0, &item))
                texts->push_back(item);
    bool more = file.GetTag(CLanguageFile::MoveTop, "TesterLanguage") && file.GetTag(CLanguageFile::MoveFirstChild, "Dialog") &&
                file.GetTag(CLanguageFile::MoveFirstChild, "DialogItem");
    for (; more; more = file.GetTag(CLanguageFile::MoveNextSibling, "DialogItem")) {
        // The cursor moves only down and sideways: the walk comes back to the item it looked into.
        const unsigned long dialog = file.Place();
        LanguageText caption;
        if (ReadItem(file, LanguageText::Caption, 0, &caption))
            texts->push_back(caption);
        if (caption.hasId) {
            for (int found = file.GetTag(CLanguageFile::MoveFirstChild, "ControlItem"); found;
                 found = file.GetTag(CLanguageFile::MoveNextSibling, "ControlItem"))
                if (ReadItem(file, LanguageText::Control, caption.id, &item))
                    texts->push_back(item);
        }
        file.ReturnTo(dialog);
    }
    return true;
}

const char* CLanguageCheck::ModuleText(const LanguageText& item) const
{
    switch (item.kind) {
    case LanguageText::Message: return m_test.GetMessageA(item.id);
    case LanguageText::Caption: return m_test.GetDialogName(item.id);
    default: return m_test.GetDialogControlName(item.dialogId, item.id);
    }
}

bool CLanguageCheck::LoadReference(const std::string& path, std::string* error)
{
    std::vector<LanguageText> texts;
    if (!ReadLanguageTexts(path, &texts, error))
        return false;
    // What the host answers for an id that is not the module's: the module hands those on.
    CHostTester host;
    CLanguageCheck hostCheck(CTestObject(host.Object()));
    m_reference.clear();
    m_unconfirmed.clear();
    std::set<LanguageText::ItemKey> confirmed;
    for (LanguageText& item : texts) {
        if (!item.hasId)
            continue;
        const char* own = ModuleText(item);
        const char* handedOn = hostCheck.ModuleText(item);
        if (!confirmed.insert(item.Key()).second)
            continue;
        const char* hostText = item.kind == LanguageText::Message ? EnglishHostText(item.id) : nullptr;
        if (own && *own && (!handedOn || std::strcmp(own, handedOn) != 0)) {
            item.text = own;
            m_reference.push_back(item);
        } else if (hostText) {
            // The host's own words, which the module hands on; the host's English is built in.
            item.text = hostText;
            m_reference.push_back(item);
        } else {
            m_unconfirmed.push_back(item.Name());
        }
    }
    return true;
}

std::vector<LanguageFinding> CLanguageCheck::Review(const std::vector<LanguageText>& texts) const
{
    std::map<LanguageText::ItemKey, const LanguageText*> references;
    for (const LanguageText& known : m_reference)
        references.emplace(known.Key(), &known);
    std::set<LanguageText::ItemKey> seen;
    std::vector<LanguageFinding> findings;
    auto say = [&findings](LanguageFinding::Weight weight, const LanguageText& item, const std::string& what) {
        findings.push_back({weight, item.Name() + ": " + what});
    };
    for (const LanguageText& item : texts) {
        bool textMisspelt = false;
        for (const std::string& stray : item.strayAttributes) {
            const char* meant = MeantAttribute(stray);
            textMisspelt = textMisspelt || (meant && std::strcmp(meant, kTextAttribute) == 0);
            say(LanguageFinding::Problem, item,
                meant ? "\"" + stray + "\" is no attribute the module reads; did you mean \"" + meant + "\"?"
                      : "unknown attribute \"" + stray + "\"; the module reads ID and text only");
        }
        if (!item.hasId)
            continue;
        const bool earlier = !seen.insert(item.Key()).second;
        auto found = references.find(item.Key());
        const LanguageText* reference = found == references.end() ? nullptr : found->second;
        if (earlier)
            say(LanguageFinding::Problem, item, "given again; only the first one is used");
        else if (!reference)
            say(LanguageFinding::Problem, item, "unknown to the module");
        else if (!item.hasText && !textMisspelt)
            say(LanguageFinding::Problem, item, "has no text; the module shows its English one");
        else if (item.hasText)
            ReviewText(item, *reference, &findings);
        if (item.outside1250)
            say(LanguageFinding::Problem, item, "has characters that code page 1250 cannot show");
    }
    for (const LanguageText& known : m_reference)
        if (!seen.count(known.Key()))
            findings.push_back({LanguageFinding::Problem, known.Name() + ": missing"});
    return findings;
}

// The first match of a known id with a text: its placeholders and its room on screen.
void CLanguageCheck::ReviewText(const LanguageText& item, const LanguageText& reference,
                                std::vector<LanguageFinding>* findings) const
{
    auto say = [&](LanguageFinding::Weight weight, const std::string& what) {
        findings->push_back({weight, item.Name() + ": " + what});
    };
    std::string unfilled;
    for (const std::string& placeholder : PlaceholdersOf(item.text))
        if (!IsFilledByModule(placeholder) && unfilled.find(placeholder) == std::string::npos)
            unfilled += (unfilled.empty() ? "" : ", ") + placeholder;
    if (!unfilled.empty())
        say(LanguageFinding::Problem, "has " + unfilled + ", which the module does not fill; it fills %s and %d only");
    if (PlaceholderCounts(item.text) != PlaceholderCounts(reference.text)) {
        say(LanguageFinding::Problem,
            "has " + PlaceholderCounts(item.text) + ", the English has " + PlaceholderCounts(reference.text));
    } else if (!SameOrderOfKinds(item.text, reference.text)) {
        // Not wrong in itself: the sentence may need another order. Wrong only if the translator
        // expected the values to follow the places.
        const std::string filled = item.kind == LanguageText::Message ? FilledExample(item.id, item.text) : std::string();
        say(LanguageFinding::Note, "%s and %d stand in another order than in the English; the module fills them by "
                                   "kind, in its own order" +
                                       (filled.empty() ? std::string(".") : ", so it reads \"" + filled + "\""));
    }
    if (item.kind != LanguageText::Control)
        return;
    const ControlRoom room = m_fit.Measure(item.dialogId, item.id, item.text);
    if (room.Fits())
        return;
    say(LanguageFinding::Warning,
        room.wraps ? "the text needs " + std::to_string(room.needed) + " pixels of height, the control shows " +
                         std::to_string(room.room) + "; the rest is cut off"
                   : "the text is " + std::to_string(room.needed) + " pixels wide, the control shows " +
                         std::to_string(room.room) + "; the rest is cut off");
}

std::vector<std::string> CLanguageCheck::Check(const std::vector<LanguageText>& texts) const
{
    std::vector<std::string> problems;
    for (const LanguageFinding& finding : Review(texts))
        if (finding.weight == LanguageFinding::Problem)
            problems.push_back(finding.line);
    return problems;
}

std::vector<std::string> ReorderedMessages(CTestObject test)
{
    std::vector<LanguageText> reference;
    std::string error;
    std::vector<std::string> notes;
    if (!ReadLanguageTexts(ReferenceLanguageFile(), &reference, &error))
        return notes;
    for (const LanguageText& english : reference) {
        if (english.kind != LanguageText::Message || FilledExample(english.id, english.text).empty())
            continue;
        const char* text = test.GetMessageA(english.id);
        if (!text || SameOrderOfKinds(text, english.text) || PlaceholderCounts(text) != PlaceholderCounts(english.text))
            continue;
        notes.push_back("message " + std::to_string(english.id) +
                        " has its placeholders in another order than the English; the module fills them by kind, "
                        "so it reads \"" + FilledExample(english.id, text) + "\" (example values)");
    }
    return notes;
}

std::string CLanguageCheck::Export() const
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<!-- The module's English texts, then the host application's (messages from 1000). A\n"
                      "     translation keeps every ID, replaces every text and keeps the placeholders %s and %d\n"
                      "     of each message; they are filled by kind, the first %s with the first text, whatever\n"
                      "     their places. -->\n"
                      "<TesterLanguage>\n  <Message>\n";
    for (const LanguageText& item : m_reference)
        if (item.kind == LanguageText::Message)
            xml += "    <MessageItem ID=\"" + std::to_string(item.id) + "\" text=\"" + XmlAttribute(item.text) + "\"/>\n";
    xml += "  </Message>\n  <Dialog>\n";
    for (const LanguageText& dialog : m_reference) {
        if (dialog.kind != LanguageText::Caption)
            continue;
        xml += "    <DialogItem ID=\"" + std::to_string(dialog.id) + "\" text=\"" + XmlAttribute(dialog.text) + "\">\n";
        for (const LanguageText& control : m_reference)
            if (control.kind == LanguageText::Control && control.dialogId == dialog.id)
                xml += "      <ControlItem ID=\"" + std::to_string(control.id) + "\" text=\"" +
                       XmlAttribute(control.text) + "\"/>\n";
        xml += "    </DialogItem>\n";
    }
    return xml + "  </Dialog>\n</TesterLanguage>\n";
}

std::string ReferenceLanguageFile()
{
    return CLanguageFolder::Folder() + "\\en.xml";
}

int RunCheckLanguage(CTestObject test, const std::string& path)
{
    CLanguageCheck check(test);
    std::string error;
    if (!check.LoadReference(ReferenceLanguageFile(), &error)) {
        Say(stderr,
            "daxohost: the reference " + ReferenceLanguageFile() + " cannot be read: " + AnsiToUtf8(error) + "\n");
        return kLanguageUnreadable;
    }
    std::vector<LanguageText> texts;
    if (!ReadLanguageTexts(path, &texts, &error)) {
        Say(stderr, "daxohost: " + path + " cannot be read: " + AnsiToUtf8(error) + "\n");
        return kLanguageUnreadable;
    }
    size_t counts[3] = {};
    for (const LanguageFinding& finding : check.Review(texts)) {
        static const char* const kPrefix[] = {"", "warning: ", "note: "};
        ++counts[finding.weight];
        Say(stdout, kPrefix[finding.weight] + ModuleTextToUtf8(finding.line) + "\n");
    }
    const size_t problems = counts[LanguageFinding::Problem];
    std::string summary = path + ": " + std::to_string(texts.size()) + " texts, " + std::to_string(problems) +
                          (problems == 1 ? " problem" : " problems");
    if (const size_t warnings = counts[LanguageFinding::Warning])
        summary += ", " + std::to_string(warnings) + (warnings == 1 ? " warning" : " warnings");
    if (const size_t notes = counts[LanguageFinding::Note])
        summary += ", " + std::to_string(notes) + (notes == 1 ? " note" : " notes");
    Say(stdout, summary + "\n");
    return problems ? kLanguageProblems : kLanguageClean;
}

int RunExportLanguage(CTestObject test, const std::string& path, bool replace)
{
    const std::string reference = ReferenceLanguageFile();
    if (SameFile(path, reference)) {
        Say(stderr, "daxohost: " + path + " is the reference file; it stays as it is. Export to another file.\n");
        return kLanguageUnreadable;
    }
    // A translation that exists is someone's work: it is replaced only when asked for.
    if (!replace && ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        Say(stderr, "daxohost: " + path + " exists and stays as it is; export to a new file, or add --replace "
                    "to write over it.\n");
        return kLanguageUnreadable;
    }
    CLanguageCheck check(test);
    std::string error;
    if (!check.LoadReference(reference, &error)) {
        Say(stderr, "daxohost: the reference " + reference + " cannot be read: " + AnsiToUtf8(error) + "\n");
        return kLanguageUnreadable;
    }
    // Never half a translation where a whole one was: a full disk leaves the old file as it was.
    if (!WriteWholeFile(path, check.Export(), replace ? Existing::Replace : Existing::Keep, &error)) {
        Say(stderr, "daxohost: " + path + " cannot be written: " + error + ". " +
                        (replace ? "The file there is as it was.\n" : "No file was made.\n"));
        return kLanguageUnreadable;
    }
    Say(stdout, path + ": " + std::to_string(check.Reference().size()) + " texts written\n");
    return kLanguageClean;
}

} // namespace daxohost
