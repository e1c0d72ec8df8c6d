#include "app/StartupOptions.h"
#include "profile/ProductProfile.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    const wchar_t* commandLine;
    const wchar_t* server; // nullptr: the default server
    bool uninstall;
};

class ParseCommandLineTable : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseCommandLineTable, SelectsServerAndMode) {
    const ParseCase& c = GetParam();
    const StartupOptions o = ParseCommandLine(c.commandLine);
    EXPECT_EQ(o.serverBaseUrl, c.server ? std::wstring(c.server) : std::wstring(kDefaultServerBaseUrl))
        << ::testing::PrintToString(std::wstring(c.commandLine));
    EXPECT_EQ(o.uninstallMode, c.uninstall) << ::testing::PrintToString(std::wstring(c.commandLine));
    EXPECT_EQ(o.commandLine, c.commandLine);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseCommandLineTable,
    ::testing::Values(ParseCase{L"", nullptr, false},
                      ParseCase{L"-test http://127.0.0.1:8080/", L"http://127.0.0.1:8080/", false},
                      // Switches ignore case; the address keeps its own.
                      ParseCase{L"-TEST HTTP://Mirror.Example/Path/", L"HTTP://Mirror.Example/Path/", false},
                      ParseCase{L"-Uninstall", nullptr, true},
                      // A trailing -test has no value and changes nothing.
                      ParseCase{L"-test", nullptr, false}, ParseCase{L"-uninstall -test", nullptr, true},
                      // The value after -test is consumed, even when it looks like a switch.
                      ParseCase{L"-test -uninstall", L"-uninstall", false},
                      // The last -test wins.
                      ParseCase{L"-test http://a/ -test http://b/", L"http://b/", false},
                      ParseCase{L"-uninstall -test http://a/", L"http://a/", true},
                      ParseCase{L"-test http://a/ -uninstall", L"http://a/", true},
                      // Whole-argument comparison: prefixes and extensions are ignored.
                      ParseCase{L"-uninstallx -tests http://a/", nullptr, false},
                      ParseCase{L"/uninstall --test http://a/", nullptr, false},
                      // An empty quoted value counts as no address.
                      ParseCase{L"-test \"\"", nullptr, false},
                      // Quoted values with blanks stay one argument.
                      ParseCase{L"-test \"http://a/with blank/\" -uninstall", L"http://a/with blank/", true},
                      // Unknown arguments anywhere are not an error.
                      ParseCase{L"foo -uninstall bar", nullptr, true}));

TEST(StartupOptions, SilentAndLogAreWholeArgumentsAndTheLastLogWins) {
    const StartupOptions o =
        ParseCommandLine(L"-SILENT -log first.log -Log \"logs\\second one.log\" -silentx");
    EXPECT_TRUE(o.silent);
    EXPECT_EQ(o.logPath, L"logs\\second one.log");
    EXPECT_FALSE(ParseCommandLine(L"-silentx -logs x.log").silent);
    EXPECT_TRUE(ParseCommandLine(L"-silentx -logs x.log -log").logPath.empty());
    // The value is consumed: it is not itself a switch.
    EXPECT_FALSE(ParseCommandLine(L"-log -silent").silent);
}

TEST(StartupOptions, TheCopyGetsTheLogPathMadeAbsoluteAndEveryOtherArgumentUnchanged) {
    const std::wstring line = L"-test \"http://a/b c/\" -log x.log -silent \"tail\\\\\" \"q\\\"uote\" \"\"";
    const StartupOptions o = ParseCommandLine(line);
    ASSERT_EQ(o.logPath, L"x.log");
    // Nothing to replace: the command line as received.
    EXPECT_EQ(CommandLineForCopy(o, L"x.log"), line);
    EXPECT_EQ(CommandLineForCopy(ParseCommandLine(L"-silent  -uninstall"), L""), L"-silent  -uninstall");
    const StartupOptions copy = ParseCommandLine(CommandLineForCopy(o, L"C:\\Users\\A B\\x.log"));
    std::vector<std::wstring> expected = o.arguments;
    expected[o.logPathIndex] = L"C:\\Users\\A B\\x.log";
    EXPECT_EQ(copy.arguments, expected);
    EXPECT_EQ(copy.logPath, L"C:\\Users\\A B\\x.log");
}

TEST(StartupOptions, DefaultServerIsSecureAndCanNeverReachARealHost) {
    const std::wstring url = kDefaultServerBaseUrl;
    EXPECT_EQ(url.rfind(L"https://", 0), 0u);
    EXPECT_EQ(url.back(), L'/');
    const std::wstring host = url.substr(8, url.find(L'/', 8) - 8);
    const std::wstring tld = L".example";
    ASSERT_GE(host.size(), tld.size());
    EXPECT_EQ(host.substr(host.size() - tld.size()), tld);
}

} // namespace
