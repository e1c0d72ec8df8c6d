#include "net/NetworkErrorText.h"
#include "net/NetworkErrors.h"
#include "ui/OutcomeReport.h"

#include <gtest/gtest.h>

#include "MessageCapture.h"

#include <windows.h>

namespace {

// The download's failures as the application tells them.
void ReportNetworkError(std::uint32_t code, const std::wstring& fileName) {
    Tell(NetworkErrorOutcome(code, fileName));
}

void ShowNoNetworkMessage() {
    Tell(NoConnectionOutcome());
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

TEST(ErrorText, TrimsOnlyTrailingSpaceAndLineBreaks) {
    EXPECT_EQ(TrimTrailingSpace(L"  Access denied. \r\n"), L"  Access denied.");
    EXPECT_EQ(TrimTrailingSpace(L"Line one\r\nline two\r\n\r\n"), L"Line one\r\nline two");
    EXPECT_EQ(TrimTrailingSpace(L" \t\r\n"), L"");
    EXPECT_EQ(TrimTrailingSpace(L""), L"");
}

TEST(ErrorText, FileNamePartIsTheLastPathElement) {
    EXPECT_EQ(FileNamePart(L"Helmview.zip"), L"Helmview.zip");
    EXPECT_EQ(FileNamePart(L"C:\\a\\b\\Helmview.zip"), L"Helmview.zip");
    EXPECT_EQ(FileNamePart(L"dir/sub/file"), L"file");
    EXPECT_EQ(FileNamePart(L"C:\\dir\\"), L"");
    EXPECT_EQ(FileNamePart(L""), L"");
}

TEST(HttpStatus, ReadsTheLeadingNumber) {
    EXPECT_EQ(LeadingStatusNumber(L"404"), 404);
    EXPECT_EQ(LeadingStatusNumber(L"302 Found"), 302);
    EXPECT_EQ(LeadingStatusNumber(L"abc"), 0);
    EXPECT_EQ(LeadingStatusNumber(L""), 0);
    EXPECT_EQ(LeadingStatusNumber(L" 200"), 0);
    EXPECT_EQ(LeadingStatusNumber(L"200000000000000000000"), 0);
}

TEST(HttpStatus, SuccessIsTwoHundredToThreeNinetyNine) {
    EXPECT_FALSE(IsSuccessStatus(0));
    EXPECT_FALSE(IsSuccessStatus(199));
    EXPECT_TRUE(IsSuccessStatus(200));
    EXPECT_TRUE(IsSuccessStatus(302));
    EXPECT_TRUE(IsSuccessStatus(304));
    EXPECT_TRUE(IsSuccessStatus(399));
    EXPECT_FALSE(IsSuccessStatus(400));
}

TEST(HttpStatus, PicksTheMessageForTheStatus) {
    const TranslatedText missing = HttpStatusMessage(L"404", L"Helmview.zip");
    EXPECT_EQ(missing.key, L"text_missing_file");
    EXPECT_EQ(missing.values, std::vector<std::wstring>{L"Helmview.zip"});
    const TranslatedText internal = HttpStatusMessage(L"500", L"Helmview.zip");
    EXPECT_EQ(internal.key, L"internal_server_error");
    EXPECT_EQ(internal.values, std::vector<std::wstring>{L"Helmview.zip"});
    // Any other status names the status text exactly as the server gave it.
    const TranslatedText other = HttpStatusMessage(L"403", L"lista_updater.xml");
    EXPECT_EQ(other.key, L"error_generic");
    EXPECT_EQ(other.values, (std::vector<std::wstring>{L"403", L"lista_updater.xml"}));
    EXPECT_EQ(HttpStatusMessage(L"501", L"x").key, L"error_generic");
}

TEST(ReportNetworkError, ShowsNothingForCodeZero) {
    MessageCapture capture;
    ReportNetworkError(0, L"Helmview.zip");
    EXPECT_TRUE(capture.Messages().empty());
}

TEST(ReportNetworkError, RejectedCertificateAuthorityHasItsOwnText) {
    MessageCapture capture;
    ReportNetworkError(12045, L"Helmview.zip");
    ReportNetworkError(12045, L"");
    EXPECT_EQ(capture.Messages(),
              (std::vector<ShownMessage>{{L"SSL handshake failed (0x2F0D): Helmview.zip", L"Error"},
                                         {L"SSL handshake failed (0x2F0D): ", L"Error"}}));
}

TEST(ReportNetworkError, UsesTheSystemTextWithoutItsLineBreak) {
    MessageCapture capture;
    ReportNetworkError(ERROR_FILE_NOT_FOUND, L"Z:\\somewhere\\Helmview.zip");
    const std::vector<ShownMessage> shown = capture.Messages();
    ASSERT_EQ(shown.size(), 1u);
    const std::wstring& text = shown[0].text;
    const std::wstring tail = L"(0x2): Helmview.zip";
    ASSERT_GT(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    const std::wstring reason = text.substr(0, text.size() - tail.size());
    EXPECT_NE(reason, L"unknown error") << "the system has a text for code 2";
    EXPECT_EQ(reason.find_first_of(L"\r\n"), std::wstring::npos);
    EXPECT_NE(reason.back(), L' ');
    EXPECT_EQ(shown[0].caption, L"Error");
}

TEST(ReportNetworkError, CodesWithoutSystemTextReadUnknownError) {
    // A code far outside every message table.
    ASSERT_EQ(SystemErrorText(0x2bad0001u), L"");
    MessageCapture capture;
    ReportNetworkError(0x2bad0001u, L"lista_updater.xml");
    EXPECT_EQ(capture.Messages(),
              (std::vector<ShownMessage>{{L"unknown error(0x2bad0001): lista_updater.xml", L"Error"}}));
}

TEST(ShowNoNetworkMessage, HasTheDownloadCaption) {
    MessageCapture capture;
    ShowNoNetworkMessage();
    EXPECT_EQ(capture.Messages(),
              (std::vector<ShownMessage>{
                  {L"There is no internet connection. Please try again later.", L"Failed to download"}}));
}

} // namespace
