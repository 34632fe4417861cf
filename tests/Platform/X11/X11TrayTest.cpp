// kestr in the tray of a panel that speaks the StatusNotifierItem protocol (a private
// session bus with a minimal tray host): the host finds the status menu as the item's
// D-Bus menu, kept current as kests change; asking for the menu never waits for it to
// close; a click opens the panel where it was (the host passes no icon frame). And in
// an XEmbed tray at the bottom of the screen: the icon in the tray's colours, the panel
// over the icon, the menu on a right click.
#include <X11/keysym.h>
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <filesystem>
#include <fstream>
#include <set>
#include <tuple>
#include <nlohmann/json.hpp>

#include "Platform/X11/Support/FakeInput.h"
#include "Platform/X11/Support/QtOnSession.h"
#include "Platform/X11/Support/SessionBus.h"
#include "Platform/X11/Support/TrayHost.h"
#include "Platform/X11/Support/XEmbedTray.h"
#include "Platform/X11/Support/X11Test.h"

namespace kestr::x11test {
namespace {

class X11TrayTest : public X11Test {
protected:
    void SetUp() override {
        X11Test::SetUp();
        ensureQtApplication(session());
        char pattern[] = "/tmp/kestr-x11-tray-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home = pattern;
        std::filesystem::create_directories(home + "/.local/share/kestr");
        writeKests({"Desk"});
    }
    void TearDown() override {
        kestr.reset();
        host.reset();
        bus.reset();
        std::error_code ignored;
        std::filesystem::remove_all(home, ignored);
        X11Test::TearDown();
    }

    void writeKests(const std::vector<std::string>& names) {
        std::string layouts;
        int n = 0;
        for (const std::string& name : names) {
            if (!layouts.empty()) layouts += ",";
            char id[13];
            std::snprintf(id, sizeof id, "%012llX", 0x29075E0CF850ULL + ++n);
            layouts += R"({"createdAt":"2026-12-07T00:00:00Z","updatedAt":"2026-12-07T00:00:00Z","edgeGroups":[],)"
                       R"("id":"EAD9EC86-D4FB-4724-BF32-)" +
                       std::string(id) + R"(","name":")" + name + R"(","items":[]})";
        }
        const std::string file = home + "/.local/share/kestr/layouts.json";
        std::ofstream(file + ".new") << R"({"version":1,"layouts":[)" + layouts + "]}";
        std::filesystem::rename(file + ".new", file);
    }

    // kestr on the private display and bus; its item registered with the host.
    QString startKestr() {
        bus = std::make_unique<SessionBus>();
        host = std::make_unique<TrayHost>(bus->address());
        launch(bus->address());
        if (!pumpQtUntil([&] { return !host->items().isEmpty(); }, 30)) return {};
        return host->items().front();
    }
    void launch(const std::string& busAddress) {
        Subprocess::Spec spec;
        spec.arguments = {KESTR_BINARY};
        spec.environment = {{"HOME", home},
                            {"DISPLAY", session().display()},
                            {"DBUS_SESSION_BUS_ADDRESS", busAddress},
                            {"XDG_DATA_HOME", std::nullopt},
                            {"XDG_STATE_HOME", std::nullopt},
                            {"XDG_CONFIG_HOME", std::nullopt},
                            {"XDG_RUNTIME_DIR", std::nullopt},
                            {"KESTR_SIM_DESKTOP", std::nullopt},
                            {"KESTR_DESKTOP", std::nullopt},
                            {"QT_QPA_PLATFORM", std::nullopt}};
        spec.environment.insert(extraEnvironment.begin(), extraEnvironment.end());
        spec.logFile = home + "/stderr.txt";
        kestr = std::make_unique<Subprocess>(spec);
    }
    std::string kestrLog() const {
        std::ifstream in(home + "/stderr.txt");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // kestr's own pop-up windows on screen (the panel, a menu), straight on the root.
    std::vector<XRect> kestrPopUps() {
        std::vector<XRect> shown;
        auto* tree = xcb_query_tree_reply(connection(), xcb_query_tree(connection(), session().root()), nullptr);
        if (!tree) return shown;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            const auto pid = property32(connection(), children[i], "_NET_WM_PID");
            if (!pid || pid->front() != std::uint32_t(kestr->pid()) || !isViewable(connection(), children[i])) continue;
            if (const auto frame = clientGeometry(connection(), children[i])) shown.push_back(*frame);
        }
        std::free(tree);
        return shown;
    }
    // Clicks far from kestr's pop-up once it holds the pointer, and waits until it is gone.
    bool closePopUps() {
        if (!waitUntil([&] { return pointerHeld(connection(), session().root()); })) return false;
        fakeClick(connection(), session().root(), 300, 100);
        return waitUntil([&] { return kestrPopUps().empty(); });
    }
    // kestr's own window for its button (a window of its, a menu bar high) is on screen.
    bool ownButtonShown() {
        for (const xcb_window_t window : clientList(connection())) {
            const auto pid = property32(connection(), window, "_NET_WM_PID");
            const auto frame = clientGeometry(connection(), window);
            if (pid && pid->front() == std::uint32_t(kestr->pid()) && frame && frame->height == 22) return true;
        }
        return false;
    }
    std::optional<XRect> panelFrame() {
        for (const XRect& r : kestrPopUps())
            if (r.width == 296) return r;
        return std::nullopt;
    }

    // The pixels of the screen in that rectangle, 0xRRGGBB.
    std::vector<std::uint32_t> screenPixels(const XRect& r) {
        std::vector<std::uint32_t> pixels;
        auto* image = xcb_get_image_reply(
            connection(),
            xcb_get_image(connection(), XCB_IMAGE_FORMAT_Z_PIXMAP, session().root(), std::int16_t(r.x),
                          std::int16_t(r.y), std::uint16_t(r.width), std::uint16_t(r.height), ~0u),
            nullptr);
        if (!image) return pixels;
        const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image));
        pixels.assign(data, data + xcb_get_image_data_length(image) / 4);
        std::free(image);
        for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
        return pixels;
    }

    std::string home;
    std::map<std::string, std::optional<std::string>> extraEnvironment;
    std::unique_ptr<SessionBus> bus;
    std::unique_ptr<TrayHost> host;
    std::unique_ptr<Subprocess> kestr;
};

