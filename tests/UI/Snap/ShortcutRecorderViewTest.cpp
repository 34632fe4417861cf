#include "UI/Snap/ShortcutRecorderView.h"

#include <QLabel>
#include <QLayout>
#include <QTest>

#include "Core/HotkeyManager.h"
#include "UI/SystemStyle.h"
#include "Support/SimTest.h"

namespace kestr::test {
namespace {

class ShortcutRecorderViewTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        // One kest hot key registered, so pausing has something to take away.
        Layout kest;
        kest.id = Uuid::random();
        kest.name = "A";
        kest.hotkey = Hotkey{40, 0x1900};
        HotkeyManager::shared().sync({kest}, {});
        window.resize(300, 100);
        recorder = new ShortcutRecorderView(&window);
        recorder->setPlain(true);
        recorder->setGeometry(10, 10, 150, 28);
        other = new QWidget(&window);
        other->setGeometry(200, 10, 50, 28);
        recorder->onChange = [this](std::optional<Hotkey> h) { changes.push_back(h); };
        window.show();
        synced = registered();
    }
    std::size_t registered() { return sim->simHotKeys().registrations().size(); }

    QWidget window;
    ShortcutRecorderView* recorder = nullptr;
    QWidget* other = nullptr;
    std::vector<std::optional<Hotkey>> changes;
    std::size_t synced = 0;
};

TEST_F(ShortcutRecorderViewTest, RecordsAKeyWithAModifierAndRegistersTheHotKeysAgain) {
    EXPECT_EQ(recorder->text(), "None");
    QTest::mouseClick(recorder, Qt::LeftButton);
    EXPECT_FALSE(recorder->recording()) << "a single click does not record";
    QTest::mouseDClick(recorder, Qt::LeftButton);
    ASSERT_TRUE(recorder->recording());
    EXPECT_EQ(registered(), 0u) << "every hot key is unregistered while recording";
    EXPECT_EQ(recorder->text(), "Type shortcut…");

    // Control plays Command, Meta plays Control: ⌃⌥ held shows both glyphs.
    QTest::keyPress(recorder, Qt::Key_Meta, Qt::MetaModifier | Qt::AltModifier);
    EXPECT_EQ(recorder->text(), "⌃⌥…");
    QTest::keyRelease(recorder, Qt::Key_Meta, Qt::NoModifier);
    EXPECT_EQ(recorder->text(), "Type shortcut…");

    QTest::keyClick(recorder, Qt::Key_K);
    EXPECT_TRUE(recorder->recording()) << "a key without a modifier is refused";
    EXPECT_EQ(recorder->text(), "need ⌘/⌥/⌃/⇧…");
    EXPECT_TRUE(changes.empty());

    QTest::keyClick(recorder, Qt::Key_K, Qt::ShiftModifier);
    EXPECT_FALSE(recorder->recording());
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], (Hotkey{40, CarbonModifier::shift}));
    EXPECT_EQ(recorder->text(), "⇧K");
    EXPECT_EQ(registered(), synced) << "the hot keys of the last synchronisation come back";
}

TEST_F(ShortcutRecorderViewTest, EscapeClicksAndOutsideValuesEndWithoutACallback) {
    recorder->setHotkey(Hotkey{40, 0x1900}, true);
    EXPECT_EQ(recorder->text(), "⌃⌥⌘K");
    EXPECT_EQ(recorder->textColor(), SystemStyle::systemOrange().resolved()) << "a conflict shows in orange";

    recorder->beginRecording();
    recorder->beginRecording();
    QTest::keyClick(recorder, Qt::Key_Escape, Qt::ControlModifier);
    EXPECT_FALSE(recorder->recording());
    EXPECT_EQ(recorder->hotkey(), (Hotkey{40, 0x1900}));

    recorder->beginRecording();
    QTest::mouseClick(recorder, Qt::LeftButton);
    EXPECT_TRUE(recorder->recording()) << "a press inside keeps recording";
    QTest::mouseClick(other, Qt::LeftButton);
    EXPECT_FALSE(recorder->recording());
    EXPECT_EQ(registered(), synced);

    // A value set from outside during a recording must give the hot keys back.
    recorder->beginRecording();
    recorder->setHotkey(std::nullopt, false);
    EXPECT_FALSE(recorder->recording());
    EXPECT_EQ(registered(), synced);
    EXPECT_FALSE(HotkeyManager::shared().pausedForRecording);
    EXPECT_TRUE(changes.empty());

    // Delete clears, even with nothing set, and reports none.
    recorder->beginRecording();
    QTest::keyClick(recorder, Qt::Key_Backspace);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], std::nullopt);
}

TEST_F(ShortcutRecorderViewTest, WhatItShowsWhileRecordingStaysInsideItsBox) {
    recorder->beginRecording();
    recorder->layout()->activate();
    QLabel* label = recorder->findChild<QLabel*>();
    for (const QString& text : ShortcutRecorderView::recordingTexts()) {
        // The box is stroked 1.5 to 3.5 points inside the view's edges.
        EXPECT_LE(label->geometry().right() + 1, recorder->width() - 4);
        EXPECT_LE(QFontMetricsF(label->font()).horizontalAdvance(text), label->contentsRect().width())
            << text.toStdString();
    }
    recorder->setHotkey(Hotkey{40, 0x1900}, false);
    recorder->layout()->activate();
    EXPECT_EQ(label->geometry().right() + 1, recorder->width()) << "idle, the value ends at the edge";
}

}  // namespace
}  // namespace kestr::test
