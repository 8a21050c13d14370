#include "BenchFile.h"
#include "BenchLayout.h"
#include "BenchNumber.h"
#include "BenchSnapshot.h"
#include "UnitConfig.h"
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// A fixture holds no more units than this, and a unit takes no longer than this to answer an
// identification request: longer would outlast every wait of a script.
const long long kMaxUnits = 1000;
const long long kMaxIdentDelayMs = 10000;
// A unit that answers only after more polls than this is a silent one, which Silent=1 says.
const long long kMaxAnswersFrom = 1000000;
// Address, answer delay and parity are bytes of the unit's record: a value the record cannot
// hold would make the unit differ from the image it shows.
const long long kMaxRecordByte = 255;
// Beyond this many a warning would bury the first ones; the rest are counted.
const size_t kMaxWarningsShown = 100;
// A unit comes from production at this rate.
const long long kFactoryBaud = 9600;
// A value is quoted up to this many characters.
const size_t kMaxQuotedLength = 40;

// Hex digits to bytes; anything that is not a hex digit is skipped.
std::vector<unsigned char> ParseHex(const std::string& text)
{
    std::vector<unsigned char> bytes;
    int high = -1;
    for (char c : text) {
        int v = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10
              : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
        if (v < 0)
            continue;
        if (high < 0) {
            high = v;
        } else {
            bytes.push_back(static_cast<unsigned char>(high * 16 + v));
            high = -1;
        }
    }
    return bytes;
}

bool Within(long long value, long long low, long long high) { return value >= low && value <= high; }

// A value as a warning quotes it: the file is not trusted to hold short or printable text.
std::string Quoted(const std::string& text)
{
    std::string quoted;
    for (size_t i = 0; i < text.size() && i < kMaxQuotedLength; ++i)
        quoted += static_cast<unsigned char>(text[i]) < 0x20 ? '?' : text[i];
    return text.size() > kMaxQuotedLength ? quoted + "..." : quoted;
}

// The warnings of one file, in the order of the places they name.
class Warnings {
public:
    explicit Warnings(std::string path) : m_path(std::move(path)) {}
    void At(const BenchPlace& place, const std::string& text)
    {
        m_placed.push_back({place, "the bench file " + m_path + ", line " + std::to_string(place.line) + ", column " +
                                       std::to_string(place.column) + ": " + text});
    }
    void OfFile(const std::string& text) { m_file.push_back("the bench file " + m_path + " " + text); }
    std::string Text(const std::string& first) const
    {
        std::vector<std::pair<BenchPlace, std::string>> placed = m_placed;
        std::stable_sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) {
            return a.first.line != b.first.line ? a.first.line < b.first.line : a.first.column < b.first.column;
        });
        std::vector<std::string> lines;
        if (!first.empty())
            lines.push_back(first);
        for (const auto& warning : placed)
            lines.push_back(warning.second);
        lines.insert(lines.end(), m_file.begin(), m_file.end());
        std::string text;
        for (size_t i = 0; i < lines.size() && i < kMaxWarningsShown; ++i)
            text += (i ? "\n" : "") + lines[i];
        if (lines.size() > kMaxWarningsShown)
            text += "\nthe bench file " + m_path + ": " + std::to_string(lines.size() - kMaxWarningsShown) +
                    " more warnings are not shown";
        return text;
    }

private:
    std::string m_path;
    std::vector<std::pair<BenchPlace, std::string>> m_placed;
    std::vector<std::string> m_file;
};

// The values through the INI functions, as a Windows host reads them; the places from the
// layout of the same bytes.
class Ini {
public:
    Ini(const BenchLayout& layout, const std::string& path, Warnings* warnings)
        : m_layout(layout), m_path(path), m_warnings(warnings), m_buffer(layout.Bytes().size() + 2)
    {
    }
    // No value of the file is longer than the file.
    std::string Text(const char* section, const char* key, const char* fallback = "") const
    {
        ::GetPrivateProfileStringA(section, key, fallback, m_buffer.data(), static_cast<DWORD>(m_buffer.size()),
                                   m_path.c_str());
        return m_buffer.data();
    }
    bool Has(const char* section, const char* key) const { return Text(section, key, "\x01") != "\x01"; }

