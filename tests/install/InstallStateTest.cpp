// The opening-screen decision over its whole table, with a reader that counts
// which records were consulted.
#include "InstallDecisionPrinter.h"

#include "install/InstallState.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

constexpr std::uint32_t kNone = 5;
using S = InstallState;
using Sc = InstallerScreen;

struct DecisionCase {
    const char* what;
    std::uint32_t norvale;
    std::uint32_t tessaro;
    bool uninstallMode;
    const wchar_t* installed;
    const wchar_t* offered;
    InstallState state;
    InstallerScreen screen;
};

void PrintTo(const DecisionCase& c, std::ostream* os) {
    *os << c.what;
}

class DecideInstallStateTable : public ::testing::TestWithParam<DecisionCase> {};

TEST_P(DecideInstallStateTable, ChoosesStateAndScreen) {
    const DecisionCase& c = GetParam();
    int norvaleReads = 0;
    int tessaroReads = 0;
    int otherReads = 0;
    const InstallStatusReader reader = [&](const std::wstring& maker) -> std::uint32_t {
        if (maker == L"Norvale")
            return ++norvaleReads, c.norvale;
        if (maker == L"Tessaro")
            return ++tessaroReads, c.tessaro;
        ++otherReads;
        return kNone;
    };
    const InstallDecision d = DecideInstallState(reader, L"Norvale", L"Tessaro", c.uninstallMode,
                                                 ProductVersion(c.installed), ProductVersion(c.offered));
    EXPECT_EQ(d, (InstallDecision{c.state, c.screen}));
    EXPECT_EQ(norvaleReads, 1);
    // The second brand is consulted only when the first has no record.
    EXPECT_EQ(tessaroReads, c.norvale == kNone ? 1 : 0);
    EXPECT_EQ(otherReads, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DecideInstallStateTable,
    ::testing::Values(
        // Nothing recorded: install, whatever the versions and the mode.
        DecisionCase{"nothing", kNone, kNone, false, L"", L"2.2", S::Fresh, Sc::Welcome},
        DecisionCase{"nothing, versions equal", kNone, kNone, false, L"2.2", L"2.2", S::Fresh, Sc::Welcome},
        DecisionCase{"nothing, uninstall mode", kNone, kNone, true, L"2.2", L"2.2", S::Fresh, Sc::Welcome},
        DecisionCase{"nothing, uninstall mode, no versions", kNone, kNone, true, L"", L"", S::Fresh,
                     Sc::Welcome},
        // The other brand's record stands in for a missing one.
        DecisionCase{"Tessaro complete, older", kNone, 3, false, L"2.1.0.5", L"2.2.0.1", S::Replace,
                     Sc::OldVersionInstalled},
        DecisionCase{"Tessaro complete, uninstall mode", kNone, 3, true, L"2.1.0.5", L"2.2.0.1", S::Uninstall,
                     Sc::UninstallWelcome},
        DecisionCase{"Tessaro begun", kNone, 1, false, L"2.2", L"2.2", S::Replace, Sc::IncompleteInstall},
        DecisionCase{"Tessaro zero", kNone, 0, true, L"", L"", S::Replace, Sc::IncompleteInstall},
        // Unfinished installations are replaced, before the mode or the versions count.
        DecisionCase{"Norvale begun", 1, kNone, false, L"2.1", L"2.2", S::Replace, Sc::IncompleteInstall},
        DecisionCase{"Norvale begun, uninstall mode", 1, kNone, true, L"2.2", L"2.2", S::Replace,
                     Sc::IncompleteInstall},
        DecisionCase{"Norvale begun, newer installed", 1, 3, false, L"2.3", L"2.2", S::Replace,
                     Sc::IncompleteInstall},
        DecisionCase{"Norvale unknown number", 4294967294u, 3, false, L"2.2", L"2.2", S::Replace,
                     Sc::IncompleteInstall},
        // Norvale complete: Tessaro's begun record is never read.
        DecisionCase{"Norvale complete, Tessaro begun, older", 3, 1, false, L"2.1", L"2.2", S::Replace,
                     Sc::OldVersionInstalled},
        DecisionCase{"Norvale complete, Tessaro begun, same", 3, 1, false, L"2.2", L"2.2", S::Uninstall,
                     Sc::UninstallWelcome},
        // Uninstall mode with a complete installation.
        DecisionCase{"uninstall mode, offered empty", 3, kNone, true, L"2.0", L"", S::Uninstall,
                     Sc::UninstallWelcome},
        DecisionCase{"uninstall mode, newer installed", 3, kNone, true, L"2.3", L"2.2.9", S::Uninstall,
                     Sc::UninstallWelcome},
        // Versions.
        DecisionCase{"same version", 3, kNone, false, L"2.2.0.1", L"2.2.0.1", S::Uninstall,
                     Sc::UninstallWelcome},
        DecisionCase{"newer installed", 3, kNone, false, L"2.3", L"2.2.9", S::Done,
                     Sc::NewerVersionInstalled},
        DecisionCase{"installed empty", 3, kNone, false, L"", L"2.2", S::Replace, Sc::OldVersionInstalled},
        DecisionCase{"offered empty", 3, kNone, false, L"2.2", L"", S::Done, Sc::NewerVersionInstalled},
        DecisionCase{"both empty", 3, kNone, false, L"", L"", S::Uninstall, Sc::UninstallWelcome},
        DecisionCase{"older installed", 3, kNone, false, L"2.1.0.5", L"2.2.0.1", S::Replace,
                     Sc::OldVersionInstalled},
        // Texts are compared exactly before numerically: equal numbers written
        // differently are not the same version.
        DecisionCase{"1.0 vs 1.00", 3, kNone, false, L"1.0", L"1.00", S::Replace, Sc::OldVersionInstalled},
        DecisionCase{"1.00 vs 1.0", 3, kNone, false, L"1.00", L"1.0", S::Replace, Sc::OldVersionInstalled},
        DecisionCase{"installed longer", 3, kNone, false, L"2.2.0", L"2.2", S::Done,
                     Sc::NewerVersionInstalled},
        DecisionCase{"offered longer", 3, kNone, false, L"2.2", L"2.2.0", S::Replace,
                     Sc::OldVersionInstalled},
        DecisionCase{"numeric not textual", 3, kNone, false, L"2.10", L"2.9", S::Done,
                     Sc::NewerVersionInstalled}));

TEST(InstallState, ReadsTheMakersItIsGiven) {
    std::vector<std::wstring> asked;
    const InstallStatusReader reader = [&](const std::wstring& maker) -> std::uint32_t {
        asked.push_back(maker);
        return kNone;
    };
    DecideInstallState(reader, L"A", L"B", false, ProductVersion(), ProductVersion());
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"A", L"B"}));
}

} // namespace