TEST_F(X11TrayTest, ADBusTrayShowsTheStatusMenuAndAClickOpensThePanelWhereItWas) {
    const QString item = startKestr();
    ASSERT_FALSE(item.isEmpty()) << "the item never registered\n" << kestrLog();
    EXPECT_EQ(kestrLog().find("No Icon set"), std::string::npos) << kestrLog();

    const QString path = host->itemProperty(item, "Menu").value<QDBusObjectPath>().path();
    ASSERT_NE(path, "/NO_DBUSMENU") << "the item exports no menu";
    EXPECT_FALSE(host->itemProperty(item, "ItemIsMenu").toBool()) << "a left click must still reach the item";
    TrayHost::MenuEntry menu = host->menu(item, path);
    for (const char* label : {"Check for Updates", "Quit kestr", "Desk"})
        EXPECT_NE(menu.find(label), nullptr) << label << " is not in the menu";
    const TrayHost::MenuEntry* preferences = menu.find("Preferences");
    ASSERT_NE(preferences, nullptr);
    EXPECT_NE(preferences->find("Dump Window List"), nullptr) << "submenus are exported with their entries";
    // The host shows the keys from the entry's shortcut, not a second time from its text.
    for (const TrayHost::MenuEntry* entry : menu.all())
        EXPECT_FALSE(entry->label.contains('\t')) << entry->label.toStdString();
    // ... by the names the desktop gives keys, which a GTK tray reads (not Qt's "Backspace", "=").
    const auto keysOf = [&](const QString& label) {
        for (const TrayHost::MenuEntry* entry : menu.all())
            if (entry->label.trimmed() == label) return entry->keys;
        return QList<QStringList>();
    };
    EXPECT_EQ(keysOf("Restore"), QList<QStringList>({{"Super", "Alt", "BackSpace"}}));
    EXPECT_EQ(keysOf("Make Larger"), QList<QStringList>({{"Super", "Alt", "equal"}}));
    EXPECT_EQ(keysOf("Make Smaller"), QList<QStringList>({{"Super", "Alt", "minus"}}));
    EXPECT_EQ(keysOf("Left Half"), QList<QStringList>({{"Super", "Alt", "Left"}}));

    // A kest added to the file shows in the menu the host reads.
    writeKests({"Desk", "Studio"});
    EXPECT_TRUE(pumpQtUntil([&] { return host->menu(item, path).find("Studio") != nullptr; }))
        << "the menu was not made again";

    // A host asking for the menu gets its answer at once; the menu opens by the pointer.
    fakeInput(connection(), session().root(), XCB_MOTION_NOTIFY, 0, 700, 300);
    QElapsedTimer clock;
    clock.start();
    const QDBusMessage shown = host->callItem(item, "ContextMenu", {700, 300});
    EXPECT_EQ(shown.type(), QDBusMessage::ReplyMessage) << shown.errorMessage().toStdString();
    EXPECT_LT(clock.elapsed(), 1500);
    ASSERT_TRUE(waitUntil([&] { return !kestrPopUps().empty(); })) << "no menu opened";
    ASSERT_TRUE(closePopUps());

    // A left click in the lower half of the display: the panel stands over the click.
    fakeInput(connection(), session().root(), XCB_MOTION_NOTIFY, 0, 1500, 950);
    const QDBusMessage activated = host->callItem(item, "Activate", {1500, 950});
    EXPECT_EQ(activated.type(), QDBusMessage::ReplyMessage) << activated.errorMessage().toStdString();
    ASSERT_TRUE(waitUntil([&] { return panelFrame().has_value(); })) << "no panel opened";
    const XRect panel = *panelFrame();
    EXPECT_EQ(panel.x, 1500 - 148) << toString(panel);
    EXPECT_EQ(panel.y + panel.height, 950) << toString(panel);
    ASSERT_TRUE(closePopUps());

    // The menu's entries work from the host: Quit ends kestr.
    menu = host->menu(item, path);
    const TrayHost::MenuEntry* quit = menu.find("Quit kestr");
    ASSERT_NE(quit, nullptr);
    host->clickMenuEntry(item, path, quit->id);
    ASSERT_TRUE(kestr->waitExit(kDeadlineSeconds)) << kestrLog();
    EXPECT_TRUE(WIFEXITED(*kestr->status()) && WEXITSTATUS(*kestr->status()) == 0) << kestrLog();
}

