#pragma once

#include "assistant/ai_chat_message.h"
#include "assistant/ai_provider.h"
#include "assistant/plus_chat_files.h"
#include "assistant/power_snapshot.h"
#include "platform/serial_queue.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class Clock;
class Defaults;
class FileManager;
class PlusAIClient;
class PlusAIKeyStore;
class PlusFileDownloads;

// The conversation behind every chat surface: the chosen provider and
// OpenRouter model, the messages, a busy flag and a one-line status. Runs one
// provider request at a time and can attach a live power snapshot to a
// question. Main thread only.
class PlusChatModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(PlusAIProvider provider READ provider WRITE setProvider NOTIFY providerChanged)
    Q_PROPERTY(QString openRouterModel READ openRouterModel WRITE setOpenRouterModel NOTIFY openRouterModelChanged)
    Q_PROPERTY(QString openRouterCustom READ openRouterCustom WRITE setOpenRouterCustom NOTIFY openRouterCustomChanged)
    Q_PROPERTY(QList<PlusChatMessage> messages READ messages NOTIFY messagesChanged)
    Q_PROPERTY(QString draft READ draft WRITE setDraft NOTIFY draftChanged)
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)
    Q_PROPERTY(QString keyDraft READ keyDraft WRITE setKeyDraft NOTIFY keyDraftChanged)
    Q_PROPERTY(QString lastSavedPath READ lastSavedPath NOTIFY lastSavedPathChanged)

public:
    static inline const QString kProviderKey = QStringLiteral("pendrapro.ai.provider");
    static inline const QString kBatteryNowQuestion =
        QStringLiteral("Summarize my battery percentage, time remaining, and whether I should plug in soon.");
    static inline const QString kWeatherTipQuestion =
        QStringLiteral("Given my local weather and battery state, any practical tips for the next few hours?");

    // The stores' current values for the snapshot; read on the main thread.
    using SnapshotReader = std::function<PowerSnapshotInputs()>;

    PlusChatModel(Defaults &defaults, PlusAIKeyStore &keys, const PlusAIClient &client, PlusFileDownloads &downloads,
                  FileManager &fileManager, const Clock &clock, SnapshotReader readSnapshot,
                  QObject *parent = nullptr);
    ~PlusChatModel() override;

    PlusAIProvider provider() const { return m_provider; }
    // Stored under "pendrapro.ai.provider" on every set.
    void setProvider(PlusAIProvider provider);
    const QString &openRouterModel() const { return m_openRouterModel; }
    // Stored (trimmed) as the OpenRouter model on every set.
    void setOpenRouterModel(const QString &model);
    const QString &openRouterCustom() const { return m_openRouterCustom; }
    void setOpenRouterCustom(const QString &model);
    const QList<PlusChatMessage> &messages() const { return m_messages; }
    const QString &draft() const { return m_draft; }
    void setDraft(const QString &draft);
    bool busy() const { return m_busy; }
    const QString &status() const { return m_status; }
    const QString &keyDraft() const { return m_keyDraft; }
    void setKeyDraft(const QString &key);
    const QString &lastSavedPath() const { return m_lastSavedPath; }

    // The model requests go to: the provider's fixed model, or for
    // OpenRouter the custom id (trimmed), else the picked id, else the
    // stored one.
    QString effectiveModel() const;
    // The model an OpenRouter request would use, whichever provider is active.
    QString effectiveOpenRouterModel() const;

    // Sends the draft as a question.
    void send();
    // Asks why the machine uses this much energy, with the snapshot attached;
    // the conversation shows only a short request.
    void explainDrain();
    // Asks `question` with the snapshot attached; the conversation shows only
    // the question.
    void askWithSnapshot(const QString &question);
    // Puts the snapshot and a question heading into the draft.
    void attachSnapshot();
    // Empties the conversation; a running request still completes.
    void clear();

    // Saves the key draft for the provider (blank removes the key).
    void saveKey();
    // Shows the provider's stored key in the key draft, once the key store
    // has read the keychain.
    void loadKey();
    // Another surface stored `key` (trimmed) for `provider`.
    void noteKeySaved(PlusAIProvider provider, const QString &key);

    // What the save dialog offers; sets the status.
    PlusChatExport exportChat();
    PlusChatExport exportSnapshot();
    // Writes a confirmed export to `path` off the main thread, then shows it
    // in the file manager.
    void writeExport(const PlusChatExport &chatExport, const QString &path);
    // Writes `message` to a new file in the Downloads folder.
    void saveMessage(const PlusChatMessage &message);
    // Downloads every web link of `message` into the Downloads folder.
    void downloadLinks(const PlusChatMessage &message);

    // The live snapshot as it reads now.
    QString snapshot() const;

signals:
    void providerChanged();
    void openRouterModelChanged();
    void openRouterCustomChanged();
    void effectiveModelChanged();
    void messagesChanged();
    void draftChanged();
    void busyChanged();
    void statusChanged();
    void keyDraftChanged();
    void lastSavedPathChanged();

private:
    void startRequest(const QString &visibleText, const QString &prompt, const QString &status);
    void complete(const QList<PlusChatMessage> &toSend, const std::optional<QList<PlusChatMessage>> &visible);
    void request(PlusAIProvider provider, const QList<PlusChatMessage> &toSend,
                 const std::optional<QList<PlusChatMessage>> &visible, const QString &model);
    void appendMessage(const PlusChatMessage &message);
    void setMessages(const QList<PlusChatMessage> &messages);
    void setBusy(bool busy);
    void setStatus(const QString &status);
    void setLastSavedPath(const QString &path);

    Defaults &m_defaults;
    PlusAIKeyStore &m_keys;
    const PlusAIClient &m_client;
    PlusFileDownloads &m_downloads;
    FileManager &m_fileManager;
    const Clock &m_clock;
    SnapshotReader m_readSnapshot;

    PlusAIProvider m_provider = PlusAIProvider::openRouter;
    QString m_openRouterModel;
    QString m_openRouterCustom;
    QList<PlusChatMessage> m_messages;
    QString m_draft;
    bool m_busy = false;
    QString m_status;
    QString m_keyDraft;
    QString m_lastSavedPath;
    bool m_keyLoadPending = false;

    // Message and export files are written here, never on the main thread.
    SerialQueue m_files{"pendrapro.chatfiles"};
};
