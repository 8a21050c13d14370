#pragma once
// The characters of a language file as its reader is shaped around them: UTF-8 and UTF-16,
// the character classes of XML 1.0, the escapes of our own for what the reader would spoil.
#include <string>

namespace xmlinput {

// Escapes of our own in attribute values: kEscape, then the escaped UTF-16 unit moved to
// where no other escape lands (a surrogate up by 0x800, white space up by 0xE800, the escape
// itself as itself). kEscape is a noncharacter, which no real text holds, but one that does is
// handed over escaped as well, so that it reads back as itself.
const wchar_t kEscape = 0xFDD0;

inline unsigned long Escaped(unsigned long unit)
{
    return unit == kEscape ? unit : unit >= 0xD800 ? unit + 0x800 : unit + 0xE800;
}

inline wchar_t Unescaped(wchar_t escaped)
{
    return static_cast<wchar_t>(escaped == kEscape ? escaped : escaped < 0xE800 ? escaped - 0x800 : escaped - 0xE800);
}

void AppendUtf8(std::string* out, unsigned long c);

// UTF-16 (with a byte-order mark, or recognised by its first '<') becomes UTF-8, and a UTF-8
// byte-order mark is dropped: the check counts columns from the first character. A lone
// surrogate, or an odd last byte, becomes a byte that no UTF-8 holds, which the check refuses
// where it stands. Returns whether the file was UTF-16.
bool ToUtf8(std::string* bytes);

const unsigned long kEnd = 0xFFFFFFFFul;   // no character: the end of the file
const unsigned long kBad = 0xFFFFFFFEul;   // no character: bytes that are not UTF-8

// The character at `at` and its length in bytes; strict UTF-8, no overlong forms, no surrogates.
unsigned long Decode(const std::string& text, size_t at, size_t* length);

bool IsChar(unsigned long c);

inline bool IsSpace(unsigned long c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsNameStart(unsigned long c);

bool IsNameChar(unsigned long c);

bool SameIgnoringCase(const std::string& a, const char* b);

// A UTF-8 name in the code page of the reader's texts, for a reason.
std::string Shown(const std::string& text, size_t at, size_t length);

} // namespace xmlinput
