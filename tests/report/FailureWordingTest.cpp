// Every failure as the user reads it, in the language asked for, and how it
// is told: the box in the current language, the log line in English.
#include "net/NetworkErrors.h"
#include "platform/RunLog.h"
#include "report/OutcomeReport.h"

#include <gtest/gtest.h>

#include "MessageCapture.h"
#include "TestFiles.h"

#include <windows.h>

#include <algorithm>
#include <ostream>
#include <string>

using namespace helmtest;

namespace {

// A code far outside every message table.
constexpr std::uint32_t kNoSystemText = 0x2bad0001u;
const std::wstring kDir = L"C:\\PF\\Norvale\\SSD Helmview\\";

struct WordingCase {
    Outcome outcome;
    const wchar_t* text;
    const wchar_t* language = L"en-US";
    const wchar_t* caption = L"Error";
};

void PrintTo(const WordingCase& c, std::ostream* os) {
    *os << Narrow(c.text) << " (" << Narrow(c.language) << ")";
}

class Wording : public ::testing::TestWithParam<WordingCase> {};

TEST_P(Wording, IsTheTextTheUserHasAlwaysRead) {
    const WordingCase& c = GetParam();
    UseEnglishTexts();
    const std::optional<UserMessageText> message = MessageFor(c.outcome, c.language);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, c.text);
    EXPECT_EQ(message->caption, c.caption);
}

using F = Failure;
using W = WordingCase;

INSTANTIATE_TEST_SUITE_P(
    Table, Wording,
    ::testing::Values(
        W{{F::NoConnection},
          L"There is no internet connection. Please try again later.",
          L"en-US",
          L"Failed to download"},
        W{{F::ServerStatus, {L"404", L"Helmview.zip"}}, L"Missing file: Helmview.zip"},
        W{{F::ServerStatus, {L"500", L"Helmview.zip"}},
          L"Internal server error downloading file Helmview.zip"},
        // Any other status names the status text exactly as the server gave it.
        W{{F::ServerStatus, {L"403", L"lista_updater.xml"}},
          L"Error code 403 downloading file lista_updater.xml"},
        W{{F::ServerStatus, {L"501", L"x"}}, L"Error code 501 downloading file x"},
        W{{F::NetworkError, {L"Helmview.zip"}, 12045}, L"SSL handshake failed (0x2F0D): Helmview.zip"},
        W{{F::NetworkError, {L""}, 12045}, L"SSL handshake failed (0x2F0D): "},
        W{{F::NetworkError, {L"lista_updater.xml"}, kNoSystemText},
          L"unknown error(0x2bad0001): lista_updater.xml"},
        // The engine's wording of a folder puts one blank before it, the window's two.
        W{{F::FolderNotCreated, {kDir}, 8}, L"Failed to create folder. C:\\PF\\Norvale\\SSD Helmview\\"},
        W{{F::InstallFolderNotCreated, {kDir}}, L"Failed to create folder.  C:\\PF\\Norvale\\SSD Helmview\\"},
        W{{F::PackageNotUnpacked, {L"Helmview.zip"}}, L"Missing file: Helmview.zip"},
        W{{F::PackageMismatch, {L"0x80091007", L"Helmview.zip"}, 0x80091007u},
          L"Error code 0x80091007 downloading file Helmview.zip"},
        W{{F::FilesInUse, {kDir + L"data\\old.cfg"}, kNoSystemText}, L"unknown error(0x2bad0001): old.cfg"},
        W{{F::CopyNotMade, {kDir + L"HelmviewSetup.exe"}, 5},
          L"Failed to copy program  C:\\PF\\Norvale\\SSD Helmview\\HelmviewSetup.exe"},
        W{{F::TempNameUnavailable}, L"Failed to establish temp name"},
        // The relaunch appends the error number without a blank.
        W{{F::TempFolderNotCreated, {}, 5}, L"Failed to create folder.(error code: 5)"},
        W{{F::TempFolderNotCreated}, L"Failed to create folder."},
        W{{F::TempCopyNotMade, {}, 32}, L"Failed to copy program(error code 32)"},
        W{{F::TempCopyNotMade, {}, 4294967295u}, L"Failed to copy program(error code 4294967295)"},
        W{{F::RegistryNotWritable}, L"Failed to write to the Windows registry"},
        W{{F::NotAdministrator, {L"Helmview"}},
          L"Administrative privilege is required to run the Helmview installer",
          L"en-US",
          L"Admin Required"},
        // The language asked for, whatever is current.
        W{{F::NotAdministrator, {L"Helmview"}},
          L"Zum Ausf\u00fchren des Helmview-Installationsprogramms sind Administratorrechte erforderlich",
          L"de-DE",
          L"Administratorrechte erforderlich"},
        // A language without translations leaves only the joining characters.
        W{{F::InstallFolderNotCreated, {kDir}}, L"  C:\\PF\\Norvale\\SSD Helmview\\", L"fi-FI", L""},
        W{{F::TempFolderNotCreated, {}, 183}, L"(error code: 183)", L"fi-FI", L""}));

