#include "app/ui/panel_rows.h"

#include "app/ui/panel_style.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

using PanelStyle::TextRole;

namespace {

constexpr int kChevronBox = 12; // px
constexpr int kHighlightInset = 5; // px between the panel edge and a row's highlight

QLabel *makeLabel(const QString &text, TextRole role, QWidget *parent, const char *objectName)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    PanelStyle::apply(label, role);
    return label;
}

// Label left, value right, the value elided when the two would collide.
QHBoxLayout *pairLayout(QWidget *row, QLabel *left, QLabel *right, int rightInset = PanelStyle::kSideInset)
{
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(PanelStyle::kSideInset, 0, rightInset, 0);
    layout->setSpacing(8);
    left->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    right->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    right->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(left, 0);
    layout->addWidget(right, 1);
    return layout;
}

void setLabelColor(QLabel *label, const QColor &color)
{
    QPalette palette = label->palette();
    if (palette.color(QPalette::WindowText) == color)
        return;
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

} // namespace

void drawChevron(QPainter &painter, const QRectF &box, ChevronDirection direction, const QColor &color)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(color, 1.6);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    const QPointF c = box.center();
    const double h = std::min(box.width(), box.height()) * 0.28; // half the arm's reach
    QPainterPath path;
    if (direction == ChevronDirection::right) {
        path.moveTo(c.x() - h * 0.5, c.y() - h);
        path.lineTo(c.x() + h * 0.5, c.y());
        path.lineTo(c.x() - h * 0.5, c.y() + h);
    } else {
        path.moveTo(c.x() - h, c.y() - h * 0.5);
        path.lineTo(c.x(), c.y() + h * 0.5);
        path.lineTo(c.x() + h, c.y() - h * 0.5);
    }
    painter.drawPath(path);
    painter.restore();
}

PanelMainRow::PanelMainRow(const QString &label, const QString &value, bool emphasizeValue, QWidget *parent)
    : QWidget(parent)
    , m_label(makeLabel(label, TextRole::primary, this, "label"))
    , m_value(makeLabel(value, emphasizeValue ? TextRole::emphasized : TextRole::primary, this, "value"))
{
    pairLayout(this, m_label, m_value);
    setFixedHeight(PanelStyle::kRowHeight);
}

QString PanelMainRow::label() const { return m_label->text(); }
QString PanelMainRow::value() const { return m_value->text(); }
void PanelMainRow::setLabel(const QString &label) { PanelStyle::setTextIfChanged(m_label, label); }
void PanelMainRow::setValue(const QString &value) { PanelStyle::setTextIfChanged(m_value, value); }

PanelDetailRow::PanelDetailRow(const QString &label, const QString &value, QWidget *parent)
    : QWidget(parent)
    , m_label(makeLabel(label, TextRole::detail, this, "label"))
    , m_value(makeLabel(value, TextRole::detail, this, "value"))
{
    pairLayout(this, m_label, m_value);
    setFixedHeight(PanelStyle::kDetailRowHeight);
}

QString PanelDetailRow::label() const { return m_label->text(); }
QString PanelDetailRow::value() const { return m_value->text(); }
void PanelDetailRow::setLabel(const QString &label) { PanelStyle::setTextIfChanged(m_label, label); }
void PanelDetailRow::setValue(const QString &value) { PanelStyle::setTextIfChanged(m_value, value); }

MenuHairline::MenuHairline(QWidget *parent)
    : QWidget(parent)
{
    setFixedHeight(1);
}

void MenuHairline::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), PanelStyle::kHairline);
}

PanelSeparator::PanelSeparator(QWidget *parent)
    : QWidget(parent)
{
    setFixedHeight(11);
}

void PanelSeparator::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(QRect(PanelStyle::kSideInset - 4, height() / 2, width() - 2 * (PanelStyle::kSideInset - 4), 1),
                     PanelStyle::kHairline);
}

PanelSectionTitle::PanelSectionTitle(const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_title(makeLabel(title, TextRole::sectionTitle, this, "title"))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(PanelStyle::kSideInset, 4, PanelStyle::kSideInset, 2);
    layout->addWidget(m_title);
}

QString PanelSectionTitle::title() const { return m_title->text(); }

MenuSectionHeader::MenuSectionHeader(const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_title(makeLabel(title, TextRole::sectionHeader, this, "title"))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(PanelStyle::kSideInset, 6, PanelStyle::kSideInset, 4);
    layout->addWidget(m_title);
}

QString MenuSectionHeader::title() const { return m_title->text(); }

PanelClickableRow::PanelClickableRow(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setFixedHeight(PanelStyle::kRowHeight);
}

void PanelClickableRow::paintEvent(QPaintEvent *)
{
    if (!m_hovered && !m_pressed && !hasFocus())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(kHighlightInset, 0, -kHighlightInset, 0);
    QPainterPath shape;
    shape.addRoundedRect(box, 5, 5);
    painter.fillPath(shape, m_pressed ? PanelStyle::kPressed : PanelStyle::kHighlight);
}

void PanelClickableRow::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QWidget::enterEvent(event);
}

void PanelClickableRow::leaveEvent(QEvent *event)
{
    m_hovered = false;
    m_pressed = false;
    update();
    QWidget::leaveEvent(event);
}

void PanelClickableRow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_pressed = true;
    update();
}

void PanelClickableRow::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return QWidget::mouseReleaseEvent(event);
    m_pressed = false;
    update();
    if (rect().contains(event->position().toPoint()))
        emit triggered();
}

void PanelClickableRow::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit triggered();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void PanelClickableRow::focusInEvent(QFocusEvent *event)
{
    update();
    QWidget::focusInEvent(event);
}

void PanelClickableRow::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
}

