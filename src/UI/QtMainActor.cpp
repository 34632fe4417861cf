#include "UI/QtMainActor.h"

#include <cmath>

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
    if (firing_) return;  // fire() re-arms when it is done
    double due = 0;
    if (!nextDue(due)) {
        timer_.stop();
        return;
    }
    const double wait = std::max(0.0, due - now());
    timer_.start(static_cast<int>(std::ceil(wait * 1000.0)));
}

void QtMainActor::fire() {
    firing_ = true;
    while (runOneDue(now())) {
    }
    firing_ = false;
    wake();
}

}  // namespace kestr
