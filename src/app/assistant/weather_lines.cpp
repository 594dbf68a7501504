#include "app/assistant/weather_lines.h"

#include "app/battery_menu/panel_style.h"
#include "assistant/weather_store.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

using PanelStyle::TextRole;

QLabel *line(TextRole role, const char *objectName, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    PanelStyle::apply(label, role);
    return label;
}

void setLine(QLabel *label, const QString &text)
{
    PanelStyle::setTextIfChanged(label, text);
    label->setVisible(!text.isEmpty());
}

} // namespace

WeatherLines::WeatherLines(WeatherStore &store, ErrorPlacement placement, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
    , m_placement(placement)
    , m_summary(line(TextRole::emphasized, "summary", this))
    , m_detail(line(TextRole::detail, "detail", this))
    , m_place(line(TextRole::sectionTitle, "place", this))
    , m_error(line(TextRole::detail, "error", this))
{
    QFont headline = m_summary->font();
    headline.setPixelSize(15);
    m_summary->setFont(headline);
    QPalette warning = m_error->palette();
    warning.setColor(QPalette::WindowText, PanelStyle::kWarning);
    m_error->setPalette(warning);
    m_error->setWordWrap(placement == ErrorPlacement::ownLine);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(m_summary);
    column->addWidget(m_detail);
    if (placement == ErrorPlacement::replacesDetail)
        column->addWidget(m_error);
    column->addWidget(m_place);
    if (placement == ErrorPlacement::ownLine)
        column->addWidget(m_error);

    for (auto signal : {&WeatherStore::summaryChanged, &WeatherStore::detailChanged, &WeatherStore::placeChanged,
                        &WeatherStore::errorChanged})
        connect(&m_store, signal, this, &WeatherLines::refresh);
    refresh();
}

void WeatherLines::refresh()
{
    const QString error = m_store.error().value_or(QString());
    setLine(m_summary, m_store.summary());
    const bool errorInstead = m_placement == ErrorPlacement::replacesDetail && !error.isEmpty();
    setLine(m_detail, errorInstead ? QString() : m_store.detail());
    setLine(m_place, m_store.place());
    setLine(m_error, error);
}
