#include "app/assistant/plus_prefs_chat_pane.h"

#include "app/assistant/plus_chat_section.h"
#include "app/assistant/plus_prefs_api_config_pane.h"
#include "app/ui/panel_style.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

const QString kStyleSheet = QStringLiteral(R"(
QWidget#chatPane { background: #1a1a1c; }
QLabel { background: transparent; }
QPushButton#subtab { color: #f2f2f7; background: rgba(255,255,255,26); border: 1px solid rgba(255,255,255,30);
                     border-radius: 0; padding: 4px 16px; }
QPushButton#subtab:checked { background: #0a84ff; border-color: #0a84ff; color: white; }
QPushButton#subtab[edge="first"] { border-top-left-radius: 6px; border-bottom-left-radius: 6px; }
QPushButton#subtab[edge="last"] { border-top-right-radius: 6px; border-bottom-right-radius: 6px; }
QScrollArea { background: transparent; border: none; }
QScrollBar:vertical { background: transparent; width: 8px; }
QScrollBar::handle:vertical { background: rgba(255,255,255,50); border-radius: 4px; min-height: 24px; }
QScrollBar::add-line, QScrollBar::sub-line { height: 0; }
QPushButton#openApiConfig { color: #409cff; background: transparent; border: none; padding: 2px 4px; }
)");

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    PanelStyle::apply(label, PanelStyle::TextRole::detail);
    label->setWordWrap(true);
    return label;
}

} // namespace

PlusPrefsChatPane::PlusPrefsChatPane(PlusChatModel &chat, PlusAIKeyStore &keys, const PlusAIClient &client,
                                     QWidget *parent)
    : QWidget(parent)
    , m_tabs(new QButtonGroup(this))
    , m_stack(new QStackedWidget(this))
{
    setObjectName(QStringLiteral("chatPane"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(kStyleSheet);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 12);
    layout->setSpacing(10);

    auto *tabs = new QHBoxLayout;
    tabs->setSpacing(0);
    const struct
    {
        Subtab subtab;
        QString title;
        const char *edge;
    } subtabs[] = {{Subtab::chat, QStringLiteral("Chat"), "first"},
                    {Subtab::apiConfig, QStringLiteral("API Config"), "last"}};
    for (const auto &entry : subtabs) {
        auto *tab = new QPushButton(entry.title, this);
        tab->setObjectName(QStringLiteral("subtab"));
        tab->setProperty("edge", QLatin1String(entry.edge));
        tab->setCheckable(true);
        tab->setCursor(Qt::PointingHandCursor);
        m_tabs->addButton(tab, static_cast<int>(entry.subtab));
        tabs->addWidget(tab);
    }
    tabs->addStretch();
    layout->addLayout(tabs);
    layout->addWidget(
        caption(QStringLiteral("Chat and provider keys. API Config lives in a subtab so the sidebar stays clean."), this));

    auto *chatPage = new QWidget(m_stack);
    auto *chatColumn = new QVBoxLayout(chatPage);
    chatColumn->setContentsMargins(0, 0, 0, 0);
    chatColumn->setSpacing(4);
    auto *hint = new QHBoxLayout;
    hint->addWidget(caption(QStringLiteral("Chat uses the active provider from the API Config subtab."), chatPage), 1);
    auto *open = new QPushButton(QStringLiteral("Open API Config…"), chatPage);
    open->setObjectName(QStringLiteral("openApiConfig"));
    open->setCursor(Qt::PointingHandCursor);
    connect(open, &QPushButton::clicked, this, [this] { showSubtab(Subtab::apiConfig); });
    hint->addWidget(open);
    chatColumn->addLayout(hint);
    m_chatSection = new PlusChatSection(chat, keys, client, PlusChatSection::Layout::wide, chatPage);
    m_chatSection->layout()->setContentsMargins(0, 6, 0, 0);
    chatColumn->addWidget(m_chatSection, 1);
    m_stack->addWidget(chatPage);

    // The four provider cards are taller than the window may be.
    auto *apiScroll = new QScrollArea(m_stack);
    apiScroll->setWidgetResizable(true);
    apiScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_apiConfig = new PlusPrefsAPIConfigPane(keys, client, false, apiScroll);
    m_apiConfig->layout()->setContentsMargins(0, 0, 8, 0);
    connectApiConfigPane(*m_apiConfig, chat);
    apiScroll->setWidget(m_apiConfig);
    m_stack->addWidget(apiScroll);
    layout->addWidget(m_stack, 1);

    connect(m_tabs, &QButtonGroup::idClicked, this, [this](int id) { showSubtab(static_cast<Subtab>(id)); });
    showSubtab(Subtab::chat);
}

void PlusPrefsChatPane::showSubtab(Subtab subtab)
{
    m_tabs->button(static_cast<int>(subtab))->setChecked(true);
    m_stack->setCurrentIndex(static_cast<int>(subtab));
}

PlusPrefsChatPane::Subtab PlusPrefsChatPane::subtab() const
{
    return static_cast<Subtab>(m_stack->currentIndex());
}
