#include "app/preferences/preferences_widgets.h"

#include "app/ui/panel_rows.h"
#include "app/ui/panel_style.h"
#include "app/dashboard/dashboard_card.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace PreferencesWidgets {

namespace {

constexpr int kGroupRadius = 12; // px

QLabel *plainLabel(const QString &text, PanelStyle::TextRole role, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    PanelStyle::apply(label, role);
    return label;
}

} // namespace

PaneColumn makePaneColumn(QWidget *pane, const QString &title, const QString &subtitle)
{
    auto *scroll = new QScrollArea(pane);
    scroll->setObjectName(QStringLiteral("paneScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("paneContent"));
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(kPaneMargin, 18, kPaneMargin, kPaneMargin);
    column->setSpacing(8);

    auto *heading = plainLabel(title, PanelStyle::TextRole::emphasized, content);
    heading->setObjectName(QStringLiteral("paneTitle"));
    QFont large = heading->font();
    large.setPixelSize(20);
    heading->setFont(large);
    column->addWidget(heading);
    if (!subtitle.isEmpty()) {
        auto *sub = noteLabel(subtitle, content);
        sub->setObjectName(QStringLiteral("paneSubtitle"));
        column->addWidget(sub);
    }
    column->addSpacing(6);
    scroll->setWidget(content);

    auto *outer = new QVBoxLayout(pane);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    return {scroll, column};
}

DashboardCard *addGroup(QVBoxLayout *column, const QString &heading)
{
    QWidget *content = column->parentWidget();
    if (!heading.isEmpty()) {
        auto *title = plainLabel(heading.toUpper(), PanelStyle::TextRole::sectionTitle, content);
        title->setContentsMargins(kRowInset, 6, 0, 0);
        column->addWidget(title);
    }
    auto *card = new DashboardCard(content);
    card->setRadius(kGroupRadius);
    card->setPadding(6);
    card->body()->setSpacing(2);
    column->addWidget(card);
    return card;
}

QLabel *noteLabel(const QString &text, QWidget *parent)
{
    auto *label = plainLabel(text, PanelStyle::TextRole::detail, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace PreferencesWidgets

using PreferencesWidgets::kRowInset;

SettingSwitchRow::SettingSwitchRow(const QString &label, const QString &note, QWidget *parent)
    : QWidget(parent)
    , m_toggle(new PanelSwitch(this))
{
    auto *texts = new QVBoxLayout;
    texts->setSpacing(1);
    auto *title = new QLabel(label, this);
    title->setTextFormat(Qt::PlainText);
    PanelStyle::apply(title, PanelStyle::TextRole::primary);
    texts->addWidget(title);
    if (!note.isEmpty())
        texts->addWidget(PreferencesWidgets::noteLabel(note, this));

    m_toggle->setAccessibleName(label);
    m_toggle->setFixedSize(m_toggle->sizeHint());

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(kRowInset, 6, kRowInset, 6);
    row->setSpacing(12);
    row->addLayout(texts, 1);
    row->addWidget(m_toggle, 0, Qt::AlignVCenter);
}

SettingSliderRow::SettingSliderRow(Caption caption, int minimum, int maximum, const QString &note, QWidget *parent)
    : QWidget(parent)
    , m_caption(std::move(caption))
    , m_label(new QLabel(this))
    , m_slider(new QSlider(Qt::Horizontal, this))
{
    m_label->setTextFormat(Qt::PlainText);
    PanelStyle::apply(m_label, PanelStyle::TextRole::primary);
    m_slider->setRange(minimum, maximum);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(5);
    m_slider->setFocusPolicy(Qt::StrongFocus);
    m_slider->setMinimumHeight(22);
    showCaption(m_slider->value());
    // sliderMoved covers dragging with tracking off; valueChanged the rest.
    connect(m_slider, &QSlider::valueChanged, this, &SettingSliderRow::showCaption);
    connect(m_slider, &QSlider::sliderMoved, this, &SettingSliderRow::showCaption);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(kRowInset, 6, kRowInset, 6);
    column->setSpacing(4);
    column->addWidget(m_label);
    column->addWidget(m_slider);
    if (!note.isEmpty())
        column->addWidget(PreferencesWidgets::noteLabel(note, this));
}

QString SettingSliderRow::caption() const
{
    return m_label->text();
}

void SettingSliderRow::showValue(int value)
{
    {
        const QSignalBlocker quiet(m_slider);
        m_slider->setValue(value);
    }
    showCaption(m_slider->value());
}

void SettingSliderRow::showCaption(int value)
{
    m_slider->setAccessibleName(m_caption(value));
    PanelStyle::setTextIfChanged(m_label, m_caption(value));
}

SettingControlRow::SettingControlRow(const QString &label, QWidget *control, QWidget *parent)
    : QWidget(parent)
{
    auto *title = new QLabel(label, this);
    title->setTextFormat(Qt::PlainText);
    PanelStyle::apply(title, PanelStyle::TextRole::primary);
    title->setMinimumWidth(110);
    control->setParent(this);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(kRowInset, 6, kRowInset, 6);
    row->setSpacing(12);
    row->addWidget(title);
    row->addWidget(control, 1);
}