    // `key` as a number from `low` to `high`, `fallback` without one. A number beyond them is
    // held at the limit, and a value that is no number alone is taken as far as it is one;
    // each with a warning at the value.
    long long Number(const char* section, const char* key, long long fallback, long long low, long long high) const
    {
        const std::string text = Text(section, key, "\x01");
        if (text == "\x01")
            return fallback;
        const BenchNumber number = ReadBenchNumber(text);
        const std::string said = Said(section, key, text);
        if (number.form == BenchNumber::NotANumber) {
            Warn(section, key, said + " is not a number; the default " + std::to_string(fallback) + " is used");
            return fallback;
        }
        const std::string about = number.form == BenchNumber::TextAfter ? said + " has text after its number" : said;
        if (Within(number.value, low, high)) {
            if (number.form == BenchNumber::TextAfter)
                Warn(section, key, about + "; " + std::to_string(number.value) + " is used");
            return number.value;
        }
        const long long held = number.value < low ? low : high;
        Warn(section, key, about + (number.form == BenchNumber::TextAfter ? ", and it is beyond " : " is beyond ") +
                               "the limit of " + std::to_string(held) + "; " + std::to_string(held) + " is used");
        return held;
    }
    int Flag(const char* section, const char* key) const { return static_cast<int>(Number(section, key, 0, 0, 1)); }

    // "[Unit1] Parity=3" for a warning about the value.
    static std::string Said(const char* section, const char* key, const std::string& text)
    {
        return std::string("[") + section + "] " + key + "=" + Quoted(text);
    }
    void Warn(const char* section, const char* key, const std::string& text) const
    {
        BenchPlace keyAt, valueAt;
        if (m_layout.Find(section, key, &keyAt, &valueAt))
            m_warnings->At(valueAt, text);
        else   // the INI functions read what the layout does not see: say so rather than guess
            m_warnings->OfFile("at a line not found: " + text);
    }

private:
    const BenchLayout& m_layout;
    std::string m_path;
    Warnings* m_warnings;
    mutable std::vector<char> m_buffer;
};

// A rate the unit does not know is the one its record would store: the fastest known not above.
int KnownRate(const Ini& ini, const char* section)
{
    const long long baud = ini.Number(section, "Baud", kFactoryBaud, kBaudRates[0].baud, kBaudRates[kBaudRateCount - 1].baud);
    int rate = kBaudRates[0].baud;
    std::string known;
    for (const BaudRate& each : kBaudRates) {
        if (each.baud <= baud)
            rate = each.baud;
        known += std::string(known.empty() ? "" : ", ") + each.text;
    }
    if (rate != baud)
        ini.Warn(section, "Baud", Ini::Said(section, "Baud", std::to_string(baud)) + " is not a rate the unit knows (" +
                                      known + "); " + std::to_string(rate) + ", the rate its record stores for it, is used");
    return rate;
}

// Deliberate test benches may give a unit an address or parity code the module never writes:
// the unit keeps it, with a word.
int Address(const Ini& ini, const char* section)
{
    const long long address = ini.Number(section, "Address", kMinAddress, 0, kMaxRecordByte);
    if (address < kMinAddress || address > kMaxAddress)
        ini.Warn(section, "Address", Ini::Said(section, "Address", std::to_string(address)) +
                                         " is no fieldbus address (" + std::to_string(kMinAddress) + " to " +
                                         std::to_string(kMaxAddress) + "); the unit keeps it");
    return static_cast<int>(address);
}

int Parity(const Ini& ini, const char* section)
{
    const long long parity = ini.Number(section, "Parity", kParityNone, 0, kMaxRecordByte);
    if (parity >= kParityCount)
        ini.Warn(section, "Parity", Ini::Said(section, "Parity", std::to_string(parity)) +
                                        " is a code the unit does not know (0 none, 1 odd, 2 even); the unit keeps it "
                                        "and answers on no line until it is written");
    return static_cast<int>(parity);
}

std::string WhyUnreadable(BenchLayout::Status status, const BenchLayout& layout)
{
    switch (status) {
    case BenchLayout::Missing: return "does not exist";
    case BenchLayout::Empty: return "is empty";
    case BenchLayout::TooLarge:
        return "holds " + std::to_string(layout.FileBytes()) + " bytes, beyond the limit of " +
               std::to_string(BenchLayout::kMaxBytes) + " of a bench file";
    case BenchLayout::NotText:
        return "holds a NUL character at line " + std::to_string(layout.NulAt().line) + ", column " +
               std::to_string(layout.NulAt().column) + ", so it is no text file";
    case BenchLayout::Read: break;
    }
    return "";
}

void WarnOfRepeats(const BenchLayout& layout, Warnings* warnings)
{
    for (const BenchLayout::Repeat& repeat : layout.Repeats()) {
        const std::string first = "line " + std::to_string(repeat.first.line);
        if (repeat.key.empty())
            warnings->At(repeat.at, "[" + repeat.section + "] repeats the section of " + first +
                                        "; only that one is read, and the keys of this one are ignored");
        else
            warnings->At(repeat.at, "[" + repeat.section + "] " + repeat.key + " repeats the key of " + first +
                                        "; the value of " + first + " is used");
    }
}

} // namespace

