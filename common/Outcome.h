#pragma once
// What an engine operation hands back instead of telling the user itself: it
// succeeded, or what failed, with everything a message about it needs. The
// engine never shows a message and never ends the process; the application
// decides whether and how a failure is told, and whether the process goes on.
// Free of <windows.h>.
#include <cstdint>
#include <string>
#include <vector>

enum class Failure {
    None,
    // The system reports no internet connection. key: the message.
    NoConnection,
    // The server answered with a status that is not a success. key and
    // values: the message.
    ServerStatus,
    // A system or network error (code) while fetching values[0], a file name
    // that may be empty. key: the message when one words it (a rejected
    // certificate), empty when the system's own text for code does. Code 0
    // has nothing to tell.
    NetworkError,
    // The folder values[0] could not be created. key: the message.
    FolderNotCreated,
    // The package values[0] did not unpack, or held no application. key: the
    // message. What the run put in place must not stay as an installation.
    PackageNotUnpacked,
    // The downloaded package values[1] is not the one the manifest's hash
    // names, or its hash could not be computed (code). key and values: the
    // message, worded as a download error.
    PackageMismatch,
    // A file of the installed version, values[0], cannot be deleted now
    // (code: the system's answer), so the installed version cannot be
    // replaced. Nothing was changed. The message is the system's text.
    FilesInUse,
};

struct Outcome {
    Failure failure = Failure::None;
    std::wstring key;                 // translation key of the message
    std::vector<std::wstring> values; // the key's %1, %2, ... and the subject
    std::uint32_t code = 0;           // system or network error number; 0 when none

    bool Succeeded() const { return failure == Failure::None; }

    bool operator==(const Outcome& other) const {
        return failure == other.failure && key == other.key && values == other.values && code == other.code;
    }
    bool operator!=(const Outcome& other) const { return !(*this == other); }
};
