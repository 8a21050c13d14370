// The module's texts as the host's language file and the module's own English defaults give
// them: a test object over the real reader and language files on disk.
#include "LanguageFile.h"
#include "TestDAXO01.h"
#include "TestSupport.h"
#include "Texts.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdlib>
#include <string>
#include <vector>

using daxotest::TempPath;
using daxotest::WriteFileBytes;

namespace {

// What lang/en.xml holds of the module: its English texts written out for translators, read through
// the host's language-file cursor. The module's own tables are checked against it both ways.
struct FileText {
    unsigned int dialogId;   // 0 for a message
    unsigned int id;         // message, dialog (caption) or control id
    std::string text;
};
struct EnglishFile {
    std::vector<FileText> messages, captions, controls;
};

// Moves the cursor to the n-th item of that name inside the current tag.
bool NthItem(CTest& host, const char* name, size_t n)
{
    if (!host.LanguageFileGetTag(texts::kFirstChild, name))
        return false;
    for (size_t i = 0; i < n; ++i)
        if (!host.LanguageFileGetTag(texts::kNextSibling, name))
            return false;
    return true;
}

FileText CurrentItem(CTest& host, unsigned int dialogId)
{
    const char* id = host.LanguageFileGetCurrentTagAttribute("ID");
    const char* text = host.LanguageFileGetCurrentTagAttribute("text");
    return {dialogId, id ? static_cast<unsigned int>(std::strtoul(id, nullptr, 10)) : 0u, text ? text : "<no text>"};
}

const EnglishFile& English()
{
    static EnglishFile file = [] {
        EnglishFile read;
        CTestDAXO01 reader{nullptr};
        std::string path = daxotest::SourceFolder() + "/lang/en.xml";
        reader.SetLanguageFile(path.c_str());
        if (reader.LanguageFileOpen() != 1)
            return read;
        auto section = [&reader](const char* name) {
            reader.LanguageFileGetTag(texts::kTop, "TesterLanguage");
            reader.LanguageFileGetTag(texts::kFirstChild, name);
        };
        // The host application's own words stand beside the module's under ids of the host's; the
        // host's tests check those.
        for (size_t i = 0; section("Message"), NthItem(reader, "MessageItem", i); ++i)
            if (texts::EnglishMessage(CurrentItem(reader, 0).id))
                read.messages.push_back(CurrentItem(reader, 0));
        for (size_t i = 0; section("Dialog"), NthItem(reader, "DialogItem", i); ++i) {
            FileText caption = CurrentItem(reader, 0);
            read.captions.push_back(caption);
            for (size_t j = 0; section("Dialog"), NthItem(reader, "DialogItem", i), NthItem(reader, "ControlItem", j); ++j)
                read.controls.push_back(CurrentItem(reader, caption.id));
        }
        return read;
    }();
    return file;
}

const unsigned int kAnyId = 65536;  // every id the module could own lies below this

class Texts : public ::testing::Test {
protected:
    // Opens a language file made of `items` inside TesterLanguage.
    void Use(const std::string& items)
    {
        std::string path = TempPath("texts.xml");
        WriteFileBytes(path, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TesterLanguage>" + items + "</TesterLanguage>");
        ASSERT_EQ(test.SetLanguageFile(path.c_str()), 1);
        ASSERT_EQ(test.LanguageFileOpen(), 1);
    }
    void UseMessages(const std::string& items) { Use("<Message>" + items + "</Message>"); }
    void UseShipped(const char* code)
    {
        std::string path = daxotest::SourceFolder() + "/lang/" + code + ".xml";
        ASSERT_EQ(test.SetLanguageFile(path.c_str()), 1);
        ASSERT_EQ(test.LanguageFileOpen(), 1) << path;
    }
    std::string Message(unsigned int id) { return test.GetMessageA(id); }

    CTestDAXO01 test{nullptr};
};

TEST_F(Texts, WithoutALanguageFileTheModuleAnswersWhatTheEnglishFileSays)
{
    const EnglishFile& file = English();
    ASSERT_FALSE(file.messages.empty()) << "lang/en.xml read";
    for (const FileText& entry : file.messages)
        EXPECT_STREQ(test.GetMessageA(entry.id), entry.text.c_str()) << "message " << entry.id;
    for (const FileText& entry : file.captions)
        EXPECT_STREQ(test.GetDialogName(entry.id), entry.text.c_str()) << "dialog " << entry.id;
    for (const FileText& entry : file.controls)
        EXPECT_STREQ(test.GetDialogControlName(entry.dialogId, entry.id), entry.text.c_str())
            << "control " << entry.dialogId << "/" << entry.id;
}

TEST_F(Texts, EveryTextTheModuleOwnsIsInTheEnglishFile)
{
    const EnglishFile& file = English();
    auto inFile = [](const std::vector<FileText>& entries, unsigned int dialogId, unsigned int id) {
        for (const FileText& entry : entries)
            if (entry.dialogId == dialogId && entry.id == id)
                return true;
        return false;
    };
    size_t messages = 0, captions = 0, controls = 0;
    for (unsigned int id = 0; id < kAnyId; ++id) {
        if (texts::EnglishMessage(id)) {
            ++messages;
            EXPECT_TRUE(inFile(file.messages, 0, id)) << "message " << id;
        }
        if (!texts::EnglishCaption(id))
            continue;
        ++captions;
        EXPECT_TRUE(inFile(file.captions, 0, id)) << "dialog " << id;
        for (unsigned int control = 0; control < kAnyId; ++control)
            if (texts::EnglishControlText(id, control)) {
                ++controls;
                EXPECT_TRUE(inFile(file.controls, id, control)) << "control " << id << "/" << control;
            }
    }
    EXPECT_EQ(messages, file.messages.size());
    EXPECT_EQ(captions, file.captions.size());
    EXPECT_EQ(controls, file.controls.size());
}

TEST_F(Texts, OtherIdsAreTheHosts)
{
    // The host's stand-in names what it was asked for, unlike an empty text.
    EXPECT_STREQ(test.GetMessageA(19), "host message 19");
    EXPECT_STREQ(test.GetMessageA(47), "host message 47");
    EXPECT_STREQ(test.GetDialogName(2019), "host dialog 2019");
    EXPECT_STREQ(test.GetDialogControlName(2025, 1), "host control 2025/1");
    EXPECT_STREQ(test.GetMessageA(19), test.CDAXOTester::GetMessageA(19));
    EXPECT_STREQ(test.GetMessageA(47), test.CDAXOTester::GetMessageA(47));
    EXPECT_STREQ(test.GetDialogName(2019), test.CDAXOTester::GetDialogName(2019));
    EXPECT_STREQ(test.GetDialogControlName(2025, 1), test.CDAXOTester::GetDialogControlName(2025, 1));
}

TEST_F(Texts, AskedThroughTheHostsVirtualTable)
{
    CTest& host = test;
    EXPECT_STREQ(host.GetMessageA(msg::AlreadyConfigured), texts::EnglishMessage(msg::AlreadyConfigured));
    EXPECT_STREQ(host.GetDialogName(2021), "DAXO configuration test");
    EXPECT_STREQ(host.GetDialogControlName(2021, 32800), "Test of new DAXO configuration");
    EXPECT_STREQ(host.GetDialogControlName(2020, 32786), "without response") << "has a text though never asked";
}

TEST_F(Texts, ReadingOfTheItemId)
{
    struct Case {
        const char* idText;
        unsigned int matches;
        unsigned int doesNotMatch;
    };
    const Case cases[] = {
        {"39", 39, 0},
        {" 39", 39, 0},
        {"&#9;&#10; 39", 39, 0},
        {"39abc", 39, 0},
        {"+39", 39, 0},
        {"039", 39, 0},
        {"0x27", 0, 39},
        {"abc", 0, 39},
        {"", 0, 39},
        {"- 39", 0, 39},
        {"-1", 4294967295u, 1},
        {"4294967295", 2147483647u, 4294967295u},
        {"99999999999", 2147483647u, 1215752191u},
        {"-99999999999", 2147483648u, 0},
        {"-2147483648", 2147483648u, 0},
    };
    for (const Case& item : cases) {
        UseMessages(std::string("<MessageItem ID=\"") + item.idText + "\" text=\"from the file\"/>");
        EXPECT_EQ(Message(item.matches), "from the file") << "ID \"" << item.idText << "\"";
        EXPECT_NE(Message(item.doesNotMatch), "from the file") << "ID \"" << item.idText << "\"";
    }

    // An item without an ID matches nothing, not even 0.
    UseMessages("<MessageItem text=\"no id\"/><MessageItem ID=\"21\" text=\"after it\"/>");
    EXPECT_EQ(Message(0), test.CDAXOTester::GetMessageA(0));
    EXPECT_EQ(Message(msg::BadAddress), "after it");
}

TEST_F(Texts, FirstMatchingItemDecides)
{
    UseMessages("<MessageItem ID=\"35\" text=\"first\"/><MessageItem ID=\"35\" text=\"second\"/>"
                "<MessageItem ID=\"36\"/><MessageItem ID=\"36\" text=\"never seen\"/>"
                "<MessageItem ID=\"37\" text=\"\"/>"
                "<MessageItem ID=\"5\" text=\"host id in the file\"/>");
    EXPECT_EQ(Message(msg::AlreadyConfigured), "first");
    EXPECT_STREQ(test.GetMessageA(msg::RepeatRefused), texts::EnglishMessage(msg::RepeatRefused)) << "no text: the English one";
    const char* empty = test.GetMessageA(msg::ConfigDialogShown);
    ASSERT_NE(empty, nullptr);
    EXPECT_STREQ(empty, "") << "an empty text is an answer";
    EXPECT_EQ(Message(5), "host id in the file");
    EXPECT_STREQ(test.GetMessageA(msg::TestDialogShown), texts::EnglishMessage(msg::TestDialogShown));
}

TEST_F(Texts, ItemsOutsideTheirPlaceAreNotSeen)
{
    Use("<MessageItem ID=\"20\" text=\"no Message around\"/>"
        "<Dialog><MessageItem ID=\"21\" text=\"in the dialogs\"/></Dialog>"
        "<Message><Dialog><MessageItem ID=\"22\" text=\"one level too deep\"/></Dialog></Message>");
    for (unsigned int id = 20; id <= 22; ++id)
        EXPECT_STREQ(test.GetMessageA(id), texts::EnglishMessage(id)) << id;

    std::string path = TempPath("other-root.xml");
    WriteFileBytes(path, "<Language><Message><MessageItem ID=\"20\" text=\"x\"/></Message></Language>");
    test.SetLanguageFile(path.c_str());
    ASSERT_EQ(test.LanguageFileOpen(), 1);
    EXPECT_STREQ(test.GetMessageA(msg::AddressWrapped), texts::EnglishMessage(msg::AddressWrapped));
}

TEST_F(Texts, DialogCaptionsAndControls)
{
    Use("<Dialog>"
        "<DialogItem ID=\"2020\" text=\"Caption 2020\">"
        "  <ControlItem ID=\"32815\" text=\"Adr:\"/>"
        "  <ControlItem ID=\"32815\" text=\"second\"/>"
        "  <ControlItem ID=\"32816\"/>"
        "  <ControlItem ID=\"32817\" text=\"\"/>"
        "  <ControlItem ID=\"32776\" text=\"I0 + I1\"/>"
        "</DialogItem>"
        "<DialogItem ID=\"2020\" text=\"second item\"><ControlItem ID=\"32818\" text=\"never seen\"/></DialogItem>"
        "<DialogItem ID=\"2021\"/>"
        "<DialogItem ID=\"2025\" text=\"Host dialog\"><ControlItem ID=\"1\" text=\"Host OK\"/></DialogItem>"
        "</Dialog>");
    EXPECT_STREQ(test.GetDialogName(2020), "Caption 2020");
    EXPECT_STREQ(test.GetDialogName(2021), "DAXO configuration test") << "an item without a text";
    EXPECT_STREQ(test.GetDialogName(2022), "Configuration of next unit ...");
    EXPECT_STREQ(test.GetDialogName(2025), "Host dialog");

    EXPECT_STREQ(test.GetDialogControlName(2020, 32815), "Adr:");
    EXPECT_STREQ(test.GetDialogControlName(2020, 32816), "Answer delay [ms]:");
    EXPECT_STREQ(test.GetDialogControlName(2020, 32817), "");
    EXPECT_STREQ(test.GetDialogControlName(2020, 32818), "Parity:") << "only the first DialogItem 2020 is searched";
    EXPECT_STREQ(test.GetDialogControlName(2020, 32776), "I0 + I1") << "the file may name any control";
    EXPECT_STREQ(test.GetDialogControlName(2021, 32801),
                 "Test is proceeding now. Dialog will close by succesfully test.\n\nTest remains no longer than 10s.")
        << "a DialogItem without ControlItem tags";
    EXPECT_STREQ(test.GetDialogControlName(2025, 1), "Host OK");
    EXPECT_STREQ(test.GetDialogControlName(2025, 2), test.CDAXOTester::GetDialogControlName(2025, 2));
}

TEST_F(Texts, AControlWithoutTextIsADiagnosedProgrammingError)
{
    daxotest::DebugCapture debug;
    const unsigned int missing[][2] = {{2020, 32776}, {2020, 32771}, {2021, 1}, {2022, 32800}};
    for (const auto& ids : missing) {
        const char* text = test.GetDialogControlName(ids[0], ids[1]);
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text, "");
        EXPECT_TRUE(debug.Contains("dialog " + std::to_string(ids[0]) + " has no text for control " + std::to_string(ids[1])));
    }
    ASSERT_EQ(debug.Lines().size(), 4u);
    EXPECT_EQ(debug.Lines()[0].rfind("TestDAXO01(", 0), 0u) << debug.Lines()[0];