void PadText(const std::string& text, unsigned char* out, size_t size, unsigned char pad)
{
    std::memset(out, pad, size);
    std::memcpy(out, text.data(), text.size() < size ? text.size() : size);
}

BenchSettings ReadBenchFile(const std::string& path)
{
    BenchSettings bench;
    BenchLayout layout;
    const BenchLayout::Status status = layout.Load(path);
    if (status != BenchLayout::Read) {
        bench.warning = "the bench file " + path + " " + WhyUnreadable(status, layout) + ": no unit waits at the fixture";
        return bench;
    }
    BenchSnapshot snapshot(layout.Bytes(), path);
    Warnings warnings(path);
    WarnOfRepeats(layout, &warnings);
    Ini ini(layout, snapshot.Path(), &warnings);
    if (ini.Has("Host", "UserConfig")) {
        std::vector<unsigned char> bytes = ParseHex(ini.Text("Host", "UserConfig"));
        std::memcpy(bench.userConfig, bytes.data(),
                    bytes.size() < sizeof bench.userConfig ? bytes.size() : sizeof bench.userConfig);
        bench.hasUserConfig = true;
    }
    if (ini.Has("Host", "DefaultBlock")) {
        std::vector<unsigned char> bytes = ParseHex(ini.Text("Host", "DefaultBlock"));
        std::memcpy(bench.defaultBlock, bytes.data(),
                    bytes.size() < sizeof bench.defaultBlock ? bytes.size() : sizeof bench.defaultBlock);
        bench.hasDefaultBlock = true;
    }
    bench.reconnectFails = ini.Flag("Bench", "ReconnectFails") != 0;
    const long long count = ini.Number("Bench", "Units", 0, 0, kMaxUnits);
    for (long long i = 1; i <= count; ++i) {
        char section[32];
        std::snprintf(section, sizeof section, "Unit%lld", i);
        BenchUnitSettings unit{};
        if (ini.Has(section, "TypeCodeHex")) {
            std::vector<unsigned char> bytes = ParseHex(ini.Text(section, "TypeCodeHex"));
            std::memset(unit.typeCode, ' ', sizeof unit.typeCode);
            std::memcpy(unit.typeCode, bytes.data(), bytes.size() < 16 ? bytes.size() : 16);
        } else {
            PadText(ini.Text(section, "TypeCode", "VX1205.10"), unit.typeCode, 16, ' ');
        }
        if (ini.Has(section, "SerialHex")) {
            std::vector<unsigned char> bytes = ParseHex(ini.Text(section, "SerialHex"));
            std::memcpy(unit.serial, bytes.data(), bytes.size() < 8 ? bytes.size() : 8);
        } else {
            // A long series needs no section per unit: each unit without a serial of its own
            // is told apart by its number at the fixture.
            char numbered[24];
            std::snprintf(numbered, sizeof numbered, "%08lld", i);
            PadText(ini.Text(section, "Serial", numbered), unit.serial, 8, 0);
        }
        unit.address = Address(ini, section);
        unit.baud = KnownRate(ini, section);
        unit.parity = Parity(ini, section);
        unit.answerDelay = static_cast<int>(ini.Number(section, "AnswerDelay", 0, 0, kMaxRecordByte));
        unit.writeProtect = ini.Flag(section, "WriteProtect");
        unit.silent = ini.Flag(section, "Silent");
        unit.answersFrom = static_cast<int>(ini.Number(section, "AnswersFrom", 1, 1, kMaxAnswersFrom));
        unit.identDelay = static_cast<int>(ini.Number(section, "IdentDelay", 0, 0, kMaxIdentDelayMs));
        unit.writeFails = ini.Flag(section, "WriteFails");
        bench.units.push_back(unit);
    }
    std::string noUnit;
    if (bench.units.empty())
        noUnit = "the bench file " + path + " " +
                 (ini.Has("Bench", "Units") ? "says Units=" + Quoted(ini.Text("Bench", "Units")) : "has no key Units") +
                 " in its section [Bench]: no unit waits at the fixture";
    else if (!bench.hasUserConfig)   // without a unit the configuration dialog never opens
        warnings.OfFile("has no [Host] UserConfig: the host has no stored configuration, so the configuration dialog "
                        "opens with its fields empty and \"Write and test\" disabled");
    bench.warning = warnings.Text(noUnit);
    return bench;
}
