#include "UI/QtMainActor.h"

#include <chrono>

namespace kestr {

QtMainActor::QtMainActor() {
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
}

QtMainActor::~QtMainActor() {
    timer_.stop();
    shutDown();
}

double QtMainActor::now() const { return static_cast<double>(clock_.nsecsElapsed()) / 1e9; }

void QtMainActor::wake() {
    double due = 0;
    if (!nextDue(due)) {
        timer_.stop();
        return;
    }
    timer_.start(std::chrono::ceil<std::chrono::milliseconds>(sleepBefore(due, now())));
}

void QtMainActor::fire() {
    double due = 0;
    while (nextDue(due) && due <= now()) {
        // Armed before the work runs: should it open a modal dialog, the rest comes due
        // inside the dialog's loop. Re-armed properly below when it simply returns.
        timer_.start(0);
        runOneDue(now());
    }
    wake();
}

}  // namespace kestr
