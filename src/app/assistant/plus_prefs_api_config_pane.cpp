#include "app/assistant/plus_prefs_api_config_pane.h"

#include "app/assistant/plus_pasteable_key_field.h"
#include "app/ui/panel_style.h"
#include "platform/platform_texts.h"
#include "assistant/ai_chat_message.h"
#include "assistant/ai_client.h"
#include "assistant/ai_key_store.h"
#include "assistant/ai_openrouter_model.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

const QString kCaption =
    QStringLiteral("Add your own provider keys (OpenRouter, Gemini, OpenAI, Anthropic). Stored in this computer’s "
                   "keyring and only sent to that provider when you chat — not to Marblewick HQ.");
const QString kFooter =
    QStringLiteral("Keys live in the keyring on this device. Pendra Pro does not sell or mint provider API keys.");
const QString kPlaceholder = QStringLiteral("Paste API key (Ctrl+V)");
const QString kSavedInKeyring = PlatformTexts::onThisMachine(QStringLiteral("Saved on this Mac"));

// Where a key went when the desktop has no keyring, with the home folder as "~".
QString savedInFile(const QString &location)
{
    const QString home = QDir::homePath();
    const QString shown = location.startsWith(home + QLatin1Char('/')) ? QLatin1Char('~') + location.mid(home.size())
                                                                        : location;
    return QStringLiteral("Saved in ") + shown + QStringLiteral(" (no keyring on this desktop)");
}
const QString kTestPrompt = QStringLiteral("Reply with exactly: ok");
constexpr int kReplyExcerpt = 40;