    test.GetDialogControlName(2023, 1);
    test.GetDialogControlName(2020, 32786);
    EXPECT_EQ(debug.Lines().size(), 4u) << "other dialogs and known controls are no error";
}

TEST_F(Texts, TheEnglishFileIsReadThroughTheModule)
{
    UseShipped("en");
    for (const FileText& entry : English().messages) {
        const char* text = test.GetMessageA(entry.id);
        EXPECT_STREQ(text, entry.text.c_str()) << entry.id;
        EXPECT_NE(text, texts::EnglishMessage(entry.id)) << "answered from the file";
    }
}

// What a text looks like apart from its words: line breaks, tabs and placeholders.
std::string Shape(const std::string& text)
{
    std::string shape;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || text[i] == '\t')
            shape += text[i];
        else if (text[i] == '%' && i + 1 < text.size())
            shape += text.substr(i++, 2);
    }
    return shape;
}

TEST_F(Texts, TheCzechFileAnswersEveryText)
{
    const EnglishFile& english = English();
    UseShipped("cs");
    auto check = [](const char* text, const char* englishText, const char* moduleText, const std::string& what) {
        ASSERT_NE(text, nullptr) << what;
        EXPECT_NE(text, moduleText) << what << " comes from the file";
        if (std::string(englishText) != "OK") {
            EXPECT_STRNE(text, englishText) << what;
        }
        EXPECT_EQ(Shape(text), Shape(englishText)) << what;
        EXPECT_EQ(std::string(text).find('?') == std::string::npos, std::string(englishText).find('?') == std::string::npos)
            << what << ": every character fits the code page";
    };
    for (const FileText& entry : english.messages)
        check(test.GetMessageA(entry.id), entry.text.c_str(), texts::EnglishMessage(entry.id),
              "message " + std::to_string(entry.id));
    for (const FileText& entry : english.captions)
        check(test.GetDialogName(entry.id), entry.text.c_str(), texts::EnglishCaption(entry.id),
              "dialog " + std::to_string(entry.id));
    for (const FileText& entry : english.controls)
        check(test.GetDialogControlName(entry.dialogId, entry.id), entry.text.c_str(),
              texts::EnglishControlText(entry.dialogId, entry.id),
              "control " + std::to_string(entry.dialogId) + "/" + std::to_string(entry.id));

    // In code page 1250.
    EXPECT_STREQ(test.GetMessageA(msg::BadAddress), "Komunika\xE8n\xED adresa:\n\n     o\xE8" "ek\xE1van\xE1 hodnota je od 1 do 125");
    EXPECT_STREQ(test.GetMessageA(msg::Summary), "konfigurace pro %s: adresa %d; %d Bd, parita %s");
    EXPECT_STREQ(test.GetDialogControlName(2020, 32817), "Komunika\xE8n\xED rychlost [Bd]:");
    EXPECT_STREQ(test.GetDialogControlName(2022, 2), "Storno");

    // Closed again, the English texts are back.
    test.LanguageFileClose();
    EXPECT_STREQ(test.GetMessageA(msg::BadAddress), texts::EnglishMessage(msg::BadAddress));
}

} // namespace
