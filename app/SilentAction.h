#pragma once
// How a silent run ends, from its plan and what the executor's run came to.
// Free of <windows.h>.
#include "install/RunPlan.h"
#include "install/RunResult.h"
#include "report/ExitCodes.h"

RunEnd SilentEnd(PlannedRun run, const RunResult& result);
