#include <gtest/gtest.h>

#include "App/CommandLine.h"

namespace kestr {
namespace {

using Mode = CommandLine::Mode;

CommandLine::Choice choose(std::vector<std::string> args, std::vector<Mode> unavailable = {}) {
    args.insert(args.begin(), "/usr/bin/kestr");
    return CommandLine::choose(args, unavailable);
}

TEST(CommandLineTest, OptionsAreTestedInTheTableOrderNotTheOrderWritten) {
    EXPECT_EQ(choose({"--probe-min-size", "--dump"}).mode, Mode::dump);
    EXPECT_EQ(choose({"--render-panel", "/tmp/p.png", "--dump-content"}).mode, Mode::dumpContent);
    EXPECT_EQ(choose({"--apply-kest", "--dump"}).mode, Mode::dump);
    EXPECT_EQ(choose({}).mode, Mode::menuBarApplication);
}

TEST(CommandLineTest, ValueIsTheArgumentAfterTheFirstOccurrence) {
    auto c = choose({"--apply-kest", "Work", "--render-panel", "/tmp/p.png"});
    EXPECT_EQ(c.mode, Mode::applyKest);
    EXPECT_EQ(c.value, "Work");
    EXPECT_EQ(c.position, 1u);

    c = choose({"--render-editor", "/a.png", "--render-editor", "/b.png"});
    EXPECT_EQ(c.value, "/a.png");

    c = choose({"--apply-kest", "--not-an-option-but-a-name"});
    EXPECT_EQ(c.value, "--not-an-option-but-a-name") << "the value may begin with --";
}

TEST(CommandLineTest, OptionWithoutItsValueCountsAsAbsent) {
    EXPECT_EQ(choose({"--render-panel"}).mode, Mode::menuBarApplication);
    EXPECT_EQ(choose({"--write-sample-layout", "x.json", "--write-sample-layout"}).mode, Mode::writeSampleLayout);
    // The first occurrence is the last argument: a later test still runs.
    EXPECT_EQ(choose({"--probe-min-size", "--render-menubar-icons"}).mode, Mode::probeMinSize);
}

TEST(CommandLineTest, OnlyWholeExactArgumentsAreOptions) {
    EXPECT_EQ(choose({"--DUMP"}).mode, Mode::menuBarApplication);
    EXPECT_EQ(choose({"--write-sample-layout=/tmp/x.json"}).mode, Mode::menuBarApplication);
    EXPECT_EQ(choose({"--dum"}).mode, Mode::menuBarApplication);
    EXPECT_EQ(CommandLine::choose({"--dump"}).mode, Mode::menuBarApplication) << "the program path is not an option";
}

TEST(CommandLineTest, UnavailableOptionsAreSkipped) {
    const std::vector<Mode> noUI = {Mode::renderPanel, Mode::renderEditor, Mode::renderMenubarIcons};
    EXPECT_EQ(choose({"--render-panel", "/tmp/p.png", "--write-sample-layout", "s.json"}, noUI).mode,
              Mode::writeSampleLayout);
    EXPECT_EQ(choose({"--render-menubar-icons", "/tmp/i.png"}, noUI).mode, Mode::menuBarApplication);
}

}  // namespace
}  // namespace kestr
