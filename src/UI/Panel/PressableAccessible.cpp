#include "UI/Panel/PressableAccessible.h"

#include "UI/Panel/HoverView.h"

namespace kestr {

namespace {

QAccessibleInterface* pressableFactory(const QString&, QObject* object) {
    // Our views declare no meta-object of their own, so the class name says nothing.
    if (auto* view = dynamic_cast<HoverView*>(object)) return new PressableAccessible(view);
    return nullptr;
}

}  // namespace

PressableAccessible::PressableAccessible(HoverView* view) : QAccessibleWidget(view, QAccessible::Button) {}

HoverView* PressableAccessible::view() const { return static_cast<HoverView*>(widget()); }

QString PressableAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name) return view()->accessibilityLabel();
    return QAccessibleWidget::text(t);
}

QStringList PressableAccessible::actionNames() const {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void PressableAccessible::doAction(const QString& actionName) {
    if (actionName == pressAction()) {
        view()->accessibilityPerformPress();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

void PressableAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(pressableFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace kestr
