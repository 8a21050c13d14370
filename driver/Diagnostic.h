#pragma once
// The driver's word to the developer: "opdriver(line): text" on the debug output, through the
// toolkit so that a test or the host can capture it.
#include "DebugSink.h"
#include <string>

namespace opdriver {

inline void Diagnostic(int line, const std::string& text)
{
    const std::string message = "opdriver(" + std::to_string(line) + "): " + text + "\n";
    QuilletDebugOutput(message.c_str());
}

} // namespace opdriver