// The menu of kestr's item as a GTK tray draws it: libdbusmenu-gtk, as Xfce's panel uses
// it, driven by a script. It reports the rows after every opening and every new layout.
class GtkTrayMenu {
public:
    GtkTrayMenu(const std::string& display, const std::string& bus, const QString& item, const QString& path) {
        Subprocess::Spec spec;
        spec.arguments = {KESTR_GTK_TRAY_MENU, item.toStdString(), path.toStdString()};
        spec.environment = {{"DISPLAY", display}, {"DBUS_SESSION_BUS_ADDRESS", bus}};
        spec.pipeStdin = true;
        spec.pipeStdout = true;
        spec.logFile = "/dev/null";
        script_ = std::make_unique<Subprocess>(spec);
    }
    void open() { ASSERT_EQ(write(script_->stdinFd(), "\n", 1), 1); }
    // Every drawing reported so far: each row's depth, text and whether it is enabled.
    const std::vector<nlohmann::json>& drawings() {
        char buffer[65536];
        for (ssize_t n; (n = read(script_->stdoutFd(), buffer, sizeof buffer)) > 0;) pending_.append(buffer, n);
        for (std::size_t end; (end = pending_.find('\n')) != std::string::npos; pending_.erase(0, end + 1))
            drawings_.push_back(nlohmann::json::parse(pending_.substr(0, end)));
        return drawings_;
    }

private:
    std::unique_ptr<Subprocess> script_;
    std::string pending_;
    std::vector<nlohmann::json> drawings_;
};

// The rows of a drawing from "Apply Kest" to "Manage Kests…", each as read with the keys
// it shows: without the blanks before a kest's name and the marks that isolate it.
std::vector<std::string> kestRows(const nlohmann::json& rows) {
    std::vector<std::string> read;
    bool inKests = false;
    for (const auto& row : rows) {
        const QString text = QString::fromStdString(row[1].get<std::string>());
        inKests = inKests || text == "Apply Kest";
        if (!inKests) continue;
        const QString name = text.trimmed().remove(QChar(0x2068)).remove(QChar(0x2069));
        read.push_back(name.toStdString() + " " + row[3].get<std::string>());
        if (text.startsWith("Manage Kests")) break;
    }
    return read;
}

// Every row as it reads, in every drawing, at the first opening and after changes (the
// rows of the kests are off: the kests have no windows), and with the keys of its own.
TEST_F(X11TrayTest, AGtkTrayDrawsEveryRowLetterForLetterAtEveryOpening) {
    std::vector<std::string> names{"dev_work & mail", "__init__", "R&D", "a && b &", "_&_"};
    writeKests(names);
    const QString item = startKestr();
    ASSERT_FALSE(item.isEmpty()) << kestrLog();
    const QString path = host->itemProperty(item, "Menu").value<QDBusObjectPath>().path();
    GtkTrayMenu gtk(session().display(), bus->address(), item, path);
    std::set<std::string> everShown{"Apply Kest", "Save Current Arrangement as Kest…", "Manage Kests…"};
    std::vector<std::string> expected;
    // At the first opening, at a later one, and after the kests changed.
    for (const char* added : {"", "", "more_kests_"}) {
        if (*added) {
            names.push_back(added);
            writeKests(names);
        }
        expected = {"Apply Kest "};
        for (std::size_t i = 0; i < names.size(); ++i)
            expected.push_back(names[i] + " <Primary><Alt><Super>" + std::to_string(i + 1));
        expected.insert(expected.end(),
                        {"Save Current Arrangement as Kest… <Primary><Alt><Super>Return", "Manage Kests… "});
        everShown.insert(names.begin(), names.end());
        gtk.open();
        EXPECT_TRUE(pumpQtUntil([&] { return !gtk.drawings().empty() && kestRows(gtk.drawings().back()) == expected; }))
            << gtk.drawings().back().dump();
    }
    for (const auto& drawing : gtk.drawings()) {
        for (const std::string& row : kestRows(drawing))
            EXPECT_TRUE(everShown.contains(row.substr(0, row.rfind(' ')))) << "drawn as \"" << row << "\"";
    }
}

// What a tray drawing a D-Bus menu shows for a label: "__" is an "_", a single "_" marks
// the access key of the character after it and is not drawn. The word joiner and the
// marks that isolate a name are not drawn either.
QString drawnByADBusTray(const QString& label) {
    QString drawn;
    for (qsizetype i = 0; i < label.size(); ++i) {
        if (label[i] == '_' && i + 1 < label.size()) ++i;
        if (!QStringLiteral(u"\u2060\u2068\u2069").contains(label[i])) drawn += label[i];
    }
    return drawn.trimmed();
}

// Ten thousand kests: a tray reads the whole menu in one question and a GTK tray draws
// every kest, in order; kestr goes on, its item on the bus.
TEST_F(X11TrayTest, ATrayReadsAndDrawsTheWholeMenuOfTenThousandKests) {
    std::vector<std::string> names;
    for (int i = 0; i < 10000; ++i) names.push_back("Kest " + std::to_string(i));
    writeKests(names);
    const QString item = startKestr();
    ASSERT_FALSE(item.isEmpty()) << kestrLog();
    const QString path = host->itemProperty(item, "Menu").value<QDBusObjectPath>().path();
    const auto inOrder = [&](const std::vector<std::string>& read) {
        std::vector<std::string> kests;
        for (const std::string& row : read)
            if (row.rfind("Kest ", 0) == 0) kests.push_back(row);
        return kests == names;
    };

    std::vector<std::string> read;
    const TrayHost::MenuEntry menu = host->menu(item, path, {"label"}, 60000);
    for (const TrayHost::MenuEntry* entry : menu.all()) read.push_back(drawnByADBusTray(entry->label).toStdString());
    EXPECT_TRUE(inOrder(read)) << read.size() << " entries read";
    ASSERT_TRUE(kestr->running()) << kestrLog();
    EXPECT_EQ(host->itemProperty(item, "Title").toString(), "kestr");

    GtkTrayMenu gtk(session().display(), bus->address(), item, path);
    gtk.open();
    const auto drawn = [&] {
        if (gtk.drawings().empty()) return false;
        read.clear();
        for (const auto& row : gtk.drawings().back())
            read.push_back(drawnByADBusTray(QString::fromStdString(row[1].get<std::string>())).toStdString());
        return inOrder(read);
    };
    EXPECT_TRUE(pumpQtUntil(drawn, 120)) << read.size() << " rows drawn";
    ASSERT_TRUE(kestr->running()) << kestrLog();
    EXPECT_EQ(host->itemProperty(item, "Title").toString(), "kestr");
}

