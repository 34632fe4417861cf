#include "UI/QtMainActor.h"

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>
#include <chrono>

namespace kestr {

QtMainActor::QtMainActor() {
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
    // Qt's own event handlers may read from a watched connection too.
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &timer_, [this] { runAfterWorkHooks(); });
    }
}

QtMainActor::~QtMainActor() {
    timer_.stop();
    shutDown();
}

namespace {

class NotifierWatch : public MainActor::DescriptorWatch {
public:
    NotifierWatch(MainActor& actor, int fd, std::function<void()> readable) : notifier_(fd, QSocketNotifier::Read) {
        QObject::connect(&notifier_, &QSocketNotifier::activated, [&actor, readable = std::move(readable)] {
            readable();
            actor.runAfterWorkHooks();
        });
    }

private:
    QSocketNotifier notifier_;
};

}  // namespace

std::unique_ptr<MainActor::DescriptorWatch> QtMainActor::watchReadable(int fd, std::function<void()> readable) {
    return std::make_unique<NotifierWatch>(*this, fd, std::move(readable));
}

double QtMainActor::now() const { return static_cast<double>(clock_.nsecsElapsed()) / 1e9; }

void QtMainActor::wake() {
    double due = 0;
    if (!nextDue(due)) {
        timer_.stop();
        return;
    }
    // Work that falls due no sooner than the timer fires needs no new timer: the firing
    // runs everything due by then. A pointer move schedules several such pieces.
    if (timer_.isActive() && armedFor_ <= due) return;
    arm(due);
}

void QtMainActor::arm(double due) {
    armedFor_ = due;
    timer_.start(std::chrono::ceil<std::chrono::milliseconds>(sleepBefore(due, now())));
}

void QtMainActor::fire() {
    double due = 0;
    while (nextDue(due) && due <= now()) {
        // Armed before the work runs: should it open a modal dialog, the rest comes due
        // inside the dialog's loop. Re-armed properly below when it simply returns.
        if (!timer_.isActive()) arm(now());
        runOneDue(now());
    }
    timer_.stop();
    wake();
}

}  // namespace kestr
