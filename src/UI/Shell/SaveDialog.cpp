#include "UI/Shell/SaveDialog.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

#include "UI/DisplayArea.h"
#include "UI/NativeWindow.h"
#include "UI/SystemStyle.h"

namespace kestr {

namespace {

constexpr int margin = 24;
SaveDialog* shown = nullptr;

QLabel* centredLabel(const QString& text, double pointSize, QFont::Weight weight, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(SystemStyle::font(pointSize, weight));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

void useSecondaryColour(QLabel* label) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, SystemStyle::secondaryLabel().resolved());
    label->setPalette(pal);
}

}  // namespace

QString SaveDialog::monitorHint(std::size_t screens) {
    if (screens >= 3) return QString::number(screens) + QStringLiteral(" monitors");
    if (screens == 2) return QStringLiteral("dual monitor");
    return QStringLiteral("1 screen");
}

SaveDialog::SaveDialog(const Request& request, QWidget* parent) : QDialog(parent), request_(request) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    // It opens over what is being saved and closes with it: no window to switch to.
    keepOffTaskbars(*this);
    const QSizeF thumb = request.thisScreen.isNull() ? QSizeF(120, 72) : request.thisScreen.deviceIndependentSize();
    const int width = std::max(static_cast<int>(std::ceil(thumb.width())) + 2 * margin, 380);
    const int inner = width - 2 * margin;
    const int p = static_cast<int>(std::ceil(thumb.height()));

    preview = new QLabel(this);
    preview->setAlignment(Qt::AlignCenter);
    preview->setGeometry(margin, margin, inner, p);
    showPreview(request.thisScreen);

    titleLabel = centredLabel(QStringLiteral("Save as Kest"), 15, QFont::Bold, this);
    titleLabel->setGeometry(margin, p + 40, inner, 20);
    subtitleLabel =
        centredLabel(QStringLiteral("Choose a name and save scope for this kest."), 12, QFont::Normal, this);
    useSecondaryColour(subtitleLabel);
    subtitleLabel->setGeometry(margin, p + 64, inner, 16);

    nameField = new QLineEdit(this);
    nameField->setPlaceholderText(QStringLiteral("e.g. Coding"));
    nameField->setGeometry(margin, p + 96, inner, 24);

    thisScreenRadio = new QRadioButton(QStringLiteral("This screen only (this monitor)"), this);
    thisScreenRadio->setGeometry(margin, p + 134, inner, 18);
    thisScreenRadio->setChecked(true);
    allScreensRadio =
        new QRadioButton(QStringLiteral("All connected screens (") + request.monitorHint + QStringLiteral(")"), this);
    allScreensRadio->setGeometry(margin, p + 156, inner, 18);
    auto* scope = new QButtonGroup(this);
    scope->addButton(thisScreenRadio);
    scope->addButton(allScreensRadio);
    connect(scope, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool on) {
        if (on) scopeChanged();
    });

    noteLabel = new QLabel(request.note, this);
    noteLabel->setFont(SystemStyle::font(11));
    noteLabel->setWordWrap(true);
    useSecondaryColour(noteLabel);
    const int noteHeight = noteLabel->heightForWidth(inner);
    noteLabel->setGeometry(margin, p + 182, inner, noteHeight);

    const int buttonTop = p + 182 + noteHeight + 18;
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setGeometry(width - 214, buttonTop, 90, 30);
    cancelButton->setAutoDefault(false);
    saveButton = new QPushButton(QStringLiteral("Save"), this);
    saveButton->setGeometry(width - 114, buttonTop, 90, 30);
    // Return saves (the default button), Escape cancels (the dialog's reject).
    saveButton->setDefault(true);
    connect(saveButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(width, buttonTop + 50);
    nameField->setFocus();
}

SaveDialog::~SaveDialog() {
    if (shown == this) shown = nullptr;
}

void SaveDialog::showPreview(const QImage& image) {
    if (image.isNull()) {
        preview->clear();
        return;
    }
    // Scaled down to fit, proportionally, never up.
    QPixmap pixmap = QPixmap::fromImage(image);
    const QSizeF size = image.deviceIndependentSize();
    if (size.width() > preview->width() || size.height() > preview->height()) {
        const QSize room = preview->size() * image.devicePixelRatio();
        pixmap = pixmap.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    preview->setPixmap(pixmap);
}

void SaveDialog::scopeChanged() {
    showPreview(allScreensRadio->isChecked() ? request_.allScreens : request_.thisScreen);
}

SaveDialog::Result SaveDialog::result() const {
    const QString name = nameField->text().trimmed();
    return Result{name.isEmpty() ? std::string("Untitled Kest") : name.toStdString(), allScreensRadio->isChecked()};
}

void SaveDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragOffset_ = event->globalPosition().toPoint() - pos();
    QDialog::mousePressEvent(event);
}

void SaveDialog::mouseMoveEvent(QMouseEvent* event) {
    if (dragOffset_ && (event->buttons() & Qt::LeftButton)) move(event->globalPosition().toPoint() - *dragOffset_);
    QDialog::mouseMoveEvent(event);
}

std::optional<SaveDialog::Result> SaveDialog::run(const Request& request) {
    SaveDialog dialog(request);
    if (const auto area = visibleAreaAt(std::nullopt)) centerWithin(dialog, *area);
    shown = &dialog;
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    dialog.nameField->setFocus();
    const bool saved = dialog.exec() == QDialog::Accepted;
    shown = nullptr;
    if (!saved) return std::nullopt;
    return dialog.result();
}

SaveDialog* SaveDialog::current() { return shown; }

void SaveDialog::raiseCurrent() {
    if (!shown) return;
    shown->raise();
    shown->activateWindow();
}

}  // namespace kestr
