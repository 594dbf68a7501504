#include "platform/linux/charge_behaviour_smc.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// There is at most one service and one connection, so their handles are fixed.
constexpr SmcHandle kServiceHandle = 1;
constexpr SmcHandle kConnectionHandle = 1;

// Not in the userspace errno headers: the kernel's "operation not supported".
constexpr int kKernelENOTSUPP = 524;

QString trimmedFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).trimmed();
}

bool isChargerKey(std::uint32_t key)
{
    return key == kSmcKeyCH0I || key == kSmcKeyCH0C || key == kSmcKeyCH0B;
}

ChargerKeys withKey(ChargerKeys keys, std::uint32_t key, std::uint8_t value)
{
    if (key == kSmcKeyCH0I)
        keys.ch0i = value;
    else if (key == kSmcKeyCH0C)
        keys.ch0c = value;
    else
        keys.ch0b = value;
    return keys;
}

} // namespace

QString chargeBehaviourFor(const ChargerKeys &keys)
{
    if (keys.ch0i != 0)
        return QStringLiteral("force-discharge");
    if (keys.ch0c != 0 || keys.ch0b != 0)
        return QStringLiteral("inhibit-charge");
    return QStringLiteral("auto");
}

ChargerKeys chargerKeysFor(const QString &behaviour)
{
    if (behaviour == QLatin1String("force-discharge"))
        return {1, 0, 0};
    if (behaviour == QLatin1String("inhibit-charge"))
        return {0, 2, 2};
    return {};
}

ChargeBehaviourState parseChargeBehaviour(const QByteArray &text)
{
    ChargeBehaviourState state;
    const QStringList words = QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString word : words) {
        word = word.trimmed();
        if (word.size() >= 2 && word.startsWith(QLatin1Char('[')) && word.endsWith(QLatin1Char(']'))) {
            word = word.mid(1, word.size() - 2);
            if (!word.isEmpty())
                state.active = word;
        }
        if (!word.isEmpty())
            state.supported.append(word);
    }
    return state;
}

std::optional<QString> findChargeBehaviourAttribute(const QString &sysfsRoot)
{
    const QDir supplies(sysfsRoot + QStringLiteral("/class/power_supply"));
    const QStringList names = supplies.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) {
        const QString dir = supplies.filePath(name);
        if (trimmedFile(dir + QStringLiteral("/type")) != QLatin1String("Battery"))
            continue;
        if (trimmedFile(dir + QStringLiteral("/scope")) == QLatin1String("Device"))
            continue;
        const QString attribute = dir + QStringLiteral("/charge_behaviour");
        if (QFile::exists(attribute))
            return attribute;
    }
    return std::nullopt;
}

ChargeBehaviourSmc::ChargeBehaviourSmc(QString sysfsRoot, AttributeWriter writer)
    : m_sysfsRoot(std::move(sysfsRoot))
    , m_writer(std::move(writer))
{
}

SmcHandle ChargeBehaviourSmc::matchingService(const char *className)
{
    if (std::strcmp(className, kSmcServiceClass) != 0)
        return 0;
    const std::optional<QString> attribute = findChargeBehaviourAttribute(m_sysfsRoot);
    if (!attribute)
        return 0;
    m_attributePath = *attribute;
    return kServiceHandle;
}

SmcReturn ChargeBehaviourSmc::openService(SmcHandle service, std::uint32_t type, SmcHandle &connection)
{
    if (service != kServiceHandle || m_attributePath.isEmpty() || type != kSmcConnectionType)
        return kSmcReturnBadArgument;
    const std::optional<ChargeBehaviourState> state = readState();
    if (!state)
        return kSmcReturnNoDevice;
    // Keys written by an earlier run stay in effect, as they do in the
    // controller itself: start from the triple behind the active value.
    m_keys = chargerKeysFor(state->active);
    m_open = true;
    connection = kConnectionHandle;
    return kSmcReturnSuccess;
}

void ChargeBehaviourSmc::releaseService(SmcHandle)
{
}

SmcReturn ChargeBehaviourSmc::callStructMethod(SmcHandle connection, std::uint32_t selector,
                                               const SmcRecord &input, SmcRecord &output)
{
    if (!m_open || connection != kConnectionHandle || selector != kSmcSelectorKeyCommand)
        return kSmcReturnBadArgument;
    output = input;
    const SmcKeyCommand command = readKeyCommand(input);
    std::uint8_t result = kSmcResultSuccess;
    if (command.command != kSmcCommandWriteKey)
        result = kSmcResultBadCommand;
    else if (!isChargerKey(command.key))
        result = kSmcResultKeyNotFound;
    else if (command.dataSize != 1)
        result = kSmcResultKeySizeMismatch;
    else if (const SmcReturn code = writeKey(command, result); code != kSmcReturnSuccess)
        return code;
    output[SmcRecordOffset::result] = result;
    return kSmcReturnSuccess;
}

SmcReturn ChargeBehaviourSmc::writeKey(const SmcKeyCommand &command, std::uint8_t &result)
{
    const ChargerKeys next = withKey(m_keys, command.key, command.firstByte);
    const QString wanted = chargeBehaviourFor(next);
    const std::optional<ChargeBehaviourState> state = readState();
    if (!state)
        return kSmcReturnNoDevice;
    if (state->active == wanted) {
        m_keys = next;
        return kSmcReturnSuccess;
    }
    if (!state->supported.contains(wanted)) {
        result = kSmcResultBadArgument;
        return kSmcReturnSuccess;
    }
    switch (m_writer(m_attributePath, wanted.toUtf8())) {
    case 0:
        m_keys = next;
        return kSmcReturnSuccess;
    case EACCES:
    case EPERM:
        return kSmcReturnNotPrivileged;
    case EINVAL:
    case EOPNOTSUPP:
    case kKernelENOTSUPP:
        result = kSmcResultBadArgument;
        return kSmcReturnSuccess;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return kSmcReturnNoDevice;
    default:
        return kSmcReturnError;
    }
}

std::optional<ChargeBehaviourState> ChargeBehaviourSmc::readState() const
{
    QFile file(m_attributePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseChargeBehaviour(file.readAll());
}

int ChargeBehaviourSmc::writeAttribute(const QString &path, const QByteArray &value)
{
    const QByteArray nativePath = QFile::encodeName(path);
    const int fd = ::open(nativePath.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const ssize_t written = ::write(fd, value.constData(), size_t(value.size()));
    const int writeError = written < 0 ? errno : (written == value.size() ? 0 : EIO);
    const int closeError = ::close(fd) == 0 ? 0 : errno;
    return writeError != 0 ? writeError : closeError;
}

