#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// Where updates come from and who vouches for them. The defaults are build
// options (PENDRA_UPDATE_MANIFEST_URL, PENDRA_WEBSITE_URL,
// PENDRA_UPDATE_PUBLIC_KEY); tests pass a loopback server instead.
struct UpdateEndpoints
{
    // The manifest, "/pendra-pro/version.json" on the product's web site.
    QUrl manifestUrl;
    // The product's web page: opened by "Open Website", named in failure
    // texts, and the folder that release ZIP names are relative to.
    QUrl webPage;
    // The 32-byte Ed25519 public key release ZIPs must be signed with (a
    // detached "<zip>.sig" beside each); empty when releases are not signed.
    QByteArray signingKey;
    // Tests only: one plain-HTTP origin on a loopback address that is
    // trusted like HTTPS. Never set from anything a server sends.
    QUrl loopbackTestOrigin;

    static UpdateEndpoints buildDefaults();

    // The update server's host name, as shown to the user.
    QString host() const { return manifestUrl.host(); }
    QString webAddress() const { return webPage.toString(); }
    // `zipName` resolved against the web page's folder; a full address in the
    // manifest stays as it is.
    QUrl downloadUrl(const QString &zipName) const;

    // HTTPS, or the loopback test origin exactly (scheme, host and port).
    bool isSecure(const QUrl &url) const;
    // On the product's web site: the web page's host and port.
    bool isOnWebSite(const QUrl &url) const;
};
