#include "UI/QtCursors.h"

#include <QCursor>
#include <QGuiApplication>
#include <gtest/gtest.h>

namespace kestr {
namespace {

TEST(QtCursorsTest, OneOverrideChangedInPlaceAndGivenUpForTheArrow) {
    {
        QtCursors cursors;
        for (int i = 0; i < 3; ++i) cursors.set(CursorShape::resizeLeftRight);
        cursors.set(CursorShape::resizeUpDown);
        ASSERT_TRUE(QGuiApplication::overrideCursor());
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::SizeVerCursor);
        cursors.set(CursorShape::arrow);
        EXPECT_FALSE(QGuiApplication::overrideCursor()) << "one arrow unwinds every set";
        cursors.set(CursorShape::arrow);
        cursors.set(CursorShape::pointingHand);
    }
    EXPECT_FALSE(QGuiApplication::overrideCursor()) << "given up with the object";
}

}  // namespace
}  // namespace kestr
