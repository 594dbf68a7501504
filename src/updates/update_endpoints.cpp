#include "updates/update_endpoints.h"

UpdateEndpoints UpdateEndpoints::buildDefaults()
{
    return {QUrl(QStringLiteral(PENDRA_UPDATE_MANIFEST_URL)), QUrl(QStringLiteral(PENDRA_WEBSITE_URL))};
}

QUrl UpdateEndpoints::downloadUrl(const QString &zipName) const
{
    return webPage.resolved(QUrl(zipName));
}
