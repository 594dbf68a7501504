#pragma once

#include <QWidget>

class PlusAIClient;
class PlusAIKeyStore;
class PlusChatModel;
class PlusPrefsAPIConfigPane;
struct PlusChatExport;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QVBoxLayout;
class PlusPasteableKeyField;

// The AI chat as the popover, the dashboard and the preferences show it:
// provider and key row, canned questions, the conversation with per-bubble
// actions, the input and the status line. Every value lives in the shared
// chat model; this view only mirrors it.
class PlusChatSection : public QWidget
{
    Q_OBJECT

public:
    // The popover is narrow, so its canned buttons wrap onto two rows.
    enum class Layout { compact, wide };

    PlusChatSection(PlusChatModel &chat, PlusAIKeyStore &keys, const PlusAIClient &client, Layout layout,
                    QWidget *parent = nullptr);

    // Shows or hides the embedded API Config pane ("API keys" / "Hide keys").
    void setKeysShown(bool shown);
    bool keysShown() const;

    // Offers the export in a save dialog; a confirmed path is written by the
    // chat model. Non-blocking.
    void offerSave(const PlusChatExport &chatExport);

protected:
    // Shows the saved keys, so the keychain is read when this first appears.
    void showEvent(QShowEvent *event) override;

private:
    void buildHeader(QVBoxLayout *layout);
    void buildKeyRow(QVBoxLayout *layout, Layout sectionLayout);
    void buildModelPicker(QVBoxLayout *layout, bool compact);
    void buildCannedActions(QVBoxLayout *layout, Layout sectionLayout);
    void buildConversation(QVBoxLayout *layout);
    void buildInput(QVBoxLayout *layout);
    void bindModel();

    void refreshProvider();
    void refreshModel();
    void refreshMessages();
    void refreshBusy();
    void refreshDraft();

    PlusChatModel &m_chat;
    PlusAIKeyStore &m_keys;
    const PlusAIClient &m_client;

    QLabel *m_modelBadge = nullptr;
    QPushButton *m_keysToggle = nullptr;
    QScrollArea *m_apiConfigScroll = nullptr;
    PlusPrefsAPIConfigPane *m_apiConfig = nullptr;
    QVBoxLayout *m_apiConfigSlot = nullptr;
    QComboBox *m_provider = nullptr;
    PlusPasteableKeyField *m_keyField = nullptr;
    QWidget *m_modelPicker = nullptr;
    QComboBox *m_openRouterModel = nullptr;
    QLineEdit *m_openRouterCustom = nullptr;
    QList<QPushButton *> m_askButtons;
    QWidget *m_bubbles = nullptr;
    QVBoxLayout *m_bubbleLayout = nullptr;
    QLabel *m_emptyHint = nullptr;
    QPlainTextEdit *m_input = nullptr;
    QPushButton *m_send = nullptr;
    QLabel *m_status = nullptr;
};

// Keeps an API Config pane and the chat model in step: the pane shows the
// chat's provider and model, and its picks and saved keys reach the chat.
void connectApiConfigPane(PlusPrefsAPIConfigPane &pane, PlusChatModel &chat);