PanelMenuAction::PanelMenuAction(const QString &title, const std::optional<QString> &trailing, bool showChevron,
                                 QWidget *parent)
    : PanelClickableRow(parent)
    , m_title(makeLabel(title, TextRole::primary, this, "title"))
    , m_showChevron(showChevron)
{
    setAccessibleName(title);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(PanelStyle::kSideInset, 0, PanelStyle::kSideInset + (showChevron ? kChevronBox + 4 : 0),
                               0);
    layout->setSpacing(8);
    layout->addWidget(m_title, 1);
    if (trailing) {
        m_trailing = makeLabel(*trailing, TextRole::detail, this, "trailing");
        m_trailing->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        layout->addWidget(m_trailing, 0);
    }
}

QString PanelMenuAction::title() const { return m_title->text(); }
QString PanelMenuAction::trailing() const { return m_trailing ? m_trailing->text() : QString(); }

void PanelMenuAction::paintEvent(QPaintEvent *event)
{
    PanelClickableRow::paintEvent(event);
    if (!m_showChevron)
        return;
    QPainter painter(this);
    const QRectF box(width() - PanelStyle::kSideInset - kChevronBox, (height() - kChevronBox) / 2.0, kChevronBox,
                     kChevronBox);
    drawChevron(painter, box, ChevronDirection::right, PanelStyle::kTertiaryText);
}

MenuRowButton::MenuRowButton(const QString &title, const std::optional<QIcon> &icon,
                             const std::optional<QString> &trailing, QWidget *parent)
    : PanelClickableRow(parent)
    , m_title(makeLabel(title, TextRole::primary, this, "title"))
    , m_trailing(makeLabel(trailing.value_or(QString()), TextRole::detail, this, "trailing"))
{
    setAccessibleName(title);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(PanelStyle::kSideInset, 0, PanelStyle::kSideInset, 0);
    layout->setSpacing(8);
    if (icon) {
        auto *image = new QLabel(this);
        image->setObjectName(QStringLiteral("icon"));
        image->setFixedSize(kIconSize, kIconSize);
        image->setPixmap(icon->pixmap(QSize(kIconSize, kIconSize), devicePixelRatioF()));
        layout->addWidget(image, 0);
    }
    layout->addWidget(m_title, 1);
    m_trailing->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(m_trailing, 0);
}

QString MenuRowButton::title() const { return m_title->text(); }
QString MenuRowButton::trailing() const { return m_trailing->text(); }
void MenuRowButton::setTrailing(const QString &trailing) { PanelStyle::setTextIfChanged(m_trailing, trailing); }

StatusKVRow::StatusKVRow(const QString &label, const QString &value, QWidget *parent)
    : QWidget(parent)
    , m_label(makeLabel(label, TextRole::detail, this, "label"))
    , m_value(makeLabel(value, TextRole::primary, this, "value"))
{
    pairLayout(this, m_label, m_value);
    setFixedHeight(PanelStyle::kDetailRowHeight);
}

QString StatusKVRow::label() const { return m_label->text(); }
QString StatusKVRow::value() const { return m_value->text(); }
void StatusKVRow::setValue(const QString &value) { PanelStyle::setTextIfChanged(m_value, value); }

MonitorRow::MonitorRow(const QString &label, const QString &value, const QColor &valueColor, QWidget *parent)
    : QWidget(parent)
    , m_label(makeLabel(label, TextRole::detail, this, "label"))
    , m_value(makeLabel(value, TextRole::emphasized, this, "value"))
    , m_valueColor(valueColor)
{
    setLabelColor(m_value, valueColor);
    pairLayout(this, m_label, m_value);
    setFixedHeight(PanelStyle::kDetailRowHeight);
}

QString MonitorRow::label() const { return m_label->text(); }
QString MonitorRow::value() const { return m_value->text(); }

void MonitorRow::setValue(const QString &value, const QColor &valueColor)
{
    PanelStyle::setTextIfChanged(m_value, value);
    m_valueColor = valueColor;
    setLabelColor(m_value, valueColor);
}

MinimalButton::MinimalButton(const QString &title, QWidget *parent)
    : QPushButton(title, parent)
{
    setFlat(true);
    setAttribute(Qt::WA_Hover);
    setFont(PanelStyle::font(TextRole::primary));
    setCursor(Qt::PointingHandCursor);
}

QSize MinimalButton::sizeHint() const
{
    const QSize textSize = fontMetrics().size(Qt::TextSingleLine, text());
    return {textSize.width() + 16, std::max(textSize.height() + 8, PanelStyle::kRowHeight)};
}

void MinimalButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    painter.fillPath(shape, isDown() ? PanelStyle::kPressed : (m_hovered || hasFocus()) ? PanelStyle::kHighlight
                                                                                         : QColor(255, 255, 255, 12));
    painter.setPen(isEnabled() ? PanelStyle::kAccent.lighter(125) : PanelStyle::kTertiaryText);
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter, text());
}

void MinimalButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QPushButton::enterEvent(event);
}

void MinimalButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QPushButton::leaveEvent(event);
}

PanelSwitch::PanelSwitch(QWidget *parent)
    : QAbstractButton(parent)
{
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

QSize PanelSwitch::sizeHint() const
{
    return {34, 20};
}

void PanelSwitch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(0, 0, 34, 20).translated(0, (height() - 20) / 2.0).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(hasFocus() ? QPen(PanelStyle::kAccent.lighter(140), 1) : Qt::NoPen);
    painter.setBrush(isChecked() ? PanelStyle::kAccent : QColor(255, 255, 255, 50));
    painter.drawRoundedRect(track, track.height() / 2, track.height() / 2);
    const double knob = track.height() - 4;
    const double x = isChecked() ? track.right() - 2 - knob : track.left() + 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
}