TEST(SystemWording, ComesWithoutItsLineBreak) {
    UseEnglishTexts();
    const auto message =
        MessageFor({Failure::NetworkError, {L"Z:\\somewhere\\Helmview.zip"}, ERROR_FILE_NOT_FOUND}, L"en-US");
    ASSERT_TRUE(message);
    const std::wstring& text = message->text;
    const std::wstring tail = L"(0x2): Helmview.zip";
    ASSERT_GT(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    const std::wstring reason = text.substr(0, text.size() - tail.size());
    EXPECT_EQ(reason, SystemErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_NE(reason, L"unknown error") << "the system has a text for code 2";
    EXPECT_EQ(reason.find_first_of(L"\r\n"), std::wstring::npos);
    EXPECT_NE(reason.back(), L' ');
}

struct ErrorTextCase {
    std::uint32_t code;
    const wchar_t* systemText;
    const wchar_t* fileName;
    const wchar_t* expected;
};

class ErrorTextComposition : public ::testing::TestWithParam<ErrorTextCase> {};

TEST_P(ErrorTextComposition, JoinsReasonCodeAndName) {
    const ErrorTextCase& c = GetParam();
    EXPECT_EQ(ComposeErrorText(c.code, c.systemText, c.fileName), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrorTextComposition,
    ::testing::Values(
        // A WinINet time-out has no text in the system table.
        ErrorTextCase{12002, L"", L"lista_updater.xml", L"unknown error(0x2ee2): lista_updater.xml"},
        ErrorTextCase{5, L"Access denied.", L"Helmview.zip", L"Access denied.(0x5): Helmview.zip"},
        // Only the last element of a path is named.
        ErrorTextCase{3, L"Path not found.", L"C:\\Program Files (x86)\\Norvale\\Helmview.zip",
                      L"Path not found.(0x3): Helmview.zip"},
        ErrorTextCase{12031, L"", L"", L"unknown error(0x2eff): "},
        ErrorTextCase{0x80004004u, L"", L"a/b.bin", L"unknown error(0x80004004): b.bin"},
        ErrorTextCase{0xffffffffu, L"x", L"n", L"x(0xffffffff): n"}));

// The box speaks the current language and the log English, and telling
// switches no language; what has no message is only logged.
TEST(Tell, BoxInTheUsersLanguageLogLineInEnglish) {
    ScratchFolder scratch(L"report");
    const std::wstring logPath = scratch.path() + L"run.log";
    ASSERT_TRUE(OpenRunLog(logPath));
    MessageCapture capture;
    Catalog().SetLanguage(L"de-DE");
    Tell({Failure::TempFolderNotCreated, {}, 5});
    Tell({Failure::NetworkError, {L"Helmview.zip"}, 0});
    Tell({});
    CloseRunLog();
    EXPECT_FALSE(MessageFor({}, L"en-US"));
    EXPECT_FALSE(MessageFor({Failure::NetworkError, {L"Helmview.zip"}, 0}, L"en-US"));
    EXPECT_EQ(Catalog().GetLanguage(), L"de-DE");
    EXPECT_EQ(capture.Messages(), (std::vector<ShownMessage>{
                                      {L"Ordner konnte nicht erstellt werden.(error code: 5)", L"Fehler"}}));
    const std::string log = ReadBytes(logPath);
    EXPECT_NE(log.find("failure: Error: Failed to create folder.(error code: 5) (error 5)\r\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("failure: a network error without an error code"), std::string::npos) << log;
    EXPECT_EQ(log.find("Ordner"), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
    UseEnglishTexts();
}

} // namespace
