#include "platform/linux/dbusmenu_exporter.h"

#include "support/bus_peer.h"
#include "support/event_loop.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QMenu>

#include <algorithm>

namespace {

// Records the exporter's signals as a host receives them.
class SignalRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QDBusMessage> messages;
    int count(const QString &member) const
    {
        return static_cast<int>(std::count_if(messages.cbegin(), messages.cend(),
                                               [&](const QDBusMessage &m) { return m.member() == member; }));
    }

public slots:
    void received(const QDBusMessage &message) { messages << message; }
};

const QString kPath = QStringLiteral("/MenuBar");
const QString kInterface = QStringLiteral("com.canonical.dbusmenu");

// A host's view of the menu: calls go out on the test's own connection to an
// exporter that serves from a second connection of the same process.
struct DbusMenuFixture : ::testing::Test
{
    DbusMenuFixture()
    {
        full = menu.addAction(QStringLiteral("Full Window"), [this] { ++fullWindowOpened; });
        menu.addSeparator();
        percent = menu.addAction(QStringLiteral("Show &Percent"));
        percent->setCheckable(true);
        QAction *quit = menu.addAction(QStringLiteral("Quit Pendra Pro"));
        quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
        exporter = std::make_unique<DbusMenuExporter>(exporterBus.bus(), kPath, &menu);
    }

    QDBusMessage call(const QString &method, const QVariantList &arguments)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(exporterBus.bus().baseService(), kPath, kInterface, method);
        message.setArguments(arguments);
        QDBusPendingCall pending = QDBusConnection::sessionBus().asyncCall(message);
        EXPECT_TRUE(spinUntil([&] { return pending.isFinished(); }));
        return pending.reply();
    }

    DbusMenuLayout layout()
    {
        const QDBusMessage reply = call(QStringLiteral("GetLayout"), {0, -1, QStringList()});
        DbusMenuLayout root;
        if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 2)
            reply.arguments().at(1).value<QDBusArgument>() >> root;
        return root;
    }

    BusPeer exporterBus{QStringLiteral("dbusmenu-test")};
    QMenu menu;
    QAction *full = nullptr;
    QAction *percent = nullptr;
    int fullWindowOpened = 0;
    std::unique_ptr<DbusMenuExporter> exporter;
};

} // namespace

TEST(DbusMenuLabel, QtMnemonicsBecomeUnderscores)
{
    const struct
    {
        QString qt, dbusmenu;
    } cases[] = {
        {QStringLiteral("&Quit"), QStringLiteral("_Quit")},
        {QStringLiteral("Save && Quit"), QStringLiteral("Save & Quit")},
        {QStringLiteral("snake_case"), QStringLiteral("snake__case")},
        {QStringLiteral("Trailing&"), QStringLiteral("Trailing")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(dbusMenuLabel(c.qt), c.dbusmenu) << c.qt.toStdString();
}

TEST_F(DbusMenuFixture, LayoutListsLabelsSeparatorsTogglesAndShortcuts)
{
    ASSERT_TRUE(exporter->isExported()) << "run under dbus-run-session";
    const DbusMenuLayout root = layout();
    ASSERT_EQ(root.children.size(), 4);
    EXPECT_EQ(root.children[0].properties.value(QStringLiteral("label")).toString(), QStringLiteral("Full Window"));
    EXPECT_EQ(root.children[1].properties.value(QStringLiteral("type")).toString(), QStringLiteral("separator"));
    const QVariantMap toggle = root.children[2].properties;
    EXPECT_EQ(toggle.value(QStringLiteral("label")).toString(), QStringLiteral("Show _Percent"));
    EXPECT_EQ(toggle.value(QStringLiteral("toggle-type")).toString(), QStringLiteral("checkmark"));
    EXPECT_EQ(toggle.value(QStringLiteral("toggle-state")).toInt(), 0);

    QList<QStringList> shortcut;
    root.children[3].properties.value(QStringLiteral("shortcut")).value<QDBusArgument>() >> shortcut;
    EXPECT_EQ(shortcut, (QList<QStringList>{{QStringLiteral("Control"), QStringLiteral("Q")}}));
}

TEST_F(DbusMenuFixture, ClickedEventTriggersTheAction)
{
    const int id = layout().children.value(0).id;
    const QDBusMessage reply = call(QStringLiteral("Event"), {id, QStringLiteral("clicked"),
                                                             QVariant::fromValue(QDBusVariant(0)), 0u});
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(spinUntil([&] { return fullWindowOpened == 1; }));

    const QDBusMessage unknown = call(QStringLiteral("Event"), {999, QStringLiteral("clicked"),
                                                               QVariant::fromValue(QDBusVariant(0)), 0u});
    EXPECT_EQ(unknown.type(), QDBusMessage::ErrorMessage);
}

TEST_F(DbusMenuFixture, StateChangesReachHostsOnce)
{
    SignalRecorder host;
    for (const QString &name : {QStringLiteral("LayoutUpdated"), QStringLiteral("ItemsPropertiesUpdated")})
        ASSERT_TRUE(QDBusConnection::sessionBus().connect(exporterBus.bus().baseService(), kPath, kInterface, name, &host,
                                                          SLOT(received(QDBusMessage))));

    percent->setChecked(true);
    full->setEnabled(false);
    ASSERT_TRUE(spinUntil([&] { return host.count(QStringLiteral("ItemsPropertiesUpdated")) > 0; }));
    EXPECT_EQ(host.messages.size(), 1);
    DbusMenuItemList updated;
    host.messages.value(0).arguments().value(0).value<QDBusArgument>() >> updated;
    ASSERT_EQ(updated.size(), 2);
    EXPECT_EQ(updated[0].properties, (QVariantMap{{QStringLiteral("enabled"), false}}));
    EXPECT_EQ(updated[1].properties, (QVariantMap{{QStringLiteral("toggle-state"), 1}}));

    const uint before = exporter->revision();
    menu.addAction(QStringLiteral("Website"));
    ASSERT_TRUE(spinUntil([&] { return host.count(QStringLiteral("LayoutUpdated")) == 1; }));
    EXPECT_EQ(host.messages.last().arguments().value(0).toUInt(), exporter->revision());
    EXPECT_GT(exporter->revision(), before);
    EXPECT_EQ(layout().children.value(4).properties.value(QStringLiteral("label")).toString(), QStringLiteral("Website"));
}

TEST_F(DbusMenuFixture, RebuiltSeparatorsAreStillSeparators)
{
    ASSERT_EQ(layout().children.size(), 4);
    // Reordering deletes separators and adds new ones in the same turn; the
    // allocator tends to hand the new ones the old addresses.
    for (int round = 0; round < 3; ++round) {
        QAction *old = menu.actions().at(1);
        menu.removeAction(old);
        delete old;
        menu.insertSeparator(menu.actions().at(1));
    }
    const DbusMenuLayout root = layout();
    ASSERT_EQ(root.children.size(), 4);
    EXPECT_EQ(root.children[1].properties.value(QStringLiteral("type")).toString(), QStringLiteral("separator"));
}

#include "dbusmenu_exporter_test.moc"
