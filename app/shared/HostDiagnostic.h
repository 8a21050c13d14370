#pragma once
// The host application's word to its developer: "source(line): text" on the debug output,
// through the toolkit so that a console run shows it too.
#include "DebugSink.h"
#include <string>

namespace daxohost {

inline void Diagnostic(const char* source, int line, const std::string& text)
{
    const std::string message = std::string(source) + "(" + std::to_string(line) + "): " + text + "\n";
    QuilletDebugOutput(message.c_str());
}

} // namespace daxohost
