// The host stand-ins against the simulated bench: what the fixture connects, what a write
// and an identification request do.
#include "DAXOTester.h"
#include "SimBench.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <atomic>
#include <cstring>
#include <thread>

using daxotest::BenchFile;

namespace {

std::string Field(CDAXOTester& tester, unsigned char offset, size_t length)
{
    return std::string(reinterpret_cast<const char*>(tester.m_EEPROMCache.GetEEPROMCacheFrom(offset, 1)), length);
}

const char kStoredConfig[] = "01 00 09 00 58 02 73 61 76 65 01 00 01 01 01 01 FF FF FF FF 00";

unsigned char g_record[20] = {5, 10, 19, 2, 0x58, 0x02, 's', 'a', 'v', 'e', 0, 0, 1, 1, 1, 1, 255, 255, 255, 255};

TEST(Bench, BuiltInBenchHasThreeUnitsOfOneType)
{
    daxotest::ScopedEnv noBench("DAXO_BENCH", nullptr);
    CSimBench::Instance().Load(nullptr);
    CDAXOTester tester(nullptr);
    for (int serial = 712; serial <= 714; ++serial) {
        ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 1), 1);
        EXPECT_EQ(Field(tester, 40, 16), "VX1205.10       ");
        EXPECT_EQ(Field(tester, 80, 8), "00000" + std::to_string(serial));
        ASSERT_EQ(tester.WriteConfig(0, g_record, 20), 1);
        ASSERT_EQ(tester.Reconnect(19200, 8, 2), 1);
        ASSERT_NE(tester.IdentTest(5, 1), 0);
    }
    EXPECT_EQ(tester.CheckEEPROM(nullptr, 0, 1), 0) << "no unit left";
    EXPECT_NE(tester.ReadUserConfig(), nullptr);
    EXPECT_NE(tester.ReadDefaultConfig(2), nullptr);
}

TEST(Bench, FixtureMovesOnOnlyWhenAUnitIsDoneOrPassedOver)
{
    BenchFile().Unit({"Serial=1"}).Unit({"Serial=2"}).Unit({"Serial=3"}).Load();
    CDAXOTester tester(nullptr);
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 1), 1) << "the first check never passes a unit over";
    EXPECT_EQ(Field(tester, 80, 1), "1");
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 0), 1);
    EXPECT_EQ(Field(tester, 80, 1), "1") << "flag 0 reads the same unit again";
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 1), 1);
    EXPECT_EQ(Field(tester, 80, 1), "2") << "flag 1 with nothing written: passed over";
    ASSERT_EQ(tester.WriteConfig(0, g_record, 20), 1);
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 1), 1);
    EXPECT_EQ(Field(tester, 80, 1), "2") << "written but not yet answering: the same unit again";
    EXPECT_EQ(Field(tester, 0, 1), "\x05") << "the image shows what was written";
    tester.Reconnect(19200, 8, 2);
    ASSERT_NE(tester.IdentTest(5, 1), 0);
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 0), 1);
    EXPECT_EQ(Field(tester, 80, 1), "3") << "a unit that answered after a write is done";
    CSimBench::Instance().Unplug();
    EXPECT_EQ(tester.CheckEEPROM(nullptr, 0, 0), 0);
}

