#include "UI/Snap/SnapShortcutsView.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "Core/Hotkey.h"
#include "Core/HotkeyManager.h"
#include "Platform/Runtime/Task.h"
#include "Snap/SnapStore.h"
#include "UI/Manager/RoundedTableFrame.h"
#include "UI/Manager/ShadedTableHeaderView.h"
#include "UI/ShownText.h"
#include "UI/Snap/ShortcutRecorderView.h"
#include "UI/Snap/SnapZoneGlyph.h"
#include "UI/SystemStyle.h"

namespace kestr {

namespace {

enum Column { actionColumn = 0, hotkeyColumn = 1, conflictColumn = 2 };

// The action column's cell: the zone glyph, then group and title.
QWidget* actionCell(SnapAction action) {
    auto* cell = new QWidget;
    auto* glyph = new SnapZoneGlyph;
    glyph->setAction(action);
    auto* label = new QLabel(QString::fromUtf8(SnapShortcutsModel::groupName(action)) + QStringLiteral("  ·  ") +
                             QString::fromStdString(action.displayName()));
    label->setFont(SystemStyle::font(13));
    auto* layout = new QHBoxLayout(cell);
    layout->setContentsMargins(6, 0, 6, 0);
    layout->setSpacing(10);
    layout->addWidget(glyph, 0, Qt::AlignVCenter);
    layout->addWidget(label, 1, Qt::AlignVCenter);
    return cell;
}

// Kest names among its words stay as they are written.
QLabel* wrapping(const QString& text, const QFont& font) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setWordWrap(true);
    return label;
}

}  // namespace

SnapShortcutsView::SnapShortcutsView(QWidget* parent)
    : QWidget(parent),
      table_(new QTableWidget(static_cast<int>(SnapAction::allCases().size()), 3)),
      conflictCard_(new QWidget),
      conflictStack_(new QVBoxLayout(conflictCard_)),
      resetButton_(new QPushButton(QStringLiteral("Reset to Defaults"))) {
    // An edit, a clear or a reset changes the refused keys, the labels and the widest
    // texts: everything shown is brought up to date.
    model_.onChange = [this] {
        rebuildConflictBanner();
        reloadTable();
        sizeColumns();
        if (onChange) onChange();
    };
    buildUI();
}

void SnapShortcutsView::buildUI() {
    QLabel* help = wrapping(
        QStringLiteral("Double-click a shortcut to record a new one; press Delete to clear or Escape to cancel. Snaps "
                       "move only the focused window and don't affect saved kests. A ⚠ in the Conflict column means "
                       "that hotkey is already used by another snap or kest."),
        SystemStyle::font(12));
    QPalette pal = help->palette();
    pal.setColor(QPalette::WindowText, SystemStyle::secondaryLabel().resolved());
    help->setPalette(pal);

    const QColor orange = SystemStyle::systemOrange().resolved();
    conflictCard_->setObjectName(QStringLiteral("conflictCard"));
    conflictCard_->setStyleSheet(QStringLiteral("#conflictCard { background: rgba(%1, %2, %3, 0.14); border: 1px solid "
                                                "rgba(%1, %2, %3, 0.32); border-radius: 10px; }")
                                     .arg(orange.red())
                                     .arg(orange.green())
                                     .arg(orange.blue()));
    conflictStack_->setContentsMargins(12, 10, 12, 10);
    conflictStack_->setSpacing(6);
    conflictCard_->hide();

    table_->setHorizontalHeader(new ShadedTableHeaderView(table_));
    table_->setHorizontalHeaderLabels({QStringLiteral("Action"), QStringLiteral("Hotkey"), QStringLiteral("Conflict")});
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(28);
    table_->setAlternatingRowColors(true);
    table_->setShowGrid(false);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->horizontalHeader()->setStretchLastSection(false);
    const auto& actions = SnapAction::allCases();
    for (int row = 0; row < static_cast<int>(actions.size()); ++row) {
        const SnapAction action = actions[static_cast<std::size_t>(row)];
        table_->setCellWidget(row, actionColumn, actionCell(action));
        auto* recorder = new ShortcutRecorderView;
        recorder->setPlain(true);
        recorder->setTrailingAligned(false);
        recorder->onChange = [this, action](std::optional<Hotkey> hotkey) { model_.setHotkey(hotkey, action); };
        table_->setCellWidget(row, hotkeyColumn, recorder);
        auto* conflict = new QTableWidgetItem;
        conflict->setFont(SystemStyle::font(13));
        conflict->setForeground(orange);
        table_->setItem(row, conflictColumn, conflict);
    }
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { handleDoubleClick(row); });
    connect(resetButton_, &QPushButton::clicked, this, [this] { handleReset(); });

    // The gaps around the warning card stay when it is hidden: the table then starts 20
    // points below the help text.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(0);
    layout->addWidget(help);
    layout->addSpacing(10);
    layout->addWidget(conflictCard_);
    layout->addSpacing(10);
    layout->addWidget(new RoundedTableFrame(table_), 1);
    layout->addSpacing(10);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(resetButton_);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    refresh();
}

