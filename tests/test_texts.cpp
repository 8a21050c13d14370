// The module's texts as the host's language file and the module's own English defaults give
// them: a test object over the real reader and language files on disk.
#include "LanguageFile.h"
#include "TestDAXO01.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

using daxotest::TempPath;
using daxotest::WriteFileBytes;

namespace {

struct Message {
    unsigned int id;
    const char* text;
};
struct Caption {
    unsigned int dialogId;
    const char* text;
};
struct Control {
    unsigned int dialogId;
    unsigned int controlId;
    const char* text;
};

const Message kMessages[] = {
    {20, "Module address can not be greater than 125!\nNext unit will have initialize address as 1."},
    {21, "Communication address:\n\n     expected value is from 1 to 125"},
    {22, "Answer delay:\n\n     expected value is from 0 to 254"},
    {23, "Minimal pulse length of input I0:\n\n     expected value is from 0 to 637.5ms\t"},
    {24, "Minimal pulse length of input I1:\n\n     expected value is from 0 to 637.5ms\t"},
    {25, "Minimal pulse length of input I2:\n\n     expected value is from 0 to 637.5ms\t"},
    {26, "Minimal pulse length of input I3:\n\n     expected value is from 0 to 637.5ms\t"},
    {27, "Maximal pulse length of input I0:\n\n     expected value is from minimal to 637.5ms\t"},
    {28, "Maximal pulse length of input I1:\n\n     expected value is from minimal to 637.5ms\t"},
    {29, "Maximal pulse length of input I2:\n\n     expected value is from minimal to 637.5ms\t"},
    {30, "Maximal pulse length of input I3:\n\n     expected value is from minimal to 637.5ms\t"},
    {31, "configuration has been succesfully written to EEPROM"},
    {32, "EEPROM configuration write error!"},
    {33, "EEPROM configuration write error!"},
    {34, "DAXO configuration"},
    {35, "Unit with this serial number already has been configured.!\t\n\nDo you really want to configure this unit again?\t"},
    {36, "unit series configuration user break"},
    {37, "configuration dialog is displayed"},
    {38, "dialog for new setting test is displayed"},
    {39, "configuration for %s: address %d; %d Bd, parity %s"},
    {40, "DAXO configuration has been succesfully finished"},
    {41, "unit series configuration user break"},
    {42, "new setting test error"},
    {43, "configuration user break"},
    {44, "for type %s"},
    {45, "there is no configuration"},
    {46, "Communication timeout:\n\n     expected value is from 1 to 65535\t"},
};
const Caption kCaptions[] = {
    {2020, "DAXO configuration"},
    {2021, "DAXO configuration test"},
    {2022, "Configuration of next unit ..."},
};
const Control kControls[] = {
    {2020, 2, "Cancel"},
    {2020, 32786, "without response"},
    {2020, 32788, "Write and test"},
    {2020, 32789, "configuration unit series"},
    {2020, 32815, "Address:"},
    {2020, 32816, "Answer delay [ms]:"},
    {2020, 32817, "Baud rate [Bd]:"},
    {2020, 32818, "Parity:"},
    {2020, 32819, "Quadrature input:"},
    {2020, 32820, "Active input current I0 a I1:"},
    {2020, 32821, "Active input current I2 a I3:"},
    {2020, 32822, "minimum"},
    {2020, 32823, "maximum"},
    {2020, 32824, "I0 - time between pulses [ms]:"},
    {2020, 32825, "I1 - time between pulses [ms]:"},
    {2020, 32826, "I2 - time between pulses [ms]:"},
    {2020, 32827, "I3 - time between pulses [ms]:"},
    {2020, 32830, "Communication timeout [ms]"},
    {2021, 2, "Back to module configuration"},
    {2021, 32800, "Test of new DAXO configuration"},
    {2021, 32801, "Test is proceeding now. Dialog will close by succesfully test.\n\nTest remains no longer than 10s."},
    {2022, 1, "OK"},
    {2022, 2, "Cancel"},
    {2022, 32795, "Connect next unit for configration"},
};

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

TEST_F(Texts, EnglishDefaultsWithoutALanguageFile)
{
    for (const auto& entry : kMessages)
        EXPECT_STREQ(test.GetMessageA(entry.id), entry.text) << entry.id;
    for (const auto& entry : kCaptions)
        EXPECT_STREQ(test.GetDialogName(entry.dialogId), entry.text) << entry.dialogId;
    for (const auto& entry : kControls)
        EXPECT_STREQ(test.GetDialogControlName(entry.dialogId, entry.controlId), entry.text)
            << entry.dialogId << "/" << entry.controlId;

    // Other ids are the host's.
    EXPECT_STREQ(test.GetMessageA(19), test.CDAXOTester::GetMessageA(19));
    EXPECT_STREQ(test.GetMessageA(47), test.CDAXOTester::GetMessageA(47));
    EXPECT_STREQ(test.GetDialogName(2019), test.CDAXOTester::GetDialogName(2019));
    EXPECT_STREQ(test.GetDialogControlName(2025, 1), test.CDAXOTester::GetDialogControlName(2025, 1));
}

TEST_F(Texts, AskedThroughTheHostsVirtualTable)
{
    CTest& host = test;
    EXPECT_STREQ(host.GetMessageA(35), kMessages[35 - 20].text);
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
    EXPECT_EQ(Message(21), "after it");
}

TEST_F(Texts, FirstMatchingItemDecides)
{
    UseMessages("<MessageItem ID=\"35\" text=\"first\"/><MessageItem ID=\"35\" text=\"second\"/>"
                "<MessageItem ID=\"36\"/><MessageItem ID=\"36\" text=\"never seen\"/>"
                "<MessageItem ID=\"37\" text=\"\"/>"
                "<MessageItem ID=\"5\" text=\"host id in the file\"/>");
    EXPECT_EQ(Message(35), "first");
    EXPECT_STREQ(test.GetMessageA(36), kMessages[36 - 20].text) << "no text: the English one";
    const char* empty = test.GetMessageA(37);
    ASSERT_NE(empty, nullptr);
    EXPECT_STREQ(empty, "") << "an empty text is an answer";
    EXPECT_EQ(Message(5), "host id in the file");
    EXPECT_STREQ(test.GetMessageA(38), kMessages[38 - 20].text);
}

TEST_F(Texts, ItemsOutsideTheirPlaceAreNotSeen)
{
    Use("<MessageItem ID=\"20\" text=\"no Message around\"/>"
        "<Dialog><MessageItem ID=\"21\" text=\"in the dialogs\"/></Dialog>"
        "<Message><Dialog><MessageItem ID=\"22\" text=\"one level too deep\"/></Dialog></Message>");
    for (unsigned int id = 20; id <= 22; ++id)
        EXPECT_STREQ(test.GetMessageA(id), kMessages[id - 20].text) << id;

    std::string path = TempPath("other-root.xml");
    WriteFileBytes(path, "<Language><Message><MessageItem ID=\"20\" text=\"x\"/></Message></Language>");
    test.SetLanguageFile(path.c_str());
    ASSERT_EQ(test.LanguageFileOpen(), 1);
    EXPECT_STREQ(test.GetMessageA(20), kMessages[0].text);
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

TEST_F(Texts, TheEnglishFileSpellsTheDefaultsOut)
{
    UseShipped("en");
    for (const auto& entry : kMessages) {
        const char* text = test.GetMessageA(entry.id);
        EXPECT_STREQ(text, entry.text) << entry.id;
        EXPECT_NE(text, entry.text) << "answered from the file";
    }
    for (const auto& entry : kCaptions)
        EXPECT_STREQ(test.GetDialogName(entry.dialogId), entry.text) << entry.dialogId;
    for (const auto& entry : kControls)
        EXPECT_STREQ(test.GetDialogControlName(entry.dialogId, entry.controlId), entry.text)
            << entry.dialogId << "/" << entry.controlId;
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
    // The module's own constants, to tell them from answers out of the file.
    std::vector<const char*> english;
    for (const auto& entry : kMessages)
        english.push_back(test.GetMessageA(entry.id));
    for (const auto& entry : kCaptions)
        english.push_back(test.GetDialogName(entry.dialogId));
    for (const auto& entry : kControls)
        english.push_back(test.GetDialogControlName(entry.dialogId, entry.controlId));

    UseShipped("cs");
    size_t i = 0;
    auto check = [&](const char* text, const char* englishText, const std::string& what) {
        ASSERT_NE(text, nullptr) << what;
        EXPECT_NE(text, english[i++]) << what << " comes from the file";
        if (std::string(englishText) != "OK") {
            EXPECT_STRNE(text, englishText) << what;
        }
        EXPECT_EQ(Shape(text), Shape(englishText)) << what;
        EXPECT_EQ(std::string(text).find('?') == std::string::npos, std::string(englishText).find('?') == std::string::npos)
            << what << ": every character fits the code page";
    };
    for (const auto& entry : kMessages)
        check(test.GetMessageA(entry.id), entry.text, "message " + std::to_string(entry.id));
    for (const auto& entry : kCaptions)
        check(test.GetDialogName(entry.dialogId), entry.text, "dialog " + std::to_string(entry.dialogId));
    for (const auto& entry : kControls)
        check(test.GetDialogControlName(entry.dialogId, entry.controlId), entry.text,
              "control " + std::to_string(entry.dialogId) + "/" + std::to_string(entry.controlId));

    // In code page 1250.
    EXPECT_STREQ(test.GetMessageA(21), "Komunika\xE8n\xED adresa:\n\n     o\xE8" "ek\xE1van\xE1 hodnota je od 1 do 125");
    EXPECT_STREQ(test.GetMessageA(39), "konfigurace pro %s: adresa %d; %d Bd, parita %s");
    EXPECT_STREQ(test.GetDialogControlName(2020, 32817), "Komunika\xE8n\xED rychlost [Bd]:");
    EXPECT_STREQ(test.GetDialogControlName(2022, 2), "Storno");

    // Closed again, the English texts are back.
    test.LanguageFileClose();
    EXPECT_STREQ(test.GetMessageA(21), kMessages[1].text);
}

} // namespace