TEST(Bench, WriteFailsWithTheJumperInWPOrOnAFaultyUnit)
{
    BenchFile().Unit({"Serial=1", "WriteProtect=1", "Address=3"}).Load();
    CDAXOTester tester(nullptr);
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 0), 1);
    EXPECT_EQ(tester.WriteConfig(0, g_record, 20), 0);
    SimUnitInfo info;
    ASSERT_TRUE(CSimBench::Instance().GetUnit(0, &info));
    EXPECT_EQ(info.address, 3);
    CSimBench::Instance().SetWriteProtect(0, 0);
    EXPECT_EQ(tester.WriteConfig(0, g_record, 20), 1);
    ASSERT_TRUE(CSimBench::Instance().GetUnit(0, &info));
    EXPECT_EQ(info.address, 5);
    EXPECT_EQ(info.baud, 19200);
    EXPECT_EQ(info.parity, 2);
    EXPECT_EQ(info.answerDelay, 10);
    EXPECT_EQ(tester.WriteConfig(1, g_record, 20), 0) << "only offset 0 is a configuration write";
    std::vector<SimEvent> writes = daxotest::BenchEvents(SimEventWrite);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].result, 0);
    EXPECT_EQ(writes[1].result, 1);
    EXPECT_EQ(std::memcmp(writes[1].data, g_record, 20), 0);

    BenchFile().Unit({"Serial=1", "WriteFails=1"}).Load();
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 0), 1);
    EXPECT_EQ(tester.WriteConfig(0, g_record, 20), 0) << "JP1 in WE, but the unit fails";
    ASSERT_TRUE(CSimBench::Instance().GetUnit(0, &info));
    EXPECT_EQ(info.written, 0);
    EXPECT_EQ(info.address, 1);
}

TEST(Bench, UnitAnswersOnlyAtItsAddressRateAndParity)
{
    BenchFile()
        .Unit({"Serial=1", "Address=7", "Baud=4800", "Parity=1"})
        .Load();
    CDAXOTester tester(nullptr);
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 0), 1);
    tester.Reconnect(4800, 8, 1);
    EXPECT_EQ(tester.IdentTest(6, 1), 0);
    EXPECT_NE(tester.IdentTest(7, 1), 0);
    tester.Reconnect(9600, 8, 1);
    EXPECT_EQ(tester.IdentTest(7, 0), 0) << "wrong rate";
    tester.Reconnect(4800, 8, 2);
    EXPECT_EQ(tester.IdentTest(7, 0), 0) << "wrong parity";
    std::vector<SimEvent> idents = daxotest::BenchEvents(SimEventIdent);
    ASSERT_EQ(idents.size(), 4u);
    EXPECT_EQ(idents[1].address, 7);
    EXPECT_EQ(idents[1].requestFlag, 1);
    EXPECT_EQ(idents[1].result, 1);
    std::vector<SimEvent> reconnects = daxotest::BenchEvents(SimEventReconnect);
    ASSERT_EQ(reconnects.size(), 3u);
    EXPECT_EQ(reconnects[0].baud, 4800);
    EXPECT_EQ(reconnects[0].bits, 8);
    EXPECT_EQ(reconnects[0].parity, 1);
}

TEST(Bench, SilentSlowAndNonAnsweringUnits)
{
    BenchFile()
        .Unit({"Serial=1", "Silent=1"})
        .Unit({"Serial=2", "AnswerDelay=255"})
        .Unit({"Serial=3", "AnswersFrom=9"})
        .Load();
    CDAXOTester tester(nullptr);
    tester.Reconnect(9600, 8, 0);
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 0), 1);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(tester.IdentTest(1, i == 0), 0);
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 1), 1);
    EXPECT_EQ(tester.IdentTest(1, 1), 0) << "answer delay 255 never answers";
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 1), 1);
    int answeredAt = 0;
    for (int i = 1; i <= 12 && !answeredAt; ++i)
        if (tester.IdentTest(1, 0))
            answeredAt = i;
    EXPECT_EQ(answeredAt, 9);
}

TEST(Bench, HostBlocksAndRawFieldsFromTheIni)
{
    BenchFile()
        .Host("UserConfig", "0102090058027361766500001111111111111111AB")
        .Host("DefaultBlock", "000000000000000095003F00000000050A")
        .Unit({"TypeCodeHex=FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", "SerialHex=2573256425732564"})
        .Load();
    CDAXOTester tester(nullptr);
    unsigned char* user = tester.ReadUserConfig();
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user[0], 1);
    EXPECT_EQ(user[20], 0xAB);
    unsigned char* block = tester.ReadDefaultConfig(2);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[8], 0x95);
    EXPECT_EQ(block[15], 5);
    EXPECT_EQ(block[16], 10);
    EXPECT_NE(tester.ReadDefaultConfig(1), nullptr);
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 0), 1);
    EXPECT_EQ(Field(tester, 40, 16), std::string(16, '\xFF'));
    EXPECT_EQ(Field(tester, 80, 8), "%s%d%s%d");

    BenchFile().Unit({"Serial=12"}).Load();
    EXPECT_EQ(tester.ReadUserConfig(), nullptr);
    EXPECT_EQ(tester.ReadDefaultConfig(2), nullptr);
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 0), 1);
    EXPECT_EQ(Field(tester, 80, 8), std::string("12\0\0\0\0\0\0", 8));
}

