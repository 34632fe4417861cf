#include "UI/Shell/SaveDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace kestr::test {
namespace {

// A thumbnail of `width` x `height` points drawn at twice the resolution, as the
// thumbnail renderer makes them.
QImage thumbnail(int width, int height, Qt::GlobalColor colour) {
    QImage image(width * 2, height * 2, QImage::Format_ARGB32);
    image.setDevicePixelRatio(2);
    image.fill(colour);
    return image;
}

QRgb previewColour(const SaveDialog& dialog) {
    const QImage shown = dialog.preview->pixmap().toImage();
    return shown.isNull() ? 0 : shown.pixel(shown.width() / 2, shown.height() / 2);
}

TEST(SaveDialogTest, LayoutFollowsTheThumbnail) {
    SaveDialog empty({QImage(), QImage(), "1 screen", "Windows on other workspaces aren't included."});
    EXPECT_EQ(empty.noteLabel->text(), "Windows on other workspaces aren't included.");
    EXPECT_EQ(empty.width(), 380) << "no thumbnail: room for 120 x 72";
    EXPECT_EQ(empty.preview->geometry(), QRect(24, 24, 332, 72));
    EXPECT_EQ(empty.titleLabel->geometry(), QRect(24, 72 + 40, 332, 20));
    EXPECT_EQ(empty.subtitleLabel->geometry(), QRect(24, 72 + 64, 332, 16));
    EXPECT_EQ(empty.nameField->geometry(), QRect(24, 72 + 96, 332, 24));
    EXPECT_EQ(empty.thisScreenRadio->geometry(), QRect(24, 72 + 134, 332, 18));
    EXPECT_EQ(empty.allScreensRadio->geometry(), QRect(24, 72 + 156, 332, 18));
    const QRect note = empty.noteLabel->geometry();
    EXPECT_EQ(note.topLeft(), QPoint(24, 72 + 182));
    EXPECT_GT(note.height(), 0);
    const int buttons = note.bottom() + 1 + 18;
    EXPECT_EQ(empty.cancelButton->geometry(), QRect(380 - 214, buttons, 90, 30));
    EXPECT_EQ(empty.saveButton->geometry(), QRect(380 - 114, buttons, 90, 30));
    EXPECT_EQ(empty.height(), buttons + 50);

    SaveDialog wide({thumbnail(500, 90, Qt::red), thumbnail(300, 90, Qt::blue), "dual monitor", "A note."});
    EXPECT_EQ(wide.width(), 548);
    EXPECT_EQ(wide.preview->geometry(), QRect(24, 24, 500, 90));
    EXPECT_EQ(wide.titleLabel->y(), 90 + 40);
    EXPECT_EQ(wide.noteLabel->y(), 90 + 182);
    EXPECT_EQ(wide.height(), wide.noteLabel->geometry().bottom() + 1 + 18 + 50);
}

TEST(SaveDialogTest, TheScopeChoiceSwitchesTheThumbnail) {
    SaveDialog dialog({thumbnail(200, 60, Qt::red), thumbnail(300, 60, Qt::blue), "3 monitors", ""});
    EXPECT_EQ(dialog.allScreensRadio->text(), "All connected screens (3 monitors)");
    EXPECT_TRUE(dialog.thisScreenRadio->isChecked());
    EXPECT_EQ(previewColour(dialog), qRgb(255, 0, 0));

    dialog.allScreensRadio->click();
    EXPECT_FALSE(dialog.thisScreenRadio->isChecked()) << "the two radios are one group";
    EXPECT_EQ(previewColour(dialog), qRgb(0, 0, 255));
    EXPECT_TRUE(dialog.result().allScreens);
    dialog.thisScreenRadio->click();
    EXPECT_EQ(previewColour(dialog), qRgb(255, 0, 0));
    EXPECT_FALSE(dialog.result().allScreens);

    EXPECT_EQ(SaveDialog::monitorHint(0), "1 screen");
    EXPECT_EQ(SaveDialog::monitorHint(1), "1 screen");
    EXPECT_EQ(SaveDialog::monitorHint(2), "dual monitor");
    EXPECT_EQ(SaveDialog::monitorHint(3), "3 monitors");
}

TEST(SaveDialogTest, TheNameIsTrimmedAndABlankOneIsUntitled) {
    SaveDialog dialog({QImage(), QImage(), "1 screen", ""});
    dialog.nameField->setText("  \t Coding  ");
    EXPECT_EQ(dialog.result(), (SaveDialog::Result{"Coding", false}));
    dialog.nameField->setText("   ");
    EXPECT_EQ(dialog.result().name, "Untitled Kest");
}

TEST(SaveDialogTest, ReturnSavesAndEscapeCancels) {
    SaveDialog save({QImage(), QImage(), "1 screen", ""});
    save.open();
    QTest::keyClicks(save.nameField, "Web");
    QTest::keyClick(save.nameField, Qt::Key_Return);
    EXPECT_EQ(save.QDialog::result(), QDialog::Accepted);
    EXPECT_FALSE(save.isVisible());

    SaveDialog cancel({QImage(), QImage(), "1 screen", ""});
    cancel.open();
    QTest::keyClick(cancel.nameField, Qt::Key_Escape);
    EXPECT_EQ(cancel.QDialog::result(), QDialog::Rejected);
}

TEST(SaveDialogTest, RunWaitsInItsOwnLoopForTheAnswer) {
    // Queued events run inside the dialog's modal loop, as a user's typing would.
    const auto answer = [](bool save) {
        QMetaObject::invokeMethod(
            qApp,
            [save] {
                SaveDialog* shown = SaveDialog::current();
                ASSERT_NE(shown, nullptr);
                EXPECT_TRUE(shown->isModal());
                QTest::keyClicks(shown->nameField, " Web ");
                (save ? shown->saveButton : shown->cancelButton)->click();
            },
            Qt::QueuedConnection);
        return SaveDialog::run({QImage(), QImage(), "1 screen", ""});
    };
    EXPECT_EQ(answer(true), (SaveDialog::Result{"Web", false}));
    EXPECT_EQ(answer(false), std::nullopt);
    EXPECT_EQ(SaveDialog::current(), nullptr);
}

}  // namespace
}  // namespace kestr::test
