#include "fakes/fake_smc_user_client.h"

#include <cstring>

namespace {

constexpr SmcHandle kService = 7;
constexpr SmcHandle kConnection = 11;

} // namespace

QString smcKeyName(std::uint32_t key)
{
    const char code[4] = {char(key >> 24), char(key >> 16), char(key >> 8), char(key)};
    return QString::fromLatin1(code, 4);
}

std::map<QString, int> FakeSmcUserClient::keyValues() const
{
    std::map<QString, int> values;
    for (const FakeSmcWrite &write : writes)
        values[write.key] = write.value;
    return values;
}

SmcHandle FakeSmcUserClient::matchingService(const char *className)
{
    return hasService && std::strcmp(className, kSmcServiceClass) == 0 ? kService : 0;
}

SmcReturn FakeSmcUserClient::openService(SmcHandle service, std::uint32_t type, SmcHandle &connection)
{
    ++openCalls;
    if (service != kService || type != kSmcConnectionType)
        return kSmcReturnBadArgument;
    if (openReturn == kSmcReturnSuccess)
        connection = kConnection;
    return openReturn;
}

void FakeSmcUserClient::releaseService(SmcHandle service)
{
    if (service == kService)
        ++releasedServices;
}

SmcReturn FakeSmcUserClient::callStructMethod(SmcHandle connection, std::uint32_t selector,
                                              const SmcRecord &input, SmcRecord &output)
{
    if (connection != kConnection || selector != kSmcSelectorKeyCommand)
        return kSmcReturnBadArgument;
    inputs.push_back(input);
    const SmcKeyCommand command = readKeyCommand(input);
    output = input;
    const auto failure = m_failures.find(command.key);
    if (failure != m_failures.end()) {
        output[SmcRecordOffset::result] = failure->second.result;
        return failure->second.code;
    }
    writes.push_back({smcKeyName(command.key), command.firstByte});
    return kSmcReturnSuccess;
}
