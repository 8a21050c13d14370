#pragma once
// The module's texts: its English defaults and their look-up in the host's language file.
// Every text answered here is either a constant of the module or owned by the host's
// language-file reader; callers use it at once and do not keep it.

#include "UnitContract.h"

class CTest;


namespace texts {

// Moves of the host's language-file cursor.
const unsigned long kTop = 0x1;
const unsigned long kFirstChild = 0x10;
const unsigned long kNextSibling = 0x100;

// The English defaults; null for an id the module has no text for.
const char* EnglishMessage(unsigned int id);                                  // 20 to 46
const char* EnglishCaption(unsigned int dialogId);                            // 2020 to 2022
const char* EnglishControlText(unsigned int dialogId, unsigned int controlId);

// The "text" of the first matching item of the host's language file, walked through the
// test object's own cursor: TesterLanguage / Message / MessageItem, TesterLanguage / Dialog /
// DialogItem (/ ControlItem). Null when no item matches or the matching item has no text.
const char* FileMessage(CTest& host, unsigned int id);
const char* FileDialogName(CTest& host, unsigned int dialogId);
const char* FileControlName(CTest& host, unsigned int dialogId, unsigned int controlId);

} // namespace texts
