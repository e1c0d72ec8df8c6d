// The downloader against the loopback test server: statuses, broken and
// aborted transfers, TLS, and what reaches the disk.
#include "net/ConnectionProbe.h"
#include "net/Downloader.h"
#include "profile/ProductProfile.h"
#include "ui/OutcomeReport.h"

#include <gtest/gtest.h>

#include "MessageCapture.h"
#include "NetTestFiles.h"
#include "TestFiles.h"
#include "TestServerClient.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

using helmtest::ReadBytes;
using helmtest::WriteBytes;

namespace {

// A download as the user learns of it: the application tells a failure.
bool Told(const Outcome& outcome) {
    Tell(outcome);
    return outcome.Succeeded();
}

const std::wstring kPackageFolder = L"application/1.0/";
const std::string kPackagePath = "/zqHelmview/application/1.0/Helmview.zip";

std::string Rule(const std::string& path, const std::string& behaviour) {
    return "{\"" + path + "\": " + behaviour + "}";
}

class DownloaderTest : public ::testing::Test {
  protected:
    explicit DownloaderTest(const wchar_t* server = L"net_http") : server_(server) {}

    void SetUp() override {
        ASSERT_TRUE(server_.Ready()) << server_.Error();
        ASSERT_TRUE(server_.SetRules("{}")) << server_.Error();
        ASSERT_TRUE(server_.ClearLog());
        folder_ = FreshWorkFolder(L"net");
        Profile().InitFrom(server_.BaseUrl(), folder_ + L"HelmviewSetup.exe", folder_ + L"ProgramFiles");
    }

    std::wstring Target() const { return folder_ + L"Helmview.zip"; }

    bool DownloadPackage() {
        return Told(Downloader::DownloadFile(kPackageFolder, folder_, L"Helmview.zip", &abort_));
    }

    TestServerClient server_;
    MessageCapture capture_;
    std::wstring folder_;
    // The cancel request of the run the download belongs to.
    std::atomic<bool> abort_{false};
};

using Messages = std::vector<ShownMessage>;

TEST_F(DownloaderTest, StreamsTheWholeBodyToTheTarget) {
    // Not a multiple of the block size, so the last short block counts too.
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"generate": 1048699})")));
    WriteBytes(Target(), std::string(2000000, 'x')); // an older, longer copy
    EXPECT_TRUE(DownloadPackage());
    EXPECT_EQ(ReadBytes(Target()), GeneratedBytes(1048699));
    EXPECT_TRUE(capture_.Messages().empty());
    // One plain GET with an empty user agent.
    const std::string log = server_.Log();
    EXPECT_EQ(PathsInLog(log), std::vector<std::string>{kPackagePath});
    EXPECT_NE(log.find("\"user_agent\": \"\""), std::string::npos) << log;
}

TEST_F(DownloaderTest, AlwaysAsksTheServerAgain) {
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"body": "first"})")));
    ASSERT_TRUE(DownloadPackage());
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"body": "second"})")));
    ASSERT_TRUE(DownloadPackage());
    EXPECT_EQ(ReadBytes(Target()), "second");
    EXPECT_EQ(server_.LoggedPaths().size(), 2u);
}

TEST_F(DownloaderTest, MissingFileLeavesAnEmptyTargetAndNamesTheFile) {
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"status": 404})")));
    WriteBytes(Target(), "an older copy");
    EXPECT_FALSE(DownloadPackage());
    ASSERT_TRUE(std::filesystem::exists(Target()));
    EXPECT_EQ(std::filesystem::file_size(Target()), 0u);
    EXPECT_EQ(capture_.Messages(), (Messages{{L"Missing file: Helmview.zip", L"Error"}}));
}

TEST_F(DownloaderTest, OtherStatusShowsTheStatusAndTheName) {
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"status": 403})")));
    EXPECT_FALSE(DownloadPackage());
    EXPECT_EQ(capture_.Messages(), (Messages{{L"Error code 403 downloading file Helmview.zip", L"Error"}}));
}

TEST_F(DownloaderTest, ServerErrorHasItsOwnMessage) {
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"status": 500})")));
    EXPECT_FALSE(DownloadPackage());
    EXPECT_EQ(capture_.Messages(),
              (Messages{{L"Internal server error downloading file Helmview.zip", L"Error"}}));
}

TEST_F(DownloaderTest, RedirectAndNotModifiedStatusesCountAsSuccess) {
    // A 302 without a Location cannot be followed, so its status is what the
    // downloader sees.
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"status": 302})")));
    EXPECT_TRUE(DownloadPackage());
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"status": 304})")));
    EXPECT_TRUE(DownloadPackage());
    EXPECT_EQ(std::filesystem::file_size(Target()), 0u);
    EXPECT_TRUE(capture_.Messages().empty());
}