TEST(Bench, SafeToReadWhileAnotherThreadPolls)
{
    BenchFile().Unit({"Serial=1", "Silent=1"}).Load();
    CDAXOTester tester(nullptr);
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 0), 1);
    std::atomic<bool> stop{false};
    std::thread poller([&] {
        while (!stop)
            tester.IdentTest(1, 0);
    });
    SimUnitInfo info;
    for (int i = 0; i < 2000 || CSimBench::Instance().EventCount() < 100; ++i) {
        CSimBench::Instance().GetUnit(0, &info);
        SimEvent event;
        CSimBench::Instance().GetEvent(CSimBench::Instance().EventCount() - 1, &event);
    }
    stop = true;
    poller.join();
    EXPECT_GT(CSimBench::Instance().EventCount(), 1);
}

// A bench file that sets up no unit would otherwise show only as a failed read of the unit.
TEST(Bench, ABenchWithoutUnitsWarnsAtLoadAndTheRunGoesOn)
{
    CSimBench& bench = CSimBench::Instance();
    const std::string empty = daxotest::TempPath("empty.ini");
    daxotest::WriteFileBytes(empty, "");
    const std::string garbage = daxotest::TempPath("garbage.ini");
    daxotest::WriteFileBytes(garbage, std::string("\x89PNG\r\n\x1a\n\0\0 [Unit1] Serial=1", 30));
    const std::string large = daxotest::TempPath("large.ini");
    daxotest::WriteFileBytes(large, "[Bench]\r\nUnits=1\r\n" + std::string(4194305 - 18, ';'));
    const std::string none = daxotest::TempPath("none.ini");
    daxotest::WriteFileBytes(none, "[Bench]\r\nUnits=0\r\n[Unit1]\r\nSerial=1\r\n");
    const std::pair<std::string, std::string> cases[] = {
        {empty, "is empty"},
        {garbage, "holds a NUL character at line 3, column 1, so it is no text file"},
        {large, "holds 4194305 bytes, beyond the limit of 4194304 of a bench file"},
        {none, "says Units=0 in its section [Bench]"},
        {daxotest::TempPath("missing.ini"), "does not exist"},
    };
    CDAXOTester tester(nullptr);
    for (const auto& file : cases) {
        bench.Load(file.first.c_str());
        EXPECT_EQ(bench.LoadWarning(), "the bench file " + file.first + " " + file.second + ": no unit waits at the fixture");
        EXPECT_EQ(bench.UnitCount(), 0);
        EXPECT_EQ(tester.CheckEEPROM(nullptr, 0, 1), 0);
    }
    BenchFile().Host("UserConfig", kStoredConfig).Unit({"Serial=1"}).Load();
    EXPECT_EQ(bench.LoadWarning(), "");
    daxotest::ScopedEnv noBench("DAXO_BENCH", nullptr);
    bench.Load(nullptr);
    EXPECT_EQ(bench.LoadWarning(), "") << "the built-in bench";
}

