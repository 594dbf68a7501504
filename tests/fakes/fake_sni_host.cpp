#include "fakes/fake_sni_host.h"

#include "support/event_loop.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>

namespace {

const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kItemInterface = QStringLiteral("org.kde.StatusNotifierItem");

std::optional<QDBusMessage> callAndWait(QDBusConnection &bus, const QDBusMessage &call)
{
    QDBusPendingCall pending = bus.asyncCall(call);
    if (!spinUntil([&] { return pending.isFinished(); }))
        return std::nullopt;
    return pending.reply();
}

} // namespace

std::optional<QVariant> FakeSniHost::property(const QString &service, const QString &name)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, kItemPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                       QStringLiteral("Get"));
    call << kItemInterface << name;
    const std::optional<QDBusMessage> reply = callAndWait(m_peer.bus(), call);
    if (!reply || reply->type() != QDBusMessage::ReplyMessage || reply->arguments().isEmpty())
        return std::nullopt;
    return reply->arguments().first().value<QDBusVariant>().variant();
}

bool FakeSniHost::click(const QString &service, const QString &method, int x, int y)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, kItemPath, kItemInterface, method);
    call << x << y;
    const std::optional<QDBusMessage> reply = callAndWait(m_peer.bus(), call);
    return reply && reply->type() == QDBusMessage::ReplyMessage;
}
