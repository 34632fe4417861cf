// The real process's services beside a desktop: what reaches the user interface goes to
// what it plugged in, and a command-line mode without one still gets its answers.
#include <gtest/gtest.h>

#include "Platform/Host/HostServices.h"
#include "Platform/Sim/SimAlerts.h"
#include "Platform/Sim/SimCursors.h"
#include "Platform/Sim/SimLog.h"
#include "Platform/Sim/SimToasts.h"

namespace kestr {
namespace {

class HostServicesTest : public testing::Test {
protected:
    SimLog log;
    HostServices host{[this] {
        HostOptions options;
        options.mainActor = std::make_unique<VirtualMainActor>();
        options.log = &log;
        return options;
    }()};
    const AlertRequest question{AlertStyle::warning, "Apply the kest?", "", {"Apply", "Cancel"}, {}};
};

TEST_F(HostServicesTest, WithNothingPluggedInAnAlertGoesAheadAndTheRestGoesNowhere) {
    EXPECT_EQ(host.alerts().runModal(question), alertFirstButtonReturn);
    host.toasts().show("Snapped", ToastFeel::alert, 1.5);
    host.cursors().set(CursorShape::resizeUpDown);
    host.application().beep();
    host.application().terminate();
    host.log().line("kestr: a line");
    EXPECT_EQ(log.lines(), std::vector<std::string>{"kestr: a line"}) << "the log handed in";
}

TEST_F(HostServicesTest, ThePluggedUserInterfaceShowsAndHearsEverythingUntilItIsUnplugged) {
    SimAlerts alerts;
    alerts.answers = {alertFirstButtonReturn + 1};
    SimToasts toasts(host.mainActor());
    SimCursors cursors;
    int beeps = 0;
    int quits = 0;
    host.plugUserInterface({&alerts, &toasts, &cursors, [&] { ++beeps; }, [&] { ++quits; }});
    EXPECT_EQ(host.alerts().runModal(question), alertFirstButtonReturn + 1);
    host.toasts().show("Snapped", ToastFeel::alert, 1.5);
    host.cursors().set(CursorShape::resizeUpDown);
    host.application().beep();
    host.application().terminate();
    EXPECT_EQ(alerts.requests, std::vector<AlertRequest>{question});
    ASSERT_EQ(toasts.shown.size(), 1u);
    EXPECT_EQ(toasts.shown[0].text, "Snapped");
    EXPECT_EQ(cursors.shape, CursorShape::resizeUpDown);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(quits, 1);

    host.plugUserInterface({});
    EXPECT_EQ(host.alerts().runModal(question), alertFirstButtonReturn);
    host.application().beep();
    host.application().terminate();
    EXPECT_EQ(alerts.requests.size(), 1u);
    EXPECT_EQ(beeps + quits, 2);
}

}  // namespace
}  // namespace kestr