const QString kStyleSheet = QStringLiteral(R"(
QWidget#apiConfigPane { background: #1a1a1c; }
QFrame#providerCard { background: rgba(255,255,255,14); border: 1px solid rgba(255,255,255,24); border-radius: 10px; }
QLabel { background: transparent; }
QLabel#activeBadge { color: white; background: #0a84ff; border-radius: 7px; padding: 1px 7px; font-size: 10px; font-weight: 600; }
QLineEdit { color: #f2f2f7; background: rgba(0,0,0,90); border: 1px solid rgba(255,255,255,40); border-radius: 6px;
            padding: 4px 8px; selection-background-color: #0a84ff; }
QLineEdit:focus { border-color: #0a84ff; }
QPushButton { color: #f2f2f7; background: rgba(255,255,255,26); border: 1px solid rgba(255,255,255,30);
              border-radius: 6px; padding: 3px 12px; }
QPushButton:hover { background: rgba(255,255,255,40); }
QPushButton:pressed { background: rgba(255,255,255,56); }
QPushButton#saveButton { background: #0a84ff; border-color: #0a84ff; font-weight: 600; }
QPushButton#saveButton:pressed { background: #0060d0; }
QPushButton#keyPageButton { background: transparent; border: none; color: #409cff; padding: 3px 4px; }
QPushButton#segment { border-radius: 0; padding: 4px 14px; }
QPushButton#segment:checked { background: #0a84ff; border-color: #0a84ff; color: white; }
QPushButton#segment[edge="first"] { border-top-left-radius: 6px; border-bottom-left-radius: 6px; }
QPushButton#segment[edge="last"] { border-top-right-radius: 6px; border-bottom-right-radius: 6px; }
)");

using PanelStyle::button;
using PanelStyle::label;

QString modelCaption(PlusAIProvider provider)
{
    if (provider == PlusAIProvider::openRouter)
        return QStringLiteral("Model · choose above (OpenRouter)");
    return QStringLiteral("Model · ") + PlusAIProviders::defaultModel(provider);
}

// The first `count` characters, never splitting a surrogate pair.
QString excerpt(const QString &text, int count)
{
    qsizetype end = 0;
    for (int seen = 0; seen < count && end < text.size(); ++seen)
        end += (text.at(end).isHighSurrogate() && end + 1 < text.size()) ? 2 : 1;
    return text.left(end);
}

} // namespace

// One provider's card: header with badges, model caption, key field,
// actions and status line.
class ProviderKeyCard : public QFrame
{
public:
    ProviderKeyCard(PlusAIProvider provider, PlusPrefsAPIConfigPane *pane)
        : QFrame(pane)
    {
        const QString name = PlusAIProviders::displayName(provider);
        setObjectName(QStringLiteral("providerCard"));
        setProperty("provider", name);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(12, 10, 12, 10);
        layout->setSpacing(6);

        auto *header = new QHBoxLayout;
        header->addWidget(label(name, PanelStyle::TextRole::emphasized, this));
        activeBadge = new QLabel(QStringLiteral("Active"), this);
        activeBadge->setObjectName(QStringLiteral("activeBadge"));
        header->addWidget(activeBadge);
        header->addStretch();
        keyBadge = label(QString(), PanelStyle::TextRole::detail, this);
        keyBadge->setObjectName(QStringLiteral("keyBadge"));
        header->addWidget(keyBadge);
        layout->addLayout(header);
        layout->addWidget(label(modelCaption(provider), PanelStyle::TextRole::detail, this));

        field = new PlusPasteableKeyField(kPlaceholder, true, this);
        field->setObjectName(QStringLiteral("keyField"));
        layout->addWidget(field);

        auto *actions = new QHBoxLayout;
        actions->setSpacing(6);
        auto *paste = button(QStringLiteral("Paste"), "pasteButton", this);
        auto *save = button(QStringLiteral("Save"), "saveButton", this);
        auto *test = button(QStringLiteral("Test"), "testButton", this);
        auto *use = button(QStringLiteral("Use"), "useButton", this);
        auto *keyPage = button(QStringLiteral("Get key…"), "keyPageButton", this);
        for (QPushButton *b : {paste, save, test, use})
            actions->addWidget(b);
        actions->addStretch();
        actions->addWidget(keyPage);
        layout->addLayout(actions);

        status = label(QString(), PanelStyle::TextRole::detail, this);
        status->setObjectName(QStringLiteral("status"));
        status->setWordWrap(true);
        status->hide();
        layout->addWidget(status);

        QObject::connect(paste, &QPushButton::clicked, pane, [pane, provider] { pane->paste(provider); });
        QObject::connect(save, &QPushButton::clicked, pane, [pane, provider] { pane->save(provider); });
        QObject::connect(test, &QPushButton::clicked, pane, [pane, provider] { pane->test(provider); });
        QObject::connect(use, &QPushButton::clicked, pane, [pane, provider] { pane->use(provider); });
        QObject::connect(keyPage, &QPushButton::clicked, pane, [pane, provider] { pane->openKeyPage(provider); });
    }

    QLabel *activeBadge;
    QLabel *keyBadge;
    PlusPasteableKeyField *field;
    QLabel *status;
};

PlusPrefsAPIConfigPane::PlusPrefsAPIConfigPane(PlusAIKeyStore &keys, const PlusAIClient &client, bool embedded,
                                               QWidget *parent)
    : QWidget(parent)
    , m_keys(keys)
    , m_client(client)
    , m_openRouterModel(PlusOpenRouterModels::kAuto)
    , m_picker(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("apiConfigPane"));
    setAttribute(Qt::WA_StyledBackground, !embedded);
    setStyleSheet(kStyleSheet);

    auto *layout = new QVBoxLayout(this);
    const int margin = embedded ? 0 : 20;
    layout->setContentsMargins(margin, embedded ? 4 : 18, margin, embedded ? 4 : 18);
    layout->setSpacing(embedded ? 8 : 12);

    auto *title = label(embedded ? QStringLiteral("Provider keys") : QStringLiteral("API Config"),
                        PanelStyle::TextRole::emphasized, this);
    QFont titleFont = title->font();
    titleFont.setPixelSize(embedded ? 14 : 17);
    title->setFont(titleFont);
    layout->addWidget(title);
    auto *caption = label(kCaption, PanelStyle::TextRole::detail, this);
    caption->setWordWrap(true);
    layout->addWidget(caption);

    layout->addWidget(label(QStringLiteral("Active provider"), PanelStyle::TextRole::sectionHeader, this));
    auto *segments = new QHBoxLayout;
    segments->setSpacing(0);
    for (PlusAIProvider provider : PlusAIProviders::all()) {
        auto *segment = button(PlusAIProviders::displayName(provider), "segment", this);
        segment->setCheckable(true);
        if (provider == PlusAIProviders::all().first())
            segment->setProperty("edge", QStringLiteral("first"));
        else if (provider == PlusAIProviders::all().last())
            segment->setProperty("edge", QStringLiteral("last"));
        m_picker->addButton(segment, static_cast<int>(provider));
        segments->addWidget(segment);
    }
    segments->addStretch();
    layout->addLayout(segments);
    connect(m_picker, &QButtonGroup::idClicked, this,
            [this](int id) { pick(static_cast<PlusAIProvider>(id)); });
    m_defaultModel = label(QString(), PanelStyle::TextRole::detail, this);
    m_defaultModel->setObjectName(QStringLiteral("defaultModel"));
    layout->addWidget(m_defaultModel);

    for (PlusAIProvider provider : PlusAIProviders::all()) {
        auto *card = new ProviderKeyCard(provider, this);
        connect(card->field, &QLineEdit::textChanged, this,
                [this, provider](const QString &text) { m_drafts.insert(provider, text); });
        m_cards.insert(provider, card);
        layout->addWidget(card);
    }

    auto *footer = label(kFooter, PanelStyle::TextRole::detail, this);
    footer->setWordWrap(true);
    layout->addWidget(footer);
    layout->addStretch();

    connect(&m_keys, &PlusAIKeyStore::loaded, this, &PlusPrefsAPIConfigPane::refreshKeyBadges);
    connect(&m_keys, &PlusAIKeyStore::keyChanged, this, &PlusPrefsAPIConfigPane::refreshKeyBadges);
    refreshActive();
    refreshKeyBadges();
}

