#include "UI/Manager/KestContentEditor.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <map>

#include "Core/KnownApplications.h"
#include "Layout/WindowSpawner.h"
#include "UI/Manager/ContentValueTable.h"
#include "UI/Manager/SettingsKit.h"
#include "UI/ShownText.h"
#include "UI/SymbolImages.h"
#include "UI/SystemStyle.h"

namespace kestr {

namespace {

constexpr int hInset = 16;
const std::vector<std::optional<std::string>> splitModes = {std::nullopt, "columns", "rows"};

void colorLabel(QLabel* label, const QColor& color) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, color);
    label->setPalette(pal);
}

QLabel* smallLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setFont(SystemStyle::font(11));
    colorLabel(label, SystemStyle::secondaryLabel().resolved());
    return label;
}

QComboBox* smallPopup() {
    auto* popup = new QComboBox;
    popup->setFont(SystemStyle::font(11));
    popup->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    popup->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return popup;
}

}  // namespace

KestContentEditor::ContentKind KestContentEditor::contentKind(const std::string& bundle) {
    const CommandLineFamily commandLine = KnownApplications::commandLine(bundle);
    if (bundle == "com.google.Chrome" || bundle == "com.google.Chrome.canary" ||
        commandLine == CommandLineFamily::browser) {
        return ContentKind::browser;
    }
    if (bundle == "com.apple.Terminal" || bundle == "com.mitchellh.ghostty" || bundle == "com.googlecode.iterm2" ||
        commandLine == CommandLineFamily::terminal) {
        return ContentKind::terminal;
    }
    return ContentKind::none;
}

std::vector<KestContentEditor::Editable> KestContentEditor::editablesOf(const std::optional<Layout>& layout) {
    std::vector<Editable> out;
    if (!layout) return out;
    for (const LayoutItem& item : layout->items) {
        Editable e;
        e.id = item.id;
        e.title = item.appName;
        const std::string& bundle = item.appBundleID;
        const bool commandLine = KnownApplications::commandLine(bundle) != CommandLineFamily::none;
        switch (contentKind(bundle)) {
            case ContentKind::browser:
                e.isChrome = true;
                e.tabsUnreadable = commandLine;
                if (item.browserTabs) {
                    e.values = *item.browserTabs;
                } else if (item.browserURL) {
                    e.values = {*item.browserURL};
                }
                break;
            case ContentKind::terminal:
                e.oneCommand = commandLine;
                e.canTheme = bundle == "com.apple.Terminal";
                e.canSplit = bundle == "com.mitchellh.ghostty";
                e.values = item.terminalTabs.value_or(std::vector<std::string>{});
                e.profile = item.terminalProfile;
                e.splitMode = item.terminalSplitMode;
                break;
            case ContentKind::none:
                continue;
        }
        out.push_back(std::move(e));
    }
    // Titles that repeat are numbered in order, per title.
    std::map<std::string, int> counts, running;
    for (const Editable& e : out) ++counts[e.title];
    for (Editable& e : out) {
        if (counts[e.title] >= 2) e.title += " " + std::to_string(++running[e.title]);
    }
    return out;
}

KestContentEditor::KestContentEditor(QWidget* parent)
    : QWidget(parent),
      popup_(new QComboBox),
      hintLabel_(new QLabel),
      table_(new EditorClosingView<QTableView>),
      model_(new ContentValueModel(this)),
      themeLabel_(smallLabel(QStringLiteral("Theme:"))),
      themePopup_(smallPopup()),
      splitLabel_(smallLabel(QStringLiteral("Layout:"))),
      splitPopup_(smallPopup()),
      emptyLabel_(new QLabel(QStringLiteral("This kest has no browser or terminal windows to edit."))) {
    build();
}

