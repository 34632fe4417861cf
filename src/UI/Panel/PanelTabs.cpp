#include "UI/Panel/PanelTabs.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>
#include <cmath>

#include "UI/AdaptiveColor.h"
#include "UI/SystemStyle.h"

namespace kestr {

PanelTabs::PanelTabs(QWidget* parent) : QWidget(parent), group_(new QButtonGroup(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    const char* const titles[] = {"Kests", "Snaps"};
    for (int i = 0; i < 2; ++i) {
        auto* button = new QToolButton(this);
        button->setText(titles[i]);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFont(SystemStyle::font(11, QFont::Medium));
        group_->addButton(button, i);
        row->addWidget(button);
    }
    refreshStyle();
    group_->setExclusive(true);
    group_->button(0)->setChecked(true);
    connect(group_, &QButtonGroup::idClicked, this, [this](int) {
        if (onChange) onChange();
    });
}

void PanelTabs::refreshStyle() {
    const bool dark = AdaptiveColor::darkAppearance();
    const QString base = QString(
                             "QToolButton { color: %1; background: %2; border: 1px solid %3; padding: 2px 14px; %4 }"
                             "QToolButton:checked { background: %5; }")
                             .arg(dark ? "rgba(255, 255, 255, 0.85)" : "rgba(0, 0, 0, 0.85)",
                                  dark ? "rgba(255, 255, 255, 0.08)" : "rgba(0, 0, 0, 0.06)",
                                  dark ? "rgba(255, 255, 255, 0.14)" : "rgba(0, 0, 0, 0.12)");
    const QString ends[] = {"border-top-left-radius: 6px; border-bottom-left-radius: 6px;",
                            "border-top-right-radius: 6px; border-bottom-right-radius: 6px;"};
    for (int i = 0; i < 2; ++i)
        group_->button(i)->setStyleSheet(base.arg(ends[i], dark ? "rgba(255, 255, 255, 0.24)" : "white"));
}

int PanelTabs::selectedSegment() const { return group_->checkedId(); }

void PanelTabs::setSelectedSegment(int segment) {
    if (QAbstractButton* button = group_->button(segment)) button->setChecked(true);
}

void PanelTabs::centreInStrip(double width, double height) {
    const QSize size = sizeHint();
    setGeometry(int(std::round((width - size.width()) / 2)), int(std::round((height - size.height()) / 2)),
                size.width(), size.height());
}

void PanelTabs::clickSegment(int segment) {
    if (QAbstractButton* button = group_->button(segment)) button->click();
}

}  // namespace kestr
