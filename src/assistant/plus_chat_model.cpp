#include "assistant/plus_chat_model.h"

#include "assistant/ai_client.h"
#include "assistant/ai_key_store.h"
#include "assistant/ai_openrouter_model.h"
#include "assistant/plus_file_downloads.h"
#include "platform/clock.h"
#include "platform/defaults.h"
#include "platform/file_manager.h"
#include "platform/main_thread.h"
#include "platform/platform_texts.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

#include <cmath>

namespace {

const QString kQuestionHeading = QStringLiteral("\n\n## Question\n");
const QString kExplainDrainVisible = QStringLiteral("Explain my current battery / power situation (with live snapshot).");
const QString kExplainDrainQuestion = QStringLiteral(
    "Why might my Mac be using energy like this right now? Rank likely causes, suggest 3 practical steps, and note "
    "anything that looks normal.");
const QString kReady = QStringLiteral("Ready");
const QString kThinking = QStringLiteral("Thinking…");

} // namespace

PlusChatModel::PlusChatModel(Defaults &defaults, PlusAIKeyStore &keys, const PlusAIClient &client,
                             PlusFileDownloads &downloads, FileManager &fileManager, const Clock &clock,
                             SnapshotReader readSnapshot, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_keys(keys)
    , m_client(client)
    , m_downloads(downloads)
    , m_fileManager(fileManager)
    , m_clock(clock)
    , m_readSnapshot(std::move(readSnapshot))
    , m_provider(PlusAIProviders::fromRawValue(defaults.stringValue(kProviderKey).value_or(QString()))
                     .value_or(PlusAIProvider::openRouter))
    , m_openRouterModel(PlusOpenRouterModels::stored(defaults))
    , m_status(kReady)
{
    connect(&m_keys, &PlusAIKeyStore::loaded, this, [this] {
        if (m_keyLoadPending)
            loadKey();
    });
}

PlusChatModel::~PlusChatModel() = default;

void PlusChatModel::setProvider(PlusAIProvider provider)
{
    m_defaults.setString(kProviderKey, PlusAIProviders::displayName(provider));
    if (provider == m_provider)
        return;
    m_provider = provider;
    emit providerChanged();
    emit effectiveModelChanged();
}

void PlusChatModel::setOpenRouterModel(const QString &model)
{
    PlusOpenRouterModels::store(m_defaults, model);
    if (model == m_openRouterModel)
        return;
    m_openRouterModel = model;
    emit openRouterModelChanged();
    emit effectiveModelChanged();
}

void PlusChatModel::setOpenRouterCustom(const QString &model)
{
    if (model == m_openRouterCustom)
        return;
    m_openRouterCustom = model;
    emit openRouterCustomChanged();
    emit effectiveModelChanged();
}

void PlusChatModel::setDraft(const QString &draft)
{
    if (draft == m_draft)
        return;
    m_draft = draft;
    emit draftChanged();
}

void PlusChatModel::setKeyDraft(const QString &key)
{
    if (key == m_keyDraft)
        return;
    m_keyDraft = key;
    emit keyDraftChanged();
}

void PlusChatModel::setMessages(const QList<PlusChatMessage> &messages)
{
    if (messages == m_messages)
        return;
    m_messages = messages;
    emit messagesChanged();
}

void PlusChatModel::appendMessage(const PlusChatMessage &message)
{
    m_messages.append(message);
    emit messagesChanged();
}

void PlusChatModel::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    emit busyChanged();
}

void PlusChatModel::setStatus(const QString &status)
{
    if (status == m_status)
        return;
    m_status = status;
    emit statusChanged();
}

void PlusChatModel::setLastSavedPath(const QString &path)
{
    if (path == m_lastSavedPath)
        return;
    m_lastSavedPath = path;
    emit lastSavedPathChanged();
}

QString PlusChatModel::effectiveModel() const
{
    if (m_provider != PlusAIProvider::openRouter)
        return PlusAIProviders::defaultModel(m_provider);
    return effectiveOpenRouterModel();
}

QString PlusChatModel::effectiveOpenRouterModel() const
{
    const QString custom = m_openRouterCustom.trimmed();
    if (!custom.isEmpty())
        return custom;
    if (!m_openRouterModel.isEmpty())
        return m_openRouterModel;
    return PlusOpenRouterModels::stored(m_defaults);
}

QString PlusChatModel::snapshot() const
{
    return PowerSnapshot::text(m_readSnapshot ? m_readSnapshot() : PowerSnapshotInputs{}, m_clock.now());
}

void PlusChatModel::send()
{
    const QString text = m_draft.trimmed();
    if (text.isEmpty() || m_busy)
        return;
    setDraft(QString());
    appendMessage(PlusChatMessage::user(text));
    setBusy(true);
    setStatus(kThinking);
    complete(m_messages, std::nullopt);
}

void PlusChatModel::explainDrain()
{
    if (m_busy)
        return;
    const QString prompt =
        snapshot() + kQuestionHeading + PlatformTexts::onThisMachine(kExplainDrainQuestion);
    setDraft(QString());
    startRequest(kExplainDrainVisible, prompt, QStringLiteral("Analyzing drain…"));
}

void PlusChatModel::askWithSnapshot(const QString &question)
{
    const QString text = question.trimmed();
    if (m_busy || text.isEmpty())
        return;
    startRequest(text, snapshot() + kQuestionHeading + text + u'\n', kThinking);
}

// Shows `visibleText` as the user's message but sends `prompt` in its place.
void PlusChatModel::startRequest(const QString &visibleText, const QString &prompt, const QString &status)
{
    appendMessage(PlusChatMessage::user(visibleText));
    setBusy(true);
    setStatus(status);
    QList<PlusChatMessage> toSend = m_messages;
    toSend.last() = PlusChatMessage::user(prompt);
    complete(toSend, m_messages);
}