// Values beyond a limit are held at it, and the warning says where.
TEST(Bench, ValuesBeyondTheirLimitsAreHeldThereWithAWarning)
{
    CSimBench& bench = CSimBench::Instance();
    const std::string path = daxotest::TempPath("limits.ini");
    daxotest::WriteFileBytes(path, "[Bench]\r\nUnits=100000\r\n[Unit1]\r\nSerial=1\r\nIdentDelay=2147483647\r\n"
                                   "[Unit2]\r\n  identdelay = -5\r\n");
    bench.Load(path.c_str());
    EXPECT_EQ(bench.UnitCount(), 1000);
    SimUnitInfo first{}, second{};
    ASSERT_TRUE(bench.GetUnit(0, &first) && bench.GetUnit(1, &second));
    EXPECT_EQ(first.identDelay, 10000);
    EXPECT_EQ(second.identDelay, 0);
    const std::string file = "the bench file " + path;
    EXPECT_EQ(bench.LoadWarning(),
              file + ", line 2, column 7: [Bench] Units=100000 is beyond the limit of 1000; 1000 is used\n" + file +
                  ", line 5, column 12: [Unit1] IdentDelay=2147483647 is beyond the limit of 10000; 10000 is used\n" +
                  file + ", line 7, column 16: [Unit2] IdentDelay=-5 is beyond the limit of 0; 0 is used\n" + file +
                  " has no [Host] UserConfig: the host has no stored configuration, so the configuration dialog opens "
                  "with its fields empty and \"Write and test\" disabled");
}

// Every "%F" of `text` as the warnings name the file.
std::string Named(std::string text, const std::string& path)
{
    for (size_t at = text.find("%F"); at != std::string::npos; at = text.find("%F", at))
        text.replace(at, 2, "the bench file " + path);
    return text;
}

