#pragma once
// The transfer of a package into its file: large reads, each written whole,
// and a transfer that ends early taken up again where the file ends.
#include "common/Outcome.h"
#include "net/DownloadAbort.h"

#include <windows.h>

#include <string>

// Writes the body of url into file (empty, open for writing). fileName is the
// name outcomes give for the download, targetPath the one for the file.
//
// A transfer that ends early (a failed read, or fewer bytes than the answer
// announced) is retried up to three times, each asking for the rest with
// "Range: bytes=N-" and appending it; an answer that does not carry exactly
// that rest (ContinuesAt) starts the file again from nothing. Only after the
// last retry does the failure come back.
//
// The abort is tested after every read: once it holds, the transfer (retries
// included) ends with a success, and the read during which it came is not
// written. Its request also interrupts a read that waits on the server.
Outcome TransferToFile(HANDLE file, const std::wstring& url, const std::wstring& fileName,
                       const std::wstring& targetPath, DownloadAbort* abort);
