#include "app/ui/popover_panel.h"

#include "platform/taskbar_hint.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

const QColor kPanelBackground = QColor::fromRgbF(0.1f, 0.1f, 0.11f, 1.0f);

} // namespace

PopoverPanel::PopoverPanel(QWidget *parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
{
    setObjectName(QStringLiteral("popoverPanel"));
    setAttribute(Qt::WA_TranslucentBackground);
    QPalette dark = palette();
    dark.setColor(QPalette::Window, kPanelBackground);
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Base, kPanelBackground);
    setPalette(dark);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void PopoverPanel::becomeFocusedToolWindow()
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::NoDropShadowWindowHint);
    m_isToolWindow = true;
}

void PopoverPanel::setContent(QWidget *content)
{
    delete m_content;
    m_content = content;
    if (content)
        layout()->addWidget(content);
}

void PopoverPanel::mousePressEvent(QMouseEvent *event)
{
    if (!rect().contains(event->position().toPoint()))
        emit pressedOutside(event->globalPosition().toPoint());
    QWidget::mousePressEvent(event);
}

void PopoverPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    painter.fillPath(shape, kPanelBackground);
}

void PopoverPanel::showEvent(QShowEvent *event)
{
    // Before the window is mapped; the window manager drops the hint each
    // time the window is withdrawn.
    if (m_isToolWindow)
        keepOffTaskbar(windowHandle());
    QWidget::showEvent(event);
}

void PopoverPanel::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    emit hidden();
}

void PopoverPanel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && m_isToolWindow && isVisible() && !isActiveWindow())
        close();
}
