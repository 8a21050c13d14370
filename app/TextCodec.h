#pragma once
// Scripts, logs and records are UTF-8 files; the module, its dialogs and the bench speak the
// ANSI code page (1250 for the Czech texts).
#include <string>

namespace daxohost {

// False when `utf8` is not valid UTF-8; characters that the code page lacks become '?'.
bool Utf8ToAnsi(const std::string& utf8, std::string* ansi);
std::string AnsiToUtf8(const std::string& ansi);
// A text on one line, for logs and messages: line feed, tab and backslash spelt out as \n, \t
// and \\, carriage returns dropped.
std::string EscapeControls(const std::string& text);

} // namespace daxohost
