#pragma once
// Scripts, logs and records are UTF-8 files. The module, its dialogs, the language files and the
// bench speak code page 1250 whatever the machine's code page is; Windows' own texts (paths,
// error messages) come in the machine's ANSI code page.
#include <string>

namespace daxohost {

const unsigned kModuleCodePage = 1250;

// False when `utf8` is not valid UTF-8; characters that code page 1250 lacks become '?'.
bool Utf8ToModuleText(const std::string& utf8, std::string* text);
std::string ModuleTextToUtf8(const std::string& text);
std::string AnsiToUtf8(const std::string& ansi);
// For Windows' 8-bit calls (a message box): characters the machine's code page lacks become '?'.
std::string Utf8ToAnsi(const std::string& utf8);
// Between the 8-bit texts of a code page (CP_ACP, CP_UTF8, kModuleCodePage) and Windows' wide
// texts, for the calls that take only those; characters the code page lacks become '?'.
std::wstring WideFrom(const std::string& text, unsigned codePage);
std::string NarrowFrom(const std::wstring& wide, unsigned codePage);
// Windows draws the module's 8-bit texts in the machine's code page: its Czech letters come
// out right only where that is 1250. Empty there; elsewhere what the operator should know.
std::string CodePageNotice();

} // namespace daxohost
