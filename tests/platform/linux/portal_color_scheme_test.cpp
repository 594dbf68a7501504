#include "platform/linux/portal_color_scheme.h"

#include "support/bus_peer.h"
#include "support/event_loop.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

namespace {

// The portal's Settings interface, answering Read the way older portals do
// (the value inside a second variant).
class FakePortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    FakePortal(const QString &service, uint scheme) : m_scheme(scheme)
    {
        m_serving = m_peer.bus().registerObject(kPath, this, QDBusConnection::ExportScriptableSlots) && m_peer.own(service);
    }

    bool isServing() const { return m_serving; }

    void change(uint scheme)
    {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, QStringLiteral("org.freedesktop.portal.Settings"),
                                                         QStringLiteral("SettingChanged"));
        signal.setArguments({QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"),
                             QVariant::fromValue(QDBusVariant(scheme))});
        m_peer.bus().send(signal);
    }

public slots:
    Q_SCRIPTABLE QDBusVariant Read(const QString &nameSpace, const QString &key)
    {
        if (nameSpace != QStringLiteral("org.freedesktop.appearance") || key != QStringLiteral("color-scheme"))
            return {};
        return QDBusVariant(QVariant::fromValue(QDBusVariant(m_scheme)));
    }

private:
    static inline const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
    BusPeer m_peer{QStringLiteral("fake-portal")};
    uint m_scheme;
    bool m_serving = false;
};

} // namespace

TEST(PortalColorScheme, ReadsTheSchemeThenFollowsChanges)
{
    const QString service = perProcessBusName(QStringLiteral("org.pendra.test.Portal"));
    FakePortal portal(service, 1);
    ASSERT_TRUE(portal.isServing()) << "run under dbus-run-session";

    PortalColorScheme scheme(QDBusConnection::sessionBus(), service);
    EXPECT_EQ(scheme.colorScheme(), ColorScheme::noPreference);
    EXPECT_TRUE(spinUntil([&] { return scheme.colorScheme() == ColorScheme::preferDark; }));

    portal.change(2);
    EXPECT_TRUE(spinUntil([&] { return scheme.colorScheme() == ColorScheme::preferLight; }));
    portal.change(0);
    EXPECT_TRUE(spinUntil([&] { return scheme.colorScheme() == ColorScheme::noPreference; }));
}

#include "portal_color_scheme_test.moc"
