#include "fakes/fake_sni_host.h"

#include "support/event_loop.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QUuid>

namespace {

const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kItemInterface = QStringLiteral("org.kde.StatusNotifierItem");

std::optional<QDBusMessage> callAndWait(const QString &connectionName, const QDBusMessage &call)
{
    QDBusPendingCall pending = QDBusConnection(connectionName).asyncCall(call);
    if (!spinUntil([&] { return pending.isFinished(); }))
        return std::nullopt;
    return pending.reply();
}

} // namespace

FakeSniHost::FakeSniHost()
    : m_connectionName(QStringLiteral("fake-sni-host-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
}

FakeSniHost::~FakeSniHost()
{
    QDBusConnection::disconnectFromBus(m_connectionName);
}

std::optional<QVariant> FakeSniHost::property(const QString &service, const QString &name)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, kItemPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                       QStringLiteral("Get"));
    call << kItemInterface << name;
    const std::optional<QDBusMessage> reply = callAndWait(m_connectionName, call);
    if (!reply || reply->type() != QDBusMessage::ReplyMessage || reply->arguments().isEmpty())
        return std::nullopt;
    return reply->arguments().first().value<QDBusVariant>().variant();
}

bool FakeSniHost::click(const QString &service, const QString &method, int x, int y)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, kItemPath, kItemInterface, method);
    call << x << y;
    const std::optional<QDBusMessage> reply = callAndWait(m_connectionName, call);
    return reply && reply->type() == QDBusMessage::ReplyMessage;
}