// Numbers are held in 64 bits whatever their length, so no value wraps around into range.
TEST(BenchValues, NumbersAreReadWithoutWrapAroundAndHeldAtTheirLimits)
{
    struct Case {
        const char* line;            // in [Bench] for Units, else in [Unit1]
        int SimUnitInfo::*field;     // null: the count of units
        int expected;
        const char* warning;         // "%F, line ..." or empty
    };
    const Case cases[] = {
        {"Units=1000", nullptr, 1000, ""},
        {"Units=1001", nullptr, 1000, "%F, line 4, column 7: [Bench] Units=1001 is beyond the limit of 1000; 1000 is used"},
        {"Units=2147483648", nullptr, 1000, "%F, line 4, column 7: [Bench] Units=2147483648 is beyond the limit of 1000; 1000 is used"},
        {"Units=4294967297", nullptr, 1000, "%F, line 4, column 7: [Bench] Units=4294967297 is beyond the limit of 1000; 1000 is used"},
        {"Units = 0000000000000000000000000000012", nullptr, 12, ""},
        {"Units=99999999999999999999999999999", nullptr, 1000,
         "%F, line 4, column 7: [Bench] Units=99999999999999999999999999999 is beyond the limit of 1000; 1000 is used"},
        {"Units=0x10", nullptr, 16, ""},
        {"Units=\"+7\"", nullptr, 7, ""},
        {"Units=3 units", nullptr, 3, "%F, line 4, column 7: [Bench] Units=3 units has text after its number; 3 is used"},
        {"IdentDelay=10000", &SimUnitInfo::identDelay, 10000, ""},
        {"IdentDelay=10001", &SimUnitInfo::identDelay, 10000,
         "%F, line 6, column 12: [Unit1] IdentDelay=10001 is beyond the limit of 10000; 10000 is used"},
        {"IdentDelay=4294967295", &SimUnitInfo::identDelay, 10000,
         "%F, line 6, column 12: [Unit1] IdentDelay=4294967295 is beyond the limit of 10000; 10000 is used"},
        {"IdentDelay=18446744073709551621", &SimUnitInfo::identDelay, 10000,   // 2^64 + 5
         "%F, line 6, column 12: [Unit1] IdentDelay=18446744073709551621 is beyond the limit of 10000; 10000 is used"},
        {"IdentDelay=0x2711", &SimUnitInfo::identDelay, 10000,
         "%F, line 6, column 12: [Unit1] IdentDelay=0x2711 is beyond the limit of 10000; 10000 is used"},
        {"IdentDelay=-9223372036854775809", &SimUnitInfo::identDelay, 0,
         "%F, line 6, column 12: [Unit1] IdentDelay=-9223372036854775809 is beyond the limit of 0; 0 is used"},
        {"IdentDelay=20ms", &SimUnitInfo::identDelay, 20, "%F, line 6, column 12: [Unit1] IdentDelay=20ms has text after its number; 20 is used"},
        {"IdentDelay=20000ms", &SimUnitInfo::identDelay, 10000,
         "%F, line 6, column 12: [Unit1] IdentDelay=20000ms has text after its number, and it is beyond the limit of "
         "10000; 10000 is used"},
        {"IdentDelay=soon", &SimUnitInfo::identDelay, 0, "%F, line 6, column 12: [Unit1] IdentDelay=soon is not a number; the default 0 is used"},
        {"Address=125", &SimUnitInfo::address, 125, ""},
        {"Address=", &SimUnitInfo::address, 1, "%F, line 6, column 9: [Unit1] Address= is not a number; the default 1 is used"},
        {"Address=126", &SimUnitInfo::address, 126, "%F, line 6, column 9: [Unit1] Address=126 is no fieldbus address (1 to 125); the unit keeps it"},
        {"Address=4294967297", &SimUnitInfo::address, 255,
         "%F, line 6, column 9: [Unit1] Address=4294967297 is beyond the limit of 255; 255 is used\n"
         "%F, line 6, column 9: [Unit1] Address=255 is no fieldbus address (1 to 125); the unit keeps it"},
        {"Baud=38400", &SimUnitInfo::baud, 38400, ""},
        {"Baud=38401", &SimUnitInfo::baud, 38400, "%F, line 6, column 6: [Unit1] Baud=38401 is beyond the limit of 38400; 38400 is used"},
        {"Baud=5000", &SimUnitInfo::baud, 4800,
         "%F, line 6, column 6: [Unit1] Baud=5000 is not a rate the unit knows (1200, 2400, 4800, 9600, 19200, 38400); "
         "4800, the rate its record stores for it, is used"},
        {"Parity=2", &SimUnitInfo::parity, 2, ""},
        {"Parity=3", &SimUnitInfo::parity, 3,
         "%F, line 6, column 8: [Unit1] Parity=3 is a code the unit does not know (0 none, 1 odd, 2 even); the unit "
         "keeps it and answers on no line until it is written"},
        {"AnswersFrom=1000000", &SimUnitInfo::answersFrom, 1000000, ""},
        {"AnswersFrom=1000001", &SimUnitInfo::answersFrom, 1000000,
         "%F, line 6, column 13: [Unit1] AnswersFrom=1000001 is beyond the limit of 1000000; 1000000 is used"},
        {"AnswersFrom=0", &SimUnitInfo::answersFrom, 1, "%F, line 6, column 13: [Unit1] AnswersFrom=0 is beyond the limit of 1; 1 is used"},
        {"AnswerDelay=255", &SimUnitInfo::answerDelay, 255, ""},
        {"AnswerDelay=256", &SimUnitInfo::answerDelay, 255, "%F, line 6, column 13: [Unit1] AnswerDelay=256 is beyond the limit of 255; 255 is used"},
        {"WriteProtect=4294967296", &SimUnitInfo::writeProtect, 1,
         "%F, line 6, column 14: [Unit1] WriteProtect=4294967296 is beyond the limit of 1; 1 is used"},
    };
    CSimBench& bench = CSimBench::Instance();
    for (const Case& c : cases) {
        const bool units = c.field == nullptr;
        const std::string path = daxotest::TempPath("number.ini");
        daxotest::WriteFileBytes(path, std::string("[Host]\r\nUserConfig=") + kStoredConfig + "\r\n[Bench]\r\n" +
                                           (units ? c.line : "Units=1") + "\r\n[Unit1]\r\n" + (units ? "" : c.line) + "\r\n");
        bench.Load(path.c_str());
        SimUnitInfo info{};
        ASSERT_TRUE(bench.GetUnit(0, &info)) << c.line;
        EXPECT_EQ(units ? bench.UnitCount() : info.*c.field, c.expected) << c.line;
        EXPECT_EQ(bench.LoadWarning(), Named(c.warning, path)) << c.line;
    }
}

enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };

