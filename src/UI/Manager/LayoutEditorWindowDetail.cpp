// The manager window's detail page: the selected kest's name, preview, hot key, pin,
// counts, last-saved time, content editor and item table.
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QTableView>
#include <QVBoxLayout>
#include <set>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Platform/Platform.h"
#include "UI/Manager/ElidedLabel.h"
#include "UI/Manager/FlippedView.h"
#include "UI/Manager/ItemTableModel.h"
#include "UI/Manager/KestContentEditor.h"
#include "UI/Manager/KestPreviewView.h"
#include "UI/Manager/LayoutEditorWindow.h"
#include "UI/Manager/SettingsKit.h"
#include "UI/SystemStyle.h"
#include "UI/Manager/RoundedTableFrame.h"
#include "UI/Manager/ShadedTableHeaderView.h"
#include "UI/Manager/SwitchButton.h"
#include "UI/ShownText.h"
#include "UI/Snap/ShortcutRecorderView.h"

namespace kestr {

namespace {

constexpr int emptyEditorHeight = 26;
constexpr int editorHeight = 190;

QLabel* sectionHeader(const QString& text) {
    auto* label = new QLabel(text);
    label->setFont(SystemStyle::font(13, QFont::DemiBold));
    return label;
}

}  // namespace

void LayoutEditorWindow::showLastSaved(const Date& date) {
    const int offset = platform().clock().localOffsetSeconds(date.secondsSince1970);
    const CivilTime t = date.civil(offset);
    savedValue_->setText(QString::asprintf("%04lld-%02d-%02d %02d:%02d", static_cast<long long>(t.year), t.month, t.day,
                                           t.hour, t.minute));
}

std::optional<Layout> LayoutEditorWindow::selectedKest() const {
    if (!selectedLayoutID_) return std::nullopt;
    for (const Layout& kest : store_.layouts) {
        if (kest.id == *selectedLayoutID_) return kest;
    }
    return std::nullopt;
}

QWidget* LayoutEditorWindow::buildKestDetail() {
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* page = new FlippedView;

    nameField_ = new ElidedLabel;
    nameField_->setFont(SystemStyle::font(22, QFont::Bold));

    previewView_ = new KestPreviewView;
    previewView_->setFixedHeight(190);

    hotkeyRecorder_ = new ShortcutRecorderView;
    hotkeyRecorder_->setPlain(true);
    hotkeyRecorder_->setFixedSize(150, 28);
    hotkeyRecorder_->onChange = [this](std::optional<Hotkey> hotkey) { handleHotkeyRecorded(hotkey); };

    auto* pin = new SwitchButton;
    pinSwitch_ = pin;
    connect(pin, &QAbstractButton::clicked, this, [this] { handlePinToggle(); });

    windowsValue_ = SettingsKit::value(QString());
    displaysValue_ = SettingsKit::value(QString());
    savedValue_ = SettingsKit::value(QString());
    QWidget* card = SettingsKit::card({
        SettingsKit::row(QStringLiteral("Hotkey"), hotkeyRecorder_),
        SettingsKit::row(QStringLiteral("Pin shortcut"), pinSwitch_),
        SettingsKit::row(QStringLiteral("Windows"), windowsValue_),
        SettingsKit::row(QStringLiteral("Displays"), displaysValue_),
        SettingsKit::row(QStringLiteral("Last saved"), savedValue_),
    });

    contentHeaderLabel_ = sectionHeader(QStringLiteral("Window Content"));
    contentEditor_ = new KestContentEditor;
    contentEditor_->setFixedHeight(emptyEditorHeight);
    contentEditor_->onCommit = [this](const Uuid& id, const std::vector<std::string>& values,
                                      std::optional<int> active) { commitContent(id, values, active); };
    contentEditor_->onTerminalProfile = [this](const Uuid& id, const std::optional<std::string>& profile) {
        commitTerminalProfile(id, profile);
    };
    contentEditor_->onSplitMode = [this](const Uuid& id, const std::optional<std::string>& mode) {
        commitSplitMode(id, mode);
    };
    itemsTable_ = buildItemsTable();
    auto* note = new QLabel(QStringLiteral(
        "Frame values are display-local points (top-left origin). Read-only here — re-save to change them."));
    note->setFont(SystemStyle::font(11));
    note->setWordWrap(true);
    QPalette pal = note->palette();
    pal.setColor(QPalette::WindowText, SystemStyle::tertiaryLabel().resolved());
    note->setPalette(pal);

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(20, 16, 20, 20);
    layout->setSpacing(0);
    layout->addWidget(nameField_);
    layout->addSpacing(14);
    layout->addWidget(previewView_);
    layout->addSpacing(18);
    layout->addWidget(card);
    layout->addSpacing(18);
    layout->addWidget(contentHeaderLabel_);
    layout->addSpacing(6);
    layout->addWidget(contentEditor_);
    layout->addSpacing(18);
    layout->addWidget(sectionHeader(QStringLiteral("Details")));
    layout->addSpacing(6);
    layout->addWidget(new RoundedTableFrame(itemsTable_));
    layout->addWidget(note);
    layout->addStretch(1);
    scroll->setWidget(page);
    return scroll;
}

QTableView* LayoutEditorWindow::buildItemsTable() {
    auto* table = new QTableView;
    itemModel_ = new ItemTableModel(this);
    table->setModel(itemModel_);
    table->setHorizontalHeader(new ShadedTableHeaderView(table));
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(22);
    table->setAlternatingRowColors(true);
    table->setShowGrid(false);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    table->setTextElideMode(Qt::ElideRight);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table->horizontalHeader()->setStretchLastSection(false);
    const auto& columns = ItemTableModel::columns();
    int smallest = columns.front().minimumWidth;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        table->setColumnWidth(static_cast<int>(i), columns[i].width);
        smallest = std::min(smallest, columns[i].minimumWidth);
    }
    // The header knows one minimum for all columns; each column's own is kept here.
    QHeaderView* header = table->horizontalHeader();
    header->setMinimumSectionSize(smallest);
    connect(header, &QHeaderView::sectionResized, header, [header, &columns](int column, int, int size) {
        if (column < 0 || column >= static_cast<int>(columns.size())) return;
        const int minimum = columns[static_cast<std::size_t>(column)].minimumWidth;
        if (size < minimum) header->resizeSection(column, minimum);
    });
    table->setFixedHeight(160);
    return table;
}