std::size_t residentKilobytes(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stoul(line.substr(6));
    return 0;
}

TEST_F(X11TrayTest, ADBusTrayDrawsKestNamesLetterForLetterAndOpeningsKeepNoMemory) {
    const std::vector<std::string> names{"my_kest_name", "__init__", "R&D", "a && b &", "_&_"};
    writeKests(names);
    // Memory freed is used again at once, so what stays held shows.
    extraEnvironment["ASAN_OPTIONS"] = "quarantine_size_mb=0:detect_leaks=1:abort_on_error=1";
    const QString item = startKestr();
    ASSERT_FALSE(item.isEmpty()) << kestrLog();
    const QString path = host->itemProperty(item, "Menu").value<QDBusObjectPath>().path();

    std::vector<std::string> drawn;
    const TrayHost::MenuEntry menu = host->menu(item, path);
    for (const TrayHost::MenuEntry* entry : menu.all()) {
        const QString shown = drawnByADBusTray(entry->label);
        if (std::find(names.begin(), names.end(), shown.toStdString()) != names.end())
            drawn.push_back(shown.toStdString());
    }
    EXPECT_EQ(drawn, names);

    // A tray asks for the menu at each opening; kestr makes it again each time.
    const auto open = [&](int times) {
        for (int i = 0; i < times; ++i) ASSERT_EQ(host->aboutToShow(item, path, 0).type(), QDBusMessage::ReplyMessage);
    };
    open(100);
    const std::size_t before = residentKilobytes(kestr->pid());
    open(500);
    EXPECT_LT(residentKilobytes(kestr->pid()), before + 5000) << "grew from " << before << " kB";
}

// A tray asks for the menu at each opening: it gets the same entries with the same ids
// until what the menu shows changes, memory stays flat, and every question is answered.
TEST_F(X11TrayTest, TheDBusMenuKeepsItsEntriesFromOpeningToOpeningAndAnswersEveryQuestion) {
    extraEnvironment["ASAN_OPTIONS"] = "quarantine_size_mb=0:detect_leaks=1:abort_on_error=1";
    const QString item = startKestr();
    ASSERT_FALSE(item.isEmpty()) << kestrLog();
    const QString path = host->itemProperty(item, "Menu").value<QDBusObjectPath>().path();
    const auto ids = [&] {
        std::vector<int> all;
        const TrayHost::MenuEntry menu = host->menu(item, path);
        for (const TrayHost::MenuEntry* entry : menu.all()) all.push_back(entry->id);
        return all;
    };
    const std::vector<int> first = ids();
    ASSERT_GT(first.size(), 40u);
    EXPECT_EQ(first.front(), 0);
    EXPECT_EQ(std::set<int>(first.begin(), first.end()).size(), first.size());
    EXPECT_TRUE(std::all_of(first.begin() + 1, first.end(), [](int id) { return id > 0; }));
    const auto open = [&](int times) {
        for (int i = 0; i < times; ++i) {
            const QDBusMessage reply = host->aboutToShow(item, path, 0);
            ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage);
            ASSERT_FALSE(reply.arguments().value(0).toBool()) << "nothing changed, yet an update was asked for";
        }
    };
    // Qt's caches fill during the first openings.
    open(1000);
    const std::size_t before = residentKilobytes(kestr->pid());
    open(2000);
    EXPECT_LT(residentKilobytes(kestr->pid()), before + 5000) << "grew from " << before << " kB";
    EXPECT_EQ(ids(), first);

    const TrayHost::MenuEntry menu = host->menu(item, path);
    const TrayHost::MenuEntry* quit = menu.find("Quit kestr");
    ASSERT_NE(quit, nullptr);
    const QDBusMessage label = host->callMenu(item, path, "GetProperty", {quit->id, QString("label")});
    ASSERT_EQ(label.type(), QDBusMessage::ReplyMessage) << label.errorMessage().toStdString();
    EXPECT_EQ(label.arguments().value(0).value<QDBusVariant>().variant().toString(), "Quit kestr");
    // The root's properties are the root's, no entry's.
    const QDBusMessage root =
        host->callMenu(item, path, "GetGroupProperties", {QVariant::fromValue(QList<int>{0}), QStringList()});
    ASSERT_EQ(root.type(), QDBusMessage::ReplyMessage) << root.errorMessage().toStdString();
    const QDBusArgument found = root.arguments().value(0).value<QDBusArgument>();
    std::vector<std::pair<int, QStringList>> entries;
    found.beginArray();
    while (!found.atEnd()) {
        int id = -1;
        QVariantMap properties;
        found.beginStructure();
        found >> id >> properties;
        found.endStructure();
        entries.emplace_back(id, properties.keys());
    }
    found.endArray();
    EXPECT_EQ(entries, (std::vector<std::pair<int, QStringList>>{{0, {"children-display"}}}));

    // A change is a new layout; entries above the change keep their ids.
    writeKests({"Desk", "Studio"});
    ASSERT_TRUE(pumpQtUntil([&] { return host->menu(item, path).find("Studio") != nullptr; }));
    const std::vector<int> changed = ids();
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + 5, changed.begin()));
}

