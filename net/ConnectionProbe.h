#pragma once
#include <functional>

// Test seam for Downloader::IsConnected: while a probe is installed, it is
// asked instead of the system, so tests can play an offline machine. Returns
// the previous probe; an empty probe restores the system's answer.
using ConnectionProbe = std::function<bool()>;
ConnectionProbe SetConnectionProbe(ConnectionProbe probe);
