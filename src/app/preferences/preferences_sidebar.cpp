#include "app/preferences/preferences_sidebar.h"

#include "app/ui/panel_style.h"
#include "app/preferences/preferences_symbols.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <iterator>

namespace {

constexpr int kSymbolFrame = 18; // px
constexpr int kSymbolSize = 13; // px
constexpr int kRowHeight = 30; // px
constexpr int kSectionCount = static_cast<int>(std::size(kAllPreferencesSections));

QFont titleFont(bool selected)
{
    QFont font = PanelStyle::font(PanelStyle::TextRole::primary);
    font.setPixelSize(13);
    font.setWeight(selected ? QFont::DemiBold : QFont::Normal);
    return font;
}

} // namespace

PreferencesSidebarButton::PreferencesSidebarButton(PreferencesSection section, QWidget *parent)
    : QAbstractButton(parent)
    , m_section(section)
{
    setText(title(section));
    setAccessibleName(title(section));
    setObjectName(QStringLiteral("sidebar.") + rawValue(section));
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize PreferencesSidebarButton::sizeHint() const
{
    const QFontMetrics metrics(titleFont(true));
    return {10 + kSymbolFrame + 8 + metrics.horizontalAdvance(text()) + 12, kRowHeight};
}

void PreferencesSidebarButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(box, 7, 7);
    if (isChecked())
        painter.fillPath(shape, QColor(255, 255, 255, 34));
    else if (isDown() || m_hovered)
        painter.fillPath(shape, PanelStyle::kHighlight);
    if (hasFocus()) {
        painter.setPen(QPen(PanelStyle::kAccent.lighter(140), 1));
        painter.drawPath(shape);
    }
    const QColor ink = isChecked() ? PanelStyle::kPrimaryText : QColor(255, 255, 255, 190);
    const QRectF frame(10, (height() - kSymbolFrame) / 2.0, kSymbolFrame, kSymbolFrame);
    const QRectF symbol(frame.center().x() - kSymbolSize / 2.0, frame.center().y() - kSymbolSize / 2.0, kSymbolSize,
                        kSymbolSize);
    PreferencesSymbols::draw(painter, symbol, symbolName(m_section), isChecked() ? PanelStyle::kAccent.lighter(130) : ink);
    painter.setPen(ink);
    painter.setFont(titleFont(isChecked()));
    painter.drawText(QRectF(frame.right() + 8, 0, width() - frame.right() - 12, height()),
                     Qt::AlignVCenter | Qt::AlignLeft, text());
}

void PreferencesSidebarButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        emit stepRequested(event->key() == Qt::Key_Up ? -1 : 1);
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void PreferencesSidebarButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PreferencesSidebarButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

PreferencesSidebar::PreferencesSidebar(QWidget *parent)
    : QWidget(parent)
    , m_group(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("preferencesSidebar"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(2);
    for (PreferencesSection section : kAllPreferencesSections) {
        auto *button = new PreferencesSidebarButton(section, this);
        m_group->addButton(button, static_cast<int>(section));
        connect(button, &PreferencesSidebarButton::stepRequested, this, &PreferencesSidebar::step);
        column->addWidget(button);
    }
    column->addStretch(1);
    connect(m_group, &QButtonGroup::idClicked, this,
            [this](int id) { emit picked(static_cast<PreferencesSection>(id)); });
}

PreferencesSection PreferencesSidebar::current() const
{
    return static_cast<PreferencesSection>(m_group->checkedId());
}

void PreferencesSidebar::setCurrent(PreferencesSection section)
{
    button(section)->setChecked(true);
}

PreferencesSidebarButton *PreferencesSidebar::button(PreferencesSection section) const
{
    return static_cast<PreferencesSidebarButton *>(m_group->button(static_cast<int>(section)));
}

void PreferencesSidebar::step(int delta)
{
    const int next = static_cast<int>(current()) + delta;
    if (next < 0 || next >= kSectionCount)
        return;
    PreferencesSidebarButton *target = button(kAllPreferencesSections[next]);
    target->setFocus(Qt::TabFocusReason);
    target->click();
}

void PreferencesSidebar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(255, 255, 255, 8));
    painter.fillRect(QRect(width() - 1, 0, 1, height()), PanelStyle::kHairline);
}
