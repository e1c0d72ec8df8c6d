#pragma once
#include "report/ExitCodes.h"

#include <cstdint>

// Ends the whole process from any thread, and logs the end. In silent mode
// the exit code says how the run ended (ExitCodeFor); an interactive run
// ends with 0 on every path, normal or after a failure it cannot go on from.
// Tests reach these paths with death tests (EXPECT_EXIT ... ExitedWithCode(0)).
[[noreturn]] void EndProcess(RunEnd end = RunEnd::Success);

// Ends the process with exactly this code: the first process of a silent
// start passes on the exit code of the copy it waited for.
[[noreturn]] void EndProcessWithCode(std::uint32_t code);
