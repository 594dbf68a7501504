#include "platform/linux/secrets_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kOthersMask = 0077;

QString octal(mode_t mode)
{
    return QStringLiteral("0") + QString::number(mode & 0777, 8);
}

QString osError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Absent when `path` does not exist; otherwise its stat.
std::optional<struct stat> statOf(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return info;
}

bool writeAll(int fd, const QByteArray &data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, static_cast<size_t>(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

Keychain::Result failure(const QString &error)
{
    return Keychain::Result{Keychain::Status::failed, {}, error, Keychain::Store::secretsFile};
}

Keychain::Result success(Keychain::Status status = Keychain::Status::ok, const QString &value = {})
{
    return Keychain::Result{status, value, {}, Keychain::Store::secretsFile};
}

} // namespace

SecretsFile::SecretsFile(QString folder)
    : m_folder(std::move(folder))
{
}

QString SecretsFile::filePath() const
{
    return m_folder + QStringLiteral("/secrets.json");
}

std::optional<QJsonObject> SecretsFile::load(QString *error, bool moveCorruptAside) const
{
    if (const auto folder = statOf(m_folder); folder && (folder->st_mode & kOthersMask)) {
        *error = QStringLiteral("The secrets folder %1 is open to other users (mode %2); run chmod 700 on it.")
                     .arg(m_folder, octal(folder->st_mode));
        return std::nullopt;
    }
    const QString path = filePath();
    const auto file = statOf(path);
    if (!file)
        return QJsonObject();
    if (file->st_mode & kOthersMask) {
        *error = QStringLiteral("The secrets file %1 is readable by other users (mode %2); run chmod 600 on it.")
                     .arg(path, octal(file->st_mode));
        return std::nullopt;
    }
    QFile input(path);
    if (!input.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("The secrets file %1 cannot be read: %2").arg(path, input.errorString());
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(input.readAll(), &parseError);
    if (document.isObject())
        return document.object();
    if (!moveCorruptAside) {
        *error = QStringLiteral("The secrets file %1 is damaged.").arg(path);
        return std::nullopt;
    }
    const QString aside =
        path + QStringLiteral(".corrupt-") + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddTHHmmssZ"));
    if (!QFile::rename(path, aside)) {
        *error = QStringLiteral("The secrets file %1 is damaged and cannot be moved aside.").arg(path);
        return std::nullopt;
    }
    return QJsonObject();
}

bool SecretsFile::ensureFolder(QString *error)
{
    if (statOf(m_folder))
        return true;
    const QString parent = QFileInfo(m_folder).path();
    if (!QDir().mkpath(parent) || ::mkdir(QFile::encodeName(m_folder).constData(), 0700) != 0) {
        *error = QStringLiteral("The secrets folder %1 cannot be created: %2").arg(m_folder, osError());
        return false;
    }
    return true;
}

bool SecretsFile::save(const QJsonObject &secrets, QString *error)
{
    // mkstemp creates the file 0600, so the secret is never readable by
    // others, not even between write and rename.
    QByteArray temp = QFile::encodeName(filePath()) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        *error = QStringLiteral("The secrets file %1 cannot be written: %2").arg(filePath(), osError());
        return false;
    }
    const bool written = writeAll(fd, QJsonDocument(secrets).toJson(QJsonDocument::Indented)) && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || ::rename(temp.constData(), QFile::encodeName(filePath()).constData()) != 0) {
        *error = QStringLiteral("The secrets file %1 cannot be written: %2").arg(filePath(), osError());
        ::unlink(temp.constData());
        return false;
    }
    return true;
}

Keychain::Result SecretsFile::read(const QString &service, const QString &account) const
{
    QString error;
    const std::optional<QJsonObject> secrets = load(&error, false);
    if (!secrets)
        return failure(error);
    const QJsonValue value = secrets->value(service).toObject().value(account);
    if (!value.isString())
        return success(Keychain::Status::notFound);
    return success(Keychain::Status::ok, value.toString());
}

Keychain::Result SecretsFile::write(const QString &service, const QString &account, const QString &value)
{
    QString error;
    if (!ensureFolder(&error))
        return failure(error);
    std::optional<QJsonObject> secrets = load(&error, true);
    if (!secrets)
        return failure(error);
    QJsonObject accounts = secrets->value(service).toObject();
    accounts.insert(account, value);
    secrets->insert(service, accounts);
    if (!save(*secrets, &error))
        return failure(error);
    Keychain::Result written = success();
    written.location = filePath();
    return written;
}

Keychain::Result SecretsFile::remove(const QString &service, const QString &account)
{
    if (!statOf(filePath()))
        return success();
    QString error;
    std::optional<QJsonObject> secrets = load(&error, true);
    if (!secrets)
        return failure(error);
    QJsonObject accounts = secrets->value(service).toObject();
    if (!accounts.contains(account))
        return success();
    accounts.remove(account);
    if (accounts.isEmpty())
        secrets->remove(service);
    else
        secrets->insert(service, accounts);
    if (!save(*secrets, &error))
        return failure(error);
    return success();
}
