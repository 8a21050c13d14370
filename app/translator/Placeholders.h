#pragma once
// The placeholders of the module's texts as the module reads them, and a message as the module
// will fill it. The module fills "%s" and "%d" only, by kind and in an order of its own whatever
// the places: the first "%s" of message 39 gets the serial, the second the parity word, the first
// "%d" the address, the second the baud rate. A translation that changes which kind stands where
// is filled all the same, with the values where the translator may not expect them.
#include <string>
#include <vector>

namespace daxohost {

extern const char kTextPlaceholder[];     // "%s"
extern const char kNumberPlaceholder[];   // "%d"

// Every conversion of the text in the order it stands: "%s", "%d", or another one that reads as
// a printf conversion ("%2.1f", "%x", "%%"), which the module leaves as it is. A percent sign
// followed by neither ("100 %") is plain text.
std::vector<std::string> PlaceholdersOf(const std::string& text);
bool IsFilledByModule(const std::string& placeholder);

// "2 %s and 1 %d"
std::string PlaceholderCounts(const std::string& text);
// The kinds stand in the same order in both texts ("%s %d %d %s").
bool SameOrderOfKinds(const std::string& text, const std::string& reference);

// The message as the module fills it, with example values (serial 00000712, address 5, 9600 Bd,
// parity "žádná (NO)"); code page 1250 like the text. Empty for a message without placeholders
// the module fills.
std::string FilledExample(unsigned messageId, const std::string& text);

} // namespace daxohost
