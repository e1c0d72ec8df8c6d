#pragma once
// The installation record: the "IsInstalled" number a maker folder's settings
// key holds. Free of <windows.h> so the decisions built on it can be checked
// anywhere.
#include <cstdint>

struct InstallRecord {
    // Any other number reads as an installation that began and did not
    // finish.
    enum Code : std::uint32_t {
        Begun = 1,    // written when an install starts
        Complete = 3, // written as an install's last step
        None = 5,     // what reads return when nothing usable is recorded
    };
};
