#include "UI/Manager/FlippedView.h"

#include <QPaintEvent>
#include <QPainter>

#include "UI/Manager/SettingsKit.h"

namespace kestr {

FlippedView::FlippedView(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void FlippedView::paintEvent(QPaintEvent* event) { QPainter(this).fillRect(event->rect(), SettingsKit::pageFill()); }

}  // namespace kestr
