#include "app/assistant/plus_weather_section.h"

#include "app/assistant/weather_lines.h"
#include "app/ui/panel_rows.h"
#include "app/ui/panel_style.h"
#include "assistant/weather_store.h"
#include "assistant/weather_texts.h"

#include <QHBoxLayout>
#include <QShowEvent>
#include <QLabel>
#include <QVBoxLayout>

PlusWeatherSection::PlusWeatherSection(WeatherStore &store, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
{
    setObjectName(QStringLiteral("plusWeatherSection"));

    auto *title = new QLabel(WeatherTexts::title.toUpper(), this);
    title->setObjectName(QStringLiteral("title"));
    title->setAccessibleName(WeatherTexts::title);
    PanelStyle::apply(title, PanelStyle::TextRole::sectionTitle);

    auto *refresh = new MinimalButton(QStringLiteral("↻"), this);
    refresh->setObjectName(QStringLiteral("refresh"));
    refresh->setToolTip(WeatherTexts::refreshButton);
    refresh->setAccessibleName(WeatherTexts::refreshButton);
    refresh->setFixedSize(28, 22);
    connect(refresh, &QPushButton::clicked, this, [this] { m_store.refresh(); });

    auto *caption = new QLabel(WeatherTexts::caption, this);
    caption->setObjectName(QStringLiteral("caption"));
    caption->setWordWrap(true);
    PanelStyle::apply(caption, PanelStyle::TextRole::sectionTitle);
    QFont small = caption->font();
    small.setWeight(QFont::Normal);
    caption->setFont(small);

    auto *header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(title, 1, Qt::AlignVCenter);
    header->addWidget(refresh, 0, Qt::AlignVCenter);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(PanelStyle::kSideInset, 6, PanelStyle::kSideInset - 6, 8);
    column->setSpacing(4);
    column->addLayout(header);
    auto *body = new QVBoxLayout;
    body->setContentsMargins(0, 0, 6, 0);
    body->setSpacing(6);
    body->addWidget(new WeatherLines(store, WeatherLines::ErrorLine::elided, this));
    body->addWidget(caption);
    column->addLayout(body);
}

void PlusWeatherSection::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        m_store.start();
}