// The menu as a tray reads it: each entry's id and label.
std::vector<std::pair<int, QString>> shownEntries(const TrayHost::MenuEntry& menu) {
    std::vector<std::pair<int, QString>> shown;
    for (const TrayHost::MenuEntry* entry : menu.all()) shown.emplace_back(entry->id, entry->label);
    return shown;
}

// A call as any program on the bus can make it, its arguments of any types (GVariant's
// text form): the name of the error it is answered with, "" for a reply.
std::string anyCall(GDBusConnection* bus, const QString& service, const char* path, const char* interface,
                    const char* method, const char* arguments) {
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(bus, service.toUtf8().constData(), path, interface, method,
                                                  g_variant_new_parsed(arguments), nullptr, G_DBUS_CALL_FLAGS_NONE,
                                                  5000, nullptr, &error);
    if (reply) g_variant_unref(reply);
    if (!error) return "";
    gchar* remote = g_dbus_error_get_remote_error(error);
    const std::string name = remote ? remote : error->message;
    g_free(remote);
    g_error_free(error);
    return name;
}

// Any program on the session bus can call kestr's item and menu: calls of arguments of
// the wrong types, too few or too many are answered with an error, numbers at their ends
// are taken, and kestr goes on with its menu as it was. A property an entry leaves out
// reads as its default.
TEST_F(X11TrayTest, TheItemAndItsMenuAnswerEveryCallAndWrongArgumentsWithAnError) {
    const QString item = startKestr();
    ASSERT_FALSE(item.isEmpty()) << kestrLog();
    const QString path = host->itemProperty(item, "Menu").value<QDBusObjectPath>().path();
    const auto before = shownEntries(host->menu(item, path));
    ASSERT_GT(before.size(), 40u);
    GError* error = nullptr;
    GDBusConnection* other =
        g_dbus_connection_new_for_address_sync(bus->address().c_str(),
                                               GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                                    G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                                               nullptr, nullptr, &error);
    ASSERT_NE(other, nullptr) << error->message;

    const char* const menu = "com.canonical.dbusmenu";
    const char* const sni = "org.kde.StatusNotifierItem";
    const char* const properties = "org.freedesktop.DBus.Properties";
    const std::string invalid = "org.freedesktop.DBus.Error.InvalidArgs";
    const std::string unknownInterface = "org.freedesktop.DBus.Error.UnknownInterface";
    const std::string unknownMethod = "org.freedesktop.DBus.Error.UnknownMethod";
    struct Call {
        bool toMenu;
        const char* interface;
        const char* method;
        const char* arguments;
        std::string answer;
    };
    const Call calls[] = {
        {true, menu, "EventGroup", "(@ai [1],)", invalid},
        {true, menu, "EventGroup", "(@a(ii) [(1, 2)],)", invalid},
        {true, menu, "EventGroup", "(@a(isiu) [(1, 'clicked', 0, @u 0)],)", invalid},
        {true, menu, "EventGroup", "(@a(s) [('clicked',)],)", invalid},
        {true, menu, "EventGroup", "()", invalid},
        {true, menu, "EventGroup", "(@a(isvu) [], 1)", invalid},
        {true, menu, "EventGroup", "(@a(isvu) [(-2147483648, 'clicked', <0>, @u 4294967295)],)", ""},
        {true, menu, "GetGroupProperties", "(@a(ii) [(1, 2)], @as [])", invalid},
        {true, menu, "GetGroupProperties", "(@av [<1>], @as [])", invalid},
        {true, menu, "GetGroupProperties", "(@ai [1],)", invalid},
        {true, menu, "GetGroupProperties", "(@ai [-2147483648, 2147483647], @as ['label'])", ""},
        {true, menu, "AboutToShowGroup", "(@a(s) [('x',)],)", invalid},
        {true, menu, "AboutToShowGroup", "(@ai [], @ai [])", invalid},
        {true, menu, "AboutToShowGroup", "(@ai [-2147483648, 2147483647],)", ""},
        {true, menu, "GetLayout", "(0, -1)", invalid},
        {true, menu, "GetLayout", "('0', -1, @as [])", invalid},
        {true, menu, "GetLayout", "(0, -1, @as [], 0)", invalid},
        {true, menu, "GetLayout", "(0, -2147483648, @as [])", ""},
        {true, menu, "GetLayout", "(0, 2147483647, @as ['label'])", ""},
        {true, menu, "GetLayout", "(-2147483648, 0, @as [])", invalid},
        {true, menu, "GetLayout", "(2147483647, -1, @as [])", invalid},
        {true, menu, "GetProperty", "(0,)", invalid},
        {true, menu, "GetProperty", "(@u 0, 'label')", invalid},
        {true, menu, "GetProperty", "(0, 'label', 'label')", invalid},
        {true, menu, "GetProperty", "(-2147483648, 'label')", invalid},
        {true, menu, "Event", "(0, 'clicked', 0, @u 0)", invalid},
        {true, menu, "Event", "(0, 'clicked', <0>)", invalid},
        {true, menu, "Event", "(2147483647, 'clicked', <0>, @u 0)", invalid},
        {true, menu, "AboutToShow", "()", invalid},
        {true, menu, "AboutToShow", "('0',)", invalid},
        {true, menu, "AboutToShow", "(0, 0)", invalid},
        {true, menu, "AboutToShow", "(-2147483648,)", invalid},
        {true, menu, "Undone", "()", unknownMethod},
        {true, "org.example.Nothing", "GetLayout", "(0, -1, @as [])", unknownInterface},
        {true, "org.freedesktop.DBus.Introspectable", "Introspect", "(1,)", "org.freedesktop.DBus.Error.UnknownMethod"},
        {true, properties, "Get", "('com.canonical.dbusmenu',)", invalid},
        {true, properties, "Get", "(1, 'Version')", invalid},
        {true, properties, "Get", "('com.canonical.dbusmenu', 'Version')", ""},
        {true, properties, "GetAll", "()", invalid},
        {true, properties, "GetAll", "(@as [],)", invalid},
        {true, properties, "GetAll", "('org.example.Nothing',)", unknownInterface},
        {true, properties, "GetAll", "('org.kde.StatusNotifierItem',)", unknownInterface},
        {true, properties, "GetAll", "('',)", ""},
        {true, properties, "Get", "('org.kde.StatusNotifierItem', 'Version')", unknownInterface},
        {true, properties, "Undone", "('com.canonical.dbusmenu',)", unknownMethod},
        {true, properties, "Set", "('com.canonical.dbusmenu', 'Version', <@u 4>)", invalid},
        {true, properties, "Set", "('com.canonical.dbusmenu', 'Version')", invalid},
        {false, sni, "Activate", "('1', 2)", invalid},
        {false, sni, "Activate", "(1,)", invalid},
        {false, sni, "ContextMenu", "(1, 2, 3)", invalid},
        {false, sni, "ContextMenu", "(@u 1, @u 2)", invalid},
        {false, sni, "SecondaryActivate", "(1,)", invalid},
        {false, sni, "SecondaryActivate", "(-2147483648, 2147483647)", ""},
        {false, sni, "Scroll", "(1, 2)", invalid},
        {false, sni, "Scroll", "(2147483647, 'vertical')", ""},
        {false, properties, "Get", "('org.kde.StatusNotifierItem', 'IconPixmap', 1)", invalid},
        {false, properties, "GetAll", "(1,)", invalid},
        {false, properties, "GetAll", "('com.canonical.dbusmenu',)", unknownInterface},
        {false, properties, "GetAll", "('org.kde.StatusNotifierItem',)", ""},
        {false, sni, "Undone", "(1, 2)", unknownMethod},
        {false, properties, "Set", "('org.kde.StatusNotifierItem', 'Title', <'x'>)", invalid},
        {false, properties, "Set", "(1, 2, 3)", invalid},
    };
    for (const Call& call : calls) {
        const std::string answer = anyCall(other, item, call.toMenu ? "/MenuBar" : "/StatusNotifierItem",
                                           call.interface, call.method, call.arguments);
        EXPECT_EQ(answer, call.answer) << call.method << call.arguments;
        ASSERT_TRUE(kestr->running()) << call.method << call.arguments << " ended kestr\n" << kestrLog();
    }
    // One entry asked for a million and a half times (6 MB) is answered once, not in a
    // reply past what a message may carry.
    std::vector<gint32> sameEntry(1'500'000, 0);
    GVariant* many =
        g_variant_new_fixed_array(G_VARIANT_TYPE_INT32, sameEntry.data(), sameEntry.size(), sizeof(gint32));
    GVariant* group =
        g_dbus_connection_call_sync(other, item.toUtf8().constData(), "/MenuBar", menu, "GetGroupProperties",
                                    g_variant_new("(@ai@as)", many, g_variant_new_strv(nullptr, 0)),
                                    G_VARIANT_TYPE("(a(ia{sv}))"), G_DBUS_CALL_FLAGS_NONE, 60000, nullptr, &error);
    ASSERT_NE(group, nullptr) << error->message << "\n" << kestrLog();
    GVariant* entries = g_variant_get_child_value(group, 0);
    EXPECT_EQ(g_variant_n_children(entries), 1u);
    g_variant_unref(entries);
    g_variant_unref(group);
    ASSERT_TRUE(kestr->running()) << kestrLog();
    // Each object describes the methods it takes with their types.
    for (const auto& [object, method, types] :
         {std::tuple{"/MenuBar", "GetLayout", "i i as > u (ia{sv}av)"},
          std::tuple{"/StatusNotifierItem", "Scroll", "i s >"}}) {
        GVariant* xml = g_dbus_connection_call_sync(other, item.toUtf8().constData(), object,
                                                    "org.freedesktop.DBus.Introspectable", "Introspect", nullptr,
                                                    G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
        ASSERT_NE(xml, nullptr) << object;
        const gchar* text = nullptr;
        g_variant_get(xml, "(&s)", &text);
        GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(text, nullptr);
        ASSERT_NE(node, nullptr) << text;
        std::string described;
        for (GDBusInterfaceInfo** interface = node->interfaces; *interface; ++interface) {
            if (GDBusMethodInfo* info = g_dbus_interface_info_lookup_method(*interface, method)) {
                for (GDBusArgInfo** arg = info->in_args; arg && *arg; ++arg) described += (*arg)->signature + std::string(" ");
                described += ">";
                for (GDBusArgInfo** arg = info->out_args; arg && *arg; ++arg) described += std::string(" ") + (*arg)->signature;
            }
        }
        EXPECT_EQ(described, types) << text;
        g_dbus_node_info_unref(node);
        g_variant_unref(xml);
    }
    g_object_unref(other);
    EXPECT_EQ(shownEntries(host->menu(item, path)), before);
    EXPECT_EQ(host->itemProperty(item, "Title").toString(), "kestr");

    // What an entry does not set reads as its default.
    const TrayHost::MenuEntry after = host->menu(item, path);
    ASSERT_NE(after.find("Quit kestr"), nullptr);
    const int quit = after.find("Quit kestr")->id;
    for (const auto& [name, value] : std::vector<std::pair<QString, QVariant>>{
             {"enabled", true}, {"visible", true}, {"type", QString("standard")}, {"toggle-state", -1}}) {
        const QDBusMessage read = host->callMenu(item, path, "GetProperty", {quit, name});
        ASSERT_EQ(read.type(), QDBusMessage::ReplyMessage)
            << name.toStdString() << ": " << read.errorMessage().toStdString();
        EXPECT_EQ(read.arguments().value(0).value<QDBusVariant>().variant(), value) << name.toStdString();
    }
}

// A panel restarted in place (the watcher's name passes to the new one in one step)
// gets the item. One that never answers whether it has a host holds nothing of kestr's
// up: it still answers a tray at once.
TEST_F(X11TrayTest, ATrayReplacedInOneStepGetsTheItemAndOneThatHangsHoldsNothingUp) {
    ASSERT_FALSE(startKestr().isEmpty()) << kestrLog();
    auto replacing = std::make_unique<TrayHost>(bus->address());
    host.reset();
    ASSERT_TRUE(pumpQtUntil([&] { return !replacing->items().isEmpty(); })) << "the new tray never got the item";
    const QString item = replacing->items().back();

    auto hanging = std::make_unique<TrayHost>(bus->address());
    hanging->stopAnswering();
    replacing.reset();
    ASSERT_TRUE(pumpQtUntil([&] { return hanging->hostQuestions() > 0; }));
    const QDBusMessage answer = hanging->callMenu(item, "/MenuBar", "AboutToShow", {0}, 1000);
    EXPECT_EQ(answer.type(), QDBusMessage::ReplyMessage) << answer.errorMessage().toStdString();
}

// A panel that hangs, replaced by one that works: the question the hanging one held,
// answered last (as its time-out would be), counts for nothing; the item stays in the
// working tray. (kestr hears the late answer before the question it asks next.)
TEST_F(X11TrayTest, AnAnswerOfATrayThatWasReplacedCountsForNothing) {
    extraEnvironment["KESTR_LOG_STDERR"] = "1";
    ASSERT_FALSE(startKestr().isEmpty()) << kestrLog();
    auto hanging = std::make_unique<TrayHost>(bus->address());
    hanging->stopAnswering();
    host.reset();
    ASSERT_TRUE(pumpQtUntil([&] { return hanging->hostQuestions() > 0; }));
    auto working = std::make_unique<TrayHost>(bus->address());
    hanging->giveUpName();
    ASSERT_TRUE(pumpQtUntil([&] { return !working->items().isEmpty(); })) << kestrLog();
    const QString item = working->items().front();
    const int questions = working->hostQuestions();

    working->stopAnswering();
    hanging->answerLate();
    ASSERT_TRUE(pumpQtUntil([&] { return working->hostQuestions() > questions; })) << kestrLog();
    EXPECT_EQ(kestrLog().find("no system tray"), std::string::npos) << kestrLog();
    const QDBusMessage scrolled = working->callItem(item, "Scroll", {1, QString("vertical")});
    EXPECT_EQ(scrolled.type(), QDBusMessage::ReplyMessage) << scrolled.errorMessage().toStdString();
    EXPECT_EQ(working->items(), QStringList{item});
}

// A panel that starts after kestr (a login's autostart racing it, a restart): kestr moves
// its item into the tray and drops its own button window, which comes back when the tray
// goes. A D-Bus tray, restarted once, then an XEmbed tray.
TEST_F(X11TrayTest, ATrayThatComesAfterKestrGetsTheItemAndTheButtonWindowComesBackWhenItGoes) {
    bus = std::make_unique<SessionBus>();
    launch(bus->address());
    ASSERT_TRUE(waitUntil([&] { return ownButtonShown(); }, 30)) << kestrLog();
    for (int start = 0; start < 2; ++start) {
        host = std::make_unique<TrayHost>(bus->address());
        EXPECT_TRUE(pumpQtUntil([&] { return !host->items().isEmpty() && !ownButtonShown(); }))
            << "start " << start << ": " << host->items().size() << " items, own button " << ownButtonShown() << "\n"
            << kestrLog();
        host.reset();
        EXPECT_TRUE(pumpQtUntil([&] { return ownButtonShown(); })) << "start " << start;
    }
    kestr.reset();
    launch("unix:path=/nonexistent-kestr-test-bus");
    ASSERT_TRUE(waitUntil([&] { return ownButtonShown(); }, 30)) << kestrLog();
    auto tray = std::make_unique<XEmbedTray>(session().display(), XRect{3000, 1040, 60, 30},
                                             std::array<std::uint16_t, 3>{0xFFFF, 0, 0});
    EXPECT_TRUE(waitUntil([&] {
        tray->handleEvents();
        return tray->icon() != 0 && !ownButtonShown();
    }));
    tray.reset();
    EXPECT_TRUE(waitUntil([&] { return ownButtonShown(); }));
}

// A strip counts only while a window keeps it: kestr started before its tray keeps the top
// of the screen for its own button until the button goes into the tray, and from then on
// a kest takes that room again; while the tray is gone, the button's strip counts again.
// The kest is applied by its shortcut; each press may meet kestr still taking in the
// change, so it is pressed again until the window is placed or the deadline passes.
TEST_F(X11TrayTest, TheButtonsStripCountsOnlyWhileItsWindowShows) {
    Subprocess::Spec dumpSpec;
    dumpSpec.arguments = {KESTR_BINARY, "--dump"};
    dumpSpec.environment = {{"HOME", home}, {"DISPLAY", session().display()}, {"KESTR_DESKTOP", std::nullopt}};
    dumpSpec.logFile = home + "/dump.txt";
    ASSERT_TRUE(Subprocess(dumpSpec).waitExit(30));
    std::ifstream dumped(dumpSpec.logFile);
    const std::string dump(std::istreambuf_iterator<char>(dumped), {});
    const std::size_t uuid = dump.find("uuid=");
    ASSERT_NE(uuid, std::string::npos) << dump;
    const std::string file = home + "/.local/share/kestr/layouts.json";
    std::ofstream(file)
        << R"({"version":1,"layouts":[{"createdAt":"2026-12-07T00:00:00Z","updatedAt":"2026-12-07T00:00:00Z",)"
           R"("edgeGroups":[],"id":"EAD9EC86-D4FB-4724-BF32-29075E0CF857","name":"Strip","items":[{)"
           R"("appBundleID":"KestrStrip","appName":"Strip","launchIfMissing":false,)"
           R"("id":"A7A179AB-78A1-49F5-9101-285D7CC5CAF5","targetFrame":{"displayUUID":")" +
               dump.substr(uuid + 5, 36) +
               R"(","x":0,"y":0,"width":960,"height":1050},"windowMatcher":{"type":"firstWindow"}}]}]})";
    ClientOptions options;
    options.title = "strip";
    options.wmClass = "KestrStrip";
    options.geometry = ClientGeometry{300, 300, 400, 300};
    const xcb_window_t window = spawn(options).window();
    extraEnvironment["KESTR_LOG_STDERR"] = "1";
    launch("unix:path=/nonexistent-kestr-test-bus");
    ASSERT_TRUE(waitUntil([&] { return ownButtonShown() && kestrLog().find("hotkeys registered") != std::string::npos; },
                          30))
        << kestrLog();
    const auto workAreaTop = [&] { return property32(connection(), session().root(), "_NET_WORKAREA").value_or(
                                           std::vector<std::uint32_t>{0, 0}).at(1); };
    const xcb_keycode_t keys[] = {keycodeOf(connection(), XK_Control_L), keycodeOf(connection(), XK_Alt_L),
                                  keycodeOf(connection(), XK_Super_L), keycodeOf(connection(), XK_1)};
    const auto appliedTo = [&](const XRect& expected) {
        for (int press = 0; press < 3; ++press) {
            for (const xcb_keycode_t key : keys) fakeInput(connection(), session().root(), XCB_KEY_PRESS, key);
            for (const xcb_keycode_t key : keys) fakeInput(connection(), session().root(), XCB_KEY_RELEASE, key);
            xcb_flush(connection());
            if (waitUntil([&] { return frameOf(connection(), window) == expected; }, 5)) return true;
        }
        return false;
    };
    // A tray that comes after kestr, and one that leaves and comes back.
    for (int start = 0; start < 2; ++start) {
        auto tray = std::make_unique<XEmbedTray>(session().display(), XRect{3000, 1040, 60, 30},
                                                 std::array<std::uint16_t, 3>{0xFFFF, 0, 0});
        ASSERT_TRUE(waitUntil([&] {
            tray->handleEvents();
            return tray->icon() != 0 && !ownButtonShown() && workAreaTop() == 0;
        })) << "start " << start;
        EXPECT_TRUE(appliedTo(XRect{0, 0, 960, 1050})) << "start " << start << ": " << toString(*frameOf(connection(), window))
                                                       << "\n" << kestrLog();
        tray.reset();
        ASSERT_TRUE(waitUntil([&] { return ownButtonShown() && workAreaTop() == 22; })) << "start " << start;
        EXPECT_TRUE(appliedTo(XRect{0, 22, 960, 1028})) << "start " << start << ": "
                                                       << toString(*frameOf(connection(), window));
    }
}

