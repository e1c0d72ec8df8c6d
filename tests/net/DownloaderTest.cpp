// The downloader against the loopback test server: statuses, broken,
// resumed and aborted transfers, TLS, and what reaches the disk.
#include "net/ConnectionProbe.h"
#include "net/DownloadAbort.h"
#include "net/Downloader.h"
#include "profile/ProductProfile.h"
#include "report/OutcomeReport.h"

#include <gtest/gtest.h>

#include "MessageCapture.h"
#include "NetTestFiles.h"
#include "TestFiles.h"
#include "TestServerClient.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <ostream>
#include <thread>

using helmtest::FileSize;
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
const std::string kManifestPath = "/zqHelmview/config/lista_updater.xml";

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
        serverFolder_ = server_.BaseUrl() + L"zqHelmview/";
    }

    Downloader Server() const { return Downloader(serverFolder_); }

    std::wstring Target() const { return folder_ + L"Helmview.zip"; }

    bool DownloadPackage() {
        return Told(Server().DownloadFile(kPackageFolder, folder_, L"Helmview.zip", &abort_));
    }

    bool DownloadManifest(std::wstring& text) {
        return Told(Server().DownloadText(L"config/", L"lista_updater.xml", text));
    }

    TestServerClient server_;
    std::wstring serverFolder_;
    MessageCapture capture_;
    std::wstring folder_;
    // The cancel request of the run the download belongs to.
    DownloadAbort abort_;
};

using Messages = std::vector<ShownMessage>;

// What the log says of each request: the Range and If-Range it sent ("" without
// one) and the status of its answer.
struct Logged {
    std::string range;
    int status = 0;
    std::string ifRange;
    bool operator==(const Logged& other) const {
        return range == other.range && status == other.status && ifRange == other.ifRange;
    }
};

std::ostream& operator<<(std::ostream& out, const Logged& logged) {
    return out << "{\"" << logged.range << "\", " << logged.status << ", " << logged.ifRange << "}";
}

// The JSON string value after "name": in text, unescaped; "" when absent.
std::string JsonValue(const std::string& text, const std::string& name) {
    const std::string key = "\"" + name + "\": \"";
    std::size_t at = text.find(key);
    std::string value;
    if (at == std::string::npos)
        return value;
    for (at += key.size(); at < text.size() && text[at] != '"'; ++at)
        value += text[at] == '\\' ? text[++at] : text[at];
    return value;
}

std::vector<Logged> RequestsInLog(const std::string& log) {
    std::vector<Logged> requests;
    const std::string entry = "\"method\": ", status = "\"status\": ";
    for (std::size_t at = log.find(entry); at != std::string::npos;) {
        const std::size_t next = log.find(entry, at + entry.size());
        const std::string text = log.substr(at, next == std::string::npos ? std::string::npos : next - at);
        Logged logged;
        logged.range = JsonValue(text, "Range");
        logged.ifRange = JsonValue(text, "If-Range");
        const std::size_t s = text.find(status);
        if (s != std::string::npos)
            logged.status = std::atoi(text.c_str() + s + status.size());
        requests.push_back(logged);
        at = next;
    }
    return requests;
}