void PlusPrefsAPIConfigPane::setActiveProvider(PlusAIProvider provider)
{
    m_active = provider;
    refreshActive();
}

void PlusPrefsAPIConfigPane::setOpenRouterModel(const QString &model)
{
    m_openRouterModel = model;
    refreshActive();
}

void PlusPrefsAPIConfigPane::refreshActive()
{
    m_picker->button(static_cast<int>(m_active))->setChecked(true);
    const QString model =
        m_active == PlusAIProvider::openRouter ? m_openRouterModel : PlusAIProviders::defaultModel(m_active);
    PanelStyle::setTextIfChanged(m_defaultModel, QStringLiteral("Default model: ") + model);
    for (auto it = m_cards.cbegin(); it != m_cards.cend(); ++it)
        it.value()->activeBadge->setVisible(it.key() == m_active);
}

void PlusPrefsAPIConfigPane::refreshKeyBadges()
{
    for (auto it = m_cards.cbegin(); it != m_cards.cend(); ++it) {
        const bool saved = !m_keys.keyForProvider(it.key()).isEmpty();
        PanelStyle::setTextIfChanged(it.value()->keyBadge, saved ? QStringLiteral("Key saved") : QStringLiteral("No key"));
    }
}

void PlusPrefsAPIConfigPane::setStatus(PlusAIProvider provider, const QString &text)
{
    m_statusByProvider.insert(provider, text);
    QLabel *status = m_cards.value(provider)->status;
    status->setText(text);
    status->setVisible(!text.isEmpty());
}

void PlusPrefsAPIConfigPane::paste(PlusAIProvider provider)
{
    const QString text = QGuiApplication::clipboard()->text().trimmed();
    if (text.isEmpty())
        return;
    m_cards.value(provider)->field->setText(text); // the field's change stores the draft
}

void PlusPrefsAPIConfigPane::save(PlusAIProvider provider)
{
    const QString key = m_drafts.value(provider).trimmed();
    // The keyring may answer after the pane is closed; the key is stored
    // all the same, only the report is dropped.
    QPointer<PlusPrefsAPIConfigPane> self(this);
    m_keys.saveKey(provider, key, [self, provider, key](const PlusAIKeyStore::SaveOutcome &outcome) {
        if (!self)
            return;
        if (!outcome.saved) {
            self->setStatus(provider, (outcome.cleared ? QStringLiteral("Not cleared: ") : QStringLiteral("Not saved: "))
                                          + outcome.error);
            return;
        }
        if (outcome.cleared)
            self->setStatus(provider, QStringLiteral("Cleared"));
        else
            self->setStatus(provider, outcome.store == Keychain::Store::secretsFile ? savedInFile(outcome.location)
                                                                                    : kSavedInKeyring);
        emit self->keySaved(provider, key);
    });
}

QString PlusPrefsAPIConfigPane::testModel(PlusAIProvider provider) const
{
    return provider == PlusAIProvider::openRouter ? m_openRouterModel : PlusAIProviders::defaultModel(provider);
}

void PlusPrefsAPIConfigPane::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_keys.load();
}

void PlusPrefsAPIConfigPane::test(PlusAIProvider provider)
{
    if (!m_drafts.contains(provider) && !m_keys.isLoaded()) {
        // The saved key is tested, so it has to be read first.
        m_keys.whenLoaded(this, [this, provider] { test(provider); });
        return;
    }
    const QString key =
        (m_drafts.contains(provider) ? m_drafts.value(provider) : m_keys.keyForProvider(provider)).trimmed();
    if (key.isEmpty()) {
        setStatus(provider, QStringLiteral("Paste a key first"));
        return;
    }
    m_testing = provider;
    setStatus(provider, QStringLiteral("Checking…"));
    const QString model = testModel(provider);
    m_client.send(provider, key, {PlusChatMessage::user(kTestPrompt)}, model, this,
                  [this, provider, model](const PlusAIOutcome &outcome) {
                      m_testing.reset();
                      if (const auto *reply = std::get_if<QString>(&outcome)) {
                          setStatus(provider, QStringLiteral("Connected · ") + model + QStringLiteral(" · ")
                                                  + excerpt(*reply, kReplyExcerpt));
                      } else {
                          setStatus(provider, std::get<PlusAIError>(outcome).description);
                      }
                  });
}

void PlusPrefsAPIConfigPane::pick(PlusAIProvider provider)
{
    setActiveProvider(provider);
    emit activeProviderPicked(provider);
}

void PlusPrefsAPIConfigPane::use(PlusAIProvider provider)
{
    pick(provider);
    setStatus(provider, QStringLiteral("Set as active provider"));
}

void PlusPrefsAPIConfigPane::openKeyPage(PlusAIProvider provider)
{
    QDesktopServices::openUrl(PlusAIProviders::keyPage(provider));
}