TEST_F(X11TrayTest, AnXEmbedTrayAtTheBottomGetsTheIconInItsColoursAndThePanelOverTheIcon) {
    // A black tray at the bottom right whose icons are red.
    XEmbedTray tray(session().display(), XRect{3000, 1040, 60, 30}, {0xFFFF, 0, 0});
    launch("unix:path=/nonexistent-kestr-test-bus");
    ASSERT_TRUE(waitUntil(
        [&] {
            tray.handleEvents();
            return tray.icon() != 0;
        },
        30))
        << "kestr never docked\n"
        << kestrLog();
    const XRect icon{3004, 1044, 22, 22};
    const auto red = [&] {
        int n = 0;
        for (std::uint32_t p : screenPixels(icon))
            if ((p >> 16) > 150 && ((p >> 8) & 0xFF) < 80 && (p & 0xFF) < 80) ++n;
        return n;
    };
    EXPECT_TRUE(waitUntil([&] { return red() >= 10; })) << "the icon is not in the tray's colour";

    fakeClick(connection(), session().root(), icon.x + 11, icon.y + 11);
    ASSERT_TRUE(waitUntil([&] { return panelFrame().has_value(); })) << "no panel opened";
    const XRect panel = *panelFrame();
    EXPECT_EQ(panel.y + panel.height, icon.y) << "not over the icon: " << toString(panel);
    EXPECT_EQ(panel.x, icon.x + 11 - 148) << toString(panel);
    ASSERT_TRUE(closePopUps());

    // A right click opens kestr's menu by the icon.
    fakeInput(connection(), session().root(), XCB_MOTION_NOTIFY, 0, icon.x + 11, icon.y + 11);
    fakeInput(connection(), session().root(), XCB_BUTTON_PRESS, 3);
    fakeInput(connection(), session().root(), XCB_BUTTON_RELEASE, 3);
    EXPECT_TRUE(waitUntil([&] { return !kestrPopUps().empty(); })) << "no menu opened";
    EXPECT_TRUE(closePopUps());
}

}  // namespace
}  // namespace kestr::x11test
