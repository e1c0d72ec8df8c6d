#pragma once
// The check that a DLL planted beside a program is never loaded by the
// installer's code, while a program importing it the ordinary way does pick it
// up (which shows the plant is effective on this system). Built by
// helm_planted_dll_test, which provides the planted DLL and both probes.
#include <string>

// Case-insensitive comparison of two Windows paths.
bool SamePath(const std::wstring& a, const std::wstring& b);

// Plants "<dll>.dll" in folder (an empty folder ending in '\') together with
// the two probes, copied under the names probeName and importProbeName, and
// runs both from there.
void ExpectPlantedCopyNeverLoaded(const std::wstring& dll, const std::wstring& folder,
                                  const std::wstring& probeName, const std::wstring& importProbeName);
