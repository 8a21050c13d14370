#include "BenchFile.h"
#include <windows.h>
#include <cstdio>
#include <cstring>

namespace {

// A fixture holds no more units than this, whatever a file says.
const int kMaxUnits = 1000;

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
    int count = ini.Int("Bench", "Units", 0);
    for (int i = 1; i <= count && i <= kMaxUnits; ++i) {
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
        unit.identDelay = ini.Int(section, "IdentDelay", 0);
        unit.writeFails = ini.Int(section, "WriteFails", 0);
        bench.units.push_back(unit);
    }
    if (bench.units.empty())
        bench.warning = "the bench file " + path + " " + WhyNoUnit(path, ini) + ": no unit waits at the fixture";
    return bench;
}
