#include "BenchFile.h"
#include <windows.h>
#include <cstdio>
#include <cstring>

namespace {

// A fixture holds no more units than this, and a unit takes no longer than this to answer an
// identification request: longer would outlast every wait of a script.
const int kMaxUnits = 1000;
const int kMaxIdentDelayMs = 10000;

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

class Ini {
public:
    explicit Ini(std::string path) : m_path(std::move(path)) {}
    std::string Text(const char* section, const char* key, const char* fallback = "") const
    {
        char buffer[1024];
        ::GetPrivateProfileStringA(section, key, fallback, buffer, sizeof buffer, m_path.c_str());
        return buffer;
    }
    bool Has(const char* section, const char* key) const
    {
        return Text(section, key, "\x01") != "\x01";
    }
    int Int(const char* section, const char* key, int fallback) const
    {
        return static_cast<int>(::GetPrivateProfileIntA(section, key, fallback, m_path.c_str()));
    }
    // The line of `key` in `section`, counted from 1; 0 when the file has none.
    int LineOf(const char* section, const char* key) const
    {
        FILE* file = std::fopen(m_path.c_str(), "rb");
        if (!file)
            return 0;
        char line[1024];
        bool inSection = false;
        int number = 0, found = 0;
        while (!found && std::fgets(line, sizeof line, file)) {
            ++number;
            const char* text = line + std::strspn(line, " \t");
            size_t keyLength = std::strlen(key);
            if (*text == '[')
                inSection = _strnicmp(text + 1, section, std::strlen(section)) == 0 &&
                            text[1 + std::strlen(section)] == ']';
            else if (inSection && _strnicmp(text, key, keyLength) == 0 &&
                     (text[keyLength] == '=' || text[keyLength] == ' ' || text[keyLength] == '\t'))
                found = number;
        }
        std::fclose(file);
        return found;
    }
    // `key` as a number from `low` to `high`; a value beyond them is held at the limit, with a
    // warning that names the file, the line and the limit.
    int Bounded(const char* section, const char* key, int fallback, int low, int high, std::string* warnings) const
    {
        int value = Int(section, key, fallback);
        if (value >= low && value <= high)
            return value;
        int held = value < low ? low : high;
        if (!warnings->empty())
            *warnings += "\n";
        *warnings += "the bench file " + m_path + ", line " + std::to_string(LineOf(section, key)) + ": [" + section +
                     "] " + key + "=" + std::to_string(value) + " is beyond the limit of " + std::to_string(held) +
                     "; " + std::to_string(held) + " is used";
        return held;
    }

private:
    std::string m_path;
};

std::string WhyNoUnit(const std::string& path, const Ini& ini)
{
    WIN32_FILE_ATTRIBUTE_DATA file{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &file) ||
        (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return "does not exist";
    if (file.nFileSizeHigh == 0 && file.nFileSizeLow == 0)
        return "is empty";
    if (!ini.Has("Bench", "Units"))
        return "has no key Units in its section [Bench]";
    return "says Units=" + ini.Text("Bench", "Units") + " in its section [Bench]";
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
    Ini ini(path);
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
    bench.reconnectFails = ini.Int("Bench", "ReconnectFails", 0) != 0;
    std::string limits;
    int count = ini.Bounded("Bench", "Units", 0, 0, kMaxUnits, &limits);
    for (int i = 1; i <= count; ++i) {
        char section[32];
        std::snprintf(section, sizeof section, "Unit%d", i);
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
            char numbered[16];
            std::snprintf(numbered, sizeof numbered, "%08d", i);
            PadText(ini.Text(section, "Serial", numbered), unit.serial, 8, 0);
        }
        unit.address = ini.Int(section, "Address", 1);
        unit.baud = ini.Int(section, "Baud", 9600);
        unit.parity = ini.Int(section, "Parity", 0);
        unit.answerDelay = ini.Int(section, "AnswerDelay", 0);
        unit.writeProtect = ini.Int(section, "WriteProtect", 0);
        unit.silent = ini.Int(section, "Silent", 0);
        unit.answersFrom = ini.Int(section, "AnswersFrom", 1);
        unit.identDelay = ini.Bounded(section, "IdentDelay", 0, 0, kMaxIdentDelayMs, &limits);
        unit.writeFails = ini.Int(section, "WriteFails", 0);
        bench.units.push_back(unit);
    }
    bench.warning = limits;
    if (bench.units.empty())
        bench.warning = "the bench file " + path + " " + WhyNoUnit(path, ini) + ": no unit waits at the fixture";
    return bench;
}