void KestContentEditor::build() {
    popup_->setMaximumWidth(320);
    popup_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(popup_, &QComboBox::currentIndexChanged, this, [this] {
        if (!rebuilding_) reloadCurrent();
    });
    hintLabel_->setFont(SystemStyle::font(11));
    colorLabel(hintLabel_, SystemStyle::tertiaryLabel().resolved());
    // A hint longer than its room goes on over a second line rather than being cut.
    hintLabel_->setWordWrap(true);

    model_->values = [this]() -> const std::vector<std::string>* {
        const int index = popup_->currentIndex();
        if (index < 0 || index >= static_cast<int>(editables_.size())) return nullptr;
        return &editables_[static_cast<std::size_t>(index)].values;
    };
    model_->onEndEditing = [this](int row, const std::string& text) {
        std::optional<Editable> editable = current();
        if (!editable || row < 0 || row >= static_cast<int>(editable->values.size())) return;
        editable->values[static_cast<std::size_t>(row)] = text;
        setCurrent(*editable);
        // The reload only once the row's editor has closed.
        table_->afterEditorCloses([this] {
            commitCurrent();
            model_->reload();
        });
    };
    table_->setModel(model_);
    table_->setItemDelegate(new NumberedValueDelegate(table_));
    table_->horizontalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(22);
    table_->setShowGrid(false);
    table_->setFrameShape(QFrame::NoFrame);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    table_->viewport()->setAutoFillBackground(false);
    table_->setStyleSheet(QStringLiteral("QTableView { background: transparent; }"));
    table_->setFixedHeight(92);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { updateButtons(); });

    // Add, remove, move up, move down.
    const char* symbols[] = {"plus", "minus", "chevron.up", "chevron.down"};
    const char* descriptions[] = {"Add", "Remove", "Move up", "Move down"};
    auto* segmentBox = new QWidget;
    auto* segmentLayout = new QHBoxLayout(segmentBox);
    segmentLayout->setContentsMargins(0, 0, 0, 0);
    segmentLayout->setSpacing(0);
    for (int i = 0; i < 4; ++i) {
        auto* button = new QToolButton;
        button->setFixedWidth(30);
        button->setIcon(QIcon(SymbolImages::pixmap(symbols[i], 11, SystemStyle::label().resolved())));
        button->setToolTip(QString::fromLatin1(descriptions[i]));
        button->setAccessibleName(QString::fromLatin1(descriptions[i]));
        segments_[i] = button;
        segmentLayout->addWidget(button);
    }
    connect(segments_[add], &QToolButton::clicked, this, [this] { addRow(); });
    connect(segments_[remove], &QToolButton::clicked, this, [this] { removeRow(); });
    connect(segments_[moveUp], &QToolButton::clicked, this, [this] { swapSelected(-1); });
    connect(segments_[moveDown], &QToolButton::clicked, this, [this] { swapSelected(+1); });

    splitPopup_->addItems({QStringLiteral("Tabs"), QStringLiteral("Columns ◧"), QStringLiteral("Rows ⊟")});
    connect(splitPopup_, &QComboBox::activated, this, [this](int p) { splitChanged(p); });
    connect(themePopup_, &QComboBox::activated, this, [this](int p) { themeChanged(p); });

    emptyLabel_->setFont(SystemStyle::font(12));
    colorLabel(emptyLabel_, SystemStyle::tertiaryLabel().resolved());

    auto* head = new QHBoxLayout;
    head->setContentsMargins(hInset, 12, hInset, 0);
    head->setSpacing(10);
    head->addWidget(popup_);
    head->addWidget(hintLabel_, 1);
    buttonRow_ = new QWidget;
    auto* buttons = new QHBoxLayout(buttonRow_);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(8);
    buttons->addWidget(segmentBox);
    buttons->addStretch(1);
    buttons->addWidget(splitLabel_);
    buttons->addWidget(splitPopup_);
    buttons->addWidget(themeLabel_);
    buttons->addWidget(themePopup_);
    sep1_ = SettingsKit::hairline();
    sep2_ = SettingsKit::hairline();
    // The card's controls stand in a body of their own: hidden, it takes its margins and
    // gaps with it, and the empty text gets the editor's whole height.
    body_ = new QWidget;
    auto* column = new QVBoxLayout(body_);
    column->setContentsMargins(0, 0, 0, 12);
    column->setSpacing(0);
    column->addLayout(head);
    column->addSpacing(12);
    auto inset = [](QWidget* w, int right) {
        auto* row = new QHBoxLayout;
        row->setContentsMargins(hInset, 0, right, 0);
        row->addWidget(w);
        return row;
    };
    column->addLayout(inset(sep1_, 0));
    column->addLayout(inset(table_, hInset));
    column->addLayout(inset(sep2_, 0));
    column->addSpacing(10);
    column->addLayout(inset(buttonRow_, hInset));
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(body_);
    stack->addWidget(emptyLabel_, 0, Qt::AlignLeft | Qt::AlignVCenter);
    configure(std::nullopt);
}

