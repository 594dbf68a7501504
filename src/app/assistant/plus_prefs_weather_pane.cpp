#include "app/assistant/plus_prefs_weather_pane.h"

#include "app/assistant/weather_lines.h"
#include "app/ui/panel_rows.h"
#include "app/ui/panel_style.h"
#include "assistant/weather_store.h"
#include "assistant/weather_texts.h"

#include <QLabel>
#include <QShowEvent>
#include <QVBoxLayout>

PlusPrefsWeatherPane::PlusPrefsWeatherPane(WeatherStore &store, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
{
    setObjectName(QStringLiteral("plusPrefsWeatherPane"));

    auto *title = new QLabel(WeatherTexts::title, this);
    title->setObjectName(QStringLiteral("title"));
    PanelStyle::apply(title, PanelStyle::TextRole::emphasized);
    QFont large = title->font();
    large.setPixelSize(20);
    title->setFont(large);

    auto *caption = new QLabel(WeatherTexts::caption, this);
    caption->setObjectName(QStringLiteral("caption"));
    caption->setWordWrap(true);
    PanelStyle::apply(caption, PanelStyle::TextRole::detail);

    auto *refresh = new MinimalButton(WeatherTexts::refreshButton, this);
    refresh->setObjectName(QStringLiteral("refresh"));
    connect(refresh, &QPushButton::clicked, &store, &WeatherStore::refresh);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(20, 18, 20, 18);
    column->setSpacing(6);
    column->addWidget(title);
    column->addWidget(caption);
    column->addSpacing(10);
    column->addWidget(new WeatherLines(store, WeatherLines::ErrorLine::wrapped, this));
    column->addSpacing(12);
    column->addWidget(refresh, 0, Qt::AlignLeft);
    column->addStretch(1);
}

void PlusPrefsWeatherPane::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_store.startOnce();
}
