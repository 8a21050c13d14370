// The host's check of a test name against a module's table of supported tests.
#include "Test.h"
#include <gtest/gtest.h>

namespace {

TEST(SupportedTests, ExactNameMatchAgainstTheGivenTable)
{
    CTest test;
    const char* const table[] = {"DAXO-01", "DAXO-01", "DAX-01"};
    EXPECT_EQ(test.TestSupportedTest("DAX-01", table, 3), 1);
    EXPECT_EQ(test.TestSupportedTest("DAX-01", table, 2), 0);
    EXPECT_EQ(test.TestSupportedTest("DAX-01 ", table, 3), 0);
    EXPECT_EQ(test.TestSupportedTest(nullptr, table, 3), 0);
}

} // namespace
