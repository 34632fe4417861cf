#include "UI/Manager/ShadedTableHeaderView.h"

#include <QPainter>

#include "UI/Manager/SettingsKit.h"
#include "UI/SystemStyle.h"

namespace kestr {

ShadedTableHeaderView::ShadedTableHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(false);
    setHighlightSections(false);
}

void ShadedTableHeaderView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), SettingsKit::headerShade().resolved());
    if (!model()) return;
    p.setFont(SystemStyle::font(11));
    p.setPen(SystemStyle::secondaryLabel().resolved());
    const int height = viewport()->height();
    for (int column = 0; column < count(); ++column) {
        const QString title = model()->headerData(column, orientation(), Qt::DisplayRole).toString();
        if (title.isEmpty() || isSectionHidden(column)) continue;
        const int left = sectionViewportPosition(column) + 8;
        const int textHeight = p.fontMetrics().height();
        p.drawText(QPoint(left, (height - textHeight) / 2 + p.fontMetrics().ascent()), title);
    }
}

}  // namespace kestr
