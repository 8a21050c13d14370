#pragma once
// Windows' own text for an error code, as UTF-8 for the console and the log, with its inserts
// (the "%1" of "%1 is not a valid Win32 application") filled with the file it is about.
#include <string>

namespace daxohost {

std::string SystemMessage(unsigned long error, const std::string& file);

} // namespace daxohost
