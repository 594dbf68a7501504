#include "app/preferences/pendra_onboarding_sheet.h"

#include "app/ui/panel_style.h"
#include "platform/defaults.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kCardMaxWidth = 300; // px
constexpr int kCardMargin = 14; // px, host edge to the card at the least
constexpr double kCardRadius = 14; // px
constexpr double kBackdropRadius = 12; // px

struct Hint
{
    const char *heading;
    const char *line;
};

// After the click hint, which depends on the tray host.
const Hint kLaterHints[] = {
    {"Double-click for the full window", "A larger Torvex-style view with charts and why-drain analysis."},
    {"“Why did battery drop?”", "Pendra learns on-device. Leave it running a bit for better answers."},
};

// The filled accent button that ends the sheet.
class GotItButton : public QPushButton
{
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF box = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
        QPainterPath shape;
        shape.addRoundedRect(box, 7, 7);
        painter.fillPath(shape, isDown() ? PanelStyle::kAccent.darker(120) : PanelStyle::kAccent);
        if (hasFocus()) {
            painter.setPen(QPen(QColor(255, 255, 255, 170), 1));
            painter.drawPath(shape);
        }
        painter.setPen(Qt::white);
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
};

QLabel *wrappedLabel(const QString &text, PanelStyle::TextRole role, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    PanelStyle::apply(label, role);
    return label;
}

} // namespace

bool PendraOnboardingSheet::seen(const Defaults &defaults)
{
    return defaults.boolValue(kSeenKey).value_or(false);
}

void PendraOnboardingSheet::markSeen(Defaults &defaults)
{
    defaults.setBool(kSeenKey, true);
}

PendraOnboardingSheet *PendraOnboardingSheet::presentOver(QWidget *host, Defaults &defaults, ClickHint clickHint)
{
    if (!host || seen(defaults) || host->findChild<PendraOnboardingSheet *>(QString(), Qt::FindDirectChildrenOnly))
        return nullptr;
    auto *sheet = new PendraOnboardingSheet(defaults, std::move(clickHint), host);
    sheet->show();
    sheet->raise();
    return sheet;
}

PendraOnboardingSheet::PendraOnboardingSheet(Defaults &defaults, ClickHint clickHint, QWidget *host)
    : QWidget(host)
    , m_defaults(defaults)
    , m_clickHint(std::move(clickHint))
    , m_card(new QWidget(this))
    , m_clickHeading(wrappedLabel(QString(), PanelStyle::TextRole::emphasized, m_card))
    , m_clickLine(wrappedLabel(QString(), PanelStyle::TextRole::detail, m_card))
    , m_gotIt(new GotItButton(QStringLiteral("Got it"), m_card))
{
    setObjectName(QStringLiteral("onboardingSheet"));
    m_card->setObjectName(QStringLiteral("onboardingCard"));
    setGeometry(host->rect());
    host->installEventFilter(this);

    auto *title = wrappedLabel(QStringLiteral("Welcome to Pendra"), PanelStyle::TextRole::emphasized, m_card);
    title->setObjectName(QStringLiteral("onboardingTitle"));
    QFont large = title->font();
    large.setPixelSize(18);
    title->setFont(large);

    auto *column = new QVBoxLayout(m_card);
    column->setContentsMargins(20, 18, 20, 16);
    column->setSpacing(4);
    column->addWidget(title);
    column->addSpacing(8);
    m_clickHeading->setObjectName(QStringLiteral("clickHintHeading"));
    m_clickLine->setObjectName(QStringLiteral("clickHintLine"));
    column->addWidget(m_clickHeading);
    column->addWidget(m_clickLine);
    column->addSpacing(8);
    for (const Hint &hint : kLaterHints) {
        column->addWidget(wrappedLabel(QString::fromUtf8(hint.heading), PanelStyle::TextRole::emphasized, m_card));
        column->addWidget(wrappedLabel(QString::fromUtf8(hint.line), PanelStyle::TextRole::detail, m_card));
        column->addSpacing(8);
    }
    m_gotIt->setObjectName(QStringLiteral("gotItButton"));
    m_gotIt->setFont(PanelStyle::font(PanelStyle::TextRole::emphasized));
    m_gotIt->setMinimumHeight(30);
    m_gotIt->setDefault(true);
    m_gotIt->setCursor(Qt::PointingHandCursor);
    connect(m_gotIt, &QPushButton::clicked, this, &PendraOnboardingSheet::gotIt);
    column->addSpacing(4);
    column->addWidget(m_gotIt);
}

void PendraOnboardingSheet::gotIt()
{
    markSeen(m_defaults);
    dismiss();
}

void PendraOnboardingSheet::dismiss()
{
    hide();
    emit dismissed();
    deleteLater();
}

bool PendraOnboardingSheet::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void PendraOnboardingSheet::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Dismissed over the other host since this one last showed.
    if (seen(m_defaults)) {
        dismiss();
        return;
    }
    const TrayClickHint click = m_clickHint();
    m_clickHeading->setText(click.heading);
    m_clickLine->setText(click.line);
    placeCard();
    // The sheet is what the keyboard works on while it shows.
    m_gotIt->setFocus(Qt::OtherFocusReason);
}

void PendraOnboardingSheet::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeCard();
}

void PendraOnboardingSheet::placeCard()
{
    const int width = std::min(kCardMaxWidth, this->width() - 2 * kCardMargin);
    m_card->setFixedWidth(std::max(width, 0));
    m_card->adjustSize();
    m_card->move((this->width() - m_card->width()) / 2, std::max(kCardMargin, (height() - m_card->height()) / 2));
}

void PendraOnboardingSheet::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Rounded like the popover's frame, whose corners must stay clear.
    QPainterPath backdrop;
    backdrop.addRoundedRect(QRectF(rect()), kBackdropRadius, kBackdropRadius);
    painter.fillPath(backdrop, QColor(0, 0, 0, 150));
    const QRectF card = QRectF(m_card->geometry()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(card, kCardRadius, kCardRadius);
    painter.fillPath(shape, QColor::fromRgbF(0.13f, 0.13f, 0.16f));
    painter.setPen(QPen(QColor(255, 255, 255, 36), 1));
    painter.drawPath(shape);
}
