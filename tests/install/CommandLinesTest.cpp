#include "install/CommandLines.h"

#include <gtest/gtest.h>

TEST(ProgramCommandLine, QuotesTheProgramPathAndAppendsTheArguments) {
    EXPECT_EQ(ProgramCommandLine(L"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\VC_redist.x86.exe",
                                 L"/quiet /norestart"),
              L"\"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\VC_redist.x86.exe\" /quiet /norestart");
    EXPECT_EQ(ProgramCommandLine(L"C:\\a b\\x.exe", L""), L"\"C:\\a b\\x.exe\"");
}

TEST(SystemCommandLines, NameCmdAndTaskkillByFullPathInTheSystemFolder) {
    // /D before /C: the interpreter skips the AutoRun commands of the user's
    // and the machine's registry; extensions on whatever the user's key says;
    // the batch named by its place, never searched for.
    EXPECT_EQ(UnzipCommandLine(L"C:\\windows\\system32"),
              L"\"C:\\windows\\system32\\cmd.exe\" /D /E:ON /V:OFF /C .\\unzip.bat");
    EXPECT_EQ(KillCommandLine(L"C:\\windows\\system32", L"Helmview.exe"),
              L"\"C:\\windows\\system32\\taskkill.exe\" /f /im Helmview.exe");
}

TEST(UninstallCommandLine, QuotesTheInstallerCopyAndEndsWithTheSwitchAndABlank) {
    EXPECT_EQ(UninstallCommandLine(L"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\", L"HelmviewSetup.exe"),
              L"\"C:\\Program Files (x86)\\Norvale\\SSD Helmview\\HelmviewSetup.exe\" -uninstall ");
}
