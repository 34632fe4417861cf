// --write-sample-layout: the sample kest's file, its backup, and a failed save.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "App/DiagnosticModes.h"
#include "Support/CapturedOutput.h"
#include "Support/SimTest.h"

namespace kestr {
namespace {

using nlohmann::json;

class SampleLayoutModeTest : public test::SimTest {
protected:
    std::string home() { return sim->files().homeDirectory(); }
    CapturedOutput output;
};

TEST_F(SampleLayoutModeTest, RelativePathIsShownAbsoluteAndTheOldFileKeptAsBackup) {
    const std::string path = home() + "/sample.json";
    sim->files().writeAtomically(path, "{\"version\": 1, \"layouts\": \"not even kests\"}");
    ASSERT_EQ(DiagnosticModes::writeSampleLayout(output, "./out/../sample.json", home()), 0) << output.stderrText;
    EXPECT_EQ(output.stdoutText, "Wrote sample layout to " + path + "\n");
    EXPECT_EQ(output.stderrText, "");
    EXPECT_EQ(sim->files().read(path + ".bak"), "{\"version\": 1, \"layouts\": \"not even kests\"}")
        << "the old content is never loaded, only kept";

    const json kest = json::parse(sim->files().read(path))["layouts"].at(0);
    EXPECT_EQ(kest["name"], "Coding (sample)");
    ASSERT_EQ(kest["items"].size(), 2u);
    // The browser window is found again by the host of the page it opens.
    const std::string url = kest["items"][1]["openURL"];
    const std::string host = kest["items"][1]["windowMatcher"]["value"];
    EXPECT_NE(url.find("://" + host + ":3000"), std::string::npos) << url;
    EXPECT_NE(kest["items"][0]["id"], kest["items"][1]["id"]);
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

// A path is the user's own text, shown as a title is: escapes, bells and bytes that are
// not UTF-8 cannot drive the terminal that shows the line.
TEST_F(SampleLayoutModeTest, PathsAreEchoedCleaned) {
    const std::string name = "a\x1b]0;owned\x07\xff.json";
    ASSERT_EQ(DiagnosticModes::writeSampleLayout(output, name, home()), 0) << output.stderrText;
    EXPECT_EQ(output.stdoutText, "Wrote sample layout to " + home() + "/a\uFFFD]0;owned\uFFFD\uFFFD.json\n");
    EXPECT_TRUE(sim->files().exists(home() + "/" + name)) << "the file has the name as given";

    output = CapturedOutput();
    sim->simFiles().failOperation(FileOperation::atomicWrite, "b\x1b");
    EXPECT_EQ(DiagnosticModes::writeSampleLayout(output, "b\x1b", home()), 1);
    EXPECT_EQ(output.stderrText, "Failed to write sample: cannot write " + home() + "/b\uFFFD: injected failure\n");
}

// An empty path is the current folder. A folder is never kept as a backup (that copy
// went on into itself), nor replaced.
TEST_F(SampleLayoutModeTest, FolderAsThePathFailsAtOnceAndLeavesItAlone) {
    const std::string folder = home() + "/kests";
    sim->files().createDirectories(folder + "/inside");
    for (const std::string& given : {std::string(""), std::string("kests"), folder + "/"}) {
        SCOPED_TRACE("path \"" + given + "\"");
        output = CapturedOutput();
        const std::string current = given.empty() ? folder : home();
        EXPECT_EQ(DiagnosticModes::writeSampleLayout(output, given, current), 1);
        EXPECT_EQ(output.stdoutText, "");
        EXPECT_TRUE(output.stderrText.starts_with("Failed to write sample: cannot write " + folder))
            << output.stderrText;
        EXPECT_TRUE(output.stderrText.ends_with(": Is a directory\n")) << output.stderrText;
        EXPECT_EQ(sim->files().list(folder), std::vector<std::string>{"inside"});
        for (const std::string& name : sim->files().list(home())) EXPECT_FALSE(name.starts_with("kests.")) << name;
    }
}

}  // namespace
}  // namespace kestr
