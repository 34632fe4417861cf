// Short messages in a small rounded translucent panel near the top of the screen under
// the pointer, on every desktop: it fades in, stays for the time asked, and fades out by
// itself. It never takes focus or clicks; a new toast replaces the one showing. Timing
// runs on the main actor's clock.
#pragma once

#include <QSize>
#include <QString>
#include <memory>
#include <optional>

#include "Platform/Runtime/MainActor.h"
#include "Platform/Toasts.h"
#include "UI/MainActorAnimation.h"

class QLabel;
class QWidget;

namespace kestr {

class ToastPresenter final : public Toasts {
public:
    static constexpr double fadeInSeconds = 0.14;
    static constexpr double fadeOutSeconds = 0.28;

    ToastPresenter();
    ~ToastPresenter() override;
    // Lives with the platform, so each test starts with a fresh one.
    static ToastPresenter& shared();

    void show(const ToastText& text, ToastFeel feel, double duration) override;

    // The panel, built on the first toast.
    QWidget* panel() const { return panel_.get(); }
    QLabel* label() const { return label_; }
    double opacity() const { return opacity_; }
    // What the panel shows, and its size.
    struct Fitted {
        QString text;
        QSize size;
    };
    // Width from the text, clamped to 120 ... 460, and 38 high. Words too wide for one
    // line wrap, each line adding to the height; a name or path that would take the toast
    // past three lines is cut in its middle with "…", no further than that needs (a path
    // keeps its file name). What is still too long takes more lines, so no word is lost.
    static Fitted fit(const ToastText& text);

private:
    void makePanel();
    void position(QSize size);
    void setOpacity(double opacity);
    void dismiss();

    std::unique_ptr<QWidget> panel_;
    QLabel* label_ = nullptr;
    std::optional<TimerID> dismissWorkItem_;
    MainActorAnimation fade_;
    double opacity_ = 0;
    // Counts the toasts shown, so that a fade-out finishing after a newer toast came
    // leaves that one on screen.
    std::uint64_t generation_ = 0;
};

}  // namespace kestr
