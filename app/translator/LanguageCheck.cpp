#include "LanguageCheck.h"
#include "FileIdentity.h"
#include "LanguageFile.h"
#include "LanguageFolder.h"
#include "TesterHooks.h"
#include "TextCodec.h"
#include "WholeFile.h"
#include <windows.h>
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

// The current item of the cursor; false when it has no text to offer.
bool ReadItem(const CLanguageFile& file, LanguageText::Kind kind, unsigned dialogId, LanguageText* item)
{
    const char* id = file.GetAttribute("ID");
    const char* text = file.GetAttribute("text");
    item->kind = kind;
    item->idText = id ? id : "";
    item->id = id ? ParseId(id) : 0;
    item->dialogId = kind == LanguageText::Caption ? item->id : dialogId;
    item->text = text ? text : "";
    item->outside1250 = Outside1250(file.GetAttributeWide("text"));
    // An item without an ID never matches, and one without a text is never answered.
    return id && text;
}

int CountOf(const std::string& text, const char* placeholder)
{
    int count = 0;
    for (size_t at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + 2))
        ++count;
    return count;
}

std::string Placeholders(const std::string& text)
{
    return std::to_string(CountOf(text, "%s")) + " %s and " + std::to_string(CountOf(text, "%d")) + " %d";
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

// The host's own tester, with the host's texts only, for as long as a check needs it.
class HostTester {
public:
    HostTester() : m_tester(DaxoTesterCreate()) {}
    ~HostTester() { DaxoTesterDestroy(m_tester); }
    HostTester(const HostTester&) = delete;
    HostTester& operator=(const HostTester&) = delete;
    void* Object() const { return m_tester; }

private:
    void* m_tester;
};

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
        if (file.GetAttribute("ID")) {
            if (ReadItem(file, LanguageText::Caption, 0, &caption))
                texts->push_back(caption);
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
    HostTester host;
    CLanguageCheck hostCheck(CTestObject(host.Object()));
    m_reference.clear();
    m_unconfirmed.clear();
    std::set<LanguageText::ItemKey> confirmed;
    for (LanguageText& item : texts) {
        const char* own = ModuleText(item);
        const char* handedOn = hostCheck.ModuleText(item);
        if (!confirmed.insert(item.Key()).second)
            continue;
        if (own && *own && (!handedOn || std::strcmp(own, handedOn) != 0)) {
            item.text = own;
            m_reference.push_back(item);
        } else {
            m_unconfirmed.push_back(item.Name());
        }
    }
    return true;
}

std::vector<std::string> CLanguageCheck::Check(const std::vector<LanguageText>& texts) const
{
    std::map<LanguageText::ItemKey, const LanguageText*> references;
    for (const LanguageText& known : m_reference)
        references.emplace(known.Key(), &known);
    std::set<LanguageText::ItemKey> seen;
    std::vector<std::string> problems;
    for (const LanguageText& item : texts) {
        const bool earlier = !seen.insert(item.Key()).second;
        auto found = references.find(item.Key());
        const LanguageText* reference = found == references.end() ? nullptr : found->second;
        if (earlier)
            problems.push_back(item.Name() + ": given again; only the first one is used");
        else if (!reference)
            problems.push_back(item.Name() + ": unknown to the module");
        else if (item.kind == LanguageText::Message && Placeholders(item.text) != Placeholders(reference->text))
            problems.push_back(item.Name() + ": has " + Placeholders(item.text) + ", the English has " +
                               Placeholders(reference->text));
        if (item.outside1250)
            problems.push_back(item.Name() + ": has characters that code page 1250 cannot show");
    }
    for (const LanguageText& known : m_reference)
        if (!seen.count(known.Key()))
            problems.push_back(known.Name() + ": missing");
    return problems;
}

std::string CLanguageCheck::Export() const
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<!-- The module's English texts. A translation keeps every ID, replaces every text and\n"
                      "     keeps the placeholders %s and %d of each message. -->\n"
                      "<TesterLanguage>\n  <Message>\n";
    for (const LanguageText& item : m_reference)
        if (item.kind == LanguageText::Message)
            xml += "    <MessageItem ID=\"" + std::to_string(item.id) + "\" text=\"" + XmlAttribute(ModuleText(item)) +
                   "\"/>\n";
    xml += "  </Message>\n  <Dialog>\n";
    for (const LanguageText& dialog : m_reference) {
        if (dialog.kind != LanguageText::Caption)
            continue;
        xml += "    <DialogItem ID=\"" + std::to_string(dialog.id) + "\" text=\"" + XmlAttribute(ModuleText(dialog)) +
               "\">\n";
        for (const LanguageText& control : m_reference)
            if (control.kind == LanguageText::Control && control.dialogId == dialog.id)
                xml += "      <ControlItem ID=\"" + std::to_string(control.id) + "\" text=\"" +
                       XmlAttribute(ModuleText(control)) + "\"/>\n";
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
    std::vector<std::string> problems = check.Check(texts);
    for (const std::string& problem : problems)
        Say(stdout, ModuleTextToUtf8(problem) + "\n");
    Say(stdout, path + ": " + std::to_string(texts.size()) + " texts, " + std::to_string(problems.size()) +
                    (problems.size() == 1 ? " problem\n" : " problems\n"));
    return problems.empty() ? kLanguageClean : kLanguageProblems;
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
