// --write-sample-layout: the fixed sample kest, its file, and a failed save.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "App/DiagnosticModes.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

using nlohmann::json;

class SampleLayoutModeTest : public test::SimTest {
protected:
    std::string home() { return sim->files().homeDirectory(); }
    json read(const std::string& path) { return json::parse(sim->files().read(path)); }
    CapturedOutput output;
};

std::set<std::string> keysOf(const json& object) {
    std::set<std::string> keys;
    for (auto it = object.begin(); it != object.end(); ++it) keys.insert(it.key());
    return keys;
}

TEST_F(SampleLayoutModeTest, WritesOneFixedSampleKest) {
    const std::string path = home() + "/kests/sample.json";
    ASSERT_EQ(DiagnosticModes::writeSampleLayout(output, path, "/elsewhere"), 0) << output.stderrText;
    EXPECT_EQ(output.stdoutText, "Wrote sample layout to " + path + "\n");
    EXPECT_EQ(output.stderrText, "");

    const json document = read(path);
    EXPECT_EQ(document["version"], 1);
    ASSERT_EQ(document["layouts"].size(), 1u);
    const json& kest = document["layouts"][0];
    EXPECT_EQ(kest["name"], "Coding (sample)");
    EXPECT_EQ(kest["hotkey"], json({{"keyCode", 18}, {"modifiers", 4864}}));
    EXPECT_EQ(kest["edgeGroups"], json::array());
    EXPECT_EQ(kest["createdAt"], kest["updatedAt"]);
    ASSERT_EQ(kest["items"].size(), 2u);

    const std::set<std::string> plainItem = {"id", "appBundleID", "appName", "windowMatcher", "targetFrame",
                                             "launchIfMissing"};
    const json& terminal = kest["items"][0];
    EXPECT_EQ(keysOf(terminal), plainItem) << "every other optional field is absent";
    EXPECT_EQ(terminal["appBundleID"], "com.apple.Terminal");
    EXPECT_EQ(terminal["appName"], "Terminal");
    EXPECT_EQ(terminal["windowMatcher"], json({{"type", "firstWindow"}}));
    EXPECT_EQ(terminal["launchIfMissing"], true);
    EXPECT_EQ(terminal["targetFrame"], json({{"displayUUID", "37D8832A-2D66-4B0F-9F3F-1234567890AB"},
                                             {"x", 0}, {"y", 0}, {"width", 800}, {"height", 1200}}));

    const json& browser = kest["items"][1];
    std::set<std::string> browserKeys = plainItem;
    browserKeys.insert("openURL");
    EXPECT_EQ(keysOf(browser), browserKeys);
    EXPECT_EQ(browser["appBundleID"], "com.google.Chrome");
    EXPECT_EQ(browser["appName"], "Chrome");
    EXPECT_EQ(browser["targetFrame"], json({{"displayUUID", "37D8832A-2D66-4B0F-9F3F-1234567890AB"},
                                            {"x", 800}, {"y", 0}, {"width", 1120}, {"height", 1200}}));
    // A local development server on port 3000, found again by its host name.
    const std::string url = browser["openURL"];
    ASSERT_EQ(url.rfind("http://", 0), 0u) << url;
    const std::string authority = url.substr(7, url.find('/', 7) - 7);
    EXPECT_EQ(authority.substr(authority.find(':')), ":3000");
    EXPECT_EQ(browser["windowMatcher"], json({{"type", "titleContains"}, {"value", authority.substr(0, authority.find(':'))}}));

    EXPECT_NE(kest["id"], terminal["id"]);
    EXPECT_NE(terminal["id"], browser["id"]);
}

TEST_F(SampleLayoutModeTest, RelativePathIsTakenFromTheCurrentFolderAndShownAbsolute) {
    ASSERT_EQ(DiagnosticModes::writeSampleLayout(output, "./out/../sample.json", home()), 0) << output.stderrText;
    EXPECT_EQ(output.stdoutText, "Wrote sample layout to " + home() + "/sample.json\n");
    EXPECT_TRUE(sim->files().exists(home() + "/sample.json"));
}

TEST_F(SampleLayoutModeTest, ExistingFileIsReplacedAndKeptAsBackup) {
    const std::string path = home() + "/sample.json";
    sim->files().writeAtomically(path, "{\"version\": 1, \"layouts\": \"not even kests\"}");
    ASSERT_EQ(DiagnosticModes::writeSampleLayout(output, path, home()), 0) << output.stderrText;
    EXPECT_EQ(sim->files().read(path + ".bak"), "{\"version\": 1, \"layouts\": \"not even kests\"}")
        << "the old content is never loaded, only kept";
    EXPECT_EQ(read(path)["layouts"].size(), 1u);
}

TEST_F(SampleLayoutModeTest, FailedWriteIsReportedAndTheBackupStays) {
    const std::string path = home() + "/sample.json";
    ASSERT_EQ(DiagnosticModes::writeSampleLayout(output, path, home()), 0);
    const std::string first = sim->files().read(path);
    output = CapturedOutput();

    sim->simFiles().failOperation(FileOperation::atomicWrite, "sample.json");
    EXPECT_EQ(DiagnosticModes::writeSampleLayout(output, path, home()), 1);
    EXPECT_EQ(output.stdoutText, "");
    EXPECT_EQ(output.stderrText, "Failed to write sample: cannot write " + path + ": injected failure\n");
    EXPECT_EQ(sim->files().read(path), first);
    EXPECT_EQ(sim->files().read(path + ".bak"), first);
}

}  // namespace
}  // namespace kestr