void PlusChatModel::attachSnapshot()
{
    setDraft(snapshot() + kQuestionHeading);
}

void PlusChatModel::clear()
{
    setMessages({});
    setStatus(QStringLiteral("Cleared"));
}

void PlusChatModel::complete(const QList<PlusChatMessage> &toSend, const std::optional<QList<PlusChatMessage>> &visible)
{
    const PlusAIProvider provider = m_provider;
    const QString model = effectiveModel();
    if (provider == PlusAIProvider::openRouter)
        PlusOpenRouterModels::store(m_defaults, model);
    // A send before the keychain was read waits for it rather than failing
    // for want of a key the user saved.
    m_keys.whenLoaded(this, [this, provider, toSend, visible, model] { request(provider, toSend, visible, model); });
}

void PlusChatModel::request(PlusAIProvider provider, const QList<PlusChatMessage> &toSend,
                            const std::optional<QList<PlusChatMessage>> &visible, const QString &model)
{
    const QString key = m_keys.keyForProvider(provider);
    m_client.send(provider, key, toSend, model, this, [this, visible, model](const PlusAIOutcome &outcome) {
        // The visible list undoes a Clear made while the request ran and
        // keeps the snapshot prompt out of the conversation.
        if (visible)
            setMessages(*visible);
        PlusChatMessage reply;
        reply.role = QStringLiteral("assistant");
        if (const auto *text = std::get_if<QString>(&outcome)) {
            reply.text = *text;
        } else {
            reply.text = std::get<PlusAIError>(outcome).description;
            reply.isError = true;
        }
        appendMessage(reply);
        setBusy(false);
        setStatus(reply.isError ? QStringLiteral("Error") : QStringLiteral("Ready · ") + model);
    });
}

void PlusChatModel::saveKey()
{
    const PlusAIProvider provider = m_provider;
    const QString key = m_keyDraft.trimmed();
    QPointer<PlusChatModel> self(this);
    m_keys.saveKey(provider, key, [self, key](const PlusAIKeyStore::SaveOutcome &outcome) {
        if (!self)
            return;
        if (!outcome.saved) {
            self->setStatus(QStringLiteral("Key not saved: ") + outcome.error);
            return;
        }
        self->setStatus(key.isEmpty() ? QStringLiteral("No key saved")
                                      : PlatformTexts::onThisMachine(QStringLiteral("Key saved on this Mac")));
    });
}

void PlusChatModel::loadKey()
{
    m_keyLoadPending = !m_keys.isLoaded();
    setKeyDraft(m_keys.keyForProvider(m_provider));
}

void PlusChatModel::noteKeySaved(PlusAIProvider provider, const QString &key)
{
    if (provider != m_provider)
        return;
    setKeyDraft(key);
    setStatus(key.isEmpty() ? QStringLiteral("No key saved")
                            : PlatformTexts::onThisMachine(QStringLiteral("Key saved on this Mac")));
}

PlusChatExport PlusChatModel::exportChat()
{
    setStatus(QStringLiteral("Export chat…"));
    return {PlusChatFiles::chatExportText(m_provider, effectiveModel(), m_messages),
            PlusChatFiles::timestampedName(QStringLiteral("pendra-pro-chat-"), m_clock.now()), QStringLiteral("md")};
}

PlusChatExport PlusChatModel::exportSnapshot()
{
    setStatus(QStringLiteral("Export snapshot…"));
    return {PlusChatFiles::snapshotExportText(snapshot()),
            PlusChatFiles::timestampedName(QStringLiteral("pendra-pro-snapshot-"), m_clock.now()),
            QStringLiteral("md")};
}

void PlusChatModel::writeExport(const PlusChatExport &chatExport, const QString &path)
{
    QPointer<PlusChatModel> self(this);
    m_files.post([self, path, text = chatExport.text] {
        const std::optional<QString> error = PlusChatFiles::writeAtomically(path, text);
        postToMain(self, [path, error](PlusChatModel *model) {
            // Said out loud: a silent failure would leave the user believing
            // the chat was kept.
            if (error)
                model->setStatus(QStringLiteral("Export failed: ") + *error);
            else
                model->m_fileManager.revealFile(path);
        });
    });
}

void PlusChatModel::saveMessage(const PlusChatMessage &message)
{
    const QString base = (message.role == u"user" ? QStringLiteral("pendra-pro-prompt-")
                                                   : QStringLiteral("pendra-pro-reply-"))
                         + QString::number(static_cast<long long>(std::floor(m_clock.now())));
    QPointer<PlusChatModel> self(this);
    m_files.post([self, base, folder = m_downloads.downloadsFolder(), text = message.text] {
        QDir().mkpath(folder);
        const QString path = PlusFileDownloads::freeFileLocation(folder, base, QStringLiteral("md"));
        const std::optional<QString> error = PlusChatFiles::writeAtomically(path, text);
        postToMain(self, [path, error](PlusChatModel *model) {
            if (error) {
                model->setStatus(QStringLiteral("Save failed: ") + *error);
                return;
            }
            model->setLastSavedPath(path);
            model->setStatus(QStringLiteral("Saved ") + QFileInfo(path).fileName());
            model->m_fileManager.revealFile(path);
        });
    });
}

void PlusChatModel::downloadLinks(const PlusChatMessage &message)
{
    QPointer<PlusChatModel> self(this);
    m_downloads.downloadAll(message.text, this,
                            {[self](const QString &status) {
                                 if (self)
                                     self->setStatus(status);
                             },
                             [self](const QString &path) {
                                 if (self)
                                     self->setLastSavedPath(path);
                             }});
}
