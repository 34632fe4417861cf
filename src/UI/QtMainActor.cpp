#include "UI/QtMainActor.h"

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>
#include <chrono>

namespace kestr {

QtMainActor::QtMainActor() {
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { runDue(); });
    // Qt's own event handlers may read from a watched connection too.
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        toldBeforeWaiting_ = true;
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &timer_, [this] {
            runAfterWorkHooks();
            // Work or a watch runs a nested loop (a dialog): what is due comes due there.
            if (armLater_) {
                armLater_ = false;
                armForNext();
            }
        });
    }
}

QtMainActor::~QtMainActor() {
    timer_.stop();
    shutDown();
}

namespace {

class NotifierWatch : public MainActor::DescriptorWatch {
public:
    NotifierWatch(QtMainActor& actor, int fd, std::function<void()> readable) : notifier_(fd, QSocketNotifier::Read) {
        QObject::connect(&notifier_, &QSocketNotifier::activated,
                         [&actor, readable = std::move(readable)] { actor.serve(readable); });
    }

private:
    QSocketNotifier notifier_;
};

}  // namespace

std::unique_ptr<MainActor::DescriptorWatch> QtMainActor::watchReadable(int fd, std::function<void()> readable) {
    return std::make_unique<NotifierWatch>(*this, fd, std::move(readable));
}

void QtMainActor::serve(const std::function<void()>& readable) {
    const bool outer = !deferring_ && toldBeforeWaiting_;
    if (outer) deferring_ = true;
    readable();
    runAfterWorkHooks();
    if (outer) deferring_ = false;
    // The watch may have changed our windows itself (a drag's slots shown).
    sendWindowRequests();
    // What the watch posted (the reading of an event, say) runs now: waiting for the
    // timer would cost the loop another turn.
    runDue();
}

// Qt sends what work asked of our windows (a fade's step, a move) to the display only
// when its loop turns to the window system, and under GLib's dispatcher a timer or a
// descriptor of ours brings no such turn: a fade would stand on its first step until an
// event of Qt's own came. Waking the loop brings the turn.
void QtMainActor::sendWindowRequests() {
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) dispatcher->wakeUp();
}

double QtMainActor::now() const { return static_cast<double>(clock_.nsecsElapsed()) / 1e9; }

void QtMainActor::wake() {
    if (deferring_) {
        armLater_ = true;
        return;
    }
    armForNext();
}

void QtMainActor::armForNext() {
    double due = 0;
    if (!nextDue(due)) {
        timer_.stop();
        return;
    }
    // Work that falls due no sooner than the timer fires needs no new timer: the firing
    // runs everything due by then.
    if (timer_.isActive() && armedFor_ <= due) return;
    arm(due);
}

void QtMainActor::arm(double due) {
    armedFor_ = due;
    timer_.start(std::chrono::ceil<std::chrono::milliseconds>(sleepBefore(due, now())));
}

void QtMainActor::runDue() {
    const bool outer = !deferring_ && toldBeforeWaiting_;
    if (outer) deferring_ = true;
    double due = 0;
    bool ran = false;
    while (nextDue(due) && due <= now()) {
        // Should the work open a modal dialog, the rest comes due inside the dialog's
        // loop: armed before that loop waits, or here where no loop says when it waits.
        if (toldBeforeWaiting_) {
            armLater_ = true;
        } else if (!timer_.isActive()) {
            arm(now());
        }
        ran = runOneDue(now()) || ran;
    }
    if (ran) sendWindowRequests();
    if (!outer && deferring_) {
        // Inside a nested loop: it arms before it waits.
        armLater_ = true;
        return;
    }
    deferring_ = false;
    armLater_ = false;
    // Armed for exactly the next work: a timer armed for work since moved or gone
    // would wake the loop for nothing.
    if (!nextDue(due)) {
        timer_.stop();
    } else if (!timer_.isActive() || armedFor_ != due) {
        arm(due);
    }
}

}  // namespace kestr