// Polls until the file holds at least size bytes (a minute at most).
void WaitForSize(const std::wstring& path, std::uint64_t size) {
    for (int i = 0; i < 3000 && FileSize(path) < size; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

constexpr std::size_t kMiB = 1024 * 1024;

// An error box whose text ends in tail: the failure's code and the file's name.
void ExpectErrorEndingIn(const ShownMessage& shown, const std::wstring& tail) {
    ASSERT_GT(shown.text.size(), tail.size()) << helmtest::Narrow(shown.text);
    EXPECT_EQ(shown.text.substr(shown.text.size() - tail.size()), tail);
    EXPECT_EQ(shown.caption, L"Error");
}

TEST_F(DownloaderTest, StreamsWholeBodiesOfAnySizeToTheTarget) {
    // Around the sizes a read may have, so that an empty, a single short, an
    // exactly full and a last partial read all occur.
    const std::size_t sizes[] = {0, 1, 4095, 4097, kMiB - 1, kMiB, kMiB + 1, 3 * kMiB + 12345};
    for (const std::size_t size : sizes) {
        SCOPED_TRACE(size);
        ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"generate": )" + std::to_string(size) + "}")));
        WriteBytes(Target(), std::string(4 * kMiB, 'x')); // an older, longer copy
        EXPECT_TRUE(DownloadPackage());
        EXPECT_TRUE(ReadBytes(Target()) == GeneratedBytes(size)) << "got " << FileSize(Target()) << " bytes";
    }
    EXPECT_TRUE(capture_.Messages().empty());
    // One plain GET each, with an empty user agent.
    const std::string log = server_.Log();
    EXPECT_EQ(RequestsInLog(log), std::vector<Logged>(std::size(sizes), Logged{"", 200}));
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

TEST_F(DownloaderTest, FailedAnswersAreReportedWithTheNameOfTheFile) {
    const struct {
        const char* what;
        const std::string& path; // the package's, or the manifest's, read as text
        std::string behaviour;
        std::wstring message;
    } cases[] = {
        {"missing package", kPackagePath, R"({"status": 404})", L"Missing file: Helmview.zip"},
        {"other status", kPackagePath, R"({"status": 403})", L"Error code 403 downloading file Helmview.zip"},
        {"server error", kPackagePath, R"({"status": 500})",
         L"Internal server error downloading file Helmview.zip"},
        {"missing text", kManifestPath, R"({"status": 404})", L"Missing file: lista_updater.xml"},
        {"cut text", kManifestPath, R"({"generate": 20000, "drop_after": 1000, "drop_mode": "fin"})",
         L"unknown error(0x2eff): lista_updater.xml"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(server_.SetRules(Rule(c.path, c.behaviour)));
        capture_.Clear();
        if (c.path == kPackagePath) {
            WriteBytes(Target(), "an older copy");
            EXPECT_FALSE(DownloadPackage());
            // The older copy is gone, and nothing of the failed answer took its place.
            ASSERT_TRUE(std::filesystem::exists(Target()));
            EXPECT_EQ(std::filesystem::file_size(Target()), 0u);
        } else {
            std::wstring text;
            EXPECT_FALSE(DownloadManifest(text));
        }
        EXPECT_EQ(capture_.Messages(), (Messages{{c.message, L"Error"}}));
    }
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
        ASSERT_TRUE(server_.SetRules(Rule(kManifestPath, rule), true));
        EXPECT_TRUE(DownloadPackage()) << status;
        std::wstring text = L"left over";
        EXPECT_TRUE(DownloadManifest(text)) << status;
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

TEST_P(CutTransfer, IsResumedAndReportedOnlyAfterThreeRetries) {
    // Every answer is cut, so four transfers together still fall short.
    // Paced, so the head of the answer has been read when the cut comes: a
    // reset makes the client drop whatever it has not read yet.
    ASSERT_TRUE(
        server_.SetRules(Rule(kPackagePath, std::string(R"({"generate": 1000000, "drop_after": 200000, )"
                                                        R"("slow": {"bytes_per_sec": 1000000}, )"
                                                        R"("drop_mode": ")") +
                                                GetParam() + "\"}")));
    EXPECT_FALSE(DownloadPackage());
    const Messages shown = capture_.Messages();
    ASSERT_EQ(shown.size(), 1u);
    if (std::string(GetParam()) == "fin") {
        EXPECT_EQ(shown[0], (ShownMessage{L"unknown error(0x2eff): Helmview.zip", L"Error"}));
    } else {
        EXPECT_NE(shown[0].text.find(L"(0x"), std::wstring::npos) << shown[0].text;
        ExpectErrorEndingIn(shown[0], L"): Helmview.zip");
    }
    EXPECT_EQ(server_.LoggedPaths().size(), 4u);
    // What arrived stays on disk, and it is the start of the body.
    const std::string partial = ReadBytes(Target());
    EXPECT_LE(partial.size(), 800000u);
    EXPECT_EQ(partial, GeneratedBytes(partial.size()));
}

TEST_P(CutTransfer, IsResumedWhereTheFileEnds) {
    const std::size_t total = 3 * kMiB + 777, cut = kMiB + kMiB / 2;
    ASSERT_TRUE(server_.SetRules(
        Rule(kPackagePath, R"({"generate": )" + std::to_string(total) + R"(, "drop_after": )" +
                               std::to_string(cut) + R"(, "slow": {"bytes_per_sec": 8000000}, "times": 1, )" +
                               R"("etag": "\"v1\"", )" + R"("drop_mode": ")" + GetParam() + "\"}")));
    EXPECT_TRUE(DownloadPackage());
    EXPECT_TRUE(ReadBytes(Target()) == GeneratedBytes(total)) << "got " << FileSize(Target()) << " bytes";
    EXPECT_TRUE(capture_.Messages().empty());
    // The second request asks for the rest of what the file held, no more
    // than the cut transfer had sent.
    const std::vector<Logged> requests = RequestsInLog(server_.Log());
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], (Logged{"", 200}));
    const std::string& range = requests[1].range;
    ASSERT_EQ(range.rfind("bytes=", 0), 0u) << range;
    EXPECT_EQ(range.back(), '-');
    const std::size_t from = std::strtoull(range.c_str() + 6, nullptr, 10);
    EXPECT_GT(from, 0u);
    EXPECT_LE(from, cut);
    EXPECT_EQ(requests[1].status, 206);
    EXPECT_EQ(requests[1].ifRange, "\"v1\"");
}

INSTANTIATE_TEST_SUITE_P(DropModes, CutTransfer, ::testing::Values("reset", "fin"));

TEST_F(DownloaderTest, AServerThatIgnoresRangeStartsTheFileAgain) {
    const std::size_t total = 3 * kMiB, cut = 2 * kMiB + 100;
    ASSERT_TRUE(server_.SetRules(
        Rule(kPackagePath, R"({"generate": )" + std::to_string(total) + R"(, "drop_after": )" +
                               std::to_string(cut) +
                               R"(, "drop_mode": "fin", "times": 1, "ranges": false, "etag": "\"v1\""})")));
    EXPECT_TRUE(DownloadPackage());
    // The whole body once: the second answer is not appended to the first.
    EXPECT_TRUE(ReadBytes(Target()) == GeneratedBytes(total)) << "got " << FileSize(Target()) << " bytes";
    EXPECT_TRUE(capture_.Messages().empty());
    const std::vector<Logged> requests = RequestsInLog(server_.Log());
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_NE(requests[1].range, "");
    EXPECT_EQ(requests[1].status, 200);
}

TEST_F(DownloaderTest, AResumeAppendsOnlyTheRestOfTheFileTheFirstAnswerCameFrom) {
    // The first answer is cut; what the server answers after it is the same
    // body, or another of the same size that replaced it meanwhile.
    const std::size_t total = 300000, cut = 100000;
    const std::string replaced(total, 'R');
    const std::string resumed = "bytes=" + std::to_string(cut) + "-";
    const std::string newFile = R"({"body": ")" + replaced + R"(", "etag": "\"two\"")";
    struct Case {
        const char* what;
        std::string validator; // of the first answer
        std::string after;     // the rule after the cut; empty: the same body
        std::vector<Logged> requests;
        std::string installed;
    };
    const Case cases[] = {
        {"the same file",
         R"("etag": "\"one\"")",
         "",
         {{"", 200}, {resumed, 206, "\"one\""}},
         GeneratedBytes(total)},
        {"replaced, If-Range ignored",
         R"("etag": "\"one\"")",
         newFile + R"(, "if_range": false})",
         {{"", 200}, {resumed, 206, "\"one\""}, {"", 200}},
         replaced},
        {"replaced, If-Range honoured",
         R"("etag": "\"one\"")",
         newFile + "}",
         {{"", 200}, {resumed, 200, "\"one\""}},
         replaced},
        // A weak tag is no validator: the rest is not asked for.
        {"a weak ETag only",
         R"("etag": "W/\"one\"")",
         R"({"body": ")" + replaced + R"(", "etag": "W/\"one\""})",
         {{"", 200}, {"", 200}},
         replaced},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(server_.SetRules(
            Rule(kPackagePath, R"({"generate": )" + std::to_string(total) + ", " + c.validator +
                                   R"(, "drop_after": )" + std::to_string(cut) +
                                   R"(, "drop_mode": "fin", "times": 1)" +
                                   (c.after.empty() ? "" : ", \"after\": " + c.after) + "}")));
        ASSERT_TRUE(server_.ClearLog());
        EXPECT_TRUE(DownloadPackage());
        EXPECT_TRUE(ReadBytes(Target()) == c.installed) << "got " << FileSize(Target()) << " bytes";
        EXPECT_EQ(RequestsInLog(server_.Log()), c.requests);
    }
    EXPECT_TRUE(capture_.Messages().empty());
}