void LayoutEditorWindow::refreshDetail() {
    const std::optional<Layout> kest = selectedKest();
    std::optional<Layout> shown;
    if (kest) shown = kest->strippingDesktopJunk();
    previewView_->setLayout(shown);
    // The editor works on the kest as stored, desktop entries included.
    contentEditor_->configure(kest);
    contentEditor_->setFixedHeight(contentEditor_->hasEditables() ? editorHeight : emptyEditorHeight);
    contentEditor_->show();
    contentHeaderLabel_->show();

    if (!kest) {
        nameField_->setText(QStringLiteral("No kest selected"));
        hotkeyRecorder_->setHotkey(std::nullopt, false);
        windowsValue_->setText(QStringLiteral("—"));
        displaysValue_->setText(QStringLiteral("—"));
        savedValue_->setText(QStringLiteral("—"));
        pinSwitch_->setChecked(false);
        pinSwitch_->setEnabled(false);
        itemModel_->setItems({});
        return;
    }
    pinSwitch_->setEnabled(true);
    nameField_->setText(ShownText::of(kest->name));
    hotkeyRecorder_->setHotkey(HotkeyManager::shared().kestHotkey(*kest), false, HotkeySource::layout(kest->id));
    pinSwitch_->setChecked(kest->hotkey.has_value());
    std::set<std::string> displays;
    for (const LayoutItem& item : shown->items) displays.insert(item.targetFrame.displayUUID);
    windowsValue_->setText(QString::number(shown->items.size()));
    displaysValue_->setText(QString::number(displays.size()));
    showLastSaved(shown->updatedAt);
    itemModel_->setItems(shown->items);
}

}  // namespace kestr