// ASCII `text` with each '\n' as `lineEnd`, in `encoding` with its byte-order mark.
std::string Encoded(const std::string& text, const std::string& lineEnd, Encoding encoding)
{
    std::string lines;
    for (char c : text)
        lines += c == '\n' ? lineEnd : std::string(1, c);
    if (encoding == Encoding::Ansi)
        return lines;
    if (encoding == Encoding::Utf8)
        return "\xEF\xBB\xBF" + lines;
    const bool little = encoding == Encoding::Utf16Le;
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char c : lines)
        bytes += little ? std::string{c, '\0'} : std::string{'\0', c};
    return bytes;
}

// A warning names the line and column a text editor shows, whatever the file's encoding and
// line ends, and repeats say which one is read.
TEST(BenchPlaces, WarningsNameTheLineAndColumnOfWhatIsRead)
{
    const std::string longComment = "; " + std::string(5000, 'x') + "\n";
    struct Case {
        const char* what;
        Encoding encoding;
        const char* lineEnd;
        std::string text;   // the [Host] section with the stored configuration follows
        int units;
        const char* warning;
    };
    const Case cases[] = {
        {"UTF-8 with its mark", Encoding::Utf8, "\r\n", "[Bench]\nUnits=1001\n", 1000,
         "%F, line 2, column 7: [Bench] Units=1001 is beyond the limit of 1000; 1000 is used"},
        {"UTF-8 with LF", Encoding::Utf8, "\n", "[Unit1]\nParity=3\n[Bench]\nUnits=1\n", 1,
         "%F, line 2, column 8: [Unit1] Parity=3 is a code the unit does not know (0 none, 1 odd, 2 even); the unit "
         "keeps it and answers on no line until it is written"},
        {"UTF-16 LE", Encoding::Utf16Le, "\r\n", "[Bench]\nUnits=1\n[Unit1]\n  IdentDelay = 4294967295\n", 1,
         "%F, line 4, column 16: [Unit1] IdentDelay=4294967295 is beyond the limit of 10000; 10000 is used"},
        {"UTF-16 BE", Encoding::Utf16Be, "\n", "[Bench]\nUnits=1\n[Unit1]\n  IdentDelay = 4294967295\n", 1,
         "%F, line 4, column 16: [Unit1] IdentDelay=4294967295 is beyond the limit of 10000; 10000 is used"},
        {"CR only", Encoding::Ansi, "\r", "[Bench]\nUnits=1\n\n[Unit1]\nAnswersFrom=0\n", 1,
         "%F, line 5, column 13: [Unit1] AnswersFrom=0 is beyond the limit of 1; 1 is used"},
        {"mixed line ends", Encoding::Ansi, "\n", "[Bench]\r\nUnits=1\r[Unit1]\n\r\nAnswersFrom=0\n", 1,
         "%F, line 5, column 13: [Unit1] AnswersFrom=0 is beyond the limit of 1; 1 is used"},
        {"spaced sections", Encoding::Ansi, "\r\n", "[ Bench ]\nUnits=1\n[\tUnit1 ]\nBaud=5000\n", 1,
         "%F, line 4, column 6: [Unit1] Baud=5000 is not a rate the unit knows (1200, 2400, 4800, 9600, 19200, "
         "38400); 4800, the rate its record stores for it, is used"},
        {"a long comment line", Encoding::Ansi, "\r\n", longComment + "[Bench]\nUnits=1001\n", 1000,
         "%F, line 3, column 7: [Bench] Units=1001 is beyond the limit of 1000; 1000 is used"},
        {"a long comment line in UTF-16", Encoding::Utf16Le, "\n", longComment + longComment + "[Bench]\n\tUnits=1001\n",
         1000, "%F, line 4, column 8: [Bench] Units=1001 is beyond the limit of 1000; 1000 is used"},
        {"a repeated section", Encoding::Ansi, "\r\n", "[Bench]\nUnits=1\n[Unit1]\nSerial=1\n [bench]\nUnits=5\n", 1,
         "%F, line 5, column 2: [bench] repeats the section of line 1; only that one is read, and the keys of this "
         "one are ignored"},
        {"a first section without the key", Encoding::Ansi, "\r\n", "[Bench]\n[Unit1]\nSerial=1\n[Bench]\nUnits=1\n", 0,
         "%F has no key Units in its section [Bench]: no unit waits at the fixture\n"
         "%F, line 4, column 1: [Bench] repeats the section of line 1; only that one is read, and the keys of this "
         "one are ignored"},
        {"a repeated key", Encoding::Ansi, "\r\n", "[Bench]\nUnits=2\n  units = 1\nUnits=1001\n", 2,
         "%F, line 3, column 3: [Bench] units repeats the key of line 2; the value of line 2 is used\n"
         "%F, line 4, column 1: [Bench] Units repeats the key of line 2; the value of line 2 is used"},
        {"a repeated key beyond its limit", Encoding::Utf16Le, "\r\n", "[Bench]\nUnits=1\n[Unit1]\nAddress=200\nAddress=5\n", 1,
         "%F, line 4, column 9: [Unit1] Address=200 is no fieldbus address (1 to 125); the unit keeps it\n"
         "%F, line 5, column 1: [Unit1] Address repeats the key of line 4; the value of line 4 is used"},
    };
    CSimBench& bench = CSimBench::Instance();
    for (const Case& c : cases) {
        const std::string path = daxotest::TempPath("places.ini");
        daxotest::WriteFileBytes(path, Encoded(c.text + "[Host]\nUserConfig=" + kStoredConfig + "\n", c.lineEnd, c.encoding));
        bench.Load(path.c_str());
        EXPECT_EQ(bench.UnitCount(), c.units) << c.what;
        EXPECT_EQ(bench.LoadWarning(), Named(c.warning, path)) << c.what;
    }
}

