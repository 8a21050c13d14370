#pragma once
// A text on one line, for logs and messages: line feed, tab and backslash spelt out as \n, \t
// and \\, carriage returns dropped.
#include <string>

namespace opdriver {

inline std::string OneLine(const std::string& text)
{
    std::string line;
    line.reserve(text.size());
    for (char c : text) {
        if (c == '\n')
            line += "\\n";
        else if (c == '\t')
            line += "\\t";
        else if (c == '\\')
            line += "\\\\";
        else if (c != '\r')
            line += c;
    }
    return line;
}

} // namespace opdriver
