#include <gtest/gtest.h>

#include "App/CommandLine.h"

namespace kestr {
namespace {

using Mode = CommandLine::Mode;

CommandLine::Choice choose(std::vector<std::string> args, std::vector<Mode> unavailable = {}) {
    args.insert(args.begin(), "/usr/bin/kestr");
    return CommandLine::choose(args, unavailable);
}

TEST(CommandLineTest, FirstAvailableOptionInTableOrderWithTheArgumentAfterItsFirstOccurrence) {
    EXPECT_EQ(choose({"--render-panel", "/tmp/p.png", "--dump-content"}).mode, Mode::dumpContent);
    auto c = choose({"--apply-kest", "Work", "--render-panel", "/tmp/p.png", "--apply-kest", "Other"});
    EXPECT_EQ(c.mode, Mode::applyKest);
    EXPECT_EQ(c.value, "Work");
    EXPECT_EQ(c.position, 1u);
    EXPECT_EQ(choose({"--apply-kest", "--not-an-option-but-a-name"}).value, "--not-an-option-but-a-name");

    // Without its value an option counts as absent, and a later one in the table still runs.
    EXPECT_EQ(choose({"--probe-min-size", "--render-menubar-icons"}).mode, Mode::probeMinSize);
    EXPECT_EQ(choose({"--write-sample-layout", "x.json", "--write-sample-layout"}).mode, Mode::writeSampleLayout);

    const std::vector<Mode> noUI = {Mode::renderPanel, Mode::renderEditor, Mode::renderMenuBarIcons};
    EXPECT_EQ(choose({"--render-panel", "/tmp/p.png", "--write-sample-layout", "s.json"}, noUI).mode,
              Mode::writeSampleLayout);
}

TEST(CommandLineTest, OnlyWholeExactArgumentsAfterTheProgramPathAreOptions) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"--DUMP"}, {"--dum"}, {"--write-sample-layout=/tmp/x.json"}, {"--render-panel"}})
        EXPECT_EQ(choose(args).mode, Mode::menuBarApplication) << ::testing::PrintToString(args);
    EXPECT_EQ(CommandLine::choose({"--dump"}).mode, Mode::menuBarApplication);
}

}  // namespace
}  // namespace kestr
