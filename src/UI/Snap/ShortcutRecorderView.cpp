#include "UI/Snap/ShortcutRecorderView.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <utility>

#include "Core/HotkeyManager.h"
#include "Platform/EventMonitors.h"
#include "Platform/Platform.h"
#include "UI/KeyMapping.h"
#include "UI/Manager/SettingsKit.h"
#include "UI/ShownText.h"
#include "UI/SystemStyle.h"

namespace kestr {

namespace {

constexpr int deleteKey = 51;
constexpr int forwardDeleteKey = 117;
constexpr int escapeKey = 53;
// Shown when a key comes without any modifier: "need ⌘/⌥/⌃/⇧" in this desktop's words.
QString refusedHint() {
    QStringList keys;
    for (const std::uint32_t m :
         {CarbonModifier::command, CarbonModifier::option, CarbonModifier::control, CarbonModifier::shift})
        keys << QString::fromStdString(Hotkey::modifierText(m));
    return QStringLiteral("need ") + keys.join(QLatin1Char('/'));
}

QString modifierSymbols(std::uint64_t flags) {
    return QString::fromStdString(Hotkey::modifierText(Hotkey::carbonModifiers(flags)));
}

}  // namespace

ShortcutRecorderView::ShortcutRecorderView(QWidget* parent) : QWidget(parent), label_(new QLabel(this)) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(13);
    label_->setFont(font);
    // The label keeps its own colour role: inside a table's viewport it would otherwise
    // take the view's text colour and hide the grey and the orange below.
    label_->setForegroundRole(QPalette::WindowText);
    // Every click belongs to the control, never to its label.
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    label_->setTextInteractionFlags(Qt::NoTextInteraction);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 0, 0, 0);
    layout->addWidget(label_);
    setFocusPolicy(Qt::ClickFocus);
    applyFieldStyle();
}

ShortcutRecorderView::~ShortcutRecorderView() {
    removeClickMonitor();
    if (recording_ && hasPlatform()) HotkeyManager::shared().resumeAfterRecording();
}

void ShortcutRecorderView::setPlain(bool plain) {
    plain_ = plain;
    applyFieldStyle();
}

void ShortcutRecorderView::setTrailingAligned(bool trailing) {
    trailingAligned_ = trailing;
    applyFieldStyle();
}

void ShortcutRecorderView::applyFieldStyle() { refresh(); }

QStringList ShortcutRecorderView::recordingTexts() {
    return {QStringLiteral("Type shortcut…"), refusedHint() + QStringLiteral("…")};
}

QString ShortcutRecorderView::text() const {
    if (recording_) {
        return liveModifiers_.isEmpty() ? QStringLiteral("Type shortcut…") : liveModifiers_ + QStringLiteral("…");
    }
    if (!hotkey_) return QStringLiteral("None");
    return QString::fromStdString(HotkeyManager::shared().shownKeys(*hotkey_, false, source_));
}

QColor ShortcutRecorderView::textColor() const {
    if (recording_) return SystemStyle::secondaryLabel().resolved();
    if (!hotkey_) return SystemStyle::tertiaryLabel().resolved();
    if (conflict_) return SystemStyle::systemOrange().resolved();
    return SystemStyle::secondaryLabel().resolved();
}

