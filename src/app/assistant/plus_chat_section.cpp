#include "app/assistant/plus_chat_section.h"

#include "app/assistant/plus_pasteable_key_field.h"
#include "app/assistant/plus_prefs_api_config_pane.h"
#include "app/ui/panel_style.h"
#include "assistant/ai_key_store.h"
#include "assistant/ai_openrouter_model.h"
#include "assistant/plus_chat_model.h"
#include "assistant/plus_file_downloads.h"
#include "platform/platform_texts.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

const QString kEmptyHint = QStringLiteral(
    "Ask about battery drain — or tap Explain drain to send a live power snapshot to the model.");
const QString kKeyCaption = QStringLiteral("Keys stay on this Mac. OpenRouter models are selectable in API Config.");
// Ctrl is this desktop's paste modifier.
const QString kKeyPlaceholder = QStringLiteral("API key (Ctrl+V)");
constexpr int kBubbleIndent = 36; // px
constexpr int kEmbeddedKeysMaxHeight = 340; // px; the conversation keeps the rest

const QString kStyleSheet = QStringLiteral(R"(
QLabel { background: transparent; }
QLabel#proBadge { color: white; background: #bf5af2; border-radius: 7px; padding: 1px 7px; font-size: 10px; font-weight: 700; }
QLabel#modelBadge { color: rgba(255,255,255,160); background: rgba(255,255,255,20); border-radius: 7px; padding: 1px 7px; font-size: 11px; }
QLineEdit, QPlainTextEdit, QComboBox { color: #f2f2f7; background: rgba(0,0,0,90); border: 1px solid rgba(255,255,255,40);
            border-radius: 6px; padding: 3px 7px; selection-background-color: #0a84ff; }
QLineEdit:focus, QPlainTextEdit:focus { border-color: #0a84ff; }
QComboBox QAbstractItemView { color: #f2f2f7; background: #2c2c2e; selection-background-color: #0a84ff; }
QPushButton { color: #f2f2f7; background: rgba(255,255,255,26); border: 1px solid rgba(255,255,255,30);
              border-radius: 6px; padding: 3px 10px; }
QPushButton:hover { background: rgba(255,255,255,40); }
QPushButton:pressed { background: rgba(255,255,255,56); }
QPushButton:disabled { color: rgba(255,255,255,80); background: rgba(255,255,255,12); }
QPushButton#sendButton, QPushButton#saveKeyButton { background: #0a84ff; border-color: #0a84ff; font-weight: 600; }
QPushButton#sendButton:disabled { background: rgba(10,132,255,90); border-color: transparent; }
QPushButton#linkButton { background: transparent; border: none; color: #409cff; padding: 2px 4px; }
QPushButton#bubbleAction { background: transparent; border: none; color: rgba(255,255,255,150); padding: 0 4px; font-size: 11px; }
QPushButton#bubbleAction:hover { color: white; }
QFrame#bubble[role="user"] { background: rgba(10,132,255,70); border-radius: 10px; }
QFrame#bubble[role="assistant"] { background: rgba(255,255,255,18); border-radius: 10px; }
QFrame#bubble[role="error"] { background: rgba(250,66,66,45); border: 1px solid rgba(250,66,66,110); border-radius: 10px; }
QScrollArea, QWidget#bubbles { background: transparent; border: none; }
QScrollBar:vertical { background: transparent; width: 8px; }
QScrollBar::handle:vertical { background: rgba(255,255,255,50); border-radius: 4px; min-height: 24px; }
QScrollBar::add-line, QScrollBar::sub-line { height: 0; }
)");

using PanelStyle::button;
using PanelStyle::label;

// One message: its text, and Save / Download links under it.
QFrame *makeBubble(const PlusChatMessage &message, PlusChatModel &chat, QWidget *parent)
{
    auto *bubble = new QFrame(parent);
    bubble->setObjectName(QStringLiteral("bubble"));
    const bool isUser = message.role == u"user";
    bubble->setProperty("role", message.isError ? "error" : isUser ? "user" : "assistant");
    auto *layout = new QVBoxLayout(bubble);
    layout->setContentsMargins(10, 7, 10, 5);
    layout->setSpacing(2);
    auto *text = label(message.text, PanelStyle::TextRole::primary, bubble);
    text->setObjectName(QStringLiteral("bubbleText"));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text);
    if (message.isError)
        return bubble;

    auto *actions = new QHBoxLayout;
    actions->setSpacing(2);
    actions->addStretch();
    auto *save = button(QStringLiteral("Save"), "bubbleAction", bubble);
    save->setProperty("action", "save");
    QObject::connect(save, &QPushButton::clicked, &chat, [&chat, message] { chat.saveMessage(message); });
    actions->addWidget(save);
    if (!isUser && !PlusFileDownloads::linksIn(message.text).isEmpty()) {
        auto *download = button(QStringLiteral("Download links"), "bubbleAction", bubble);
        download->setProperty("action", "download");
        QObject::connect(download, &QPushButton::clicked, &chat, [&chat, message] { chat.downloadLinks(message); });
        actions->addWidget(download);
    }
    layout->addLayout(actions);
    return bubble;
}

// The section sits in a scrolling panel: the wheel scrolls the panel and
// changes a picker only once the user has clicked or tabbed into it.
class WheelOnlyWhenFocused : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Wheel && !static_cast<QWidget *>(watched)->hasFocus()) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

void ignoreWheelUnlessFocused(QComboBox *picker)
{
    picker->setFocusPolicy(Qt::StrongFocus);
    picker->installEventFilter(new WheelOnlyWhenFocused(picker));
}

// Return sends; Shift+Return starts a new line.
class SendOnReturn : public QObject
{
public:
    SendOnReturn(PlusChatModel &chat, QObject *parent) : QObject(parent), m_chat(chat) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto *press = static_cast<QKeyEvent *>(event);
            if ((press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter)
                && !(press->modifiers() & Qt::ShiftModifier)) {
                m_chat.send();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    PlusChatModel &m_chat;
};

} // namespace

PlusChatSection::PlusChatSection(PlusChatModel &chat, PlusAIKeyStore &keys, const PlusAIClient &client,
                                 Layout layout, QWidget *parent)
    : QWidget(parent)
    , m_chat(chat)
    , m_keys(keys)
    , m_client(client)
{
    setObjectName(QStringLiteral("chatSection"));
    setStyleSheet(kStyleSheet);
    // In the narrow popover the panel's width decides, never the chat's rows.
    if (layout == Layout::compact)
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(PanelStyle::kSideInset, 10, PanelStyle::kSideInset, 10);
    column->setSpacing(8);
    buildHeader(column);
    buildKeyRow(column, layout);
    buildModelPicker(column, layout == Layout::compact);
    buildCannedActions(column, layout);
    buildConversation(column);
    buildInput(column);
    bindModel();
    m_chat.loadKey();
}

void PlusChatSection::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_keys.load();
}

