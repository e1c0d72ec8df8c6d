#include "profile/ManifestVersion.h"

#include <gtest/gtest.h>

namespace {

struct ManifestCase {
    const wchar_t* text;
    const wchar_t* version;
};

class ManifestVersionTable : public ::testing::TestWithParam<ManifestCase> {};

TEST_P(ManifestVersionTable, TakesTheFirstVersionElement) {
    EXPECT_EQ(ManifestVersion(GetParam().text), GetParam().version);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ManifestVersionTable,
    ::testing::Values(ManifestCase{L"<?xml version=\"1.0\"?><updater><version>3.8.2.5</version></updater>",
                                   L"3.8.2.5"},
                      // Unchanged: spaces stay, nothing checks the form.
                      ManifestCase{L"<version> 3.8 </version>", L" 3.8 "},
                      ManifestCase{L"<version>beta\n</version>", L"beta\n"},
                      // Only the first element counts.
                      ManifestCase{L"<version>1.0</version><version>2.0</version>", L"1.0"},
                      // A closing tag before the opening one is not the end of the value.
                      ManifestCase{L"</version><version>4.1</version>", L"4.1"},
                      ManifestCase{L"<version></version>", L""},
                      // Missing tags give no version at all.
                      ManifestCase{L"", L""}, ManifestCase{L"<updater><Version>1.0</Version></updater>", L""},
                      ManifestCase{L"<version>3.8.2.5", L""}, ManifestCase{L"<version>3.8<version>", L""},
                      ManifestCase{L"<version>3.8</version", L""}));

} // namespace
