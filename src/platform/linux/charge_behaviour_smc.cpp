#include "platform/linux/charge_behaviour_smc.h"

#include "platform/linux/power_supply_discovery.h"

#include <cerrno>
#include <cstring>

namespace {

// There is at most one service and one connection, so their handles are fixed.
constexpr SmcHandle kServiceHandle = 1;
constexpr SmcHandle kConnectionHandle = 1;

// Not in the userspace errno headers: the kernel's "operation not supported".
constexpr int kKernelENOTSUPP = 524;

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

ChargeBehaviourSmc::ChargeBehaviourSmc(QString sysfsRoot, SysfsFiles &files)
    : m_sysfsRoot(std::move(sysfsRoot))
    , m_files(files)
    , m_supplies(files, powerSupplyDirectory(m_sysfsRoot))
{
}

SmcHandle ChargeBehaviourSmc::matchingService(const char *className)
{
    if (std::strcmp(className, kSmcServiceClass) != 0 || readPacks().isEmpty())
        return 0;
    m_found = true;
    return kServiceHandle;
}

SmcReturn ChargeBehaviourSmc::openService(SmcHandle service, std::uint32_t type, SmcHandle &connection)
{
    if (service != kServiceHandle || !m_found || type != kSmcConnectionType)
        return kSmcReturnBadArgument;
    const QList<PackBehaviour> packs = readPacks();
    if (packs.isEmpty())
        return kSmcReturnNoDevice;
    // Keys written by an earlier run stay in effect, as they do in the
    // controller itself: start from the triple behind the active value.
    m_keys = chargerKeysFor(machineBehaviour(packs).active);
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
    const QList<PackBehaviour> packs = readPacks();
    if (packs.isEmpty())
        return kSmcReturnNoDevice;
    const ChargeBehaviourState machine = machineBehaviour(packs);
    if (machine.active == wanted) {
        m_keys = next;
        return kSmcReturnSuccess;
    }
    if (!machine.supported.contains(wanted)) {
        result = kSmcResultBadArgument;
        return kSmcReturnSuccess;
    }
    for (const PackBehaviour &pack : packs) {
        if (pack.state.active == wanted)
            continue;
        switch (m_files.write(pack.attributePath, wanted.toUtf8())) {
        case 0:
            break;
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
    m_keys = next;
    return kSmcReturnSuccess;
}

QList<ChargeBehaviourSmc::PackBehaviour> ChargeBehaviourSmc::readPacks() const
{
    const QString supplyDirectory = powerSupplyDirectory(m_sysfsRoot);
    QList<PackBehaviour> packs;
    for (const QString &battery : m_supplies.discover().batteries) {
        const QString path = supplyDirectory + battery + QStringLiteral("/charge_behaviour");
        if (const std::optional<QByteArray> text = m_files.read(path))
            packs.append({path, parseChargeBehaviour(*text)});
    }
    return packs;
}

ChargeBehaviourState machineBehaviour(const QList<ChargeBehaviourSmc::PackBehaviour> &packs)
{
    ChargeBehaviourState machine = packs.constFirst().state;
    for (const ChargeBehaviourSmc::PackBehaviour &pack : packs) {
        machine.supported.removeIf([&](const QString &value) { return !pack.state.supported.contains(value); });
        // Packs that disagree leave the machine in no one behaviour: the
        // next write sets them all.
        if (pack.state.active != machine.active)
            machine.active.clear();
    }
    return machine;
}
