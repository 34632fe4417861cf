// The two-segment control in the panel's header ("Kests" and "Snaps"): one segment is
// selected at a time; a click on the other reports the change.
#pragma once

#include <QWidget>
#include <functional>

class QButtonGroup;

namespace kestr {

class PanelTabs : public QWidget {
public:
    explicit PanelTabs(QWidget* parent = nullptr);

    int selectedSegment() const;
    void setSelectedSegment(int segment);
    // A segment was chosen by the user.
    std::function<void()> onChange;
    // Takes the colours of the appearance in effect now.
    void refreshStyle();
    // Clicks a segment as the user would.
    void clickSegment(int segment);
    // At its natural size, in the middle of a strip of that size at the parent's top left.
    void centreInStrip(double width, double height);

private:
    QButtonGroup* group_;
};

}  // namespace kestr
