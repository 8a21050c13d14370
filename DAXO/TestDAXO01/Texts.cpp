#include "Texts.h"
#include "Test.h"
#include "resource.h"
#include <windows.h>
#include <stdlib.h>

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
    {msg::AddressWrapped, "Module address can not be greater than 125!\nNext unit will have initialize address as 1."},
    {msg::BadAddress, "Communication address:\n\n     expected value is from 1 to 125"},
    {msg::BadDelay, "Answer delay:\n\n     expected value is from 0 to 254"},
    {msg::BadMinPulseI0, "Minimal pulse length of input I0:\n\n     expected value is from 0 to 637.5ms\t"},
    {msg::BadMinPulseI0 + 1, "Minimal pulse length of input I1:\n\n     expected value is from 0 to 637.5ms\t"},
    {msg::BadMinPulseI0 + 2, "Minimal pulse length of input I2:\n\n     expected value is from 0 to 637.5ms\t"},
    {msg::BadMinPulseI0 + 3, "Minimal pulse length of input I3:\n\n     expected value is from 0 to 637.5ms\t"},
    {msg::BadMaxPulseI0, "Maximal pulse length of input I0:\n\n     expected value is from minimal to 637.5ms\t"},
    {msg::BadMaxPulseI0 + 1, "Maximal pulse length of input I1:\n\n     expected value is from minimal to 637.5ms\t"},
    {msg::BadMaxPulseI0 + 2, "Maximal pulse length of input I2:\n\n     expected value is from minimal to 637.5ms\t"},
    {msg::BadMaxPulseI0 + 3, "Maximal pulse length of input I3:\n\n     expected value is from minimal to 637.5ms\t"},
    {msg::Written, "configuration has been succesfully written to EEPROM"},
    {msg::WriteFailedLog, "EEPROM configuration write error!"},
    {msg::WriteFailedBox, "EEPROM configuration write error!"},
    {msg::Heading, "DAXO configuration"},
    {msg::AlreadyConfigured, "Unit with this serial number already has been configured.!\t\n\nDo you really want to configure this unit again?\t"},
    {msg::RepeatRefused, "unit series configuration user break"},
    {msg::ConfigDialogShown, "configuration dialog is displayed"},
    {msg::TestDialogShown, "dialog for new setting test is displayed"},
    {msg::Summary, "configuration for %s: address %d; %d Bd, parity %s"},
    {msg::Finished, "DAXO configuration has been succesfully finished"},
    {msg::SeriesEnded, "unit series configuration user break"},
    {msg::TestFailed, "new setting test error"},
    {msg::ConfigCancelled, "configuration user break"},
    {msg::ForType, "for type %s"},
    {msg::NoConfiguration, "there is no configuration"},
    {msg::BadTimeout, "Communication timeout:\n\n     expected value is from 1 to 65535\t"},
};

const CaptionText kCaptions[] = {
    {IDD_CONFIG, "DAXO configuration"},
    {IDD_TESTCONFIG, "DAXO configuration test"},
    {IDD_CONFIRM, "Configuration of next unit ..."},
};

// "without response" has a text although its dialog never asks for it; the quadrature check
// boxes, the picture and the edit, list and spin controls keep their resource texts.
const ControlText kControls[] = {
    {IDD_CONFIG, IDCANCEL, "Cancel"},
    {IDD_CONFIG, IDC_NOANSWER, "without response"},
    {IDD_CONFIG, IDC_WRITE, "Write and test"},
    {IDD_CONFIG, IDC_SERIES, "configuration unit series"},
    {IDD_CONFIG, IDC_LBL_ADDRESS, "Address:"},
    {IDD_CONFIG, IDC_LBL_DELAY, "Answer delay [ms]:"},
    {IDD_CONFIG, IDC_LBL_BAUD, "Baud rate [Bd]:"},
    {IDD_CONFIG, IDC_LBL_PARITY, "Parity:"},
    {IDD_CONFIG, IDC_LBL_QUAD, "Quadrature input:"},
    {IDD_CONFIG, IDC_LBL_CURRENT01, "Active input current I0 a I1:"},
    {IDD_CONFIG, IDC_LBL_CURRENT23, "Active input current I2 a I3:"},
    {IDD_CONFIG, IDC_LBL_MIN, "minimum"},
    {IDD_CONFIG, IDC_LBL_MAX, "maximum"},
    {IDD_CONFIG, IDC_LBL_I0, "I0 - time between pulses [ms]:"},
    {IDD_CONFIG, IDC_LBL_I1, "I1 - time between pulses [ms]:"},
    {IDD_CONFIG, IDC_LBL_I2, "I2 - time between pulses [ms]:"},
    {IDD_CONFIG, IDC_LBL_I3, "I3 - time between pulses [ms]:"},
    {IDD_CONFIG, IDC_TIMEOUT_ON, "Communication timeout [ms]"},
    {IDD_TESTCONFIG, IDCANCEL, "Back to module configuration"},
    {IDD_TESTCONFIG, IDC_TEST_HEADING, "Test of new DAXO configuration"},
    {IDD_TESTCONFIG, IDC_TEST_INFO, "Test is proceeding now. Dialog will close by succesfully test.\n\nTest remains no longer than 10s."},
    {IDD_CONFIRM, IDOK, "OK"},
    {IDD_CONFIRM, IDCANCEL, "Cancel"},
    {IDD_CONFIRM, IDC_CONFIRM_PROMPT, "Connect next unit for configration"},
};

// An item's "ID" is read the way strtol reads base 10 (leading white space, a sign, digits up
// to the first other character, 0 without digits, saturation at the 32-bit range of long)
// and compared as a 32-bit value.
bool IdMatches(const char* text, unsigned int id)
{
    return text && static_cast<unsigned int>(strtol(text, nullptr, 10)) == id;
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