TEST_F(DownloaderTest, TheNameCheckAndTheTextStopWaitingForASilentServerOnAbort) {
    ASSERT_TRUE(server_.SetRules(R"({"/zqHelmview/a/silent.zip": {"delay": 20},
                                     "/zqHelmview/config/silent.xml": {"delay": 20}})"));
    for (const bool text : {false, true}) {
        DownloadAbort abort;
        std::atomic<bool> returned{false};
        bool result = true;
        std::wstring body = L"left over";
        std::thread worker([&] {
            result = text ? Told(Server().DownloadText(L"config/", L"silent.xml", body, &abort))
                          : Server().UrlExists(L"a/", L"silent.zip", &abort);
            returned = true;
        });
        for (int i = 0; i < 3000 && server_.LoggedPaths().size() < (text ? 2u : 1u); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        abort.Request();
        // Far more than the return needs, far less than the server's silence.
        for (int i = 0; i < 200 && !returned; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_TRUE(returned) << "still waiting on the server, text: " << text;
        worker.join();
        // The name check finds nothing; the text is a success with nothing in it.
        EXPECT_EQ(result, text);
        EXPECT_EQ(body, text ? L"" : L"left over");
    }
    EXPECT_TRUE(capture_.Messages().empty());
}

TEST_F(DownloaderTest, ABodyWithoutLengthEndsWithTheConnection) {
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"generate": 70000, "content_length": false})")));
    EXPECT_TRUE(DownloadPackage());
    EXPECT_EQ(ReadBytes(Target()), GeneratedBytes(70000));
    EXPECT_TRUE(capture_.Messages().empty());
}

