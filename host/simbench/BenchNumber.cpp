#include "BenchNumber.h"
#include <climits>

namespace {

int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n'; }

} // namespace

BenchNumber ReadBenchNumber(const std::string& text)
{
    BenchNumber number;
    size_t at = 0;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    unsigned base = 10;
    if (at + 1 < text.size() && text[at] == '0') {
        const char prefix = text[at + 1];
        base = (prefix == 'x' || prefix == 'X') ? 16 : (prefix == 'o' || prefix == 'O') ? 8
             : (prefix == 'b' || prefix == 'B') ? 2 : 10;
        if (base != 10)
            at += 2;
    }
    // Past this magnitude the value is held: both ends of 64 bits lie beyond every limit of a
    // bench, so no digit after it can change what is used.
    const unsigned long long kHeld = static_cast<unsigned long long>(LLONG_MAX) + 1;
    unsigned long long magnitude = 0;
    size_t digits = 0;
    for (; at < text.size(); ++at, ++digits) {
        const unsigned digit = static_cast<unsigned>(DigitValue(text[at]));
        if (digit >= base)
            break;
        magnitude = magnitude > (kHeld - digit) / base ? kHeld : magnitude * base + digit;
    }
    if (digits == 0)
        return number;
    number.form = at == text.size() ? BenchNumber::Number : BenchNumber::TextAfter;
    if (negative)
        number.value = magnitude >= kHeld ? LLONG_MIN : -static_cast<long long>(magnitude);
    else
        number.value = magnitude >= kHeld ? LLONG_MAX : static_cast<long long>(magnitude);
    return number;
}
