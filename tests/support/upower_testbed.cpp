#include "support/upower_testbed.h"

#include "support/test_files.h"
#include "support/test_paths.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <csignal>
#include <unistd.h>

namespace {

constexpr auto kUpowerService = "org.freedesktop.UPower";
constexpr int kStartLimitMs = 10000;
constexpr int kCommandLimitMs = 60000;

QString upowerdPath()
{
    for (const char *candidate : {"/usr/libexec/upowerd", "/usr/lib/upower/upowerd"}) {
        if (QFileInfo(QString::fromLatin1(candidate)).isExecutable())
            return QString::fromLatin1(candidate);
    }
    return {};
}

// umockdev reads attribute values as C string literals.
QByteArray escaped(const QByteArray &value)
{
    QByteArray out;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (byte < 0x20 || byte == 0x7f)
            out += QByteArray("\\x") + QByteArray::number(byte, 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

// The child and everything it starts form one process group, so that stopping
// umockdev-run also stops the upowerd below it.
void ownProcessGroup(QProcess &process)
{
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
}

void stopGroup(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    const auto group = static_cast<pid_t>(process.processId());
    ::kill(-group, SIGTERM);
    if (!process.waitForFinished(3000)) {
        ::kill(-group, SIGKILL);
        process.waitForFinished(3000);
    }
}

} // namespace

UpowerTestbed::UpowerTestbed(QString tree)
    : m_tree(std::move(tree))
{
}

UpowerTestbed::~UpowerTestbed()
{
    stopGroup(m_upowerd);
    stopGroup(m_bus);
    QDBusConnection::disconnectFromBus(m_work.path());
}

QByteArray UpowerTestbed::deviceDescription(const QString &tree)
{
    QByteArray description;
    const QDir supplies(tree + QStringLiteral("/class/power_supply"));
    for (const QString &supply : supplies.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QByteArray devpath = "/devices/virtual/power_supply/" + supply.toUtf8();
        description += "P: " + devpath + "\nE: DEVPATH=" + devpath + "\nE: SUBSYSTEM=power_supply\n";
        const QDir attributes(supplies.filePath(supply));
        for (const QFileInfo &attribute : attributes.entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Name)) {
            QFile file(attribute.filePath());
            if (file.open(QIODevice::ReadOnly))
                description += "A: " + attribute.fileName().toUtf8() + '=' + escaped(file.readAll()) + '\n';
        }
        description += '\n';
    }
    return description;
}

UpowerTestbed::Start UpowerTestbed::start()
{
    const QString upowerd = upowerdPath();
    if (upowerd.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("umockdev-run")).isEmpty()) {
        m_problem = QStringLiteral("upowerd or umockdev-run is not installed (Debian: upower umockdev)");
        return Start::UpowerUnavailable;
    }
    writeFile(m_work.filePath(QStringLiteral("tree.umockdev")), deviceDescription(m_tree));
    // upowerd's defaults; the machine's own configuration stays out of the test.
    writeFile(m_work.filePath(QStringLiteral("UPower.conf")), "[UPower]\n");
    if (!QDir(m_work.path()).mkdir(QStringLiteral("history"))) {
        m_problem = QStringLiteral("cannot write the testbed's files");
        return Start::BusFailed;
    }
    if (!startBus())
        return Start::BusFailed;

    QProcessEnvironment environment = this->environment();
    environment.insert(QStringLiteral("UPOWER_CONF_FILE_NAME"), m_work.filePath(QStringLiteral("UPower.conf")));
    environment.insert(QStringLiteral("UPOWER_HISTORY_DIR"), m_work.filePath(QStringLiteral("history")));
    m_upowerd.setProcessEnvironment(environment);
    m_upowerd.setProcessChannelMode(QProcess::MergedChannels);
    m_upowerd.setStandardOutputFile(m_work.filePath(QStringLiteral("upowerd.log")));
    ownProcessGroup(m_upowerd);
    m_upowerd.start(QStringLiteral("umockdev-run"), inTestbed(upowerd, {QStringLiteral("-v")}));

