// The result log of the host's base test class: every report that SendTestResult gets is
// handed to the host and appended as one line to the file DAXO_RESULT_LOG names.
#include "DAXOTester.h"
#include "TestSupport.h"
#include <gtest/gtest.h>

namespace {

TEST(ResultLog, OneEscapedLinePerReportWithTheHeadingFirst)
{
    std::string path = daxotest::TempPath("results.log");
    ::DeleteFileA(path.c_str());
    daxotest::ScopedEnv log("DAXO_RESULT_LOG", path.c_str());
    daxotest::ReportCapture capture;
    CDAXOTester tester(nullptr);
    tester.SendTestResult(nullptr, "DAXO configuration", nullptr, 1, 112, 0);
    tester.SendTestResult(nullptr, nullptr, "a\\b\nc\td", 1, 113, 0);
    tester.SendTestResult(nullptr, nullptr, "parity \x9E\xE1\x64n\xE1 (NO)", 1, 117, 0);
    tester.SendTestResult(nullptr, "heading", "line", 1, 114, 0);
    EXPECT_EQ(daxotest::ReadFileBytes(path),
              "112\tDAXO configuration\r\n113\ta\\\\b\\nc\\td\r\n117\tparity \x9E\xE1\x64n\xE1 (NO)\r\n114\theading\r\n");
    ASSERT_EQ(capture.Reports().size(), 4u);
    EXPECT_EQ(capture.Reports()[1].code, 113);
    EXPECT_FALSE(capture.Reports()[1].hasHeading);
}

// A reader splitting the log at CR, LF or both must still see one report per line.
TEST(ResultLog, CarriageReturnsAreEscapedToo)
{
    std::string path = daxotest::TempPath("results-cr.log");
    ::DeleteFileA(path.c_str());
    daxotest::ScopedEnv log("DAXO_RESULT_LOG", path.c_str());
    CDAXOTester tester(nullptr);
    tester.SendTestResult(nullptr, nullptr, "a\r\nb\rc", 1, 113, 0);
    tester.SendTestResult(nullptr, "\r", nullptr, 1, 112, 0);
    EXPECT_EQ(daxotest::ReadFileBytes(path), "113\ta\\r\\nb\\rc\r\n112\t\\r\r\n");
}

TEST(ResultLog, NothingIsWrittenWithoutTheVariable)
{
    daxotest::ScopedEnv log("DAXO_RESULT_LOG", nullptr);
    CDAXOTester tester(nullptr);
    EXPECT_EQ(tester.SendTestResult(nullptr, nullptr, "x", 1, 112, 0), 1);
}

} // namespace
