#pragma once

#include <QWidget>

class PlusAIClient;
class PlusAIKeyStore;
class PlusChatModel;
class PlusChatSection;
class PlusPrefsAPIConfigPane;
class QButtonGroup;
class QStackedWidget;

// The preferences window's chat pane: the chat itself on one subtab, the
// provider keys (API Config) on the other.
class PlusPrefsChatPane : public QWidget
{
    Q_OBJECT

public:
    enum class Subtab { chat, apiConfig };

    PlusPrefsChatPane(PlusChatModel &chat, PlusAIKeyStore &keys, const PlusAIClient &client,
                      QWidget *parent = nullptr);

    void showSubtab(Subtab subtab);
    Subtab subtab() const;

    PlusChatSection *chatSection() const { return m_chatSection; }
    PlusPrefsAPIConfigPane *apiConfigPane() const { return m_apiConfig; }

private:
    QButtonGroup *m_tabs;
    QStackedWidget *m_stack;
    PlusChatSection *m_chatSection;
    PlusPrefsAPIConfigPane *m_apiConfig;
};
