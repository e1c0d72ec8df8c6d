#pragma once
#include <string>

// Takes the named mutex that keeps a second copy of the installer with the
// same file name from running. False when another process already holds a
// mutex of that name. The handle is kept open for the life of the process;
// the system releases it when the process ends.
bool AcquireSingleInstance(const std::wstring& name);
