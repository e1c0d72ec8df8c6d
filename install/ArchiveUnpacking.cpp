#include "install/ArchiveUnpacking.h"

#include "common/UniqueHandle.h"
#include "install/ChildProcess.h"
#include "install/CommandLines.h"
#include "install/UnzipBatch.h"
#include "platform/FileSystem.h"
#include "platform/RunLog.h"
#include "platform/SystemFolders.h"

#include <windows.h>

#include <vector>

namespace {

// text in the OEM code page, the one the command interpreter reads a batch
// file in. False when a character has no place there: written anyway, it
// would become another character and name another file.
bool InOemCodePage(const std::wstring& text, std::string& bytes) {
    bytes.clear();
    if (text.empty())
        return true;
    const int size = static_cast<int>(text.size());
    // UTF-8 (a system set to use it throughout) holds every character, and
    // takes neither the flag nor the question.
    const bool utf8 = ::GetOEMCP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lost = FALSE;
    BOOL* const lostOut = utf8 ? nullptr : &lost;
    const int length =
        ::WideCharToMultiByte(CP_OEMCP, flags, text.data(), size, nullptr, 0, nullptr, lostOut);
    if (length <= 0 || lost)
        return false;
    bytes.resize(static_cast<std::size_t>(length));
    return ::WideCharToMultiByte(CP_OEMCP, flags, text.data(), size, bytes.data(), length, nullptr,
                                 lostOut) == length &&
           !lost;
}

// The batch for archiveName, naming the tool by its full path. An install
// folder with letters the OEM code page lacks is named by its short form,
// which the file system keeps in plain ASCII where it keeps one at all.
std::string BatchBytes(const std::wstring& toolPath, const std::wstring& archiveName) {
    std::string bytes;
    if (InOemCodePage(UnzipBatchText(toolPath, archiveName), bytes))
        return bytes;
    std::vector<wchar_t> shortPath(MAX_PATH);
    const DWORD length = ::GetShortPathNameW(toolPath.c_str(), shortPath.data(), MAX_PATH);
    if (length > 0 && length < MAX_PATH &&
        InOemCodePage(UnzipBatchText(std::wstring(shortPath.data(), length), archiveName), bytes))
        return bytes;
    // Nothing names the tool: the first line fails as it would without one,
    // and the second still deletes the package.
    InOemCodePage(UnzipBatchText(std::wstring(), archiveName), bytes);
    return bytes;
}

} // namespace

Unpacked UnpackArchiveIn(const std::wstring& folder, const std::wstring& archiveName,
                         const DownloadAbort* cancel) {
    const std::wstring batchPath = folder + kUnzipBatchName;
    ChildEnd end;
    if (WriteWholeFile(batchPath, BatchBytes(folder + kArchiveToolName, archiveName))) {
        // The batch is named relative to the child's working folder, the one
        // it unpacks into, so the command line stays free of its blanks and
        // non-ASCII letters.
        const std::wstring system = SystemFolderPath();
        // The interpreter expands %errorlevel% to the tool's exit code only
        // while no variable of that name exists, and the user may define one
        // for every process they start: this one would stand in for the tool.
        ::SetEnvironmentVariableW(L"ERRORLEVEL", nullptr);
        end = RunChild(system + L"\\cmd.exe", UnzipCommandLine(system), folder, cancel);
    } else {
        LogEvent(L"unpack: " + batchPath + L" not written, error " + std::to_wstring(::GetLastError()));
    }
    ::DeleteFileW(batchPath.c_str());
    const Unpacked result = end.Succeeded()             ? Unpacked::Done
                            : end.started && !end.ended ? Unpacked::Cancelled
                                                        : Unpacked::Failed;
    if (RunLogOpen())
        LogEvent(L"unpack: " + archiveName +
                 (result == Unpacked::Done        ? L" unpacked"
                  : result == Unpacked::Cancelled ? L" not unpacked, the run was cancelled"
                                                  : L" not unpacked by the archive tool") +
                 L", the folder holds " + std::to_wstring(FolderSize(folder)) + L" bytes");
    return result;
}
