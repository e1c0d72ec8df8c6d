#include "report/ExitCodes.h"

#include <gtest/gtest.h>

namespace {

TEST(ExitCodes, SilentCodesAreTheOnesDeploymentToolsKnowAndInteractiveIsAlwaysZero) {
    const struct {
        RunEnd end;
        std::uint32_t code;
    } table[] = {{RunEnd::Success, 0},           {RunEnd::Cancelled, 1602},
                 {RunEnd::Failed, 1603},         {RunEnd::AlreadyRunning, 1618},
                 {RunEnd::NewerInstalled, 1638}, {RunEnd::RestartNeeded, 3010}};
    for (const auto& row : table) {
        EXPECT_EQ(ExitCodeFor(row.end, true), row.code);
        EXPECT_EQ(ExitCodeFor(row.end, false), 0u);
    }
}

} // namespace
