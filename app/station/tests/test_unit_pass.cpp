// What the station makes of each pass over a unit: the result judged from the reports, the
// settings from the record written, the row of the commissioning record.
#include "CommissioningRecord.h"
#include "TestSupport.h"
#include "TextCodec.h"
#include "UnitPass.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <vector>

namespace {

using namespace daxohost;

// The module's texts as a translation might have them: the tracker must go by the ids' texts.
const std::map<unsigned, std::string> kTexts = {
    {msg::WriteFailedLog, "chyba zápisu"},     {msg::RepeatRefused, "přerušení série"},
    {msg::ConfigDialogShown, "dialog zobrazen"}, {msg::Finished, "hotovo"},
    {msg::SeriesEnded, "přerušení série"},      {msg::TestFailed, "chyba testu"},
    {msg::ConfigCancelled, "přerušení konfigurace"}, {msg::NoConfiguration, "žádná konfigurace"},
};

struct Feed {
    std::vector<UnitPass> passes;
    CUnitPassTracker tracker{[](unsigned id) { return kTexts.at(id); },
                             [this](const UnitPass& pass) { passes.push_back(pass); }};

    Feed& Start() { return Report(result::kProgress, "DAXO configuration", nullptr); }
    Feed& Image(const char* type = "VX1205.10", const char* serial = "00000712")
    {
        unsigned char image[CUnitPassTracker::kImageSize] = {};
        std::memset(image + 40, ' ', 16);
        std::memcpy(image + 40, type, std::strlen(type));
        std::memcpy(image + 80, serial, std::strlen(serial));
        tracker.OnImageRead(image);
        return *this;
    }
    Feed& Write(int address, int baudCode, int parity, bool accepted = true)
    {
        unsigned char record[20] = {static_cast<unsigned char>(address), 0, static_cast<unsigned char>(baudCode),
                                    static_cast<unsigned char>(parity)};
        tracker.OnWrite(record, 20, accepted);
        return *this;
    }
    Feed& Line(int code, unsigned id) { return Report(code, nullptr, kTexts.at(id).c_str()); }
    Feed& Progress(unsigned id) { return Line(result::kProgress, id); }
    Feed& Failure(unsigned id) { return Line(result::kFailure, id); }
    Feed& Success(unsigned id) { return Line(result::kSuccess, id); }
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
    Feed& Written(int address = 5) { return Start().Image().Progress(msg::ConfigDialogShown).Write(address, 19, 2); }
};

// Every result a pass can end with, each by every road to it: the record's word and detail.
struct Ending {
    const char* road;
    std::function<void(Feed&)> feed;
    PassResult result;
    const char* word;
    std::string detail;
};

TEST(UnitPass, EveryResultHasItsRoadsItsRecordWordAndItsDetail)
{
    const std::string summary = "configuration for 00000712: address 5; parity Sudá (EVEN)";
    const Ending endings[] = {
        {"tested, series ended", [&](Feed& f) { f.Written(5).Report(result::kSummary, nullptr, summary.c_str())
                                                    .Success(msg::Finished).Failure(msg::SeriesEnded).Returned(); },
         PassResult::Configured, "configured", summary},
        {"a write failed, then one held", [](Feed& f) { f.Start().Image().Progress(msg::ConfigDialogShown).Write(3, 9, 0, false)
             .Failure(msg::WriteFailedLog).Write(4, 9, 0).Success(msg::Finished)
             .Report(result::kSummary, nullptr, "summary").Success(msg::Finished).Returned(); },
         PassResult::Configured, "configured", "summary"},
        {"no answer", [](Feed& f) { f.Written(6).Failure(msg::TestFailed); },
         PassResult::TestFailed, "test failed", kTexts.at(msg::TestFailed)},
        {"write failed, cancelled", [](Feed& f) { f.Start().Image().Progress(msg::ConfigDialogShown).Write(7, 19, 2, false)
                                                      .Failure(msg::WriteFailedLog).Failure(msg::ConfigCancelled).Returned(); },
         PassResult::WriteFailed, "write failed", kTexts.at(msg::WriteFailedLog)},
        {"cancelled", [](Feed& f) { f.Start().Image().Progress(msg::ConfigDialogShown).Failure(msg::ConfigCancelled).Returned(); },
         PassResult::Cancelled, "cancelled", kTexts.at(msg::ConfigCancelled)},
        {"repeat declined, next", [](Feed& f) { f.Start().Image().Start(); }, PassResult::Skipped, "skipped", ""},
        {"repeat declined, ended", [](Feed& f) { f.Start().Image().Failure(msg::RepeatRefused).Returned(); },
         PassResult::Skipped, "skipped", kTexts.at(msg::RepeatRefused)},
        {"no type code", [](Feed& f) { f.Start().Image("                ").Failure(msg::NoConfiguration).Returned(); },
         PassResult::NoTypeCode, "no type code", kTexts.at(msg::NoConfiguration)},
        {"unforeseen report", [](Feed& f) { f.Start().Image().Progress(msg::ConfigDialogShown)
                                                .Report(result::kFailure, nullptr, "unforeseen").Returned(); },
         PassResult::Error, "error", "unforeseen"},
        {"gave up before the dialog", [](Feed& f) { f.Start().Image().Failure(msg::NoConfiguration).Returned(); },
         PassResult::Error, "error", kTexts.at(msg::NoConfiguration)},
    };
    std::set<PassResult> covered;
    for (const Ending& ending : endings) {
        Feed f;
        ending.feed(f);
        ASSERT_GE(f.passes.size(), 1u) << ending.road;
        const UnitPass& pass = f.passes[0];
        EXPECT_EQ(pass.result, ending.result) << ending.road;
        EXPECT_EQ(pass.serial, "00000712") << ending.road;
        const std::string row = CCommissioningRecord::FormatRow("t", pass);
        const std::string tail = std::string(",") + ending.word + "," + AnsiToUtf8(ending.detail);
        EXPECT_EQ(row.substr(row.size() - std::min(row.size(), tail.size())), tail) << ending.road;
        covered.insert(pass.result);
    }
    EXPECT_EQ(covered.size(), static_cast<size_t>(PassResult::Error) + 1) << "a result without a road";

    // The operator tried address 7 on a write-protected unit: it still answers at its old one.
    Feed f;
    f.Start().Image().Progress(msg::ConfigDialogShown).Write(7, 19, 2, false).Failure(msg::WriteFailedLog)
        .Failure(msg::ConfigCancelled).Returned();
    f.Start().Returned();                                                 // CheckEEPROM failed: no unit, no pass
    ASSERT_EQ(f.passes.size(), 1u);
    EXPECT_EQ(f.passes[0].typeCode, "VX1205.10");
    EXPECT_NE(CCommissioningRecord::FormatRow("t", f.passes[0]).find(",VX1205.10,,,,write failed,"), std::string::npos)
        << CCommissioningRecord::FormatRow("t", f.passes[0]);
    // The held write after a refused one gives the settings.
    Feed g;
    g.Start().Image().Progress(msg::ConfigDialogShown).Write(3, 9, 0, false).Failure(msg::WriteFailedLog)
        .Write(4, 9, 2).Report(result::kSummary, nullptr, "s").Success(msg::Finished).Returned();
    ASSERT_EQ(g.passes.size(), 1u);
    EXPECT_NE(CCommissioningRecord::FormatRow("t", g.passes[0]).find(",VX1205.10,4,9600,even,configured,"), std::string::npos)
        << CCommissioningRecord::FormatRow("t", g.passes[0]);
}

// A unit's story as the main window tells it, the advice that follows, and the totals by unit.
TEST(UnitPass, TheSessionTellsEachUnitsStoryAndCountsUnitsNotPasses)
{
    struct Step {
        const char* serial;
        PassResult result;
        const char* story;
        const char* advice;
        const char* totals;
    };
    const char* failing = "0 units configured, 1 not configured, first-pass yield 0 %";
    const Step steps[] = {
        {"712", PassResult::TestFailed, "test failed: unit did not answer", "check its wiring and settings", failing},
        {"712", PassResult::TestFailed, "test failed: unit did not answer (2 times)", "check its wiring", failing},
        {"712", PassResult::Cancelled, "test failed: unit did not answer (2 times), then cancelled: not configured",
         "check its wiring", failing},
        {"712", PassResult::Configured, "test failed: unit did not answer (2 times), then cancelled: not configured, "
         "then configured at address 5", "Connect the next unit", "1 unit configured, 0 not configured, first-pass yield 0 %"},
        {"713", PassResult::Configured, "configured at address 5", "Connect the next unit",
         "2 units configured, 0 not configured, first-pass yield 50 %"},
        {"713", PassResult::Skipped, "skipped: configured earlier in this series", "Connect the next unit",
         "2 units configured, 0 not configured, first-pass yield 50 %"},
        {"714", PassResult::WriteFailed, "write failed: check that JP1 is in WE", "move JP1 of the unit to WE",
         "2 units configured, 1 not configured, first-pass yield 33 %"},
        {"713", PassResult::Cancelled, "cancelled: not configured", "Configure it again",
         "2 units configured, 1 not configured, first-pass yield 33 %"},
    };
    SessionTotals session;
    EXPECT_EQ(session.Text(), "0 units configured, 0 not configured");
    for (const Step& step : steps) {
        UnitPass pass;
        pass.serial = step.serial;
        pass.result = step.result;
        pass.address = 5;
        session.Count(pass);
        EXPECT_EQ(session.Story(), step.story) << step.serial;
        EXPECT_NE(std::string(Advice(session.Outcome())).find(step.advice), std::string::npos) << step.story;
        EXPECT_EQ(session.Text(), step.totals) << step.story;
    }
    EXPECT_EQ(session.InProgress("713"), "cancelled: not configured, then being configured again...");
    EXPECT_EQ(session.InProgress("715"), "being configured...");
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

// A disk that gives out part way through a row, or a share that will not open for appending.
class SickRecord : public CCommissioningRecord {
public:
    enum Sickness { ShortWrite, FailedWrite, RefusedOpen };
    SickRecord(const std::string& path, Sickness sickness) : CCommissioningRecord(path), m_sickness(sickness) {}

protected:
    HANDLE Open(DWORD access, DWORD disposition, DWORD flags) const override
    {
        if (m_sickness != RefusedOpen)
            return CCommissioningRecord::Open(access, disposition, flags);
        ::SetLastError(ERROR_WRITE_PROTECT);
        return INVALID_HANDLE_VALUE;
    }
    bool Write(HANDLE file, const char* data, DWORD size, DWORD* written) const override
    {
        bool ok = CCommissioningRecord::Write(file, data, size / 2, written);
        return ok && m_sickness == ShortWrite;
    }

private:
    Sickness m_sickness;
};

TEST(CommissioningRecord, ARowIsWholeOrNotThereAndARefusedOpenIsSaidAtStart)
{
    UnitPass pass;
    pass.serial = "00000712";
    pass.result = PassResult::Configured;
    const std::string path = daxotest::TempPath("sick.csv");
    ::DeleteFileA(path.c_str());
    ASSERT_TRUE(CCommissioningRecord(path).Append(pass));
    const std::string whole = daxotest::ReadFileBytes(path);
    for (auto sickness : {SickRecord::ShortWrite, SickRecord::FailedWrite, SickRecord::RefusedOpen}) {
        SickRecord record(path, sickness);
        EXPECT_FALSE(record.Append(pass)) << sickness;
        EXPECT_EQ(daxotest::ReadFileBytes(path), whole) << sickness;
    }
    std::string reason;
    EXPECT_FALSE(SickRecord(path, SickRecord::RefusedOpen).CanAppend(&reason));
    EXPECT_EQ(reason, "it cannot be opened for appending (error 19)");
}

} // namespace
