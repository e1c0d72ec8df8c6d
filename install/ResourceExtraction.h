#pragma once
#include <cstdint>
#include <string>

// Writes resource (type, name) of the running executable, byte for byte, into
// folder (ending in a backslash) under fileName, replacing an existing file.
// A missing resource writes nothing; a file that cannot be written keeps its
// old content. Nothing is reported.
void ExtractResourceToFolder(std::uint16_t name, std::uint32_t type, const std::wstring& folder,
                             const std::wstring& fileName);
