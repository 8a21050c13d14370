#include "Placeholders.h"
#include "HostTexts.h"
#include "UnitContract.h"
#include <cctype>
#include <cstring>

namespace daxohost {

const char kTextPlaceholder[] = "%s";
const char kNumberPlaceholder[] = "%d";

namespace {

// What the module puts into a message, kind by kind in the order it fills them.
struct ExampleValues {
    unsigned messageId;
    std::vector<const char*> texts;     // for "%s", first to last
    std::vector<const char*> numbers;   // for "%d"
};

// Code page 1250, as the module's own parity word: "žádná (NO)".
const ExampleValues kExamples[] = {
    {msg::Summary, {"00000712", "\x9E\xE1\x64n\xE1 (NO)"}, {"5", "9600"}},
    {msg::ForType, {"VX1205.10"}, {}},
};

// The length of a printf conversion at `at` (a '%'), flags, width, precision and size included;
// 0 when none begins there. The blank flag is left out: "50 % off" is a sentence, not "% o".
size_t ConversionLength(const std::string& text, size_t at)
{
    size_t end = at + 1;
    while (end < text.size() && std::strchr("-+#0", text[end]))
        ++end;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
        ++end;
    if (end < text.size() && text[end] == '.')
        for (++end; end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]));)
            ++end;
    while (end < text.size() && std::strchr("hlLqjzt", text[end]))
        ++end;
    if (end < text.size() && (std::isalpha(static_cast<unsigned char>(text[end])) || text[end] == '%'))
        return end + 1 - at;
    return 0;
}

std::string KindsOf(const std::string& text)
{
    std::string kinds;
    for (const std::string& placeholder : PlaceholdersOf(text))
        if (IsFilledByModule(placeholder))
            kinds += placeholder[1];
    return kinds;
}

} // namespace

std::vector<std::string> PlaceholdersOf(const std::string& text)
{
    std::vector<std::string> found;
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at)) {
        const std::string pair = text.substr(at, 2);
        if (pair == kTextPlaceholder || pair == kNumberPlaceholder) {
            found.push_back(pair);
            at += 2;
            continue;
        }
        // "%%s": the module finds the "%s" inside, so the second '%' is looked at again.
        const size_t length = pair == "%%" ? 2 : ConversionLength(text, at);
        if (length)
            found.push_back(text.substr(at, length));
        at += pair == "%%" || !length ? 1 : length;
    }
    return found;
}

bool IsFilledByModule(const std::string& placeholder)
{
    return placeholder == kTextPlaceholder || placeholder == kNumberPlaceholder;
}

std::string PlaceholderCounts(const std::string& text)
{
    const std::string kinds = KindsOf(text);
    size_t texts = 0;
    for (char kind : kinds)
        texts += kind == 's';
    return std::to_string(texts) + " %s and " + std::to_string(kinds.size() - texts) + " %d";
}

bool SameOrderOfKinds(const std::string& text, const std::string& reference)
{
    return KindsOf(text) == KindsOf(reference);
}

std::string FilledExample(unsigned messageId, const std::string& text)
{
    for (const ExampleValues& example : kExamples)
        if (example.messageId == messageId)
            return FillByKind(text, std::vector<std::string>(example.texts.begin(), example.texts.end()),
                              std::vector<std::string>(example.numbers.begin(), example.numbers.end()));
    return std::string();
}

} // namespace daxohost