void SnapShortcutsView::refresh() {
    recomputeConflicts();
    rebuildConflictBanner();
    reloadTable();
    sizeColumns();
}

void SnapShortcutsView::recomputeConflicts() { model_.recomputeConflicts(); }

void SnapShortcutsView::reloadTable() {
    const auto& actions = SnapAction::allCases();
    for (int row = 0; row < static_cast<int>(actions.size()); ++row) {
        const SnapAction action = actions[static_cast<std::size_t>(row)];
        auto conflict = model_.conflicts().find(action);
        const bool conflicted = conflict != model_.conflicts().end();
        const auto binding = SnapStore::shared().binding(action);
        recorder(row)->setHotkey(binding ? std::optional(binding->hotkey) : std::nullopt, conflicted,
                                 HotkeySource::snap(action));
        QTableWidgetItem* item = table_->item(row, conflictColumn);
        item->setText(conflicted ? QStringLiteral("⚠ ") + QString::fromStdString(conflict->second) : QString());
        item->setToolTip(conflicted ? ShownText::toolTip(QStringLiteral("This hotkey is also used by ") +
                                                         QString::fromStdString(conflict->second) + QStringLiteral("."))
                                    : QString());
    }
}

ShortcutRecorderView* SnapShortcutsView::recorder(int row) const {
    return static_cast<ShortcutRecorderView*>(table_->cellWidget(row, hotkeyColumn));
}

QString SnapShortcutsView::text(int column, int row) const {
    if (column == hotkeyColumn) return recorder(row)->text();
    if (column == actionColumn) {
        auto* label = table_->cellWidget(row, actionColumn)->findChild<QLabel*>();
        return label ? label->text() : QString();
    }
    return table_->item(row, column)->text();
}

QString SnapShortcutsView::toolTip(int column, int row) const {
    QTableWidgetItem* item = table_->item(row, column);
    return item ? item->toolTip() : QString();
}

void SnapShortcutsView::rebuildConflictBanner() {
    while (QLayoutItem* item = conflictStack_->takeAt(0)) {
        delete item->widget();
        if (QLayout* l = item->layout()) {
            while (QLayoutItem* inner = l->takeAt(0)) {
                if (inner->widget()) delete inner->widget();
                delete inner;
            }
        }
        delete item;
    }
    conflictRunning_ = ConflictingApps::running();
    const std::optional<std::string> heldModifiers = SnapShortcutsModel::heldModifiersWarning();
    const std::vector<std::string> held = SnapShortcutsModel::keysHeldElsewhere();
    if (conflictRunning_.empty() && !heldModifiers && held.empty()) {
        conflictCard_->hide();
        return;
    }
    conflictCard_->show();
    if (heldModifiers) {
        conflictStack_->addWidget(
            wrapping(QString::fromStdString(*heldModifiers), SystemStyle::font(12, QFont::DemiBold)));
    }
    if (!held.empty()) {
        conflictStack_->addWidget(wrapping(QStringLiteral("⚠ Your desktop or another program holds these keys, so "
                                                          "these shortcuts of kestr do nothing. Record other keys for "
                                                          "them, or free the keys in that program's settings."),
                                           SystemStyle::font(12, QFont::DemiBold)));
        QStringList names;
        for (const std::string& name : held) names << QString::fromStdString(name);
        conflictStack_->addWidget(wrapping(names.join(QStringLiteral(", ")), SystemStyle::font(13)));
    }
    if (conflictRunning_.empty()) return;
    conflictStack_->addWidget(
        wrapping(QStringLiteral("⚠ These apps also use ") +
                     QString::fromStdString(Hotkey::modifierText(CarbonModifier::control | CarbonModifier::option)) +
                     QStringLiteral(" window shortcuts and can override kestr's snaps. Quit "
                                    "them so snaps work reliably."),
                 SystemStyle::font(12, QFont::DemiBold)));
    for (int i = 0; i < static_cast<int>(conflictRunning_.size()); ++i) {
        auto* row = new QHBoxLayout;
        row->setSpacing(8);
        auto* name = new QLabel(QString::fromStdString(conflictRunning_[static_cast<std::size_t>(i)].name));
        name->setFont(SystemStyle::font(13));
        auto* quit = new QPushButton(QStringLiteral("Quit"));
        quit->setFont(SystemStyle::font(12));
        quit->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        connect(quit, &QPushButton::clicked, this, [this, i] { handleQuitConflict(i); });
        row->addWidget(name, 1);
        row->addWidget(quit);
        conflictStack_->addLayout(row);
    }
}

