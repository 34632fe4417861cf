// The program's modal alerts: a QMessageBox with the message, the informative text and
// the buttons in the order asked (the first one the default), the icon of its style or
// the icons of the applications it is about.
#pragma once

#include <QMessageBox>
#include <memory>

#include "Platform/Alerts.h"

namespace kestr {

class MessageBoxAlerts final : public Alerts {
public:
    int runModal(const AlertRequest& request) override;
    void bringOpenAlertForward() override;
    // The box as it will show, for runModal and for tests.
    static std::unique_ptr<QMessageBox> makeBox(const AlertRequest& request);

private:
    // The innermost alert that waits, while one does.
    QMessageBox* open_ = nullptr;
};

}  // namespace kestr