TEST_F(DownloaderTest, AbortBetweenReadsKeepsWhatCameBeforeAndWritesNothingAfter) {
    // Paced, so reads keep coming while the abort is made.
    const std::size_t total = 64 * kMiB;
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"slow": {"bytes_per_sec": 4000000, "size": )" +
                                                        std::to_string(total) + "}}")));
    bool result = false;
    std::thread worker([&] { result = DownloadPackage(); });
    WaitForSize(Target(), 1);
    abort_.Request();
    worker.join();
    const std::uint64_t atReturn = FileSize(Target());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    EXPECT_TRUE(result);
    EXPECT_TRUE(capture_.Messages().empty());
    const std::string kept = ReadBytes(Target());
    EXPECT_EQ(kept.size(), atReturn) << "written after the download returned";
    EXPECT_GT(kept.size(), 0u);
    EXPECT_LT(kept.size(), total);
    EXPECT_TRUE(kept == GeneratedBytes(kept.size()));
}

TEST_F(DownloaderTest, AbortOnAStalledServerReturnsAtOnce) {
    // Two mebibytes and a little more, then the server holds the connection
    // open and sends nothing for a long while.
    const std::size_t before = 2 * kMiB;
    ASSERT_TRUE(server_.SetRules(Rule(
        kPackagePath, R"({"generate": )" + std::to_string(4 * before) + R"(, "drop_after": )" +
                          std::to_string(before + 1000) + R"(, "drop_mode": "hang", "hang_seconds": 60})")));
    std::atomic<bool> returned{false};
    bool result = false;
    std::thread worker([&] {
        result = DownloadPackage();
        returned = true;
    });
    WaitForSize(Target(), before);
    ASSERT_EQ(FileSize(Target()), before);
    abort_.Request();
    // Far more than the download needs, far less than the server's silence.
    for (int i = 0; i < 200 && !returned; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(returned) << "the download still waits on the server";
    worker.join();

    EXPECT_TRUE(result);
    EXPECT_TRUE(capture_.Messages().empty());
    // The read the abort came in is not written, and not retried either.
    EXPECT_TRUE(ReadBytes(Target()) == GeneratedBytes(before)) << "got " << FileSize(Target()) << " bytes";
    EXPECT_EQ(server_.LoggedPaths().size(), 1u);
}

TEST_F(DownloaderTest, DownloadAfterAnAbortTransfersNormally) {
    DownloadAbort earlierRun; // cancelled before its download began
    earlierRun.Request();
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"generate": 50000})")));
    EXPECT_TRUE(Told(Server().DownloadFile(kPackageFolder, folder_, L"Helmview.zip", &earlierRun)));
    EXPECT_TRUE(server_.LoggedPaths().empty()) << "a run cancelled in time asks the server nothing";
    EXPECT_TRUE(DownloadPackage());
    EXPECT_EQ(ReadBytes(Target()), GeneratedBytes(50000));
    EXPECT_EQ(server_.LoggedPaths(), std::vector<std::string>{kPackagePath})
        << "the run not cancelled is heard";
}

