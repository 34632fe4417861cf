#include "UI/Manager/LayoutEditorWindow.h"

#include <QApplication>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "Core/HotkeyManager.h"
#include "Core/LayoutStore.h"
#include "Core/Preferences.h"
#include "Platform/Platform.h"
#include "UI/Manager/AppVersionText.h"
#include "UI/Manager/KestListModel.h"
#include "UI/Manager/KestListView.h"
#include "UI/Manager/KeyClosableWindow.h"
#include "UI/Manager/SettingsKit.h"
#include "UI/SystemStyle.h"
#include "UI/Manager/SidebarFooterButton.h"
#include "UI/Snap/ShortcutRecorderView.h"
#include "UI/Snap/SnapShortcutsView.h"

namespace kestr {

namespace {

constexpr int contentWidth = 820;
constexpr int contentHeight = 680;
constexpr int sidebarWidth = 230;

}  // namespace

LayoutEditorWindow& LayoutEditorWindow::shared() { return platform().shared<LayoutEditorWindow>(); }

LayoutEditorWindow::LayoutEditorWindow() : store_(LayoutStore::shared()) {
    confirmDelete = [this](const Layout& layout) { return presentDeleteDialog(layout); };
    window_ = new KeyClosableWindow;
    window_->setWindowTitle(QStringLiteral("Manage Kests"));
    window_->setMinimumSize(460, 420);
    window_->resize(contentWidth, contentHeight);
    window_->onActiveChange = [this](bool active) { windowBecameKey(active); };
    window_->onHide = [this] { windowHidden(); };
    buildUI();
}

LayoutEditorWindow::~LayoutEditorWindow() {
    window_->onActiveChange = nullptr;
    window_->onHide = nullptr;
    delete window_;
}

QAbstractButton* LayoutEditorWindow::sectionButton(Tab tab) const {
    return tabSwitcher_->button(static_cast<int>(tab));
}

void LayoutEditorWindow::buildUI() {
    auto* central = new QWidget;
    auto* split = new QHBoxLayout(central);
    split->setContentsMargins(0, 0, 0, 0);
    split->setSpacing(0);
    sidebar_ = buildSidebar();
    sidebar_->setFixedWidth(sidebarWidth);
    split->addWidget(sidebar_);

    pages_ = new QStackedWidget;
    pages_->setMinimumWidth(420);
    kestsDetail_ = buildKestDetail();
    snapShortcutsView_ = new SnapShortcutsView;
    snapShortcutsView_->onChange = [this] {
        if (onChange) onChange();
    };
    captureDetail_ = buildCaptureDetail();
    pages_->addWidget(kestsDetail_);
    pages_->addWidget(snapShortcutsView_);
    pages_->addWidget(captureDetail_);
    split->addWidget(pages_, 1);
    window_->setCentralWidget(central);

    // The section control, centred in the toolbar.
    tabSwitcher_ = new QButtonGroup(window_);
    tabSwitcher_->setExclusive(true);
    auto* segments = new QWidget;
    auto* segmentsLayout = new QHBoxLayout(segments);
    segmentsLayout->setContentsMargins(0, 0, 0, 0);
    segmentsLayout->setSpacing(0);
    for (const auto& [tab, title] : {std::pair{Tab::kests, "Kests"}, std::pair{Tab::snaps, "Snaps"}}) {
        auto* button = new QToolButton;
        button->setText(QString::fromLatin1(title));
        button->setCheckable(true);
        tabSwitcher_->addButton(button, static_cast<int>(tab));
        segmentsLayout->addWidget(button);
    }
    sectionButton(Tab::kests)->setChecked(true);
    connect(tabSwitcher_, &QButtonGroup::idClicked, this, [this](int) { handleSectionSwitch(); });
    auto* toolbar = new QToolBar;
    toolbar->setObjectName(QStringLiteral("kestr.manager.toolbar"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->toggleViewAction()->setEnabled(false);
    auto spacer = [] {
        auto* s = new QWidget;
        s->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        return s;
    };
    toolbar->addWidget(spacer());
    toolbar->addWidget(segments);
    toolbar->addWidget(spacer());
    window_->addToolBar(toolbar);
    window_->setContextMenuPolicy(Qt::NoContextMenu);
    layoutTable_->setFocus();
}

QWidget* LayoutEditorWindow::buildSidebar() {
    auto* container = new QWidget;
    listModel_ = new KestListModel(store_, this);
    // The rename reloads the list: only once the name's editor has closed.
    listModel_->onCommitName = [this](const Uuid& id, const QString& text) {
        layoutTable_->afterEditorCloses([this, id, text] { commitInlineRename(id, text); });
    };
    listModel_->onMove = [this](int from, int to) { return moveKest(from, to); };
    layoutTable_ = new KestListView;
    layoutTable_->setModel(listModel_);
    connect(layoutTable_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { listSelectionChanged(); });
    layoutTable_->onDoubleClick = [this](int row) { handleListDoubleClick(row); };
    layoutTable_->onContextClick = [this](int row, const QPoint& at) {
        clickedRow_ = row;
        QMenu menu;
        menu.addAction(QStringLiteral("Rename…"), this, [this] { ctxRename(); });
        menu.addAction(QStringLiteral("Duplicate"), this, [this] { ctxDuplicate(); });
        menu.addSeparator();
        menu.addAction(QStringLiteral("Delete"), this, [this] { ctxDelete(); });
        menu.exec(at);
    };

    sidebarFooter_ = new SidebarFooterButton;
    sidebarFooter_->onClick = [this] { selectCaptureSettings(); };

    versionLabel_ = new QLabel(appVersionText());
    versionLabel_->setFont(SystemStyle::font(11));
    versionLabel_->setAlignment(Qt::AlignCenter);
    QPalette pal = versionLabel_->palette();
    pal.setColor(QPalette::WindowText, SystemStyle::tertiaryLabel().resolved());
    versionLabel_->setPalette(pal);

    auto* layout = new QVBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(layoutTable_, 1);
    layout->addWidget(sidebarFooter_);
    auto* labelBox = new QHBoxLayout;
    labelBox->setContentsMargins(12, 2, 12, 8);
    labelBox->addWidget(versionLabel_);
    layout->addLayout(labelBox);
    listModel_->reload();
    return container;
}

void LayoutEditorWindow::reselect() {
    // The selection comes back; a kest that has gone gives way to the first.
    if (selectedLayoutID_ && rowOf(*selectedLayoutID_)) {
        selectRowOf(*selectedLayoutID_);
    } else if (!store_.layouts.empty()) {
        selectedLayoutID_ = store_.layouts.front().id;
        selectRowOf(*selectedLayoutID_);
    } else {
        layoutTable_->clearSelection();
    }
    // What is shown always matches the store, even when the selection did not change.
    refreshDetail();
}

void LayoutEditorWindow::reloadFromStore() {
    listModel_->reload();
    reselect();
    if (currentSection_ == Tab::snaps) snapShortcutsView_->refresh();
}

Hotkey LayoutEditorWindow::shownCaptureHotkey() {
    if (auto registered = HotkeyManager::shared().captureHotkey()) return *registered;
    if (auto stored = Preferences::shared().captureHotkey()) return *stored;
    return Hotkey{HotkeyManager::defaultCaptureKeyCode, HotkeyManager::automaticModifiers};
}

void LayoutEditorWindow::show(Tab tab) {
    listModel_->reload();
    showingCapture_ = false;
    sidebarFooter_->setActiveSelection(false);
    sidebarFooter_->setShortcutText(QString::fromStdString(
        HotkeyManager::shared().shownKeys(shownCaptureHotkey(), false, HotkeySource::captureCurrent())));
    reselect();
    selectSection(tab);

    if (!window_->isVisible()) {
        const QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
        int height = 656;
        if (screen) height = std::min(screen->availableGeometry().height() - 24, contentHeight);
        window_->resize(contentWidth, height);
        if (screen) window_->move(screen->availableGeometry().center() - window_->rect().center());
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void LayoutEditorWindow::selectSection(Tab tab) {
    sectionButton(tab)->setChecked(true);
    currentSection_ = tab;
    if (tab == Tab::snaps) snapShortcutsView_->refresh();
    sidebar_->setVisible(tab == Tab::kests);
    updateContentVisibility();
}

void LayoutEditorWindow::handleSectionSwitch() {
    selectSection(tabSwitcher_->checkedId() == static_cast<int>(Tab::snaps) ? Tab::snaps : Tab::kests);
}

void LayoutEditorWindow::updateContentVisibility() {
    if (currentSection_ == Tab::snaps) {
        pages_->setCurrentWidget(snapShortcutsView_);
    } else {
        pages_->setCurrentWidget(showingCapture_ ? captureDetail_ : kestsDetail_);
    }
}

void LayoutEditorWindow::windowBecameKey(bool key) {
    // While the window is active, typed shortcuts belong to its recorders, not to the
    // global hot keys.
    HotkeyManager::shared().suspended = key;
}

void LayoutEditorWindow::windowHidden() {
    // A recording must not outlive the window: the hot keys would stay unregistered.
    hotkeyRecorder_->endRecording();
    captureRecorder_->endRecording();
    HotkeyManager::shared().suspended = false;
}

std::optional<int> LayoutEditorWindow::rowOf(const Uuid& id) const {
    for (std::size_t i = 0; i < store_.layouts.size(); ++i) {
        if (store_.layouts[i].id == id) return static_cast<int>(i);
    }
    return std::nullopt;
}

void LayoutEditorWindow::selectRowOf(const Uuid& id) {
    if (auto row = rowOf(id)) {
        layoutTable_->selectionModel()->select(listModel_->index(*row), QItemSelectionModel::ClearAndSelect);
        layoutTable_->selectionModel()->setCurrentIndex(listModel_->index(*row), QItemSelectionModel::NoUpdate);
    }
}

void LayoutEditorWindow::listSelectionChanged() {
    const QModelIndexList rows = layoutTable_->selectionModel()->selectedRows();
    const int row = rows.isEmpty() ? -1 : rows.first().row();
    if (row >= 0 && row < static_cast<int>(store_.layouts.size())) {
        selectedLayoutID_ = store_.layouts[static_cast<std::size_t>(row)].id;
        showingCapture_ = false;
        sidebarFooter_->setActiveSelection(false);
    } else {
        // Clearing the selection keeps the settings page when it is shown.
        selectedLayoutID_.reset();
    }
    updateContentVisibility();
    refreshDetail();
}

}  // namespace kestr
