#include "UI/QtCursors.h"

#include <QCursor>
#include <QGuiApplication>

namespace kestr {

namespace {

Qt::CursorShape qtShape(CursorShape shape) {
    switch (shape) {
        case CursorShape::pointingHand:
            return Qt::PointingHandCursor;
        case CursorShape::resizeLeftRight:
            return Qt::SizeHorCursor;
        case CursorShape::resizeUpDown:
            return Qt::SizeVerCursor;
        case CursorShape::arrow:
            break;
    }
    return Qt::ArrowCursor;
}

}  // namespace

QtCursors::~QtCursors() {
    if (overriding_) QGuiApplication::restoreOverrideCursor();
}

void QtCursors::set(CursorShape shape) {
    if (shape == CursorShape::arrow) {
        if (overriding_) QGuiApplication::restoreOverrideCursor();
        overriding_ = false;
        return;
    }
    const Qt::CursorShape wanted = qtShape(shape);
    const QCursor* current = QGuiApplication::overrideCursor();
    if (overriding_ && current && current->shape() == wanted) return;
    if (overriding_) {
        QGuiApplication::changeOverrideCursor(QCursor(wanted));
    } else {
        QGuiApplication::setOverrideCursor(QCursor(wanted));
        overriding_ = true;
    }
}

}  // namespace kestr
