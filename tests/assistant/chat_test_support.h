#pragma once

#include "assistant/ai_client.h"
#include "assistant/ai_key_store.h"
#include "assistant/plus_file_downloads.h"
#include "platform/defaults.h"
#include "platform/file_manager.h"
#include "platform/keychain.h"
#include "support/loopback_http_server.h"

#include <QNetworkAccessManager>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// Remembers which files the app asked to show.
class RecordingFileManager final : public FileManager
{
public:
    void revealFile(const QString &path) override { revealed.append(path); }

    QStringList revealed;
};

// What the chat stands on, in a folder of its own: settings already past the
// key migration, the keychain `makeKeychain` opens on the folder's "secrets",
// and one loopback server answering for every provider.
struct ChatServices
{
    using KeychainMaker = std::function<std::unique_ptr<Keychain>(const QString &folder)>;

    explicit ChatServices(const KeychainMaker &makeKeychain)
        : keychain(makeKeychain(dir.filePath(QStringLiteral("secrets"))))
    {
        defaults.setBool(PlusAIKeyStore::kMigratedKey, true);
    }

    QTemporaryDir dir;
    Defaults defaults{dir.filePath(QStringLiteral("settings.json"))};
    std::unique_ptr<Keychain> keychain;
    PlusAIKeyStore keys{*keychain, defaults};
    QNetworkAccessManager network;
    LoopbackHttpServer server;
    PlusAIClient client{network, defaults,
                        PlusAIHosts{server.baseUrl(), server.baseUrl(), server.baseUrl(), server.baseUrl()}};
    RecordingFileManager fileManager;
    PlusFileDownloads downloads{network, fileManager, dir.filePath(QStringLiteral("Downloads"))};
};
