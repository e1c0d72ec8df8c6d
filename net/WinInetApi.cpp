#include "net/WinInetApi.h"

#include "platform/SystemLibrary.h"

namespace {

WinInetApi Load() {
    WinInetApi api;
    const SystemLibrary library = BindSystemLibrary(L"wininet.dll");
    api.module = library.module();
    library.Bind("InternetGetConnectedState", api.InternetGetConnectedState);
    library.Bind("InternetOpenW", api.InternetOpenW);
    library.Bind("InternetOpenUrlW", api.InternetOpenUrlW);
    library.Bind("InternetReadFile", api.InternetReadFile);
    library.Bind("InternetCloseHandle", api.InternetCloseHandle);
    library.Bind("HttpQueryInfoW", api.HttpQueryInfoW);
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