TEST_F(DownloaderTest, AnswersWithoutABodyAreCompleteWhateverLengthTheyAnnounce) {
    for (const char* status : {"204", "304"}) {
        const std::string rule =
            std::string(R"({"status": )") + status + R"(, "headers": {"Content-Length": "5000"}})";
        ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, rule)));
        ASSERT_TRUE(server_.SetRules(Rule("/zqHelmview/config/lista_updater.xml", rule), true));
        EXPECT_TRUE(DownloadPackage()) << status;
        std::wstring text = L"left over";
        EXPECT_TRUE(Told(Downloader::DownloadText(L"config/", L"lista_updater.xml", text))) << status;
        EXPECT_EQ(text, L"") << status;
    }
    EXPECT_EQ(std::filesystem::file_size(Target()), 0u);
    EXPECT_TRUE(capture_.Messages().empty());
}

TEST_F(DownloaderTest, FollowsARedirectToTheFile) {
    ASSERT_TRUE(server_.SetRules(R"({")" + kPackagePath + R"(": {"redirect": "/elsewhere/package.zip"},
                                     "/elsewhere/package.zip": {"generate": 10000}})"));
    EXPECT_TRUE(DownloadPackage());
    EXPECT_EQ(ReadBytes(Target()), GeneratedBytes(10000));
    EXPECT_EQ(server_.LoggedPaths(), (std::vector<std::string>{kPackagePath, "/elsewhere/package.zip"}));
}

class CutTransfer : public DownloaderTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CutTransfer, IsReportedAsATransferError) {
    // Paced, so the head of the answer has been read when the cut comes: a
    // reset makes the client drop whatever it has not read yet.
    ASSERT_TRUE(
        server_.SetRules(Rule(kPackagePath, std::string(R"({"generate": 1000000, "drop_after": 300000, )"
                                                        R"("slow": {"bytes_per_sec": 1000000}, )"
                                                        R"("drop_mode": ")") +
                                                GetParam() + "\"}")));
    EXPECT_FALSE(DownloadPackage());
    const Messages shown = capture_.Messages();
    ASSERT_EQ(shown.size(), 1u);
    const std::wstring tail = L"): Helmview.zip";
    EXPECT_NE(shown[0].text.find(L"(0x"), std::wstring::npos) << shown[0].text;
    EXPECT_EQ(shown[0].text.substr(shown[0].text.size() - tail.size()), tail);
    EXPECT_EQ(shown[0].caption, L"Error");
    // What arrived stays on disk, and it is the start of the body.
    const std::string partial = ReadBytes(Target());
    EXPECT_LE(partial.size(), 300000u);
    EXPECT_EQ(partial, GeneratedBytes(partial.size()));
}

INSTANTIATE_TEST_SUITE_P(DropModes, CutTransfer, ::testing::Values("reset", "fin"));

TEST_F(DownloaderTest, ACutTransferIsTheConnectionResetError) {
    ASSERT_TRUE(server_.SetRules(
        Rule(kPackagePath, R"({"generate": 100000, "drop_after": 5000, "drop_mode": "fin"})")));
    EXPECT_FALSE(DownloadPackage());
    EXPECT_EQ(capture_.Messages(), (Messages{{L"unknown error(0x2eff): Helmview.zip", L"Error"}}));
}

TEST_F(DownloaderTest, ABodyWithoutLengthEndsWithTheConnection) {
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"generate": 70000, "content_length": false})")));
    EXPECT_TRUE(DownloadPackage());
    EXPECT_EQ(ReadBytes(Target()), GeneratedBytes(70000));
    EXPECT_TRUE(capture_.Messages().empty());
}

std::uintmax_t SizeOf(const std::wstring& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

TEST_F(DownloaderTest, AbortStopsAfterTheCurrentBlockAndKeepsTheEarlierOnes) {
    // Slow enough that the downloader spends nearly all its time waiting for
    // the next block, so the abort lands while a block is on its way.
    const std::size_t total = 1000000;
    ASSERT_TRUE(server_.SetRules(
        Rule(kPackagePath, R"({"slow": {"bytes_per_sec": 8192, "size": )" + std::to_string(total) + "}}")));
    bool result = false;
    std::thread worker([&] { result = DownloadPackage(); });

    // Once some blocks are on disk, abort from this thread as the window does.
    for (int i = 0; i < 600 && SizeOf(Target()) < 2 * 4096; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    abort_ = true;
    const std::uintmax_t atAbort = SizeOf(Target());
    worker.join();

    EXPECT_TRUE(result);
    EXPECT_TRUE(capture_.Messages().empty());
    const std::string kept = ReadBytes(Target());
    EXPECT_GE(atAbort, 2u * 4096);
    // The block that arrives after the abort is not written.
    EXPECT_EQ(kept.size(), atAbort);
    EXPECT_LT(kept.size(), total);
    EXPECT_EQ(kept, GeneratedBytes(kept.size()));
}

TEST_F(DownloaderTest, DownloadAfterAnAbortTransfersNormally) {
    std::atomic<bool> earlierRun{true}; // cancelled before its download began
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"generate": 50000})")));
    EXPECT_TRUE(Told(Downloader::DownloadFile(kPackageFolder, folder_, L"Helmview.zip", &earlierRun)));
    EXPECT_TRUE(server_.LoggedPaths().empty()) << "a run cancelled in time asks the server nothing";
    EXPECT_TRUE(DownloadPackage());
    EXPECT_EQ(ReadBytes(Target()), GeneratedBytes(50000));
}

