#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <optional>

// The real upowerd on a recorded sysfs tree (<tree>/class/power_supply/<supply>/
// <attribute files>), without root and away from the machine's own buses: the
// tree becomes a umockdev testbed, upowerd runs inside it on a private system
// bus, and commands run inside an identical testbed on the same bus, so that a
// client's UPower view and its sysfs view describe one machine.
class UpowerTestbed
{
public:
    explicit UpowerTestbed(QString tree);
    // Stops every process it started, upowerd first.
    ~UpowerTestbed();

    UpowerTestbed(const UpowerTestbed &) = delete;
    UpowerTestbed &operator=(const UpowerTestbed &) = delete;

    enum class Start { Running, BusFailed, UpowerUnavailable };
    // Starts the bus and upowerd and waits until upowerd owns its name.
    // `problem()` says why when it does not run.
    Start start();
    const QString &problem() const { return m_problem; }

    // Every device upowerd enumerates (the display device excluded), each as
    // its org.freedesktop.UPower.Device properties plus "path".
    QList<QVariantMap> devices() const;
    // The display device: upowerd's composite of every system battery.
    QVariantMap displayDevice() const;

    // Runs `program` inside the testbed on the private system bus and returns
    // its standard output, or absent (with `problem()` set) when it fails.
    std::optional<QByteArray> run(const QString &program, const QStringList &arguments);

    // The umockdev device description of a tree: each supply directory is one
    // device, each regular file one attribute with its exact content.
    static QByteArray deviceDescription(const QString &tree);

private:
    QVariantMap deviceProperties(const QString &path) const;
    bool startBus();
    QProcessEnvironment environment() const;
    QStringList inTestbed(const QString &program, const QStringList &arguments) const;

    QString m_tree;
    QTemporaryDir m_work;
    QString m_busAddress;
    QString m_problem;
    QProcess m_bus;
    QProcess m_upowerd;
};
