#include <gtest/gtest.h>

#include "Layout/ApplyContext.h"
#include "Layout/ApplyFixture.h"

namespace kestr {
namespace {

using PendingMove = LayoutApplier::PendingMove;
using UnplacedApp = LayoutApplier::UnplacedApp;

class MoveConfirmationTest : public test::ApplyFixture {
protected:
    void SetUp() override {
        ApplyFixture::SetUp();
        addRightDisplay();
    }
    static PendingMove move(const std::string& appName) {
        return PendingMove{AXElement{}, LayoutApplier::Placement{leftID, uuidOf(leftID), "x", Rect(0, 25, 700, 500)},
                           appName, rightID, leftID};
    }
    const AlertRequest& lastAlert() { return sim->simAlerts().requests.back(); }
};

TEST_F(MoveConfirmationTest, OneMoveIsAskedByNameAndMoveIsTheDefault) {
    EXPECT_TRUE(LayoutApplier::confirmMoves({move("Terminal")}));
    const AlertRequest& alert = lastAlert();
    EXPECT_EQ(alert.style, AlertStyle::informational);
    EXPECT_EQ(alert.messageText, "Move Terminal to this screen?");
    EXPECT_EQ(alert.informativeText,
              "These apps are already open on another screen and will be moved here:\n"
              "• Terminal: Display 2 → Display 1 (main)");
    EXPECT_EQ(alert.buttons, (std::vector<std::string>{"Move", "Cancel"}));
    EXPECT_TRUE(alert.iconBundleIDs.empty());
}

TEST_F(MoveConfirmationTest, SeveralMovesAreCountedAndAnythingButMoveDeclines) {
    sim->simAlerts().answers = {alertFirstButtonReturn + 1};
    EXPECT_FALSE(LayoutApplier::confirmMoves({move("Terminal"), move("Safari")}));
    EXPECT_EQ(lastAlert().messageText, "Move 2 windows to this screen?");
    EXPECT_EQ(lastAlert().informativeText,
              "These apps are already open on another screen and will be moved here:\n"
              "• Terminal: Display 2 → Display 1 (main)\n"
              "• Safari: Display 2 → Display 1 (main)");
    // A response that is no button at all (the alert closed another way) declines too.
    sim->simAlerts().answers = {0};
    EXPECT_FALSE(LayoutApplier::confirmMoves({move("Terminal")}));
}

TEST_F(MoveConfirmationTest, OneUnplacedApplicationIsNamedBetweenTypographicQuotes) {
    LayoutApplier::notifyUnplaced({UnplacedApp{"Safari", "com.apple.Safari"}});
    const AlertRequest& alert = lastAlert();
    EXPECT_EQ(alert.style, AlertStyle::informational);
    EXPECT_EQ(alert.messageText, "“Safari” couldn't be placed");
    EXPECT_EQ(alert.informativeText,
              "These apps are already open, but kestr couldn't open or move a window for them on this screen — "
              "their window is likely on another Space (a different Mission Control desktop), which macOS won't "
              "let apps move across:\n\n• Safari\n\nMove them to this desktop (or close and reopen them here), "
              "then apply the kest again.");
    EXPECT_EQ(alert.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(alert.iconBundleIDs, std::vector<std::string>{"com.apple.Safari"});
}

TEST_F(MoveConfirmationTest, SeveralUnplacedApplicationsAreCountedAndListedInOrder) {
    LayoutApplier::notifyUnplaced({UnplacedApp{"Safari", "com.apple.Safari"}, UnplacedApp{"Notes", "com.example.Notes"},
                                   UnplacedApp{"Terminal", "com.apple.Terminal"}});
    EXPECT_EQ(lastAlert().messageText, "3 apps couldn't be placed");
    EXPECT_NE(lastAlert().informativeText.find(":\n\n• Safari\n• Notes\n• Terminal\n\nMove them"), std::string::npos);
    EXPECT_EQ(lastAlert().iconBundleIDs,
              (std::vector<std::string>{"com.apple.Safari", "com.example.Notes", "com.apple.Terminal"}));
}

}  // namespace
}  // namespace kestr