TEST_F(DownloaderTest, TargetThatCannotBeCreatedIsAFailure) {
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"generate": 50000})")));
    const std::wstring missing = folder_ + L"no such folder\\";
    EXPECT_FALSE(Told(Downloader::DownloadFile(kPackageFolder, missing, L"Helmview.zip")));
    EXPECT_FALSE(std::filesystem::exists(missing));
    const Messages shown = capture_.Messages();
    ASSERT_EQ(shown.size(), 1u);
    const std::wstring tail = L"(0x3): Helmview.zip"; // the path was not found
    ASSERT_GT(shown[0].text.size(), tail.size());
    EXPECT_EQ(shown[0].text.substr(shown[0].text.size() - tail.size()), tail);
    EXPECT_EQ(shown[0].text.rfind(L"unknown error", 0), std::wstring::npos);
    EXPECT_EQ(shown[0].caption, L"Error");
    EXPECT_TRUE(server_.LoggedPaths().empty()) << "nothing is fetched for a file that cannot be written";
}

TEST_F(DownloaderTest, DownloadToInstallDirWritesIntoTheInstallFolder) {
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"generate": 9000})")));
    std::filesystem::create_directories(std::filesystem::path(Profile().installDir()));
    EXPECT_TRUE(Told(Downloader::DownloadToInstallDir(kPackageFolder, L"Helmview.zip")));
    EXPECT_EQ(ReadBytes(Profile().installDir() + L"Helmview.zip"), GeneratedBytes(9000));
}

TEST_F(DownloaderTest, UnreachableServerIsReportedWithoutAName) {
    // Nothing listens on port 1 of the loopback address.
    Profile().InitFrom(L"http://127.0.0.1:1/", folder_ + L"HelmviewSetup.exe", folder_);
    EXPECT_FALSE(DownloadPackage());
    const Messages shown = capture_.Messages();
    ASSERT_EQ(shown.size(), 1u);
    const std::wstring tail = L"(0x2efd): "; // cannot connect
    ASSERT_GT(shown[0].text.size(), tail.size());
    EXPECT_EQ(shown[0].text.substr(shown[0].text.size() - tail.size()), tail);
}

TEST_F(DownloaderTest, TextIsReadOneCharacterPerByte) {
    ASSERT_TRUE(server_.SetRules(Rule("/zqHelmview/config/lista_updater.xml",
                                      R"({"body": "<list><version>3.8.2.5</version>\u00e9</list>"})")));
    std::wstring text = L"left over";
    EXPECT_TRUE(Told(Downloader::DownloadText(L"config/", L"lista_updater.xml", text)));
    // The server sends UTF-8; each byte becomes the character of its value.
    EXPECT_EQ(text, L"<list><version>3.8.2.5</version>\u00c3\u00a9</list>");
    EXPECT_TRUE(capture_.Messages().empty());
}

TEST_F(DownloaderTest, TextOfAMissingFileIsReported) {
    ASSERT_TRUE(server_.SetRules(Rule("/zqHelmview/config/lista_updater.xml", R"({"status": 404})")));
    std::wstring text;
    EXPECT_FALSE(Told(Downloader::DownloadText(L"config/", L"lista_updater.xml", text)));
    EXPECT_EQ(capture_.Messages(), (Messages{{L"Missing file: lista_updater.xml", L"Error"}}));
}

TEST_F(DownloaderTest, CutTextIsReported) {
    ASSERT_TRUE(server_.SetRules(Rule("/zqHelmview/config/lista_updater.xml",
                                      R"({"generate": 20000, "drop_after": 1000, "drop_mode": "fin"})")));
    std::wstring text;
    EXPECT_FALSE(Told(Downloader::DownloadText(L"config/", L"lista_updater.xml", text)));
    EXPECT_EQ(capture_.Messages(), (Messages{{L"unknown error(0x2eff): lista_updater.xml", L"Error"}}));
}

