// One QApplication for a whole test program that draws or makes widgets; a test
// program includes this from one of its files with KESTR_QT_TEST_APPLICATION. It runs
// on the offscreen platform unless QT_QPA_PLATFORM names another.
//
// Text is measured in fonts the tests choose, whatever else the machine has: the program
// sees only the fonts Support/fonts/fonts.conf.in names, DejaVu Sans draws the text, and the
// invisible marks that isolate names, which DejaVu lacks, come from a font of our own whose
// lines are as tall as those of the font a usual desktop draws them from.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <memory>

namespace kestr::test {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("FONTCONFIG_FILE", KESTR_TEST_FONTCONFIG);
        static int argc = 1;
        static char name[] = "kestr-test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
        QFont font = QApplication::font();
        font.setFamily("DejaVu Sans");
        QApplication::setFont(font);
        ASSERT_EQ(QFontInfo(font).family(), "DejaVu Sans") << "install fonts-dejavu-core (scripts/bootstrap)";
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
