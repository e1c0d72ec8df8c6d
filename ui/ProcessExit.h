#pragma once

// Ends the whole process with exit code 0, from any thread. Every end of the
// installer, normal or after a failure it cannot go on from, has exit code 0.
// Tests reach these paths with death tests (EXPECT_EXIT ... ExitedWithCode(0)).
[[noreturn]] void EndProcess();