TEST_F(DownloaderTest, TextBeyondTheCapIsAFailedDownloadOfTheFile) {
    const std::string manifest = "/zqHelmview/config/lista_updater.xml";
    const std::size_t cap = Downloader::kMaxTextBytes;
    std::wstring text;
    ASSERT_TRUE(server_.SetRules(Rule(manifest, R"({"generate": )" + std::to_string(cap) + "}")));
    EXPECT_TRUE(Told(Downloader::DownloadText(L"config/", L"lista_updater.xml", text)));
    EXPECT_EQ(text.size(), cap);
    // One byte more, announced or not.
    for (const char* length : {"", R"(, "content_length": false)"}) {
        ASSERT_TRUE(
            server_.SetRules(Rule(manifest, R"({"generate": )" + std::to_string(cap + 1) + length + "}")));
        EXPECT_FALSE(Told(Downloader::DownloadText(L"config/", L"lista_updater.xml", text))) << length;
    }
    const Messages shown = capture_.Messages();
    ASSERT_EQ(shown.size(), 2u);
    const std::wstring tail = L"(0xdf): lista_updater.xml"; // ERROR_FILE_TOO_LARGE
    for (const ShownMessage& message : shown) {
        ASSERT_GT(message.text.size(), tail.size());
        EXPECT_EQ(message.text.substr(message.text.size() - tail.size()), tail);
        EXPECT_EQ(message.caption, L"Error");
    }
}

TEST_F(DownloaderTest, UrlExistsAnswersFromTheStatusAlone) {
    ASSERT_TRUE(
        server_.SetRules(R"({"/zqHelmview/a/there.zip": {"slow": {"bytes_per_sec": 2000, "size": 10000000}},
                                     "/zqHelmview/a/moved.zip": {"status": 302},
                                     "/zqHelmview/a/gone.zip": {"status": 404},
                                     "/zqHelmview/a/broken.zip": {"status": 500}})"));
    // The body would take more than an hour to read.
    EXPECT_TRUE(Downloader::UrlExists(L"a/", L"there.zip"));
    const std::string log = server_.Log();
    EXPECT_EQ(log.find("\"complete\": true"), std::string::npos) << log;
    EXPECT_TRUE(Downloader::UrlExists(L"a/", L"moved.zip"));
    EXPECT_FALSE(Downloader::UrlExists(L"a/", L"gone.zip"));
    EXPECT_FALSE(Downloader::UrlExists(L"a/", L"broken.zip"));
    EXPECT_TRUE(capture_.Messages().empty());
}

class Offline : public DownloaderTest {
  protected:
    void SetUp() override {
        DownloaderTest::SetUp();
        previous_ = SetConnectionProbe([] { return false; });
    }
    void TearDown() override { SetConnectionProbe(std::move(previous_)); }
    ConnectionProbe previous_;
};

TEST_F(Offline, DownloadsSayThereIsNoConnectionAndUrlExistsIsSilent) {
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"generate": 100})")));
    EXPECT_FALSE(Downloader::IsConnected());
    EXPECT_FALSE(DownloadPackage());
    std::wstring text;
    EXPECT_FALSE(Told(Downloader::DownloadText(L"config/", L"lista_updater.xml", text)));
    EXPECT_FALSE(Downloader::UrlExists(kPackageFolder, L"Helmview.zip"));
    const ShownMessage noNetwork{L"There is no internet connection. Please try again later.",
                                 L"Failed to download"};
    EXPECT_EQ(capture_.Messages(), (Messages{noNetwork, noNetwork}));
    EXPECT_TRUE(server_.LoggedPaths().empty());
}

class SelfSignedServer : public DownloaderTest {
  protected:
    SelfSignedServer() : DownloaderTest(L"net_https_self") {}
};

TEST_F(SelfSignedServer, RejectedCertificateShowsTheSslMessage) {
    ASSERT_TRUE(server_.Https());
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"generate": 100})")));
    // The request is refused while it is opened, where DownloadFile has no name to give.
    EXPECT_FALSE(DownloadPackage());
    std::wstring text;
    EXPECT_FALSE(Told(Downloader::DownloadText(L"config/", L"lista_updater.xml", text)));
    EXPECT_FALSE(Downloader::UrlExists(kPackageFolder, L"Helmview.zip"));
    EXPECT_EQ(capture_.Messages(),
              (Messages{{L"SSL handshake failed (0x2F0D): ", L"Error"},
                        {L"SSL handshake failed (0x2F0D): lista_updater.xml", L"Error"}}));
}

class TrustedServer : public DownloaderTest {
  protected:
    TrustedServer() : DownloaderTest(L"net_https_trusted") {}
};

TEST_F(TrustedServer, DownloadsOverHttps) {
    ASSERT_TRUE(server_.Https());
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"generate": 300000})")));
    EXPECT_TRUE(Downloader::UrlExists(kPackageFolder, L"Helmview.zip"));
    EXPECT_TRUE(DownloadPackage());
    EXPECT_EQ(ReadBytes(Target()), GeneratedBytes(300000));
    EXPECT_TRUE(capture_.Messages().empty());
}

} // namespace