// Without it the configuration dialog opens empty with "Write and test" disabled, which looks
// like a fault of the module.
TEST(Bench, ABenchWithoutAStoredConfigurationSaysWhatTheHostLacks)
{
    const std::string path = BenchFile().Unit({"Serial=1"}).Write();
    CSimBench::Instance().Load(path.c_str());
    EXPECT_EQ(CSimBench::Instance().UserConfig(), nullptr);
    EXPECT_EQ(CSimBench::Instance().LoadWarning(),
              "the bench file " + path + " has no [Host] UserConfig: the host has no stored configuration, so the "
              "configuration dialog opens with its fields empty and \"Write and test\" disabled");
}

// A shipped bench that warned would teach the operator to ignore the warning.
TEST(Bench, EveryShippedBenchLoadsWithoutAWarning)
{
    int benches = 0;
    for (const char* folder : {"/app/scripts/", "/bench/"}) {
        const std::string base = daxotest::SourceFolder() + folder;
        WIN32_FIND_DATAA found;
        HANDLE search = ::FindFirstFileA((base + "*.ini").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        do {
            CSimBench::Instance().Load((base + found.cFileName).c_str());
            EXPECT_EQ(CSimBench::Instance().LoadWarning(), "") << found.cFileName;
            ++benches;
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    EXPECT_GE(benches, 7);
}

TEST(BenchFaults, FailedReconnectLeavesTheLineAsItWas)
{
    BenchFile().Bench("ReconnectFails", "1").Unit({"Serial=1", "Address=3"}).Load();
    CDAXOTester tester(nullptr);
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 0), 1);
    EXPECT_EQ(tester.Reconnect(19200, 8, 2), 0);
    EXPECT_NE(tester.IdentTest(3, 1), 0) << "the line still runs at 9600 Bd without parity";
    std::vector<SimEvent> reconnects = daxotest::BenchEvents(SimEventReconnect);
    ASSERT_EQ(reconnects.size(), 1u);
    EXPECT_EQ(reconnects[0].result, 0);
    EXPECT_EQ(reconnects[0].baud, 19200);
}

// A slow answer must not stop the bench window, or the operator's jumper, while it travels.
TEST(BenchFaults, SlowIdentificationLeavesTheBenchFreeMeanwhile)
{
    BenchFile().Unit({"Serial=1", "Address=3", "IdentDelay=1000"}).Unit({"Serial=2"}).Load();
    CDAXOTester tester(nullptr);
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 0), 1);
    std::atomic<int> answer{-1};
    std::thread poller([&] { answer = tester.IdentTest(3, 1); });
    CSimBench& bench = CSimBench::Instance();
    while (bench.EventCount() < 2)   // the read and the identification request
        ::Sleep(1);
    SimUnitInfo info;
    EXPECT_TRUE(bench.GetUnit(0, &info));
    EXPECT_TRUE(bench.SetWriteProtect(1, 1));
    EXPECT_EQ(answer.load(), -1) << "the bench answered others while the request was under way";
    poller.join();
    EXPECT_EQ(answer.load(), 1);
}

