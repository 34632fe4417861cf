#include "UI/Manager/KeyClosableWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "Platform/EventMonitors.h"
#include "UI/KeyMapping.h"

namespace kestr {

namespace {

enum class EditAction { cut, copy, paste, selectAll, undo, redo };

// Sends an edit action to the focused widget, as the responder chain would; false when
// nothing there takes it.
bool sendEditAction(EditAction action) {
    QWidget* focus = QApplication::focusWidget();
    auto run = [action](auto* editor) {
        switch (action) {
            case EditAction::cut:
                editor->cut();
                break;
            case EditAction::copy:
                editor->copy();
                break;
            case EditAction::paste:
                editor->paste();
                break;
            case EditAction::selectAll:
                editor->selectAll();
                break;
            case EditAction::undo:
                editor->undo();
                break;
            case EditAction::redo:
                editor->redo();
                break;
        }
        return true;
    };
    if (auto* line = qobject_cast<QLineEdit*>(focus)) return run(line);
    if (auto* text = qobject_cast<QTextEdit*>(focus)) return run(text);
    if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) return run(plain);
    return false;
}

}  // namespace

KeyClosableWindow::KeyClosableWindow(QWidget* parent) : QMainWindow(parent) {}

bool KeyClosableWindow::performKeyEquivalent(QKeyEvent* event) {
    // Caps Lock, Option and Control each make it a different combination.
    std::uint64_t flags = modifierFlags(event->modifiers());
    if (event->modifiers() & Qt::KeypadModifier) flags |= ModifierFlag::numericPad;
    const int key = event->key();
    if (flags == ModifierFlag::command) {
        switch (key) {
            case Qt::Key_W:
                close();
                return true;
            case Qt::Key_X:
                return sendEditAction(EditAction::cut);
            case Qt::Key_C:
                return sendEditAction(EditAction::copy);
            case Qt::Key_V:
                return sendEditAction(EditAction::paste);
            case Qt::Key_A:
                return sendEditAction(EditAction::selectAll);
            case Qt::Key_Z:
                return sendEditAction(EditAction::undo);
            default:
                return false;
        }
    }
    if (flags == (ModifierFlag::command | ModifierFlag::shift) && key == Qt::Key_Z) {
        return sendEditAction(EditAction::redo);
    }
    return false;
}

void KeyClosableWindow::keyPressEvent(QKeyEvent* event) {
    if (performKeyEquivalent(event)) {
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool KeyClosableWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && onActiveChange) onActiveChange(true);
    if (event->type() == QEvent::WindowDeactivate && onActiveChange) onActiveChange(false);
    return QMainWindow::event(event);
}

void KeyClosableWindow::closeEvent(QCloseEvent* event) {
    if (onClose) onClose();
    QMainWindow::closeEvent(event);
}

void KeyClosableWindow::hideEvent(QHideEvent* event) {
    if (onHide) onHide();
    QMainWindow::hideEvent(event);
}

}  // namespace kestr
