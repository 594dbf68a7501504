#pragma once

#include <QString>
#include <QUrl>

// Where updates come from. The defaults are build options
// (PENDRA_UPDATE_MANIFEST_URL, PENDRA_WEBSITE_URL); tests pass a loopback
// server instead.
struct UpdateEndpoints
{
    // The manifest, "/pendra-pro/version.json" on the product's web site.
    QUrl manifestUrl;
    // The product's web page: opened by "Open Website", named in failure
    // texts, and the folder that release ZIP names are relative to.
    QUrl webPage;

    static UpdateEndpoints buildDefaults();

    // The update server's host name, as shown to the user.
    QString host() const { return manifestUrl.host(); }
    QString webAddress() const { return webPage.toString(); }
    // `zipName` resolved against the web page's folder; a full address in the
    // manifest stays as it is.
    QUrl downloadUrl(const QString &zipName) const;
};
