#include "UI/QtMainActor.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <QEventLoop>
#include <algorithm>
#include <memory>
#include <QTimer>

namespace kestr {
namespace {

// Work that opens a modal dialog (a nested event loop) must not stop the work queued
// behind it: a shortcut pressed under the dialog, a flash that ends.
TEST(QtMainActorTest, WorkQueuedBehindANestedLoopRunsInsideIt) {
    QtMainActor actor;
    std::vector<std::string> ran;
    QEventLoop outer;
    actor.post([&] {
        ran.push_back("dialog opens");
        QEventLoop dialog;
        auto open = std::make_shared<QEventLoop*>(&dialog);
        // A guard only: the test fails long before it would be needed.
        QTimer::singleShot(5000, &dialog, [&] { dialog.quit(); });
        actor.post([open] {  // new work while it is up
            if (*open) (*open)->quit();
        });
        dialog.exec();
        *open = nullptr;
        ran.push_back("dialog closed");
        outer.quit();
    });
    actor.post([&] { ran.push_back("queued behind"); });
    actor.schedule(0.01, [&] { ran.push_back("later"); });
    QTimer::singleShot(5000, &outer, [&] { outer.quit(); });
    outer.exec();
    ASSERT_GE(ran.size(), 3u);
    EXPECT_EQ(ran[0], "dialog opens");
    EXPECT_EQ(ran[1], "queued behind") << "it ran under the dialog";
    EXPECT_NE(std::find(ran.begin(), ran.end(), "dialog closed"), ran.end());
    QEventLoop settle;
    actor.schedule(0.02, [&] { settle.quit(); });
    QTimer::singleShot(5000, &settle, [&] { settle.quit(); });
    settle.exec();
    EXPECT_NE(std::find(ran.begin(), ran.end(), "later"), ran.end());
}

// Work posted while a watched descriptor is served runs once the watch returns, and
// inside a nested loop the watch itself runs (a dialog opened at an event).
TEST(QtMainActorTest, WorkAWatchPostsRunsAfterItAndInsideANestedLoopItRuns) {
    QtMainActor actor;
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::vector<std::string> ran;
    QEventLoop outer;
    QTimer::singleShot(10000, &outer, [&] { outer.quit(); });
    auto watch = actor.watchReadable(fds[0], [&] {
        char c = 0;
        if (::read(fds[0], &c, 1) != 1) return;
        if (c == 'p') {
            actor.post([&] {
                ran.push_back("after the watch");
                outer.quit();
            });
            return;
        }
        QEventLoop dialog;
        auto open = std::make_shared<QEventLoop*>(&dialog);
        QTimer::singleShot(5000, &dialog, [&] { dialog.quit(); });
        actor.post([&ran, open] {
            ran.push_back("inside the nested loop");
            if (*open) (*open)->quit();
        });
        dialog.exec();
        *open = nullptr;
        ran.push_back("nested loop closed");
        ASSERT_EQ(::write(fds[1], "p", 1), 1);
    });
    ASSERT_EQ(::write(fds[1], "n", 1), 1);
    outer.exec();
    EXPECT_EQ(ran, (std::vector<std::string>{"inside the nested loop", "nested loop closed", "after the watch"}));
    watch.reset();
    ::close(fds[0]);
    ::close(fds[1]);
}

// Fades and the pointer poll are repeating timers that a hot key or a pointer event
// starts, from the watch itself or from work it posts: each keeps ticking afterwards.
TEST(QtMainActorTest, ARepeatingTimerStartedFromDescriptorWorkKeepsTicking) {
    QtMainActor actor;
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::shared_ptr<MainActor::RepeatingTimer> timer;
    int ticks = 0;
    QEventLoop loop;
    const auto start = [&] {
        ticks = 0;
        timer = actor.scheduleRepeating(0.005, [&] {
            if (++ticks == 5) loop.quit();
        });
    };
    bool fromPostedWork = false;
    auto watch = actor.watchReadable(fds[0], [&] {
        char c = 0;
        if (::read(fds[0], &c, 1) != 1) return;
        if (fromPostedWork)
            actor.post(start);
        else
            start();
    });
    for (const bool posted : {false, true}) {
        fromPostedWork = posted;
        ASSERT_EQ(::write(fds[1], "k", 1), 1);
        QTimer::singleShot(5000, &loop, [&] { loop.quit(); });
        loop.exec();
        EXPECT_EQ(ticks, 5) << (posted ? "started by posted work" : "started by the watch");
        if (timer) timer->invalidate();
    }
    watch.reset();
    ::close(fds[0]);
    ::close(fds[1]);
}

}  // namespace
}  // namespace kestr