// The bench window redraws on a new revision: polls of a silent unit must not cause one, and
// the record of them must not grow with the length of the run.
TEST(BenchRecord, PollsOfASilentUnitAreKeptBoundedAndLeaveTheRevision)
{
    BenchFile().Unit({"Serial=1", "Silent=1"}).Load();
    CDAXOTester tester(nullptr);
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 0), 1);
    CSimBench& bench = CSimBench::Instance();
    bench.ClearEvents();
    unsigned int revision = bench.Revision();
    for (int i = 0; i < 1000; ++i)
        tester.IdentTest(1, 0);
    EXPECT_EQ(bench.Revision(), revision);

    const int polls = CSimBench::kRecordedEvents + 904;
    bench.ClearEvents();
    for (int i = 0; i < polls; ++i)
        tester.IdentTest(static_cast<unsigned char>(i % 200), 0);
    EXPECT_EQ(bench.EventCount(), static_cast<int>(CSimBench::kRecordedEvents));
    EXPECT_EQ(bench.TotalEvents(), static_cast<unsigned long long>(polls));
    SimEvent oldest{}, newest{};
    ASSERT_TRUE(bench.GetEvent(0, &oldest));
    ASSERT_TRUE(bench.GetEvent(bench.EventCount() - 1, &newest));
    EXPECT_EQ(oldest.address, 904 % 200) << "the oldest kept is the first after the dropped ones";
    EXPECT_EQ(newest.address, (polls - 1) % 200);
    EXPECT_FALSE(bench.GetEvent(bench.EventCount(), &newest));
    bench.ClearEvents();
    EXPECT_EQ(bench.EventCount(), 0);
    EXPECT_EQ(bench.TotalEvents(), 0u);
}

TEST(BenchRecord, RevisionFollowsWhatTheOperatorSees)
{
    BenchFile().Unit({"Serial=1"}).Unit({"Serial=2"}).Load();
    CDAXOTester tester(nullptr);
    CSimBench& bench = CSimBench::Instance();
    unsigned int revision = bench.Revision();
    auto changed = [&] {
        unsigned int now = bench.Revision();
        bool moved = now != revision;
        revision = now;
        return moved;
    };
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 0), 1);
    tester.Reconnect(19200, 8, 2);
    EXPECT_FALSE(changed()) << "reading the image and reopening the line show nothing";
    ASSERT_EQ(tester.WriteConfig(0, g_record, 20), 1);
    EXPECT_TRUE(changed()) << "written";
    EXPECT_EQ(tester.IdentTest(4, 1), 0);
    EXPECT_FALSE(changed()) << "no answer";
    ASSERT_NE(tester.IdentTest(5, 1), 0);
    EXPECT_TRUE(changed()) << "answered: configured";
    ASSERT_NE(tester.IdentTest(5, 0), 0);
    EXPECT_FALSE(changed()) << "answered again";
    bench.SetWriteProtect(1, 1);
    EXPECT_TRUE(changed()) << "jumper moved";
    ASSERT_EQ(tester.CheckEEPROM(nullptr, 0, 1), 1);
    EXPECT_TRUE(changed()) << "the next unit connected";
    EXPECT_EQ(tester.WriteConfig(0, g_record, 20), 0);
    EXPECT_FALSE(changed()) << "a refused write changes nothing";
    bench.Unplug();
    EXPECT_TRUE(changed()) << "unplugged";
    bench.ClearEvents();
    EXPECT_FALSE(changed());
}

} // namespace
