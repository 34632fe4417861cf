// The confirmation before a kest is deleted: its thumbnail, a bold question with its
// name, a one-line warning, "Cancel" and "Delete". Laid out by hand from the icon's size.
#pragma once

#include <QDialog>
#include <QImage>

class QLabel;
class QPushButton;

namespace kestr {

class DeleteDialog : public QDialog {
public:
    DeleteDialog(const QString& kestName, const QImage& icon, QWidget* parent = nullptr);

    // Dialog width: the icon's width rounded up plus the margins, at least 380.
    static int dialogWidth(double iconWidth);

    QLabel* titleLabel() const { return title_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    QLabel* title_;
    QLabel* message_;
    QPushButton* delete_;
    QPushButton* cancel_;
};

}  // namespace kestr
