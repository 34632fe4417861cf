#include "UI/Shell/MessageBoxAlerts.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <utility>

#include "UI/AppIcons.h"
#include "UI/NativeWindow.h"

namespace kestr {

namespace {
// Each button carries the answer it gives.
const char* const answerProperty = "kestrAlertAnswer";
}  // namespace

std::unique_ptr<QMessageBox> MessageBoxAlerts::makeBox(const AlertRequest& request) {
    auto box = std::make_unique<QMessageBox>();
    // It waits for an answer, and an apply waits with it: it goes wherever the user
    // switches desktops to.
    showOnEveryDesktop(*box);
    box->setWindowTitle("kestr");
    box->setText(QString::fromStdString(request.messageText));
    box->setInformativeText(QString::fromStdString(request.informativeText));
    // The names in them are shown as they are written, never read as markup or links.
    for (QLabel* label : box->findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
    switch (request.style) {
        case AlertStyle::informational:
            box->setIcon(QMessageBox::Information);
            break;
        case AlertStyle::warning:
            box->setIcon(QMessageBox::Warning);
            break;
        case AlertStyle::critical:
            box->setIcon(QMessageBox::Critical);
            break;
    }
    const QImage strip = AppIcons::strip(request.iconBundleIDs);
    if (!strip.isNull()) box->setIconPixmap(QPixmap::fromImage(strip));
    std::vector<std::string> buttons = request.buttons;
    if (buttons.empty()) buttons.push_back("OK");
    // One role for all keeps them in the order given. Escape or closing the box is the
    // "Cancel" button, else the last one: never a first button that acts.
    QPushButton* cancel = nullptr;
    QPushButton* last = nullptr;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        last = box->addButton(QString::fromStdString(buttons[i]), QMessageBox::AcceptRole);
        last->setProperty(answerProperty, alertFirstButtonReturn + static_cast<int>(i));
        if (i == 0) box->setDefaultButton(last);
        if (buttons[i] == "Cancel") cancel = last;
    }
    box->setEscapeButton(cancel ? cancel : last);
    return box;
}

int MessageBoxAlerts::runModal(const AlertRequest& request) {
    const auto box = makeBox(request);
    QMessageBox* const outer = std::exchange(open_, box.get());
    box->exec();
    open_ = outer;
    QAbstractButton* clicked = box->clickedButton();
    if (!clicked) clicked = box->escapeButton();
    return clicked ? clicked->property(answerProperty).toInt() : alertFirstButtonReturn;
}

void MessageBoxAlerts::bringOpenAlertForward() {
    if (!open_) return;
    open_->raise();
    open_->activateWindow();
}

}  // namespace kestr
