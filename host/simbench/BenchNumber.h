#pragma once
// A number of a bench file as the INI functions' integer reading takes it (blanks, a sign, a
// 0x, 0o or 0b prefix, then digits), but without wrap-around: a value of any length is held in
// 64 bits, at their ends when it is larger.
#include <string>

struct BenchNumber {
    enum Form {
        Number,       // the whole text is a number
        TextAfter,    // a number followed by other text, which is not part of it
        NotANumber,   // no digit where the number would begin, or no text at all
    };
    Form form = NotANumber;
    long long value = 0;   // 0 when NotANumber
};

BenchNumber ReadBenchNumber(const std::string& text);