void PlusChatSection::buildHeader(QVBoxLayout *layout)
{
    auto *header = new QHBoxLayout;
    header->setSpacing(6);
    auto *title = label(QStringLiteral("AI Chat"), PanelStyle::TextRole::emphasized, this);
    QFont titleFont = title->font();
    titleFont.setPixelSize(15);
    title->setFont(titleFont);
    header->addWidget(title);
    auto *pro = new QLabel(QStringLiteral("Pro"), this);
    pro->setObjectName(QStringLiteral("proBadge"));
    header->addWidget(pro);
    m_modelBadge = new QLabel(this);
    m_modelBadge->setObjectName(QStringLiteral("modelBadge"));
    m_modelBadge->setTextFormat(Qt::PlainText);
    // A long model id gives way to the buttons beside it.
    m_modelBadge->setMinimumWidth(0);
    m_modelBadge->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    header->addWidget(m_modelBadge);
    header->addStretch();
    m_keysToggle = button(QStringLiteral("API keys"), "linkButton", this);
    m_keysToggle->setProperty("role", "keysToggle");
    connect(m_keysToggle, &QPushButton::clicked, this, [this] { setKeysShown(!keysShown()); });
    header->addWidget(m_keysToggle);
    layout->addLayout(header);

    m_apiConfigSlot = new QVBoxLayout;
    layout->addLayout(m_apiConfigSlot);
}