    QDBusConnection bus = QDBusConnection::connectToBus(m_busAddress, m_work.path());
    QDeadlineTimer deadline(kStartLimitMs);
    // Waiting on the process doubles as the pause between looks at the bus.
    while (!bus.interface()->isServiceRegistered(QString::fromLatin1(kUpowerService))) {
        if (m_upowerd.waitForFinished(50) || m_upowerd.state() == QProcess::NotRunning || deadline.hasExpired()) {
            m_problem = QStringLiteral("upowerd did not start on the recorded tree:\n")
                        + QString::fromLocal8Bit(readFile(m_work.filePath(QStringLiteral("upowerd.log"))).right(1500));
            return Start::UpowerUnavailable;
        }
    }
    return Start::Running;
}

bool UpowerTestbed::startBus()
{
    ownProcessGroup(m_bus);
    // The tests' own bus configuration names no service directories, so a
    // call can never activate the machine's own upowerd, which would read the
    // real /sys.
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--config-file=") + TestPaths::busConfig(),
                 QStringLiteral("--address=unix:path=") + m_work.filePath(QStringLiteral("bus")),
                 QStringLiteral("--nofork"), QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    QDeadlineTimer deadline(kStartLimitMs);
    while (!m_bus.canReadLine() && m_bus.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
    }
    m_busAddress = QString::fromUtf8(m_bus.readLine()).trimmed();
    if (m_busAddress.isEmpty())
        m_problem = QStringLiteral("the private system bus did not start: ")
                    + QString::fromLocal8Bit(m_bus.readAllStandardError());
    return !m_busAddress.isEmpty();
}

QProcessEnvironment UpowerTestbed::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_busAddress);
    // libudev checks that /sys is a real sysfs mount; the testbed is a plain
    // directory that umockdev puts in its place.
    environment.insert(QStringLiteral("SYSTEMD_DEVICE_VERIFY_SYSFS"), QStringLiteral("0"));
    // umockdev preloads its library ahead of everything, which a sanitizer
    // build would otherwise refuse to run with.
    const QString asan = environment.value(QStringLiteral("ASAN_OPTIONS"));
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       (asan.isEmpty() ? QString() : asan + QLatin1Char(':'))
                           + QStringLiteral("verify_asan_link_order=0"));
    return environment;
}

QStringList UpowerTestbed::inTestbed(const QString &program, const QStringList &arguments) const
{
    return QStringList{QStringLiteral("-d"), m_work.filePath(QStringLiteral("tree.umockdev")), QStringLiteral("--"),
                       program}
           + arguments;
}

QList<QVariantMap> UpowerTestbed::devices() const
{
    QDBusConnection bus(m_work.path());
    const QDBusReply<QList<QDBusObjectPath>> paths = bus.call(QDBusMessage::createMethodCall(
        QString::fromLatin1(kUpowerService), QStringLiteral("/org/freedesktop/UPower"),
        QStringLiteral("org.freedesktop.UPower"), QStringLiteral("EnumerateDevices")));
    QList<QVariantMap> devices;
    for (const QDBusObjectPath &path : paths.value())
        devices.append(deviceProperties(path.path()));
    return devices;
}

QVariantMap UpowerTestbed::displayDevice() const
{
    return deviceProperties(QStringLiteral("/org/freedesktop/UPower/devices/DisplayDevice"));
}

QVariantMap UpowerTestbed::deviceProperties(const QString &path) const
{
    QDBusConnection bus(m_work.path());
    QDBusMessage getAll = QDBusMessage::createMethodCall(QString::fromLatin1(kUpowerService), path,
                                                         QStringLiteral("org.freedesktop.DBus.Properties"),
                                                         QStringLiteral("GetAll"));
    getAll << QStringLiteral("org.freedesktop.UPower.Device");
    QDBusReply<QVariantMap> properties = bus.call(getAll);
    QVariantMap device = properties.value();
    device.insert(QStringLiteral("path"), path);
    return device;
}

std::optional<QByteArray> UpowerTestbed::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral("umockdev-run"), inTestbed(program, arguments));
    if (!process.waitForFinished(kCommandLimitMs) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        m_problem = program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    return process.readAllStandardOutput();
}
