// The command line of daxohost.exe: the options it reads and the ones it refuses.
#include "CommandLine.h"
#include <gtest/gtest.h>

namespace {

using namespace daxohost;

TEST(CommandLine, ReadsTheOptionsAndRefusesWrongOnes)
{
    HostOptions options;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--bench", "b.ini", "--script", "s.txt", "--lang", "cs.xml", "--log", "out\\log.txt",
                                  "--shots", "pics", "--calls", "3", "--timeout", "20"},
                                 &options, &error))
        << error;
    EXPECT_EQ(options.bench, "b.ini");
    EXPECT_EQ(options.script, "s.txt");
    EXPECT_EQ(options.lang, "cs.xml");
    EXPECT_EQ(options.shots, "pics");
    EXPECT_EQ(options.calls, 3);
    EXPECT_EQ(options.timeoutMs, 20000u);
    EXPECT_EQ(RecordPath(options), "out\\commissioning.csv") << "beside the log";
    options.record = "r.csv";
    EXPECT_EQ(RecordPath(options), "r.csv");
    EXPECT_EQ(RecordPath(HostOptions()), "commissioning.csv");

    const std::vector<std::vector<std::string>> wrong = {
        {"--bench"}, {"--frob", "1"}, {"stray"}, {"--script", "s", "--calls", "0"}, {"--script", "s", "--calls", "x"},
        {"--script", "s", "--timeout", "0"}, {"--calls", "2"}, {"--log", ""}};
    for (const auto& args : wrong) {
        HostOptions refused;
        error.clear();
        EXPECT_FALSE(ParseCommandLine(args, &refused, &error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
    HostOptions help;
    EXPECT_TRUE(ParseCommandLine({"--help"}, &help, &error));
    EXPECT_TRUE(help.help);
}

} // namespace