void PlusChatSection::buildKeyRow(QVBoxLayout *layout, Layout sectionLayout)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(label(QStringLiteral("Provider"), PanelStyle::TextRole::detail, this));
    m_provider = new QComboBox(this);
    m_provider->setObjectName(QStringLiteral("providerPicker"));
    ignoreWheelUnlessFocused(m_provider);
    for (PlusAIProvider provider : PlusAIProviders::all())
        m_provider->addItem(PlusAIProviders::displayName(provider), static_cast<int>(provider));
    connect(m_provider, &QComboBox::activated, this, [this](int index) {
        m_chat.setProvider(static_cast<PlusAIProvider>(m_provider->itemData(index).toInt()));
    });
    row->addWidget(m_provider);
    // The popover is narrow: the key and its button take a row of their own.
    if (sectionLayout == Layout::compact) {
        row->addStretch(1);
        layout->addLayout(row);
        row = new QHBoxLayout;
        row->setSpacing(6);
    }
    m_keyField = new PlusPasteableKeyField(kKeyPlaceholder, true, this);
    m_keyField->setObjectName(QStringLiteral("chatKeyField"));
    connect(m_keyField, &QLineEdit::textChanged, &m_chat, &PlusChatModel::setKeyDraft);
    row->addWidget(m_keyField, 1);
    auto *save = button(QStringLiteral("Save key"), "saveKeyButton", this);
    connect(save, &QPushButton::clicked, &m_chat, &PlusChatModel::saveKey);
    row->addWidget(save);
    layout->addLayout(row);
    auto *caption = label(PlatformTexts::onThisMachine(kKeyCaption), PanelStyle::TextRole::detail, this);
    caption->setWordWrap(true);
    layout->addWidget(caption);
}

void PlusChatSection::buildModelPicker(QVBoxLayout *layout, bool compact)
{
    m_modelPicker = new QWidget(this);
    m_modelPicker->setObjectName(QStringLiteral("openRouterModelPicker"));
    auto *grid = new QGridLayout(m_modelPicker);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(6);
    grid->addWidget(label(QStringLiteral("OpenRouter model"), PanelStyle::TextRole::detail, m_modelPicker), 0, 0);
    m_openRouterModel = new QComboBox(m_modelPicker);
    ignoreWheelUnlessFocused(m_openRouterModel);
    // Model ids are long; the picker takes the width it is given, not theirs.
    m_openRouterModel->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_openRouterModel->setMinimumContentsLength(12);
    m_openRouterModel->addItems(PlusOpenRouterModels::presets());
    connect(m_openRouterModel, &QComboBox::textActivated, &m_chat, &PlusChatModel::setOpenRouterModel);
    grid->addWidget(m_openRouterModel, 0, 1);
    grid->setColumnStretch(1, 1);
    m_openRouterCustom = new QLineEdit(m_modelPicker);
    m_openRouterCustom->setPlaceholderText(QStringLiteral("Or custom model id…"));
    connect(m_openRouterCustom, &QLineEdit::textChanged, &m_chat, &PlusChatModel::setOpenRouterCustom);
    if (compact) {
        grid->addWidget(m_openRouterCustom, 1, 0, 1, 2);
    } else {
        grid->addWidget(m_openRouterCustom, 0, 2);
        grid->setColumnStretch(2, 1);
    }
    layout->addWidget(m_modelPicker);
}

void PlusChatSection::buildCannedActions(QVBoxLayout *layout, Layout sectionLayout)
{
    auto *grid = new QGridLayout;
    grid->setSpacing(6);
    const int columns = sectionLayout == Layout::compact ? 2 : 5;
    auto add = [&](const QString &text, auto action, bool asks) {
        auto *b = button(text, "cannedButton", this);
        connect(b, &QPushButton::clicked, this, action);
        const int index = grid->count();
        grid->addWidget(b, index / columns, index % columns);
        if (asks)
            m_askButtons.append(b);
    };
    add(QStringLiteral("Explain drain"), [this] { m_chat.explainDrain(); }, true);
    add(QStringLiteral("Attach snapshot"), [this] { m_chat.attachSnapshot(); }, false);
    add(QStringLiteral("% now"), [this] { m_chat.askWithSnapshot(PlusChatModel::kBatteryNowQuestion); }, true);
    add(QStringLiteral("Weather tip"), [this] { m_chat.askWithSnapshot(PlusChatModel::kWeatherTipQuestion); }, true);
    add(QStringLiteral("Export snapshot"), [this] { offerSave(m_chat.exportSnapshot()); }, false);
    layout->addLayout(grid);
}

