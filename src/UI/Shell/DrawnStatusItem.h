// A status item that shows itself as one picture of the whole button: every change is
// drawn anew, and a change of image cross-fades from the picture on screen to the new
// one on the main actor's clock.
#pragma once

#include "UI/MainActorAnimation.h"
#include "UI/Shell/StatusItem.h"

namespace kestr {

class DrawnStatusItem : public StatusItem {
public:
    // Pixels per point of the pictures.
    static constexpr double scale = 2;

    // What is on screen now.
    const QImage& shownPicture() const { return shown_; }

protected:
    void changed(double fadeSeconds, bool newImage) override;
    // Puts the picture on screen.
    virtual void present(const QImage& picture) = 0;

private:
    void showFrame(double progress);

    QImage from_;
    QImage target_;
    QImage shown_;
    MainActorAnimation fade_;
};

}  // namespace kestr
