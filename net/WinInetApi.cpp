#include "net/WinInetApi.h"

#include "profile/SystemFolderPath.h"

namespace {

template <typename Function> void Bind(HMODULE module, const char* name, Function& slot) {
    slot = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

WinInetApi Load() {
    WinInetApi api;
    // Full path only: a bare name would let the search find a planted copy.
    const std::wstring path = SystemFolderPath() + L"\\wininet.dll";
    api.module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!api.module)
        return api;
    Bind(api.module, "InternetGetConnectedState", api.InternetGetConnectedState);
    Bind(api.module, "InternetOpenW", api.InternetOpenW);
    Bind(api.module, "InternetOpenUrlW", api.InternetOpenUrlW);
    Bind(api.module, "InternetReadFile", api.InternetReadFile);
    Bind(api.module, "InternetCloseHandle", api.InternetCloseHandle);
    Bind(api.module, "HttpQueryInfoW", api.HttpQueryInfoW);
    return api;
}

} // namespace

const WinInetApi& WinInet() {
    // The module handle is deliberately never freed: handles and worker
    // threads may outlive any owner we could give it.
    static const WinInetApi api = Load();
    return api;
}

namespace {
// Loads the library while the process starts, before the entry point and
// before any thread of ours exists.
const bool preloaded = WinInet().module != nullptr;
} // namespace