void PlusChatSection::buildConversation(QVBoxLayout *layout)
{
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("conversation"));
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumHeight(160);
    m_bubbles = new QWidget(scroll);
    m_bubbles->setObjectName(QStringLiteral("bubbles"));
    m_bubbleLayout = new QVBoxLayout(m_bubbles);
    m_bubbleLayout->setContentsMargins(0, 0, 4, 0);
    m_bubbleLayout->setSpacing(6);
    m_emptyHint = label(kEmptyHint, PanelStyle::TextRole::detail, m_bubbles);
    m_emptyHint->setObjectName(QStringLiteral("emptyHint"));
    m_emptyHint->setWordWrap(true);
    m_emptyHint->setAlignment(Qt::AlignCenter);
    m_bubbleLayout->addWidget(m_emptyHint);
    m_bubbleLayout->addStretch();
    scroll->setWidget(m_bubbles);
    // Newest message in view once the new bubble is laid out.
    connect(scroll->verticalScrollBar(), &QScrollBar::rangeChanged, scroll,
            [scroll](int, int max) { scroll->verticalScrollBar()->setValue(max); });
    layout->addWidget(scroll, 1);
}

void PlusChatSection::buildInput(QVBoxLayout *layout)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    m_input = new QPlainTextEdit(this);
    m_input->setObjectName(QStringLiteral("draft"));
    m_input->setPlaceholderText(QStringLiteral("Ask about your battery…"));
    m_input->setFixedHeight(54);
    m_input->installEventFilter(new SendOnReturn(m_chat, m_input));
    connect(m_input, &QPlainTextEdit::textChanged, this, [this] { m_chat.setDraft(m_input->toPlainText()); });
    row->addWidget(m_input, 1);
    m_send = button(QStringLiteral("Send"), "sendButton", this);
    connect(m_send, &QPushButton::clicked, &m_chat, &PlusChatModel::send);
    row->addWidget(m_send, 0, Qt::AlignBottom);
    layout->addLayout(row);

    auto *footer = new QHBoxLayout;
    footer->setSpacing(6);
    auto *exportChat = button(QStringLiteral("Export chat"), "exportChatButton", this);
    connect(exportChat, &QPushButton::clicked, this, [this] { offerSave(m_chat.exportChat()); });
    footer->addWidget(exportChat);
    auto *clear = button(QStringLiteral("Clear"), "clearButton", this);
    connect(clear, &QPushButton::clicked, &m_chat, &PlusChatModel::clear);
    footer->addWidget(clear);
    m_status = label(QString(), PanelStyle::TextRole::detail, this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_status->setMinimumWidth(0);
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    footer->addWidget(m_status, 1);
    layout->addLayout(footer);
}

void PlusChatSection::bindModel()
{
    connect(&m_chat, &PlusChatModel::providerChanged, this, [this] {
        refreshProvider();
        m_chat.loadKey();
    });
    connect(&m_chat, &PlusChatModel::effectiveModelChanged, this, &PlusChatSection::refreshModel);
    connect(&m_chat, &PlusChatModel::openRouterModelChanged, this, &PlusChatSection::refreshModel);
    connect(&m_chat, &PlusChatModel::messagesChanged, this, &PlusChatSection::refreshMessages);
    connect(&m_chat, &PlusChatModel::busyChanged, this, &PlusChatSection::refreshBusy);
    connect(&m_chat, &PlusChatModel::draftChanged, this, &PlusChatSection::refreshDraft);
    connect(&m_chat, &PlusChatModel::keyDraftChanged, this, [this] {
        if (m_keyField->text() != m_chat.keyDraft())
            m_keyField->setText(m_chat.keyDraft());
    });
    connect(&m_chat, &PlusChatModel::statusChanged, this,
            [this] { PanelStyle::setTextIfChanged(m_status, m_chat.status()); });
    connect(&m_chat, &PlusChatModel::openRouterCustomChanged, this, [this] {
        if (m_openRouterCustom->text() != m_chat.openRouterCustom())
            m_openRouterCustom->setText(m_chat.openRouterCustom());
    });
    refreshProvider();
    refreshModel();
    refreshMessages();
    refreshBusy();
    refreshDraft();
    m_openRouterCustom->setText(m_chat.openRouterCustom());
    m_keyField->setText(m_chat.keyDraft());
    m_status->setText(m_chat.status());
}

void PlusChatSection::refreshProvider()
{
    m_provider->setCurrentIndex(m_provider->findData(static_cast<int>(m_chat.provider())));
    m_modelPicker->setVisible(m_chat.provider() == PlusAIProvider::openRouter);
}