void KestContentEditor::setControlsVisible(bool visible) {
    cardShown_ = visible;
    body_->setVisible(visible);
    emptyLabel_->setVisible(!visible);
    update();
}

void KestContentEditor::configure(const std::optional<Layout>& layout) {
    editables_ = editablesOf(layout);
    const bool anyTheme =
        std::any_of(editables_.begin(), editables_.end(), [](const Editable& e) { return e.canTheme; });
    // Terminal's profiles are asked for once per editor.
    if (anyTheme && installedProfiles_.empty()) installedProfiles_ = WindowSpawner::terminalProfiles();
    setControlsVisible(!editables_.empty());
    rebuilding_ = true;
    popup_->clear();
    for (const Editable& e : editables_) popup_->addItem(ShownText::of(e.title));
    if (!editables_.empty()) popup_->setCurrentIndex(0);
    rebuilding_ = false;
    reloadCurrent();
}

std::optional<KestContentEditor::Editable> KestContentEditor::current() const {
    const int index = popup_->currentIndex();
    if (index < 0 || index >= static_cast<int>(editables_.size())) return std::nullopt;
    return editables_[static_cast<std::size_t>(index)];
}

void KestContentEditor::setCurrent(const Editable& editable) {
    const int index = popup_->currentIndex();
    if (index < 0 || index >= static_cast<int>(editables_.size())) return;
    editables_[static_cast<std::size_t>(index)] = editable;
}

void KestContentEditor::reloadCurrent() {
    const std::optional<Editable> e = current();
    QString hint = QStringLiteral("Each row opens a tab running its command; the first row opens active.");
    if (e && e->tabsUnreadable) {
        hint =
            QStringLiteral("This desktop cannot read browser tabs, so capture stores none; each row opens as a tab.");
    } else if (e && e->oneCommand) {
        hint = QStringLiteral("This terminal has no tabs: a fresh window runs the first row's command.");
    } else if (e && e->isChrome) {
        hint = QStringLiteral("Each row is a browser tab; the first row is the active tab.");
    } else if (e && e->canSplit && e->splitMode == "columns") {
        hint = QStringLiteral("Each row is a pane, split left→right; the first row is the leftmost.");
    } else if (e && e->canSplit && e->splitMode == "rows") {
        hint = QStringLiteral("Each row is a pane, split top→bottom; the first row is the topmost.");
    }
    hintLabel_->setText(hint);
    const bool theme = e && e->canTheme;
    themeLabel_->setVisible(theme);
    themePopup_->setVisible(theme);
    if (theme) rebuildThemePopup();
    const bool split = e && e->canSplit;
    splitLabel_->setVisible(split);
    splitPopup_->setVisible(split);
    if (split) {
        auto it = std::find(splitModes.begin(), splitModes.end(), e->splitMode);
        splitPopup_->setCurrentIndex(it == splitModes.end() ? 0 : static_cast<int>(it - splitModes.begin()));
    }
    model_->reload();
    updateButtons();
}

