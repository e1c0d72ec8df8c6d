#include "net/WinInetApi.h"

#include "platform/SystemLibrary.h"

namespace {

WinInetApi Load() {
    WinInetApi api;
    const SystemLibrary library = BindSystemLibrary(L"wininet.dll");
    api.module = library.module();
    library.Bind("InternetGetConnectedState", api.InternetGetConnectedState, "InternetOpenW",
                 api.InternetOpenW, "InternetOpenUrlW", api.InternetOpenUrlW, "InternetReadFile",
                 api.InternetReadFile, "InternetCloseHandle", api.InternetCloseHandle, "HttpQueryInfoW",
                 api.HttpQueryInfoW);
    return api;
}

} // namespace

const WinInetApi& WinInet() {
    static const WinInetApi api = Load();
    return api;
}

namespace {
// Loads the library while the process starts, before the entry point and
// before any thread of ours exists.
const bool preloaded = WinInet().module != nullptr;
} // namespace
