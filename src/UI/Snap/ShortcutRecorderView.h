// The inline control that records one global shortcut, or clears it. While it records,
// every global hot key is unregistered so that the keys reach the control; they are
// registered again when the recording ends. It stores nothing: the owner does.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>

#include "Core/Hotkey.h"
#include "Core/HotkeySource.h"

class QLabel;

namespace kestr {

class ShortcutRecorderView : public QWidget {
public:
    explicit ShortcutRecorderView(QWidget* parent = nullptr);
    ~ShortcutRecorderView() override;

    // The new shortcut, or none when the user cleared it.
    std::function<void(std::optional<Hotkey>)> onChange;

    // The plain look: no box while idle, the text alone, a double click records.
    void setPlain(bool plain);
    bool plain() const { return plain_; }
    // Text at the trailing edge (the default), else at the leading edge.
    void setTrailingAligned(bool trailing);

    // Shows a value from outside; a recording in progress ends (hot keys come back) and
    // nothing is reported. Given what the shortcut runs, it is marked, as everywhere,
    // also when another of kestr's shortcuts took its keys first.
    void setHotkey(std::optional<Hotkey> hotkey, bool conflict, std::optional<HotkeySource> source = std::nullopt);
    void beginRecording();
    // Ends a recording without a value: hot keys are registered again, nothing reported.
    void endRecording();

    const std::optional<Hotkey>& hotkey() const { return hotkey_; }
    bool conflict() const { return conflict_; }
    bool recording() const { return recording_; }
    QString text() const;
    // The texts shown while recording with no modifier held: the prompt, and the hint
    // after a key without modifiers.
    static QStringList recordingTexts();
    QColor textColor() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyFieldStyle();
    void refresh();
    void installClickMonitor();
    void removeClickMonitor();
    void modifiersChanged(const QKeyEvent* event);
    void finish(std::optional<Hotkey> value);

    QLabel* label_;
    bool plain_ = false;
    bool trailingAligned_ = true;
    std::optional<Hotkey> hotkey_;
    std::optional<HotkeySource> source_;
    bool conflict_ = false;
    bool recording_ = false;
    QString liveModifiers_;
    bool clickMonitor_ = false;
};

}  // namespace kestr
