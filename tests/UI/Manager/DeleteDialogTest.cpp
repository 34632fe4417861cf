#include "UI/Manager/DeleteDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace kestr::test {
namespace {

QImage iconOfWidth(int width) {
    QImage image(width, 90, QImage::Format_ARGB32);
    image.fill(Qt::gray);
    return image;
}

TEST(DeleteDialogTest, GeometryFollowsTheIconAndTheTitle) {
    EXPECT_EQ(DeleteDialog::dialogWidth(100), 380);
    EXPECT_EQ(DeleteDialog::dialogWidth(400), 448);
    EXPECT_EQ(DeleteDialog::dialogWidth(331.2), 380);

    DeleteDialog wide("Coding", iconOfWidth(400));
    EXPECT_EQ(wide.width(), 448);
    EXPECT_EQ(wide.deleteButton()->geometry(), QRect(448 - 114, wide.deleteButton()->y(), 90, 30));
    EXPECT_EQ(wide.cancelButton()->geometry().right() + 1 + 10, wide.deleteButton()->x());
    EXPECT_EQ(wide.titleLabel()->text(), "Delete the kest “Coding”?");
    EXPECT_EQ(wide.titleLabel()->y(), 90 + 40);
    EXPECT_EQ(wide.height(), wide.deleteButton()->y() + 50);

    DeleteDialog longName(QString(200, 'x').replace(10, 1, " ").replace(60, 1, " ").replace(120, 1, " "),
                          iconOfWidth(100));
    DeleteDialog shortName("A", iconOfWidth(100));
    EXPECT_GT(longName.height(), shortName.height()) << "a long name wraps and pushes the buttons down";
    EXPECT_EQ(longName.height() - shortName.height(),
              longName.titleLabel()->height() - shortName.titleLabel()->height());
}

TEST(DeleteDialogTest, ReturnDeletesAndEscapeCancels) {
    DeleteDialog confirm("A", iconOfWidth(100));
    confirm.open();
    QTest::keyClick(&confirm, Qt::Key_Return);
    EXPECT_EQ(confirm.result(), QDialog::Accepted);
    EXPECT_FALSE(confirm.isVisible());

    DeleteDialog cancel("A", iconOfWidth(100));
    cancel.open();
    QTest::keyClick(&cancel, Qt::Key_Escape);
    EXPECT_EQ(cancel.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace kestr::test