void KestContentEditor::rebuildThemePopup() {
    themePopup_->clear();
    themePopup_->addItem(QStringLiteral("Default"));
    int selected = 0;
    const std::optional<Editable> e = current();
    for (std::size_t i = 0; i < installedProfiles_.size(); ++i) {
        themePopup_->addItem(QString::fromStdString(installedProfiles_[i]));
        if (selected == 0 && e && e->profile == installedProfiles_[i]) selected = static_cast<int>(i) + 1;
    }
    themePopup_->setCurrentIndex(selected);
}

int KestContentEditor::selectedRow() const {
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void KestContentEditor::selectRow(int row) {
    if (row < 0) {
        table_->clearSelection();
        return;
    }
    table_->selectRow(row);
}

void KestContentEditor::updateButtons() {
    const int r = selectedRow();
    const std::optional<Editable> e = current();
    const int n = e ? static_cast<int>(e->values.size()) : 0;
    segments_[add]->setEnabled(true);
    segments_[remove]->setEnabled(r >= 0 && r < n);
    segments_[moveUp]->setEnabled(r > 0 && r < n);
    segments_[moveDown]->setEnabled(r >= 0 && r < n - 1);
}

void KestContentEditor::commitCurrent() {
    const std::optional<Editable> e = current();
    if (!e || !onCommit) return;
    onCommit(e->id, e->values, e->isChrome ? std::optional<int>(0) : std::nullopt);
}

void KestContentEditor::finishRowEdit() {
    commitCurrent();
    model_->reload();
    updateButtons();
}

void KestContentEditor::addRow() {
    std::optional<Editable> e = current();
    if (!e) return;
    e->values.emplace_back();
    setCurrent(*e);
    finishRowEdit();
    const int last = static_cast<int>(e->values.size()) - 1;
    selectRow(last);
    table_->edit(model_->index(last));
    updateButtons();
}

void KestContentEditor::removeRow() {
    std::optional<Editable> e = current();
    const int r = selectedRow();
    if (!e || r < 0 || r >= static_cast<int>(e->values.size())) return;
    e->values.erase(e->values.begin() + r);
    setCurrent(*e);
    finishRowEdit();
}

void KestContentEditor::swapSelected(int by) {
    std::optional<Editable> e = current();
    const int r = selectedRow();
    const int n = e ? static_cast<int>(e->values.size()) : 0;
    if (!e || r < 0 || r >= n || r + by < 0 || r + by >= n) return;
    std::swap(e->values[static_cast<std::size_t>(r)], e->values[static_cast<std::size_t>(r + by)]);
    setCurrent(*e);
    finishRowEdit();
    selectRow(r + by);
}

void KestContentEditor::themeChanged(int position) {
    std::optional<Editable> e = current();
    if (!e || e->isChrome) return;
    std::optional<std::string> profile;
    if (position >= 1 && position <= static_cast<int>(installedProfiles_.size())) {
        profile = installedProfiles_[static_cast<std::size_t>(position - 1)];
    }
    e->profile = profile;
    setCurrent(*e);
    if (onTerminalProfile) onTerminalProfile(e->id, profile);
}

void KestContentEditor::splitChanged(int position) {
    std::optional<Editable> e = current();
    if (!e || !e->canSplit) return;
    std::optional<std::string> mode;
    if (position >= 0 && position < static_cast<int>(splitModes.size()))
        mode = splitModes[static_cast<std::size_t>(position)];
    e->splitMode = mode;
    setCurrent(*e);
    if (onSplitMode) onSplitMode(e->id, mode);
    reloadCurrent();
}

void KestContentEditor::paintEvent(QPaintEvent*) {
    if (!cardShown_) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(rect()), 10, 10);
    p.fillPath(card, SettingsKit::cardFill().resolved());
}

}  // namespace kestr
