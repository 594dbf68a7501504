#include "app/assistant/weather_lines.h"

#include "app/ui/panel_style.h"
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

WeatherLines::WeatherLines(WeatherStore &store, ErrorLine errorLine, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
    , m_errorLine(errorLine)
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
    if (errorLine == ErrorLine::wrapped)
        m_error->setWordWrap(true);
    else
        m_error->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QFont plain = m_place->font();
    plain.setWeight(QFont::Normal);
    m_place->setFont(plain);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(m_summary);
    column->addWidget(m_detail);
    column->addWidget(m_place);
    column->addWidget(m_error);

    for (auto signal : {&WeatherStore::summaryChanged, &WeatherStore::detailChanged, &WeatherStore::placeChanged,
                        &WeatherStore::errorChanged})
        connect(&m_store, signal, this, &WeatherLines::refresh);
    refresh();
}

void WeatherLines::refresh()
{
    setLine(m_summary, m_store.summary());
    setLine(m_detail, m_store.detail());
    setLine(m_place, m_store.place());
    m_errorText = m_store.error().value_or(QString());
    showError();
}

void WeatherLines::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    showError();
}

void WeatherLines::showError()
{
    if (m_errorLine == ErrorLine::wrapped) {
        setLine(m_error, m_errorText);
        return;
    }
    // Platform error texts can be long (a failed request names its URL);
    // the line stays one line and the whole text is a hover away.
    setLine(m_error, m_error->fontMetrics().elidedText(m_errorText, Qt::ElideRight, width()));
    m_error->setToolTip(m_errorText);
}
