// One QApplication for a whole test program that draws or makes widgets; a test
// program includes this from one of its files with KESTR_QT_TEST_APPLICATION. It runs
// on the offscreen platform unless QT_QPA_PLATFORM names another, with the fonts and the
// scale of Support/QtTestSettings.h.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "Support/QtTestSettings.h"

namespace kestr::test {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        chooseQtSettings();
        static int argc = 1;
        static char name[] = "kestr-test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
        ASSERT_TRUE(useTestFont()) << testFontMissing;
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

}  // namespace kestr::test

#define KESTR_QT_TEST_APPLICATION                                                         \
    namespace {                                                                           \
    [[maybe_unused]] const auto* const kestrQtEnvironment =                               \
        ::testing::AddGlobalTestEnvironment(new ::kestr::test::QtApplicationEnvironment); \
    }
