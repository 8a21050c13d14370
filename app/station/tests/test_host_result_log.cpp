// The result log: every report of the process with the call results, and its listeners.
#include "HostContract.h"
#include "ModuleLoader.h"
#include "ResultLog.h"
#include "SimBench.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

namespace {

using namespace daxohost;
using daxotest::BenchFile;

TEST(ResultLog, TakesEveryReportOfTheProcessWithTheCallResults)
{
    CModuleLoader module;
    ASSERT_EQ(module.Load(), ModuleStatus::Loaded) << module.Message();
    // A unit without a type code: the module reports the start and the failure, and shows nothing.
    BenchFile().Unit({"TypeCodeHex=20202020202020202020202020202020", "Serial=1"}).Load();
    CResultLog log;
    std::vector<std::string> heard;
    log.AddListener([&heard](const LogEntry& entry) { heard.push_back(entry.text); });
    std::string file = daxotest::TempPath("live.log");
    ASSERT_TRUE(log.WriteTo(file));
    log.AddCallResult(module.Test()->ConfigureThermometer(nullptr, 0, 0));
    log.AddReport(result::kSummary, "configuration for 712:\taddress 5");

    std::vector<LogEntry> entries = log.Entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].code, result::kProgress);
    EXPECT_EQ(entries[0].text, "DAXO configuration");
    EXPECT_TRUE(entries[0].heading);
    EXPECT_EQ(entries[1].code, result::kFailure);
    EXPECT_FALSE(entries[1].heading);
    EXPECT_EQ(entries[2].source, LogSource::CallResult);
    EXPECT_EQ(entries[2].code, 2);
    EXPECT_EQ(heard.size(), 4u);

    std::string line = CResultLog::FormatLine(entries[3]);
    EXPECT_EQ(line.substr(12), "\t117\tconfiguration for 712:\\taddress 5") << "one line per report";
    EXPECT_EQ(CResultLog::FormatLine(entries[2]).substr(12), "\tcall\tConfigureThermometer returned 2");

    std::string saved = daxotest::TempPath("saved.log");
    std::string reason;
    ASSERT_TRUE(log.Save(saved, &reason)) << reason;
    std::string written = daxotest::ReadFileBytes(saved);
    EXPECT_EQ(written, daxotest::ReadFileBytes(file)) << "the live file and the saved log agree";
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 4);
}

TEST(ResultLog, NoLongerListensOnceGone)
{
    CModuleLoader module;
    ASSERT_EQ(module.Load(), ModuleStatus::Loaded) << module.Message();
    BenchFile().Load();   // nothing at the fixture: the module reports the start of the call only
    {
        CResultLog log;
    }
    EXPECT_EQ(module.Test()->ConfigureThermometer(nullptr, 0, 0), 2);
}

} // namespace
