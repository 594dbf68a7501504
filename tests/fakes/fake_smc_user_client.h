#pragma once

#include "platform/smc.h"

#include <QString>

#include <map>
#include <vector>

// One key write as the controller received it.
struct FakeSmcWrite
{
    QString key; // "CH0I"
    int value;

    bool operator==(const FakeSmcWrite &) const = default;
};

// A system management controller that records every key command and fails
// the keys it is told to.
class FakeSmcUserClient final : public SmcUserClient
{
public:
    struct Failure
    {
        SmcReturn code = kSmcReturnSuccess;
        std::uint8_t result = kSmcResultSuccess;
    };

    bool hasService = true;
    SmcReturn openReturn = kSmcReturnSuccess;

    std::vector<SmcRecord> inputs; // every record sent, in order
    std::vector<FakeSmcWrite> writes; // the writes that succeeded, in order
    int openCalls = 0;
    int releasedServices = 0;

    // Every later write of `key` fails this way until cleared.
    void failKey(const char (&key)[5], Failure failure) { m_failures[smcKey(key)] = failure; }
    void clearFailures() { m_failures.clear(); }
    // The value each key holds now (absent keys were never written).
    std::map<QString, int> keyValues() const;

    SmcHandle matchingService(const char *className) override;
    SmcReturn openService(SmcHandle service, std::uint32_t type, SmcHandle &connection) override;
    void releaseService(SmcHandle service) override;
    SmcReturn callStructMethod(SmcHandle connection, std::uint32_t selector, const SmcRecord &input,
                               SmcRecord &output) override;

private:
    std::map<std::uint32_t, Failure> m_failures;
};

QString smcKeyName(std::uint32_t key);
