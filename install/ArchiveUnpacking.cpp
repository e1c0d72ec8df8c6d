#include "install/ArchiveUnpacking.h"

#include "common/UniqueHandle.h"
#include "install/ChildProcess.h"
#include "install/CommandLines.h"
#include "install/UnzipBatch.h"
#include "platform/SystemFolders.h"
#include "profile/ProductProfile.h"

#include <windows.h>

namespace {

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    unique_hfile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

} // namespace

bool UnpackArchive(const std::wstring& archiveName) {
    const std::wstring installDir = Profile().installDir();
    const std::wstring batchPath = installDir + kUnzipBatchName;
    bool unpacked = false;
    if (WriteWholeFile(batchPath, UnzipBatchText(archiveName))) {
        // Only the current directory names the install folder: the batch text
        // and its command line stay free of its blanks and non-ASCII letters.
        const std::wstring system = SystemFolderPath();
        unpacked = RunProgramAndWait(system + L"\\cmd.exe", UnzipCommandLine(system), installDir);
    }
    ::DeleteFileW(batchPath.c_str());
    return unpacked;
}
