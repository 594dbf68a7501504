#pragma once

#include "assistant/ai_provider.h"

#include <QHash>
#include <QString>
#include <QWidget>

#include <optional>

class PlusAIClient;
class PlusAIKeyStore;
class QButtonGroup;
class QLabel;
class ProviderKeyCard;

// "API Config": one card per provider to paste, save, test and pick a key.
// Shown inside the chat section (`embedded`) and in the preferences window.
// The chat's active provider and its effective OpenRouter model come in
// through setters; picking a provider goes out as a signal, so the chat
// model stays the one owner of that choice.
class PlusPrefsAPIConfigPane : public QWidget
{
    Q_OBJECT

public:
    PlusPrefsAPIConfigPane(PlusAIKeyStore &keys, const PlusAIClient &client, bool embedded,
                           QWidget *parent = nullptr);

    void setActiveProvider(PlusAIProvider provider);
    PlusAIProvider activeProvider() const { return m_active; }
    // The model a key test and the caption use for OpenRouter.
    void setOpenRouterModel(const QString &model);

    // The pane's actions for one provider, as its buttons run them.
    void paste(PlusAIProvider provider);
    void save(PlusAIProvider provider);
    void test(PlusAIProvider provider);
    void use(PlusAIProvider provider);
    void openKeyPage(PlusAIProvider provider);

    // The one-line status under a provider's card; empty when there is none.
    QString status(PlusAIProvider provider) const { return m_statusByProvider.value(provider); }
    std::optional<PlusAIProvider> testing() const { return m_testing; }

signals:
    // The user picked `provider` in the picker or with its Use button.
    void activeProviderPicked(PlusAIProvider provider);
    // A key (trimmed; empty when cleared) now stored for `provider`.
    void keySaved(PlusAIProvider provider, const QString &key);

protected:
    // Shows the saved keys, so the keychain is read when this first appears.
    void showEvent(QShowEvent *event) override;

private:
    void pick(PlusAIProvider provider);
    void setStatus(PlusAIProvider provider, const QString &text);
    void refreshActive();
    void refreshKeyBadges();
    QString testModel(PlusAIProvider provider) const;

    PlusAIKeyStore &m_keys;
    const PlusAIClient &m_client;
    PlusAIProvider m_active = PlusAIProvider::openRouter;
    QString m_openRouterModel;
    QHash<PlusAIProvider, QString> m_drafts;
    QHash<PlusAIProvider, QString> m_statusByProvider;
    std::optional<PlusAIProvider> m_testing;

    QButtonGroup *m_picker;
    QLabel *m_defaultModel;
    QHash<PlusAIProvider, ProviderKeyCard *> m_cards;
};