void ShortcutRecorderView::refresh() {
    label_->setText(text());
    const auto why = hotkey_ && !recording_ ? HotkeyManager::shared().whyNotArriving(*hotkey_, source_) : std::nullopt;
    // On the control: the label lets every mouse event, tooltips' too, through to it.
    setToolTip(why ? ShownText::toolTip(QString::fromStdString(*why)) : QString());
    QPalette pal = label_->palette();
    pal.setColor(QPalette::WindowText, textColor());
    label_->setPalette(pal);
    label_->setAlignment((trailingAligned_ ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    // While recording the text stays clear of the box's right edge too; idle, it lines up
    // with the values beside it.
    layout()->setContentsMargins(8, 0, recording_ && trailingAligned_ ? 8 : 0, 0);
    update();
}

void ShortcutRecorderView::setHotkey(std::optional<Hotkey> hotkey, bool conflict, std::optional<HotkeySource> source) {
    // A value set from outside ends a recording; the hot keys must not stay unregistered.
    endRecording();
    hotkey_ = hotkey;
    source_ = std::move(source);
    conflict_ = conflict;
    refresh();
}

void ShortcutRecorderView::beginRecording() {
    if (recording_) return;
    recording_ = true;
    liveModifiers_.clear();
    HotkeyManager::shared().pauseForRecording();
    if (window()) setFocus(Qt::OtherFocusReason);
    installClickMonitor();
    refresh();
}

void ShortcutRecorderView::endRecording() {
    if (!recording_) return;
    recording_ = false;
    liveModifiers_.clear();
    removeClickMonitor();
    HotkeyManager::shared().resumeAfterRecording();
    refresh();
}

void ShortcutRecorderView::finish(std::optional<Hotkey> value) {
    hotkey_ = value;
    endRecording();
    if (onChange) onChange(value);
    clearFocus();
}

void ShortcutRecorderView::installClickMonitor() {
    if (clickMonitor_ || !qApp) return;
    qApp->installEventFilter(this);
    clickMonitor_ = true;
}

void ShortcutRecorderView::removeClickMonitor() {
    if (!clickMonitor_) return;
    if (qApp) qApp->removeEventFilter(this);
    clickMonitor_ = false;
}

bool ShortcutRecorderView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress || !recording_) return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton && mouse->button() != Qt::RightButton) return false;
    auto* target = qobject_cast<QWidget*>(watched);
    // Presses inside the control keep it recording (as they pass on to its parents too,
    // the place decides); a press anywhere else ends it, unchanged.
    if (target && target->window() == window()) {
        const QPoint local = mapFromGlobal(mouse->globalPosition().toPoint());
        if (rect().contains(local)) return false;
    }
    endRecording();
    clearFocus();
    return false;
}

void ShortcutRecorderView::mousePressEvent(QMouseEvent* event) {
    // A single click goes on to what lies beneath (a table row gets selected).
    event->ignore();
}

void ShortcutRecorderView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!recording_) {
        beginRecording();
        event->accept();
        return;
    }
    event->ignore();
}

void ShortcutRecorderView::modifiersChanged(const QKeyEvent* event) {
    if (!recording_) return;
    // Whether a modifier key's own event counts it differs between window systems; the
    // key itself says whether it is now held.
    std::uint64_t flags = modifierFlags(event->modifiers());
    const std::uint64_t own = modifierFlags(modifierOfKey(event->key()));
    if (event->type() == QEvent::KeyPress) {
        flags |= own;
    } else {
        flags &= ~own;
    }
    liveModifiers_ = modifierSymbols(flags);
    refresh();
}

bool ShortcutRecorderView::event(QEvent* event) {
    // While recording every key is ours, window shortcuts included.
    if (event->type() == QEvent::ShortcutOverride && recording_) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void ShortcutRecorderView::keyPressEvent(QKeyEvent* event) {
    if (!recording_) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (isModifierKey(event->key())) {
        modifiersChanged(event);
        return;
    }
    const std::optional<std::uint16_t> code = virtualKeyCode(event->key());
    if (!code) return;
    if (*code == deleteKey || *code == forwardDeleteKey) {
        finish(std::nullopt);
        return;
    }
    if (*code == escapeKey) {
        endRecording();
        clearFocus();
        return;
    }
    const std::uint32_t carbon = Hotkey::carbonModifiers(modifierFlags(event->modifiers()));
    if (carbon == 0) {
        liveModifiers_ = refusedHint();
        refresh();
        return;
    }
    finish(Hotkey{*code, carbon});
}

void ShortcutRecorderView::keyReleaseEvent(QKeyEvent* event) {
    if (recording_ && isModifierKey(event->key())) {
        modifiersChanged(event);
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void ShortcutRecorderView::focusOutEvent(QFocusEvent* event) {
    endRecording();
    QWidget::focusOutEvent(event);
}

void ShortcutRecorderView::paintEvent(QPaintEvent*) {
    if (!recording_) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(1.5, 3, -1.5, -3), 5, 5);
    p.fillPath(path, palette().color(QPalette::Base));
    p.setPen(QPen(palette().color(QPalette::Highlight), 2));
    p.drawPath(path);
}

}  // namespace kestr
