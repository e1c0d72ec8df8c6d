#include "install/DeletionGuard.h"

#include <gtest/gtest.h>

namespace {

ProtectedFolders Machine() {
    ProtectedFolders p;
    p.folders = {L"C:\\Windows",
                 L"C:\\Windows\\System32",
                 L"C:\\Program Files",
                 L"C:\\Program Files (x86)",
                 L"C:\\ProgramData",
                 L"C:\\Users",
                 L"C:\\Users\\Ann",
                 L"C:\\Users\\Ann\\Desktop\\",
                 L"D:\\Data\\Profiles\\Bob"};
    p.trees = {L"C:\\Windows"};
    p.profilesFolder = L"C:\\Users";
    return p;
}

bool Deletable(const std::wstring& path) {
    return IsDeletableFolder(path, Machine());
}

} // namespace

TEST(DeletionGuard, DecidesEachPathOfTheTable) {
    const struct {
        const wchar_t* path;
        bool deletable;
    } cases[] = {
        // accepts ordinary install folders
        {L"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\", true},
        {L"C:\\Program Files (x86)\\Norvale\\", true},
        {L"C:\\Program Files (x86)\\Tessaro\\SSD Helmview", true},
        {L"D:\\Tools\\SSD Helmview\\", true},
        {L"C:\\Users\\Ann\\AppData\\Local\\Helmview\\", true}, // inside a profile is fine
        {L"C:\\Program Files (x86)\\Norv\u00e4le\\SSD Helmview\\", true},
        // refuses empty relative and root paths
        {L"", false},
        {L"\\", false},
        {L"SSD Helmview\\", false},
        {L"Norvale\\SSD Helmview", false},
        {L"C:", false},
        {L"C:\\", false},
        {L"c:\\\\", false},
        {L"C:SSD Helmview\\", false},
        {L"\\Program Files\\Norvale\\", false},
        {L"\\\\server\\share\\", false},
        {L"\\\\server\\share", false},
        {L"\\\\server", false},
        {L"\\\\?\\C:\\Tools\\SSD Helmview\\", false},
        {L"\\\\.\\C:\\Tools\\", false},
        {L"1:\\Tools\\", false},
        // refuses every unc and device path
        // An administrative share reaches the system drive past every protected
        // name; no share is told apart from that.
        {L"\\\\localhost\\C$\\Users\\", false},
        {L"\\\\127.0.0.1\\c$\\Program Files (x86)\\Norvale\\SSD Helmview\\", false},
        {L"\\\\server\\share\\Helmview\\", false},
        {L"//server/share/Helmview/", false},
        {L"\\/server\\share\\Helmview", false},
        {L"\\\\?\\UNC\\server\\share\\Helmview\\", false},
        {L"\\\\?\\C:\\Tools\\SSD Helmview\\", false},
        {L"\\\\.\\C:\\Tools\\SSD Helmview\\", false},
        {L"\\\\.\\pipe\\Helmview", false},
        {L"\\??\\C:\\Tools\\SSD Helmview\\", false},
        // refuses steps windows would rewrite
        {L"C:\\Program Files (x86)\\Norvale\\..\\", false},
        {L"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\..\\..", false},
        {L"C:\\Tools\\.\\SSD Helmview\\", false},
        {L"C:\\Windows.\\", false},
        {L"C:\\Program Files \\", false},
        {L"C:\\Tools\\\\Helmview", false},
        {L"C:\\Tools\\Helmview:stream", false},
        {L"C:\\Tools\\*", false},
        // refuses system folders in any case and separator
        {L"C:\\Windows", false},
        {L"C:\\windows\\", false},
        {L"c:\\WINDOWS\\\\", false},
        {L"C:/Windows/", false},
        {L"C:\\Program Files", false},
        {L"C:\\program files (x86)\\", false},
        {L"C:\\ProgramData\\", false},
        {L"C:\\Users\\", false},
        {L"C:\\Users\\Ann\\Desktop", false},
        {L"D:\\Data\\Profiles\\Bob\\", false},
        // refuses every folder that holds a protected one
        {L"D:\\Data\\", false},
        {L"D:\\Data\\Profiles", false},
        {L"C:\\Users\\Ann\\", false},
        {L"D:\\Data\\Profiles\\Bobby\\", true}, // a name that only starts like a protected one
        {L"C:\\Program Files (x86)x\\", true},
        // refuses everything inside the windows folder
        {L"C:\\Windows\\Temp\\", false},
        {L"C:\\windows\\SSD Helmview\\", false},
        {L"C:\\Windows\\System32\\drivers\\etc", false},
        {L"C:\\Windows2\\SSD Helmview\\", true},
        // refuses every users profile but not folders inside one
        {L"C:\\Users\\Bob\\", false}, // not listed, but directly in the profiles folder
        {L"C:\\users\\Public", false},
        {L"C:\\Users\\Bob\\Tools\\SSD Helmview\\", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Deletable(c.path), c.deletable) << ::testing::PrintToString(std::wstring(c.path));
    // With nothing protected, roots are still refused.
    const ProtectedFolders none;
    EXPECT_TRUE(IsDeletableFolder(L"C:\\Windows\\", none));
    EXPECT_FALSE(IsDeletableFolder(L"C:\\", none));
    EXPECT_FALSE(IsDeletableFolder(L"", none));
}
