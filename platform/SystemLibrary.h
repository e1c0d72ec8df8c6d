#pragma once
// System libraries bound at run time. The installer imports only the
// libraries Windows always takes from the System folder; every other one is
// loaded here by its full path, never by bare name, because the loader's
// search looks in the executable's own folder first (usually a downloads
// folder anybody can write to). Its own dependencies are looked up beside it.
// A library once bound stays loaded until the process ends: handles and
// worker threads may outlive any owner it could be given.
#include <windows.h>

#include <optional>
#include <string>
#include <utility>

class SystemLibrary {
  public:
    SystemLibrary() = default;
    explicit SystemLibrary(HMODULE module) : module_(module) {}

    HMODULE module() const { return module_; }
    explicit operator bool() const { return module_ != nullptr; }

    // Puts each exported function `name` into its slot, given as pairs
    // (name, slot, name, slot, ...). True when all were found; a function the
    // library lacks (or every one, when it is not loaded) leaves its slot null
    // and the others bound.
    template <typename Function, typename... More>
    bool Bind(const char* name, Function& slot, More&&... more) const {
        slot = module_ ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module_, name)))
                       : nullptr;
        if constexpr (sizeof...(More) == 0)
            return slot != nullptr;
        else
            return Bind(std::forward<More>(more)...) && slot != nullptr;
    }

  private:
    HMODULE module_ = nullptr;
};

// The library fileName ("wininet.dll") of the System folder; empty when it
// cannot be loaded.
SystemLibrary BindSystemLibrary(const wchar_t* fileName);

// The library at a full path, with the same rules.
SystemLibrary BindLibraryAt(const std::wstring& fullPath);

// The one way a table of system functions is bound. A table is a struct of
// function pointers with
//     static constexpr const wchar_t* kLibrary = L"name.dll";
//     bool BindFrom(const SystemLibrary& library); // library.Bind(...)
// It is bound all or nothing: a table with any function missing is never
// handed out, so no caller can reach an empty entry. Callers that get none
// return their usual failure value (or, for the window's drawing, the
// program's start decides to stop).
template <typename Functions> std::optional<Functions> BindFunctions(const SystemLibrary& library) {
    Functions functions;
    if (!functions.BindFrom(library))
        return std::nullopt;
    return functions;
}

// The process-wide table, bound from the System folder at first use (never
// before main; thread-safe), and kept. Null when it could not be bound.
template <typename Functions> const Functions* SystemFunctions() {
    static const std::optional<Functions> bound =
        BindFunctions<Functions>(BindSystemLibrary(Functions::kLibrary));
    return bound ? &*bound : nullptr;
}
