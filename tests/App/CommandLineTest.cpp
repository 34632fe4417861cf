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

// What a mode reads as its value is never an option itself, whatever it looks like; an
// option after the value still is.
TEST(CommandLineTest, EveryModesValueIsTakenAsGiven) {
    struct Row {
        std::vector<std::string> args;
        Mode mode;
        std::string value;
    };
    const Row rows[] = {
        {{"--apply-kest", "--dump"}, Mode::applyKest, "--dump"},
        {{"--apply-kest", "-x"}, Mode::applyKest, "-x"},
        {{"--apply-kest", "Work", "--dump"}, Mode::applyKest, "Work"},  // its DISPLAY
        {{"--render-panel", "--dump-content", "snaps"}, Mode::renderPanel, "--dump-content"},
        {{"--render-editor", "--test-new-space"}, Mode::renderEditor, "--test-new-space"},
        {{"--render-menubar-icons", "--dump"}, Mode::renderMenuBarIcons, "--dump"},
        {{"--write-sample-layout", "--probe-min-size"}, Mode::writeSampleLayout, "--probe-min-size"},
        {{"--write-sample-layout", "--help"}, Mode::writeSampleLayout, "--help"},
        {{"--render-editor", "--dump", "--dump"}, Mode::dump, ""},
        {{"--apply-kest", "Work", "1", "--dump"}, Mode::dump, ""},
    };
    for (const Row& row : rows) {
        const auto c = choose(row.args);
        EXPECT_EQ(c.mode, row.mode) << ::testing::PrintToString(row.args);
        EXPECT_EQ(c.value, row.value) << ::testing::PrintToString(row.args);
    }
}

TEST(CommandLineTest, OnlyWholeExactArgumentsAfterTheProgramPathAreOptions) {
    for (const auto& args : std::vector<std::vector<std::string>>{{}, {"Work"}, {"-session", "1234_5"}})
        EXPECT_EQ(choose(args).mode, Mode::menuBarApplication) << ::testing::PrintToString(args);
    EXPECT_EQ(CommandLine::choose({"--dump"}).mode, Mode::menuBarApplication);
    // Not an option as written: a mistake, never the menu-bar application.
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--DUMP"}, {"--dum"}, {"--write-sample-layout=/tmp/x.json"}, {"-h"}, {"Work", "-"}})
        EXPECT_EQ(choose(args).value, "kestr: unknown option \"" + args.back() + "\" (see \"kestr --help\")")
            << ::testing::PrintToString(args);
    EXPECT_EQ(choose({"--bell\a\x1b[2J\xff"}).value,
              "kestr: unknown option \"--bell\uFFFD\uFFFD[2J\uFFFD\" (see \"kestr --help\")");
}

TEST(CommandLineTest, HelpAndAModeWithoutItsValueRunNoMode) {
    EXPECT_EQ(choose({"--verbose", "--help"}).mode, Mode::help);
    EXPECT_EQ(choose({"--apply-kest", "--help"}).mode, Mode::applyKest) << "a name may begin with \"--\"";

    for (const char* option : {"--apply-kest", "--render-panel", "--write-sample-layout"}) {
        const auto c = choose({"--probe-bogus", option});
        EXPECT_EQ(c.mode, Mode::mistake);
        EXPECT_EQ(c.value, std::string("kestr: ") + option + " needs a " +
                               (option == std::string("--apply-kest") ? "NAME" : "PATH") + " (see \"kestr --help\")");
    }
    // Every mode shows in the help, each with what it takes.
    const std::string help = CommandLine::helpText();
    for (const char* line :
         {"\n  --dump\n", "\n  --apply-kest NAME [DISPLAY]\n", "\n  --probe-drag\n",
          "\n  --render-panel PATH [empty] [snaps] [untrusted]\n", "\n  --write-sample-layout PATH\n", "\n  --help\n"})
        EXPECT_NE(help.find(line), std::string::npos) << line;
    EXPECT_NE(help.find("terminal, file-manager and browser windows"), std::string::npos) << "what the probe measures";
}

}  // namespace
}  // namespace kestr
