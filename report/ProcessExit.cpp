#include "report/ProcessExit.h"

#include "platform/RunLog.h"
#include "report/SilentMode.h"

#include <windows.h>

#include <string>

void EndProcess(RunEnd end) {
    EndProcessWithCode(ExitCodeFor(end, SilentMode()));
}

void EndProcessWithCode(std::uint32_t code) {
    LogEvent(L"end: exit code " + std::to_wstring(code));
    // ExitProcess rather than exit(): detached worker threads may still be
    // running, and static destructors must not pull objects out from under them.
    ::ExitProcess(code);
}
