// The host's check of a test name against a module's table of supported tests.
#include "Test.h"
#include <gtest/gtest.h>

namespace {

TEST(SupportedTests, ExactNameMatchAgainstTheGivenTable)
{
    CTest test;
    char daxo[] = "DAXO-01", dax[] = "DAX-01";
    char* table[] = {daxo, daxo, dax};
    EXPECT_EQ(test.TestSupportedTest("DAX-01", table, 3), 1);
    EXPECT_EQ(test.TestSupportedTest("DAX-01", table, 2), 0);
    EXPECT_EQ(test.TestSupportedTest("DAX-01 ", table, 3), 0);
    EXPECT_EQ(test.TestSupportedTest(nullptr, table, 3), 0);
}

} // namespace
