#include "Texts.h"
#include "Test.h"
#include <cstdlib>

namespace {

// The module's English texts, character for character; the host's language file can replace
// every one of them.
struct MessageText {
    unsigned int id;
    const char* text;
};

struct CaptionText {
    unsigned int dialogId;
    const char* text;
};

struct ControlText {
    unsigned int dialogId;
    unsigned int controlId;
    const char* text;
};

const MessageText kMessages[] = {
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

const CaptionText kCaptions[] = {
    {2020, "DAXO configuration"},
    {2021, "DAXO configuration test"},
    {2022, "Configuration of next unit ..."},
};

// 32786 has a text although its dialog never asks for it; the check boxes 32776 and 32777,
// the picture and the edit, list and spin controls keep their resource texts.
const ControlText kControls[] = {
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

// An item's "ID" is read the way strtol reads base 10 (leading white space, a sign, digits up
// to the first other character, 0 without digits, saturation at the 32-bit range of long)
// and compared as a 32-bit value.
bool IdMatches(const char* text, unsigned int id)
{
    return text && static_cast<unsigned int>(std::strtol(text, nullptr, 10)) == id;
}

// Moves the cursor to the first item of that name, inside the current tag, whose ID matches.
bool FindItem(CTest& host, const char* item, unsigned int id)
{
    for (int found = host.LanguageFileGetTag(texts::kFirstChild, item); found;
         found = host.LanguageFileGetTag(texts::kNextSibling, item))
        if (IdMatches(host.LanguageFileGetCurrentTagAttribute("ID"), id))
            return true;
    return false;
}

// Whether the section ("Message", "Dialog") and the tag above it exist is not asked: when
// they do not, the item moves find nothing.
bool FindSectionItem(CTest& host, const char* section, const char* item, unsigned int id)
{
    host.LanguageFileGetTag(texts::kTop, "TesterLanguage");
    host.LanguageFileGetTag(texts::kFirstChild, section);
    return FindItem(host, item, id);
}

} // namespace

namespace texts {

const char* EnglishMessage(unsigned int id)
{
    for (const MessageText& entry : kMessages)
        if (entry.id == id)
            return entry.text;
    return nullptr;
}

const char* EnglishCaption(unsigned int dialogId)
{
    for (const CaptionText& entry : kCaptions)
        if (entry.dialogId == dialogId)
            return entry.text;
    return nullptr;
}

const char* EnglishControlText(unsigned int dialogId, unsigned int controlId)
{
    for (const ControlText& entry : kControls)
        if (entry.dialogId == dialogId && entry.controlId == controlId)
            return entry.text;
    return nullptr;
}

const char* FileMessage(CTest& host, unsigned int id)
{
    if (!FindSectionItem(host, "Message", "MessageItem", id))
        return nullptr;
    return host.LanguageFileGetCurrentTagAttribute("text");
}

const char* FileDialogName(CTest& host, unsigned int dialogId)
{
    if (!FindSectionItem(host, "Dialog", "DialogItem", dialogId))
        return nullptr;
    return host.LanguageFileGetCurrentTagAttribute("text");
}

// Only the first DialogItem with the dialog's id is searched for the control.
const char* FileControlName(CTest& host, unsigned int dialogId, unsigned int controlId)
{
    if (!FindSectionItem(host, "Dialog", "DialogItem", dialogId) || !FindItem(host, "ControlItem", controlId))
        return nullptr;
    return host.LanguageFileGetCurrentTagAttribute("text");
}

} // namespace texts
