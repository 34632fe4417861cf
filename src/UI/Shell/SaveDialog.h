// The dialog that asks for a new kest's name and whether it takes this screen or all of
// them, above a thumbnail of what will be saved that follows the choice. Laid out by
// hand from the thumbnail's size; frameless, and moved by dragging its background.
#pragma once

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kestr {

class SaveDialog final : public QDialog {
public:
    struct Request {
        // Thumbnails of the arrangement on the display under the mouse and on all of them.
        QImage thisScreen;
        QImage allScreens;
        // "1 screen", "dual monitor" or "3 monitors", shown in the second choice.
        QString monitorHint;
        // The note under the choices: which windows a capture leaves out.
        QString note;
    };
    struct Result {
        std::string name;
        bool allScreens = false;
        friend bool operator==(const Result&, const Result&) = default;
    };

    explicit SaveDialog(const Request& request, QWidget* parent = nullptr);
    ~SaveDialog() override;

    // Runs the dialog modally (main-actor work goes on meanwhile); none when cancelled.
    static std::optional<Result> run(const Request& request);
    // The dialog on screen, if one is.
    static SaveDialog* current();
    // Brings the dialog on screen, if one is, to the front.
    static void raiseCurrent();

    static QString monitorHint(std::size_t screens);

    // The answer as it stands: the name without surrounding blanks and line breaks,
    // "Untitled Kest" when nothing remains, and the scope.
    Result result() const;

    QLabel* preview = nullptr;
    QLabel* titleLabel = nullptr;
    QLabel* subtitleLabel = nullptr;
    QLineEdit* nameField = nullptr;
    QRadioButton* thisScreenRadio = nullptr;
    QRadioButton* allScreensRadio = nullptr;
    QLabel* noteLabel = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* saveButton = nullptr;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void scopeChanged();
    void showPreview(const QImage& image);

    Request request_;
    std::optional<QPoint> dragOffset_;
};

}  // namespace kestr