void PlusChatSection::refreshModel()
{
    const bool openRouter = m_chat.provider() == PlusAIProvider::openRouter;
    m_modelBadge->setVisible(openRouter);
    PanelStyle::setTextIfChanged(m_modelBadge, m_chat.effectiveModel());
    const QString picked = m_chat.openRouterModel();
    if (m_openRouterModel->findText(picked) < 0)
        m_openRouterModel->addItem(picked);
    m_openRouterModel->setCurrentText(picked);
}

void PlusChatSection::refreshMessages()
{
    while (m_bubbleLayout->count() > 2) {
        QLayoutItem *item = m_bubbleLayout->takeAt(1);
        delete item->widget();
        delete item;
    }
    const QList<PlusChatMessage> &messages = m_chat.messages();
    m_emptyHint->setVisible(messages.isEmpty());
    for (const PlusChatMessage &message : messages) {
        // The user's lines are indented from the left, replies from the
        // right; both keep a fixed share of the width so wrapped text gets
        // its full height.
        auto *row = new QWidget(m_bubbles);
        auto *rowLayout = new QHBoxLayout(row);
        const bool isUser = message.role == u"user" && !message.isError;
        rowLayout->setContentsMargins(isUser ? kBubbleIndent : 0, 0, isUser ? 0 : kBubbleIndent, 0);
        rowLayout->addWidget(makeBubble(message, m_chat, row));
        m_bubbleLayout->insertWidget(m_bubbleLayout->count() - 1, row);
    }
}

void PlusChatSection::refreshBusy()
{
    const bool idle = !m_chat.busy();
    m_send->setEnabled(idle);
    for (QPushButton *b : std::as_const(m_askButtons))
        b->setEnabled(idle);
}

void PlusChatSection::refreshDraft()
{
    if (m_input->toPlainText() == m_chat.draft())
        return;
    const QSignalBlocker blocker(m_input);
    m_input->setPlainText(m_chat.draft());
    m_input->moveCursor(QTextCursor::End);
}

bool PlusChatSection::keysShown() const
{
    return m_apiConfigScroll && m_apiConfigScroll->isVisibleTo(this);
}

void PlusChatSection::setKeysShown(bool shown)
{
    if (shown && !m_apiConfig) {
        m_apiConfigScroll = new QScrollArea(this);
        m_apiConfigScroll->setWidgetResizable(true);
        m_apiConfigScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_apiConfigScroll->setMaximumHeight(kEmbeddedKeysMaxHeight);
        m_apiConfig = new PlusPrefsAPIConfigPane(m_keys, m_client, true, m_apiConfigScroll);
        connectApiConfigPane(*m_apiConfig, m_chat);
        m_apiConfigScroll->setWidget(m_apiConfig);
        m_apiConfigSlot->addWidget(m_apiConfigScroll);
    }
    if (m_apiConfigScroll)
        m_apiConfigScroll->setVisible(shown);
    m_keysToggle->setText(shown ? QStringLiteral("Hide keys") : QStringLiteral("API keys"));
}

void PlusChatSection::offerSave(const PlusChatExport &chatExport)
{
    auto *dialog = new QFileDialog(window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    QStringList filters{QStringLiteral("Markdown (*.md)"), QStringLiteral("Text (*.txt)")};
    if (chatExport.extension != u"md" && chatExport.extension != u"txt")
        filters.prepend(QStringLiteral("*.") + chatExport.extension);
    dialog->setNameFilters(filters);
    dialog->setDefaultSuffix(chatExport.extension);
    dialog->setDirectory(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dialog->selectFile(chatExport.proposedName());
    connect(dialog, &QFileDialog::fileSelected, &m_chat,
            [chat = &m_chat, chatExport](const QString &path) { chat->writeExport(chatExport, path); });
    dialog->open();
}

void connectApiConfigPane(PlusPrefsAPIConfigPane &pane, PlusChatModel &chat)
{
    auto sync = [&pane, &chat] {
        pane.setActiveProvider(chat.provider());
        pane.setOpenRouterModel(chat.effectiveOpenRouterModel());
    };
    QObject::connect(&chat, &PlusChatModel::providerChanged, &pane, sync);
    QObject::connect(&chat, &PlusChatModel::effectiveModelChanged, &pane, sync);
    QObject::connect(&pane, &PlusPrefsAPIConfigPane::activeProviderPicked, &chat, [&chat](PlusAIProvider provider) {
        chat.setProvider(provider);
        chat.loadKey();
    });
    QObject::connect(&pane, &PlusPrefsAPIConfigPane::keySaved, &chat, &PlusChatModel::noteKeySaved);
    sync();
}
