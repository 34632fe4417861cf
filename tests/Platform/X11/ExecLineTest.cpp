// Which word of an Exec line a shell or an interpreter runs as its code, in lines as
// desktop files write them and in odd ones.
#include <gtest/gtest.h>

#include "Platform/X11/ExecLine.h"

namespace kestr {
namespace {

TEST(ExecLineTest, TheWordAShellOrInterpreterRunsIsKnownByTheOptionsBeforeIt) {
    struct Case {
        std::string exec;
        std::vector<bool> program;  // per field code
        bool programAtEnd = false;
    };
    const std::vector<Case> cases = {
        {"sh -c %u", {true}},
        {"/bin/bash -xc %f", {true}},
        {"python3.12 -c %u", {true}},
        {"perl -w -e %u", {true}},
        {"env -i zsh -c -- %u", {true}},
        {"bash -O extglob -c %u %f", {true, false}},
        {R"(sh -c 'exec app "$1"' sh %u)", {false}},
        {R"(sh -c "%u")", {false}},
        {"sh -c x%u", {false}},
        {"shell -c %u", {false}},
        {"-c %u", {false}},
        {"%u -c %u", {false, false}},
        {"app %u", {false}},
        {"sh -c", {}, true},
        {"bash -c -x", {}, true},
        {"sh -c cmd", {}, false},
        {"", {}, false},
        {"   ", {}, false},
        {"sh -", {}, false},
        {"'sh' \"-c\" %u", {true}},
    };
    for (const Case& c : cases) {
        const ExecLine line(c.exec);
        std::vector<bool> program;
        for (const auto& code : line.fieldCodes()) program.push_back(code.program);
        EXPECT_EQ(program, c.program) << c.exec;
        EXPECT_EQ(line.programAtEnd(), c.programAtEnd) << c.exec;
    }
}

}  // namespace
}  // namespace kestr
