#pragma once

#include "platform/linux/power_supply_discovery.h"
#include "platform/linux/sysfs_files.h"
#include "platform/smc.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The values of the three one-byte charger keys.
struct ChargerKeys
{
    std::uint8_t ch0i = 0;
    std::uint8_t ch0c = 0;
    std::uint8_t ch0b = 0;

    bool operator==(const ChargerKeys &) const = default;
};

// The power_supply `charge_behaviour` value that a key triple selects:
// CH0I set → "force-discharge"; else CH0C or CH0B set → "inhibit-charge";
// else "auto". Force discharge wins because a cut-off adapter cannot charge
// anyway.
QString chargeBehaviourFor(const ChargerKeys &keys);
// The triple that the charger modes write for a behaviour; anything else
// (including newer values such as "inhibit-charge-awake") reads as all zero.
ChargerKeys chargerKeysFor(const QString &behaviour);

// What reading `charge_behaviour` tells: the values the driver offers, with
// the active one in brackets ("[auto] inhibit-charge force-discharge").
struct ChargeBehaviourState
{
    QStringList supported; // without brackets
    QString active; // empty when no value is bracketed
};
ChargeBehaviourState parseChargeBehaviour(const QByteArray &text);

// A user client for the "AppleSMC" service on Linux, carrying the same record
// protocol: the key triple lives here and, after each accepted write, the
// battery's `charge_behaviour` is set to the value the triple implies (not
// written when that value is already active). Writing the modes' keys in
// their order CH0I, CH0C, CH0B therefore lands on "auto", "inhibit-charge" or
// "force-discharge"; all three zero is always "auto", so a reset after a
// failed write leaves the charger automatic.
//
// The batteries are the system batteries (PowerSupplyDiscovery), the ones
// the battery reading describes, looked up on every call; a write goes to
// each pack that offers `charge_behaviour`, and the machine is in a behaviour
// only when every such pack is. When no pack has the attribute there is no
// "AppleSMC" service. A write the kernel refuses with
// EACCES/EPERM returns kSmcReturnNotPrivileged; a value the driver does not
// offer (or rejects with EINVAL/EOPNOTSUPP) returns success with result byte
// kSmcResultBadArgument, and the key keeps its old value.
//
// Sysfs reads and writes are synchronous; they take microseconds to a few
// milliseconds of firmware work.
class ChargeBehaviourSmc final : public SmcUserClient
{
public:
    explicit ChargeBehaviourSmc(QString sysfsRoot = QStringLiteral("/sys"), SysfsFiles &files = SysfsFiles::real());

    SmcHandle matchingService(const char *className) override;
    SmcReturn openService(SmcHandle service, std::uint32_t type, SmcHandle &connection) override;
    void releaseService(SmcHandle service) override;
    SmcReturn callStructMethod(SmcHandle connection, std::uint32_t selector, const SmcRecord &input,
                               SmcRecord &output) override;

    struct PackBehaviour
    {
        QString attributePath;
        ChargeBehaviourState state;
    };

private:
    // Every present pack whose `charge_behaviour` can be read.
    QList<PackBehaviour> readPacks() const;
    // Result byte for the command, or a return code when the call itself fails.
    SmcReturn writeKey(const SmcKeyCommand &command, std::uint8_t &result);

    QString m_sysfsRoot;
    SysfsFiles &m_files;
    mutable PowerSupplyDiscovery m_supplies;
    bool m_found = false;
    bool m_open = false;
    ChargerKeys m_keys;
};

// The machine's behaviour over packs (at least one): the values every pack
// offers, active only where all packs agree.
ChargeBehaviourState machineBehaviour(const QList<ChargeBehaviourSmc::PackBehaviour> &packs);
