#include "ui/ProcessExit.h"

#include <windows.h>

void EndProcess() {
    // ExitProcess rather than exit(): detached worker threads may still be
    // running, and static destructors must not pull objects out from under them.
    ::ExitProcess(0);
}