TEST_F(DownloaderTest, TargetThatCannotBeCreatedIsAFailure) {
    ASSERT_TRUE(server_.SetRules(Rule(kPackagePath, R"({"generate": 50000})")));
    const std::wstring missing = folder_ + L"no such folder\\";
    EXPECT_FALSE(Told(Server().DownloadFile(kPackageFolder, missing, L"Helmview.zip")));
    EXPECT_FALSE(std::filesystem::exists(missing));
    const Messages shown = capture_.Messages();
    ASSERT_EQ(shown.size(), 1u);
    ExpectErrorEndingIn(shown[0], L"(0x3): Helmview.zip"); // the path was not found
    EXPECT_EQ(shown[0].text.rfind(L"unknown error", 0), std::wstring::npos);
    EXPECT_TRUE(server_.LoggedPaths().empty()) << "nothing is fetched for a file that cannot be written";
    EXPECT_TRUE(Told(Server().DownloadFile(kPackageFolder, folder_, L"Helmview.zip")));
    EXPECT_EQ(server_.LoggedPaths(), std::vector<std::string>{kPackagePath})
        << "a file that can be written is";
}

TEST_F(DownloaderTest, UnreachableServerIsReportedWithoutAName) {
    // Nothing listens on port 1 of the loopback address.
    serverFolder_ = L"http://127.0.0.1:1/zqHelmview/";
    EXPECT_FALSE(DownloadPackage());
    const Messages shown = capture_.Messages();
    ASSERT_EQ(shown.size(), 1u);
    ExpectErrorEndingIn(shown[0], L"(0x2efd): "); // cannot connect
}

