#include "updates/update_endpoints.h"

#include <QHostAddress>

UpdateEndpoints UpdateEndpoints::buildDefaults()
{
    return {QUrl(QStringLiteral(PENDRA_UPDATE_MANIFEST_URL)), QUrl(QStringLiteral(PENDRA_WEBSITE_URL)),
            QByteArray::fromHex(PENDRA_UPDATE_PUBLIC_KEY), QUrl()};
}

QUrl UpdateEndpoints::downloadUrl(const QString &zipName) const
{
    return webPage.resolved(QUrl(zipName));
}

bool UpdateEndpoints::isSecure(const QUrl &url) const
{
    if (url.scheme() == QLatin1String("https") && !url.host().isEmpty())
        return true;
    const QHostAddress testHost(loopbackTestOrigin.host());
    return loopbackTestOrigin.scheme() == QLatin1String("http") && testHost.isLoopback()
        && url.scheme() == loopbackTestOrigin.scheme() && url.host() == loopbackTestOrigin.host()
        && url.port() == loopbackTestOrigin.port();
}

bool UpdateEndpoints::isOnWebSite(const QUrl &url) const
{
    return url.host().compare(webPage.host(), Qt::CaseInsensitive) == 0 && url.port(443) == webPage.port(443);
}
