#include "integration/system_battery_menu_hider.h"
#include "platform/defaults.h"
#include "platform/linux/plasma_battery_applet.h"
#include "platform/system_backends.h"
#include "platform/system_battery_item.h"
#include "platform/tool_runner.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"
#include "support/test_files.h"
#include "settle_queue.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDir>
#include <QJSEngine>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

using namespace std::chrono_literals;

namespace {

using Hider = SystemBatteryMenuHider;

// The hider on one desktop's real switch, with settings of its own.
struct DesktopHider
{
    explicit DesktopHider(const QString &desktop, const QString &configHome)
        : item(makeSystemBatteryItem(ToolRunner::system(), {desktop}, QDBusConnection::sessionBus(), configHome))
    {
    }

    void launchThenSwitchOff()
    {
        hider.launch();
        settle(queue);
        hiddenValue = item->readBatteryMenuValue();
        hider.setEnabled(false);
        settle(queue);
    }

    QTemporaryDir dir;
    Defaults defaults{dir.filePath(QStringLiteral("defaults.json"))};
    std::unique_ptr<SystemBatteryItem> item;
    SerialQueue queue{"pendrapro.systemBattery.test"};
    Hider hider{defaults, *item, queue};
    std::optional<int> hiddenValue;
};

TEST(DesktopBatterySwitches, EachDesktopGetsItsOwnSwitch)
{
    const auto kindFor = [](const char *desktop) {
        return makeSystemBatteryItem(ToolRunner::system(), {QString::fromLatin1(desktop)},
                                     QDBusConnection::sessionBus(), QDir::tempPath())
            ->kind();
    };
    EXPECT_EQ(kindFor("GNOME"), SystemBatterySwitch::gnomePercentage);
    EXPECT_EQ(kindFor("KDE"), SystemBatterySwitch::plasmaBatteryApplet);
    EXPECT_EQ(kindFor("XFCE"), SystemBatterySwitch::xfcePowerManagerIcon);
    EXPECT_EQ(kindFor("LXQt"), SystemBatterySwitch::lxqtPowerManagementIcon);
    EXPECT_EQ(kindFor("sway"), SystemBatterySwitch::none);
}

// ---- XFCE: the real xfconfd on this test's private bus, keeping its
// channels below a folder of the test's own.
class RealXfconfTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        daemon.setProcessEnvironment(environment);
        daemon.start(QStringLiteral("/usr/lib/x86_64-linux-gnu/xfce4/xfconf/xfconfd"), {});
        ASSERT_TRUE(daemon.waitForStarted());
        ASSERT_TRUE(spinUntil([] {
            return QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.xfce.Xfconf")).value();
        }));
    }
    void TearDown() override
    {
        daemon.terminate();
        daemon.waitForFinished();
    }

    // xfconf-query on the tray icon property, with `more` arguments.
    std::optional<QString> queryTrayIcon(const QStringList &more = {})
    {
        const QStringList property{QStringLiteral("-c"), QStringLiteral("xfce4-power-manager"), QStringLiteral("-p"),
                                   QStringLiteral("/xfce4-power-manager/show-tray-icon")};
        return ToolRunner::system().run(QStringLiteral("xfconf-query"), property + more, 5s);
    }
    QString trayIcon() { return queryTrayIcon().value_or(QStringLiteral("(unreadable)")).trimmed(); }
    void setTrayIcon(const char *value)
    {
        queryTrayIcon({QStringLiteral("-n"), QStringLiteral("-t"), QStringLiteral("bool"), QStringLiteral("-s"),
                       QString::fromLatin1(value)});
    }

    QTemporaryDir config;
    QProcess daemon;
};

// An icon the user never set ("": the tool prints nothing) is left unset again.
TEST_F(RealXfconfTest, HidesThePowerManagerIconAndPutsBackTheUsersValueOrNone)
{
    for (const char *users : {"", "true", "false"}) {
        SCOPED_TRACE(users);
        if (*users)
            setTrayIcon(users);
        ASSERT_EQ(trayIcon(), QString::fromLatin1(users));
        DesktopHider desktop(QStringLiteral("XFCE"), config.path());
        desktop.launchThenSwitchOff();
        EXPECT_EQ(desktop.hiddenValue, 8);
        EXPECT_EQ(trayIcon(), QString::fromLatin1(users));
    }
}

// ---- LXQt: its settings file in a folder of the test's own.
TEST(LxqtPowerManagementIcon, HidesTheIconAndPutsBackExactlyWhatTheFileHad)
{
    QTemporaryDir config;
    const QString path = config.filePath(QStringLiteral("lxqt/lxqt-powermanagement.conf"));
    const QByteArray shown = "[General]\nlidClosedAction=1\nshowIcon=true\n";
    const QByteArray unset = "[General]\nlidClosedAction=1\n";
    for (const QByteArray &users : {shown, unset}) {
        SCOPED_TRACE(users.constData());
        writeFile(path, users);
        DesktopHider desktop(QStringLiteral("LXQt"), config.path());
        desktop.launchThenSwitchOff();
        EXPECT_EQ(desktop.hiddenValue, 8);
        EXPECT_EQ(readFile(path), users);
    }
}

