// What assistive technology sees of the panel's custom-drawn rows and cells: a button
// with the view's spoken label and a press action that runs the view's press.
#pragma once

#include <QAccessibleWidget>

namespace kestr {

class HoverView;

class PressableAccessible : public QAccessibleWidget {
public:
    explicit PressableAccessible(HoverView* view);

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

    // Makes Qt's accessibility ask us for every such view; once per process.
    static void install();

private:
    HoverView* view() const;
};

}  // namespace kestr
