#pragma once
// What an engine operation hands back instead of telling the user itself: it
// succeeded, or what failed, its subject and its code. The engine never shows
// a message, never ends the process and never words a failure: report/ chooses
// the wording, in the language it is asked for, and whether the process goes on.
// Free of <windows.h>.
#include <cstdint>
#include <string>
#include <vector>

enum class Failure {
    None,
    // The system reports no internet connection.
    NoConnection,
    // The server answered with a status that is not a success. values: the
    // status text as the server gave it, then the file asked for.
    ServerStatus,
    // A system or network error (code) while fetching values[0], a file name
    // that may be empty. Code 0 has nothing to tell.
    NetworkError,
    // The engine could not create the folder it installs through; values[0]
    // names the install folder.
    FolderNotCreated,
    // The package values[0] did not unpack, or held no application. What the
    // run put in place must not stay as an installation.
    PackageNotUnpacked,
    // The downloaded package values[1] is not the one the manifest's hash
    // names, or its hash could not be computed (code; values[0] is it in hex).
    PackageMismatch,
    // A file of the installed version, values[0], cannot be deleted now
    // (code: the system's answer), so the installed version cannot be
    // replaced. Nothing was changed.
    FilesInUse,
    // The install folder values[0] could not be created before a run.
    InstallFolderNotCreated,
    // The running installer could not be copied to values[0] (code), or the
    // file held as the installer, values[0], is not the running program.
    CopyNotMade,
    // The start-up's relaunch: the temporary-files folder gives no usable
    // name, a new folder in it could not be created (code; 0 when unknown),
    // or the installer could not be copied into it (code).
    TempNameUnavailable,
    TempFolderNotCreated,
    TempCopyNotMade,
    // The settings key could not be written although the process has the rights.
    RegistryNotWritable,
    // The process lacks administrative rights; values[0] names the product.
    NotAdministrator,
};

struct Outcome {
    Failure failure = Failure::None;
    std::vector<std::wstring> values; // the subject: what failed and where
    std::uint32_t code = 0;           // system or network error number; 0 when none

    bool Succeeded() const { return failure == Failure::None; }

    bool operator==(const Outcome& other) const {
        return failure == other.failure && values == other.values && code == other.code;
    }
    bool operator!=(const Outcome& other) const { return !(*this == other); }
};
