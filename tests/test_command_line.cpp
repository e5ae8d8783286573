// Tests of the viewers' command line: which of --help, --version, an unknown option and the logs decides, what
// "--" does, and the logs after the first. Pure parsing: no fixture, no backend.
#include <gtest/gtest.h>

#include "app/command_line.h"

namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, LogsOpenTheFirstAndIgnoreTheRest)
{
    ViewerCommandLine none = parseViewerCommandLine({});
    EXPECT_TRUE(none.logPath.empty());
    EXPECT_TRUE(none.error.empty());
    EXPECT_FALSE(none.help || none.version);

    ViewerCommandLine one = parseViewerCommandLine({"game.log"});
    EXPECT_EQ(one.logPath, "game.log");
    EXPECT_TRUE(one.ignoredPaths.empty());

    ViewerCommandLine three = parseViewerCommandLine({"/logs/a b.log", "second.log", "third"});
    EXPECT_EQ(three.logPath, "/logs/a b.log");
    EXPECT_EQ(three.ignoredPaths, (Args{"second.log", "third"}));
    EXPECT_TRUE(three.error.empty());
}

TEST(CommandLine, DoubleDashEndsTheOptions)
{
    ViewerCommandLine dashed = parseViewerCommandLine({"--", "--help", "-", "--"});
    EXPECT_FALSE(dashed.help);
    EXPECT_TRUE(dashed.error.empty());
    EXPECT_EQ(dashed.logPath, "--help");
    EXPECT_EQ(dashed.ignoredPaths, (Args{"-", "--"}));

    // Logs before "--" count as well; an option after it is a log.
    ViewerCommandLine mixed = parseViewerCommandLine({"a.log", "--", "-b.log"});
    EXPECT_EQ(mixed.logPath, "a.log");
    EXPECT_EQ(mixed.ignoredPaths, Args{"-b.log"});
}

TEST(CommandLine, HelpAndVersionStopTheReading)
{
    ViewerCommandLine help = parseViewerCommandLine({"a.log", "--help", "--bogus"});
    EXPECT_TRUE(help.help);
    EXPECT_FALSE(help.version);
    EXPECT_TRUE(help.error.empty());

    ViewerCommandLine version = parseViewerCommandLine({"--version", "--help"});
    EXPECT_TRUE(version.version);
    EXPECT_FALSE(version.help);
}

TEST(CommandLine, UnknownOptionsAreUsageErrors)
{
    // Each case: the arguments and the option the error names.
    const std::vector<std::pair<Args, std::string>> cases = {{{"--bogus"}, "--bogus"},
                                                             {{"-h"}, "-h"},
                                                             {{"-"}, "-"},
                                                             {{"--help=yes"}, "--help=yes"},
                                                             {{"a.log", "--versions"}, "--versions"},
                                                             {{"--bogus", "--help"}, "--bogus"}};
    for (const auto& [args, option] : cases) {
        ViewerCommandLine parsed = parseViewerCommandLine(args);
        EXPECT_EQ(parsed.error, "unknown option " + option);
        EXPECT_FALSE(parsed.help || parsed.version);
    }
    EXPECT_FALSE(parseViewerCommandLine({""}).error.empty());
    EXPECT_FALSE(parseViewerCommandLine({"--", ""}).error.empty());
}

TEST(CommandLine, UsageNamesTheProgramAndEveryOption)
{
    const std::string usage = viewerUsage("Kelo.exe");
    EXPECT_EQ(usage.rfind("Usage: Kelo.exe [options] [LOG]\n", 0), 0U);
    for (const char* option : {"--help", "--version", "--  "})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

}  // namespace