TEST_F(DownloaderTest, TextIsReadOneCharacterPerByte) {
    ASSERT_TRUE(server_.SetRules(
        Rule(kManifestPath, R"({"body": "<list><version>3.8.2.5</version>\u00e9</list>"})")));
    std::wstring text = L"left over";
    EXPECT_TRUE(DownloadManifest(text));
    // The server sends UTF-8; each byte becomes the character of its value.
    EXPECT_EQ(text, L"<list><version>3.8.2.5</version>\u00c3\u00a9</list>");
    EXPECT_TRUE(capture_.Messages().empty());
}

TEST_F(DownloaderTest, TextBeyondTheCapIsAFailedDownloadOfTheFile) {
    const std::size_t cap = Downloader::kMaxTextBytes;
    std::wstring text;
    ASSERT_TRUE(server_.SetRules(Rule(kManifestPath, R"({"generate": )" + std::to_string(cap) + "}")));
    EXPECT_TRUE(DownloadManifest(text));
    EXPECT_EQ(text.size(), cap);
    // One byte more, announced or not.
    for (const char* length : {"", R"(, "content_length": false)"}) {
        ASSERT_TRUE(server_.SetRules(
            Rule(kManifestPath, R"({"generate": )" + std::to_string(cap + 1) + length + "}")));
        EXPECT_FALSE(DownloadManifest(text)) << length;
    }
    const Messages shown = capture_.Messages();
    ASSERT_EQ(shown.size(), 2u);
    for (const ShownMessage& message : shown)
        ExpectErrorEndingIn(message, L"(0xdf): lista_updater.xml"); // ERROR_FILE_TOO_LARGE
}

TEST_F(DownloaderTest, UrlExistsAnswersFromTheStatusAlone) {
    ASSERT_TRUE(
        server_.SetRules(R"({"/zqHelmview/a/there.zip": {"slow": {"bytes_per_sec": 2000, "size": 10000000}},
                                     "/zqHelmview/a/moved.zip": {"status": 302},
                                     "/zqHelmview/a/gone.zip": {"status": 404},
                                     "/zqHelmview/a/broken.zip": {"status": 500}})"));
    // The body would take more than an hour to read.
    EXPECT_TRUE(Server().UrlExists(L"a/", L"there.zip"));
    const std::string log = server_.Log();
    EXPECT_EQ(log.find("\"complete\": true"), std::string::npos) << log;
    EXPECT_TRUE(Server().UrlExists(L"a/", L"moved.zip"));
    EXPECT_FALSE(Server().UrlExists(L"a/", L"gone.zip"));
    EXPECT_FALSE(Server().UrlExists(L"a/", L"broken.zip"));
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
    EXPECT_FALSE(DownloadManifest(text));
    EXPECT_FALSE(Server().UrlExists(kPackageFolder, L"Helmview.zip"));
    const ShownMessage noNetwork{L"There is no internet connection. Please try again later.",
                                 L"Failed to download"};
    EXPECT_EQ(capture_.Messages(), (Messages{noNetwork, noNetwork}));
    EXPECT_TRUE(server_.LoggedPaths().empty());
    SetConnectionProbe([] { return true; });
    EXPECT_TRUE(Server().UrlExists(kPackageFolder, L"Helmview.zip"));
    EXPECT_EQ(server_.LoggedPaths(), std::vector<std::string>{kPackagePath})
        << "online, the same probe is heard";
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
    EXPECT_FALSE(DownloadManifest(text));
    EXPECT_FALSE(Server().UrlExists(kPackageFolder, L"Helmview.zip"));
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
    EXPECT_TRUE(Server().UrlExists(kPackageFolder, L"Helmview.zip"));
    EXPECT_TRUE(DownloadPackage());
    EXPECT_EQ(ReadBytes(Target()), GeneratedBytes(300000));
    EXPECT_TRUE(capture_.Messages().empty());
}

} // namespace
