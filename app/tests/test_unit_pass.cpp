// What the station makes of each pass over a unit: the result judged from the reports, the
// settings from the record written, the row of the commissioning record.
#include "CommissioningRecord.h"
#include "TestSupport.h"
#include "UnitPass.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace {

using namespace daxohost;

// The module's texts as a translation might have them: the tracker must go by the ids' texts.
const std::map<unsigned, std::string> kTexts = {
    {32, "chyba zápisu"}, {36, "přerušení série"}, {37, "dialog zobrazen"}, {40, "hotovo"},
    {41, "přerušení série"}, {42, "chyba testu"}, {43, "přerušení konfigurace"}, {45, "žádná konfigurace"},
};

struct Feed {
    std::vector<UnitPass> passes;
    CUnitPassTracker tracker{[](unsigned id) { return kTexts.at(id); },
                             [this](const UnitPass& pass) { passes.push_back(pass); }};

    Feed& Start() { return Report(112, "DAXO configuration", nullptr); }
    Feed& Image(const char* type = "VX1205.10", const char* serial = "00000712")
    {
        unsigned char image[CUnitPassTracker::kImageSize] = {};
        std::memset(image + 40, ' ', 16);
        std::memcpy(image + 40, type, std::strlen(type));
        std::memcpy(image + 80, serial, std::strlen(serial));
        tracker.OnImageRead(image);
        return *this;
    }
    Feed& Write(int address, int baudCode, int parity)
    {
        unsigned char record[20] = {static_cast<unsigned char>(address), 0, static_cast<unsigned char>(baudCode),
                                    static_cast<unsigned char>(parity)};
        tracker.OnWrite(record, 20);
        return *this;
    }
    Feed& Line(int code, unsigned id) { return Report(code, nullptr, kTexts.at(id).c_str()); }
    Feed& Report(int code, const char* heading, const char* line)
    {
        tracker.OnReport(static_cast<unsigned char>(code), heading, line);
        return *this;
    }
    Feed& Returned()
    {
        tracker.OnCallReturned();
        return *this;
    }
    // The road of a unit up to the test of the new settings.
    Feed& Written(int address = 5) { return Start().Image().Line(112, 37).Write(address, 19, 2); }
};

TEST(UnitPass, EachEndingOfAPassGivesItsResultAndDetail)
{
    Feed f;
    f.Written(5).Report(117, nullptr, "configuration for 00000712").Line(114, 40).Line(113, 41).Returned();
    f.Written(6).Line(113, 42);                                           // test failed, next pass
    f.Start().Image().Line(112, 37).Write(7, 9, 0).Line(113, 32).Line(113, 43).Returned();
    f.Start().Image().Line(112, 37).Line(113, 43).Returned();            // cancelled, nothing written
    ASSERT_EQ(f.passes.size(), 4u);
    EXPECT_EQ(f.passes[0].result, PassResult::Configured);
    EXPECT_EQ(f.passes[0].detail, "");
    EXPECT_EQ(f.passes[0].address, 5);
    EXPECT_EQ(f.passes[0].serial, "00000712");
    EXPECT_EQ(f.passes[0].typeCode, "VX1205.10");
    EXPECT_EQ(f.passes[1].result, PassResult::TestFailed);
    EXPECT_EQ(f.passes[1].detail, kTexts.at(42));
    EXPECT_EQ(f.passes[2].result, PassResult::WriteFailed);
    EXPECT_EQ(f.passes[2].detail, kTexts.at(32));
    EXPECT_EQ(f.passes[2].address, 7);
    EXPECT_EQ(f.passes[3].result, PassResult::Cancelled);
    EXPECT_EQ(f.passes[3].detail, kTexts.at(43));
    EXPECT_FALSE(f.passes[3].written);
}

TEST(UnitPass, AWriteThatFailedBeforeASuccessfulOneLeavesTheUnitConfigured)
{
    Feed f;
    f.Start().Image().Line(112, 37).Write(3, 9, 0).Line(113, 32).Write(4, 9, 0).Line(114, 40);
    f.Report(117, nullptr, "summary").Line(114, 40).Returned();
    ASSERT_EQ(f.passes.size(), 1u);
    EXPECT_EQ(f.passes[0].result, PassResult::Configured);
    EXPECT_EQ(f.passes[0].address, 4);
}

TEST(UnitPass, SkippedNoTypeErrorAndNoUnit)
{
    Feed f;
    f.Start().Image().Start().Image().Line(113, 36).Returned();         // No, OK; then No, Cancel
    f.Start().Image("                ").Line(113, 45).Returned();
    f.Start().Image().Line(112, 37).Report(113, nullptr, "something unforeseen").Returned();
    f.Start().Image().Line(113, 45).Returned();                          // gave up before the dialog
    f.Start().Returned();                                                 // CheckEEPROM failed: no unit
    ASSERT_EQ(f.passes.size(), 5u);
    EXPECT_EQ(f.passes[4].result, PassResult::Error);
    EXPECT_EQ(f.passes[4].detail, kTexts.at(45));
    EXPECT_EQ(f.passes[0].result, PassResult::Skipped);
    EXPECT_EQ(f.passes[0].detail, "");
    EXPECT_EQ(f.passes[1].result, PassResult::Skipped);
    EXPECT_EQ(f.passes[1].detail, kTexts.at(36));
    EXPECT_EQ(f.passes[2].result, PassResult::NoTypeCode);
    EXPECT_EQ(f.passes[2].typeCode, "");
    EXPECT_EQ(f.passes[3].result, PassResult::Error);
    EXPECT_EQ(f.passes[3].detail, "something unforeseen");
}

TEST(CommissioningRecord, RowsAreAppendedUnderOneHeaderWithTheSettingsWritten)
{
    UnitPass pass;
    pass.serial = "00000712";
    pass.typeCode = "VX,1";
    pass.written = true;
    pass.address = 125;
    pass.baudCode = 38;
    pass.parity = 5;
    pass.result = PassResult::TestFailed;
    pass.detail = "say \"no\", then stop";
    EXPECT_EQ(CCommissioningRecord::FormatRow("2026-01-02 03:04:05", pass),
              "2026-01-02 03:04:05,00000712,\"VX,1\",125,38400,code 5,test failed,\"say \"\"no\"\", then stop\"")
        << "quoted, and never a parity the unit does not have";

    const std::string path = daxotest::TempPath("commissioning.csv");
    ASSERT_TRUE(CCommissioningRecord(path).Append(pass));
    pass.written = false;
    pass.result = PassResult::Cancelled;
    pass.detail = "";
    // A new host process finds the file and goes on appending.
    ASSERT_TRUE(CCommissioningRecord(path).Append(pass));
    const std::string text = daxotest::ReadFileBytes(path);
    EXPECT_EQ(text.compare(0, 52, "time,serial,type,address,baud,parity,result,detail\r\n"), 0) << text;
    EXPECT_NE(text.find(",00000712,\"VX,1\",,,,cancelled,\r\n"), std::string::npos) << "nothing written: " << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    EXPECT_FALSE(CCommissioningRecord(daxotest::TempPath("no\\such\\folder\\r.csv")).Append(pass));
}

} // namespace