QString SnapShortcutsView::conflictCardText() const {
    QStringList texts;
    for (QLabel* label : conflictCard_->findChildren<QLabel*>()) texts << label->text();
    return texts.join(QLatin1Char('\n'));
}

std::vector<QPushButton*> SnapShortcutsView::quitButtons() const {
    std::vector<QPushButton*> out;
    for (QPushButton* button : conflictCard_->findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("Quit")) out.push_back(button);
    }
    return out;
}

void SnapShortcutsView::handleDoubleClick(int row) {
    if (row < 0 || row >= table_->rowCount()) return;
    recorder(row)->beginRecording();
}

void SnapShortcutsView::handleReset() { model_.resetToDefaults(); }

void SnapShortcutsView::handleQuitConflict(int index) {
    if (index < 0 || index >= static_cast<int>(conflictRunning_.size())) return;
    ConflictingApps::quit(conflictRunning_[static_cast<std::size_t>(index)]);
    // The application takes a moment to go; look again half a second later.
    spawn([](SnapShortcutsView* view) -> Task<void> {
        try {
            co_await sleepFor(0.5);
        } catch (const CancellationError&) {}
        view->refresh();
    }(this));
}

void SnapShortcutsView::sizeColumns() {
    const QFont headerFont = SystemStyle::font(11, QFont::DemiBold);
    const QFont body = SystemStyle::font(13);
    QFont shortcut = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    shortcut.setPixelSize(13);
    double widestShortcut = QFontMetricsF(headerFont).horizontalAdvance(QStringLiteral("Hotkey"));
    // What a recorder shows while it records must fit as well.
    for (const QString& prompt : ShortcutRecorderView::recordingTexts())
        widestShortcut = std::max(widestShortcut, QFontMetricsF(shortcut).horizontalAdvance(prompt));
    double widestConflict = QFontMetricsF(headerFont).horizontalAdvance(QStringLiteral("Conflict"));
    for (SnapAction action : SnapAction::allCases()) {
        const auto binding = SnapStore::shared().binding(action);
        const QString keys = binding ? QString::fromStdString(HotkeyManager::shared().shownKeys(
                                           binding->hotkey, false, HotkeySource::snap(action)))
                                     : QStringLiteral("None");
        widestShortcut = std::max(widestShortcut, QFontMetricsF(shortcut).horizontalAdvance(keys));
        auto conflict = model_.conflicts().find(action);
        const QString label =
            QStringLiteral("⚠ ") +
            (conflict == model_.conflicts().end() ? QString() : QString::fromStdString(conflict->second));
        widestConflict = std::max(widestConflict, QFontMetricsF(body).horizontalAdvance(label));
    }
    const int hotkeyWidth = std::max(static_cast<int>(std::ceil(widestShortcut)) + 16, 90) + 8;
    const int conflictWidth = std::max(static_cast<int>(std::ceil(widestConflict)) + 16, 90);
    // The table takes the page's width less its margins; a scroller that takes room is
    // not available to the columns.
    const int tableWidth = std::max(0, width() - 32) - 2 * table_->frameWidth();
    const int available = tableWidth - table_->verticalScrollBar()->sizeHint().width();
    const int actionWidth = std::max(available - 3 - hotkeyWidth - conflictWidth, 160);
    table_->setColumnWidth(actionColumn, actionWidth);
    table_->setColumnWidth(hotkeyColumn, hotkeyWidth);
    table_->setColumnWidth(conflictColumn, conflictWidth);
}

void SnapShortcutsView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    sizeColumns();
}

}  // namespace kestr
