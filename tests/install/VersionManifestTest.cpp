// The offered version, read from the manifest on the loopback test server,
// and the cases where the server is left alone.
#include "install/VersionManifest.h"

#include "i18n/TranslationCatalog.h"
#include "net/ConnectionProbe.h"
#include "profile/ProductProfile.h"
#include "settings/SettingsStore.h"
#include "report/OutcomeReport.h"

#include <gtest/gtest.h>

#include "MessageCapture.h"
#include "TestServerClient.h"

using namespace helmtest;

namespace {

const std::string kManifestPath = "/zqHelmview/config/lista_updater.xml";

std::string ManifestRule(const std::string& behaviour) {
    return "{\"" + kManifestPath + "\": " + behaviour + "}";
}

class FetchAvailableVersionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Ready()) << server_.Error();
        ASSERT_TRUE(server_.SetRules("{}")) << server_.Error();
        ASSERT_TRUE(server_.ClearLog());
        profile_.InitFrom(server_.BaseUrl(), L"C:\\Temp\\HelmviewSetup.exe", L"C:\\Program Files (x86)");
        helmtest::UseEnglishTexts();
        // Messages go to stderr, where the death tests look for them.
        previousSink_ = MessagesToStderr();
        Store().RemoveRegistration();
    }

    void TearDown() override {
        Store().RemoveRegistration();
        SetConnectionProbe(nullptr);
        SetUserMessageSink(std::move(previousSink_));
    }

    void RecordInstallation(std::uint32_t state, const wchar_t* version) {
        Store().SetIsInstalled(state);
        Store().SetCurrentVersion(ProductVersion(version));
        ASSERT_EQ(Store().GetIsInstalled(L"Norvale"), state);
    }

    static void GoOffline() {
        SetConnectionProbe([] { return false; });
    }

    // As start-up asks: the version, or the failure told and the process ended.
    std::wstring FetchAvailableVersion(bool uninstallMode) const {
        std::wstring version;
        EndUnlessSucceeded(::FetchAvailableVersion(profile_, uninstallMode, version));
        return version;
    }

    SettingsStore Store() const { return SettingsStore(profile_); }

    TestServerClient server_{L"net_http"};
    ProductProfile profile_;
    UserMessageSink previousSink_;
};

TEST_F(FetchAvailableVersionTest, ReturnsTheFirstVersionElementWithItsSpaces) {
    ASSERT_TRUE(server_.SetRules(ManifestRule(
        R"({"body": "<?xml version=\"1.0\"?><updater><version> 3.8 </version><version>9.9</version>"})")));
    EXPECT_EQ(FetchAvailableVersion(false), L" 3.8 ");
    EXPECT_EQ(server_.LoggedPaths(), std::vector<std::string>{kManifestPath});
}

TEST_F(FetchAvailableVersionTest, ManifestWithoutACompleteVersionElementOffersNothing) {
    ASSERT_TRUE(server_.SetRules(ManifestRule(R"({"body": "<updater><version>3.8.2.5</updater>"})")));
    EXPECT_EQ(FetchAvailableVersion(false), L"");
    ASSERT_TRUE(
        server_.SetRules(ManifestRule(R"({"body": "<updater><release>3.8.2.5</release></updater>"})")));
    EXPECT_EQ(FetchAvailableVersion(false), L"");
}

TEST_F(FetchAvailableVersionTest, CompletedInstallationAsksTheServerOnlyWhenInstallingOnline) {
    ASSERT_TRUE(server_.SetRules(ManifestRule(R"({"body": "<version>3.9</version>"})")));
    RecordInstallation(3, L"2.1.0");
    EXPECT_EQ(FetchAvailableVersion(true), L"2.1.0") << "uninstall mode";
    GoOffline();
    EXPECT_EQ(FetchAvailableVersion(false), L"2.1.0") << "offline";
    EXPECT_TRUE(server_.LoggedPaths().empty());
    SetConnectionProbe(nullptr);
    EXPECT_EQ(FetchAvailableVersion(false), L"3.9");
    EXPECT_EQ(server_.LoggedPaths(), std::vector<std::string>{kManifestPath});
}

TEST_F(FetchAvailableVersionTest, UnfinishedInstallationOfflineSaysSoAndEnds) {
    RecordInstallation(1, L"2.1.0");
    GoOffline();
    EXPECT_EXIT(FetchAvailableVersion(false), ::testing::ExitedWithCode(0),
                "MESSAGE \\[Failed to download\\] There is no internet connection. Please try again later.");
}

TEST_F(FetchAvailableVersionTest, NothingInstalledAndNoNetworkEnds) {
    GoOffline();
    EXPECT_EXIT(FetchAvailableVersion(false), ::testing::ExitedWithCode(0),
                "MESSAGE \\[Failed to download\\] There is no internet connection");
}

TEST_F(FetchAvailableVersionTest, MissingManifestEndsAfterTheMessage) {
    ASSERT_TRUE(server_.SetRules(ManifestRule(R"({"status": 404})")));
    EXPECT_EXIT(FetchAvailableVersion(false), ::testing::ExitedWithCode(0),
                "MESSAGE \\[Error\\] Missing file: lista_updater.xml");
}

} // namespace
