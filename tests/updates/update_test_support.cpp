#include "update_test_support.h"

#include "support/loopback_http_server.h"
#include "support/test_files.h"

#include <QProcess>
#include <QRandomGenerator>

#include <openssl/evp.h>

#include <memory>

QString writeAppDir(const QString &parent, const QByteArray &marker, int paddingBytes, bool executableAppRun)
{
    const QString app = parent + QStringLiteral("/Pendra.app");
    writeFile(app + QStringLiteral("/AppRun"), "#!/bin/sh\necho \"$*\" > \"$(dirname \"$0\")/relaunched\"\n",
              executableAppRun);

    QByteArray binary = marker + '\n';
    QRandomGenerator random(7);
    for (int i = 0; i < paddingBytes; ++i)
        binary.append(static_cast<char>(random.bounded(256)));
    writeFile(app + QStringLiteral("/usr/bin/pendrapro"), binary, true);
    return app;
}

QByteArray appMarker(const QString &appDir)
{
    const QByteArray bytes = readFile(appDir + QStringLiteral("/usr/bin/pendrapro"));
    return bytes.left(bytes.indexOf('\n'));
}

QByteArray zipEntries(const QString &workDir, const QString &zipPath, const QStringList &entries)
{
    QProcess zip;
    zip.setWorkingDirectory(workDir);
    zip.start(QStringLiteral("/usr/bin/zip"), QStringList{QStringLiteral("-qry"), zipPath} + entries);
    zip.waitForFinished(-1);
    return readFile(zipPath);
}

qint64 exitedPid()
{
    QProcess process;
    process.start(QStringLiteral("/bin/true"), {});
    process.waitForStarted(-1);
    const qint64 pid = process.processId();
    process.waitForFinished(-1);
    return pid;
}

InstallTools::Outcome SynchronousInstallTools::run(const QString &program, const QStringList &arguments)
{
    if (program.endsWith(QLatin1String("/pkexec"))) {
        pkexecArguments = arguments;
        if (beforePkexec)
            beforePkexec();
        return {true, pkexecStatus, QString(), QString()};
    }
    return m_real.run(program, arguments);
}

bool SynchronousInstallTools::startDetached(const QString &program, const QStringList &arguments, const QString &)
{
    helperStarted = true;
    return m_real.run(program, arguments).started;
}

UpdateEndpoints loopbackEndpoints(const LoopbackHttpServer &server)
{
    return {server.url("/pendra-pro/version.json"), server.url("/pendra-pro/"), QByteArray(), server.baseUrl()};
}

TestSigningKey makeSigningKey()
{
    EVP_PKEY *raw = nullptr;
    const std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> generator(
        EVP_PKEY_CTX_new_id(EVP_PKEY_ED25519, nullptr), &EVP_PKEY_CTX_free);
    EVP_PKEY_keygen_init(generator.get());
    EVP_PKEY_keygen(generator.get(), &raw);
    const std::shared_ptr<EVP_PKEY> key(raw, &EVP_PKEY_free);

    QByteArray publicKey(32, '\0');
    size_t length = static_cast<size_t>(publicKey.size());
    EVP_PKEY_get_raw_public_key(key.get(), reinterpret_cast<unsigned char *>(publicKey.data()), &length);
    return {publicKey, [key](const QByteArray &message) {
                QByteArray signature(64, '\0');
                size_t size = static_cast<size_t>(signature.size());
                const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                                     &EVP_MD_CTX_free);
                EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get());
                EVP_DigestSign(context.get(), reinterpret_cast<unsigned char *>(signature.data()), &size,
                               reinterpret_cast<const unsigned char *>(message.constData()),
                               static_cast<size_t>(message.size()));
                return signature;
            }};
}