// ---- Plasma: plasmashell's scripting call, answered on this test's bus by
// a JavaScript engine holding one panel with one system tray. Like the
// shell, it hands list entries back as comma-separated text, takes the
// inner containment's id as a number, and answers with what was printed.
class FakePlasmaShell final : public QDBusVirtualObject
{
public:
    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (message.member() != QLatin1String("evaluateScript") || message.arguments().size() != 1)
            return false;
        QMutexLocker lock(&m_mutex);
        QJSEngine engine;
        engine.evaluate(QStringLiteral("var __state = %1;").arg(QString::fromUtf8(
            QJsonDocument(QJsonObject::fromVariantMap(m_state)).toJson(QJsonDocument::Compact))));
        const QJSValue result = engine.evaluate(QString::fromUtf8(kShellApi) + message.arguments().constFirst().toString());
        if (result.isError()) {
            connection.send(message.createErrorReply(QDBusError::Failed, result.toString()));
            return true;
        }
        m_state = QJsonDocument::fromJson(engine.evaluate(QStringLiteral("JSON.stringify(__state)")).toString().toUtf8())
                      .object()
                      .toVariantMap();
        connection.send(message.createReply(engine.evaluate(QStringLiteral("__printed.join('\\n')")).toString()));
        return true;
    }

    void setTray(const QString &hidden, const QString &shown)
    {
        QMutexLocker lock(&m_mutex);
        m_state = {{QStringLiteral("hiddenItems"), hidden}, {QStringLiteral("shownItems"), shown},
                   {QStringLiteral("reloads"), 0}};
    }
    QVariantMap tray() const
    {
        QMutexLocker lock(&m_mutex);
        return m_state;
    }

private:
    static constexpr const char *kShellApi = R"JS(
var __printed = [];
function print(text) { __printed.push(String(text)); }
function desktops() { return []; }
function panels() {
    return [{ widgets: function (type) {
        return type === "org.kde.plasma.systemtray"
            ? [{ readConfig: function (key) { return key === "SystrayContainmentId" ? "8" : undefined; } }] : [];
    } }];
}
function desktopById(id) {
    if (id !== 8) return undefined;
    return {
        currentConfigGroup: [],
        readConfig: function (key) { return this.currentConfigGroup.join("/") === "General" ? __state[key] : undefined; },
        writeConfig: function (key, value) {
            if (this.currentConfigGroup.join("/") === "General")
                __state[key] = Array.isArray(value) ? value.join(",") : String(value);
        },
        reloadConfig: function () { __state.reloads += 1; }
    };
}
)JS";

    mutable QMutex m_mutex;
    QVariantMap m_state;
};

class FakePlasmaShellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Its own thread: the item calls from the hider's queue while the
        // main thread waits for that queue.
        shell.moveToThread(&thread);
        thread.start();
        ASSERT_TRUE(bus.registerVirtualObject(QStringLiteral("/PlasmaShell"), &shell));
        ASSERT_TRUE(bus.registerService(QStringLiteral("org.kde.plasmashell")));
    }
    void TearDown() override
    {
        bus.unregisterObject(QStringLiteral("/PlasmaShell"));
        thread.quit();
        thread.wait();
        QDBusConnection::disconnectFromBus(QStringLiteral("fakePlasmaShell"));
    }

    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fakePlasmaShell"));
    QThread thread;
    FakePlasmaShell shell;
};

TEST_F(FakePlasmaShellTest, HidesTheBatteryAppletAndPutsBackOnlyItsOwnEntry)
{
    const QString clipboard = QStringLiteral("org.kde.plasma.clipboard");
    const QString network = QStringLiteral("org.kde.plasma.networkmanagement");
    const QString battery = QStringLiteral("org.kde.plasma.battery");
    const auto list = [](std::initializer_list<QString> entries) { return QStringList(entries).join(QLatin1Char(',')); };
    struct Case
    {
        QString hidden, shown;
        int remembered;
    };
    const Case cases[] = {
        {clipboard, list({network, battery}), 19}, // always shown
        {clipboard, network, 18},                  // shown when it has something to say
        {list({clipboard, battery}), network, 8},  // hidden by the user
    };
    for (const Case &users : cases) {
        SCOPED_TRACE(users.hidden.toStdString() + " / " + users.shown.toStdString());
        shell.setTray(users.hidden, users.shown);
        DesktopHider desktop(QStringLiteral("KDE"), QDir::tempPath());
        desktop.hider.launch();
        settle(desktop.queue);
        EXPECT_EQ(shell.tray().value(QStringLiteral("hiddenItems")).toString(), list({clipboard, battery}));
        EXPECT_EQ(shell.tray().value(QStringLiteral("shownItems")).toString(), network);
        // The tray follows at once, and only when something changed.
        EXPECT_EQ(shell.tray().value(QStringLiteral("reloads")).toInt(), users.remembered == 8 ? 0 : 1);
        EXPECT_EQ(desktop.defaults.intValue(Hider::kSavedValueKey), users.remembered);

        desktop.hider.setEnabled(false);
        settle(desktop.queue);
        EXPECT_EQ(shell.tray().value(QStringLiteral("hiddenItems")).toString(), users.hidden);
        EXPECT_EQ(shell.tray().value(QStringLiteral("shownItems")).toString(), users.shown);
    }
}

TEST_F(FakePlasmaShellTest, WithoutTheShellNothingIsRead)
{
    bus.unregisterService(QStringLiteral("org.kde.plasmashell"));
    EXPECT_EQ(PlasmaBatteryApplet(QDBusConnection::sessionBus()).readBatteryMenuValue(), std::nullopt);
}

} // namespace
