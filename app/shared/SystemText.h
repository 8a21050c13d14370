#pragma once
// Windows' own words for an error, as the operator and the console read them.
#include <windows.h>
#include <string>

namespace daxohost {

// The system's text of `error` in UTF-8, its inserts (%1, %2, ...) filled with `insert` (a
// file name, say), without the closing full stop and line end: "There is not enough space on
// the disk". "error N" when the system has no text for it.
std::string SystemErrorText(DWORD error, const std::string& insert = std::string());

} // namespace daxohost
