#include "UI/Panel/PanelTabs.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

#include "UI/SystemStyle.h"

namespace kestr {

PanelTabs::PanelTabs(QWidget* parent) : QWidget(parent), group_(new QButtonGroup(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    const QString base = "QToolButton { color: rgba(0, 0, 0, 0.85); background: rgba(0, 0, 0, 0.06); "
                         "border: 1px solid rgba(0, 0, 0, 0.12); padding: 2px 14px; %1 }"
                         "QToolButton:checked { background: white; }";
    const char* const titles[] = {"Kests", "Snaps"};
    for (int i = 0; i < 2; ++i) {
        auto* button = new QToolButton(this);
        button->setText(titles[i]);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFont(SystemStyle::font(11, QFont::Medium));
        button->setStyleSheet(base.arg(i == 0 ? "border-top-left-radius: 6px; border-bottom-left-radius: 6px;"
                                              : "border-top-right-radius: 6px; border-bottom-right-radius: 6px;"));
        group_->addButton(button, i);
        row->addWidget(button);
    }
    group_->setExclusive(true);
    group_->button(0)->setChecked(true);
    connect(group_, &QButtonGroup::idClicked, this, [this](int) {
        if (onChange) onChange();
    });
}

int PanelTabs::selectedSegment() const { return group_->checkedId(); }

void PanelTabs::setSelectedSegment(int segment) {
    if (QAbstractButton* button = group_->button(segment)) button->setChecked(true);
}

void PanelTabs::clickSegment(int segment) {
    if (QAbstractButton* button = group_->button(segment)) button->click();
}

}  // namespace kestr
