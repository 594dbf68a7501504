#include "platform/linux/portal_color_scheme.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

namespace {

const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kNamespace = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");

// Read wraps the value in a second variant (older portals) or not; either
// way the innermost value is a uint.
QVariant unwrapped(QVariant value)
{
    for (int depth = 0; depth < 3; ++depth) {
        if (value.metaType() == QMetaType::fromType<QDBusVariant>())
            value = value.value<QDBusVariant>().variant();
        else if (value.metaType() == QMetaType::fromType<QDBusArgument>())
            value = value.value<QDBusArgument>().asVariant();
        else
            break;
    }
    return value;
}

} // namespace

PortalColorScheme::PortalColorScheme(const QDBusConnection &bus, const QString &service, QObject *parent)
    : ColorSchemeSource(parent)
{
    QDBusConnection(bus).connect(service, kPath, kInterface, QStringLiteral("SettingChanged"), this,
                                 SLOT(settingChanged(QDBusMessage)));

    QDBusMessage read = QDBusMessage::createMethodCall(service, kPath, kInterface, QStringLiteral("Read"));
    read.setArguments({kNamespace, kKey});
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(read), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        const QDBusMessage reply = watcher->reply();
        // A change signalled meanwhile is newer than this answer.
        if (m_changeSeen || reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return;
        apply(reply.arguments().constFirst());
    });
}

void PortalColorScheme::settingChanged(const QDBusMessage &signal)
{
    const QVariantList arguments = signal.arguments();
    if (arguments.size() != 3 || arguments[0].toString() != kNamespace || arguments[1].toString() != kKey)
        return;
    m_changeSeen = true;
    apply(arguments[2]);
}

void PortalColorScheme::apply(const QVariant &value)
{
    const QVariant inner = unwrapped(value);
    bool ok = false;
    const uint raw = inner.toUInt(&ok);
    // 1 prefers dark, 2 prefers light; 0 and anything unknown state no preference.
    const ColorScheme scheme = !ok ? ColorScheme::noPreference
                               : raw == 1 ? ColorScheme::preferDark
                               : raw == 2 ? ColorScheme::preferLight
                                          : ColorScheme::noPreference;
    if (scheme == m_scheme)
        return;
    m_scheme = scheme;
    emit colorSchemeChanged(scheme);
}
