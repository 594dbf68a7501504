#include "app/ui/panel_style.h"

#include <QLabel>
#include <QPushButton>

namespace PanelStyle {

QFont font(TextRole role)
{
    QFont font;
    switch (role) {
    case TextRole::primary:
        font.setPixelSize(13);
        break;
    case TextRole::emphasized:
        font.setPixelSize(13);
        font.setWeight(QFont::DemiBold);
        break;
    case TextRole::detail:
        font.setPixelSize(12);
        break;
    case TextRole::sectionTitle:
        font.setPixelSize(11);
        font.setWeight(QFont::DemiBold);
        break;
    case TextRole::sectionHeader:
        font.setPixelSize(12);
        font.setWeight(QFont::DemiBold);
        break;
    }
    return font;
}

QColor color(TextRole role)
{
    switch (role) {
    case TextRole::primary:
    case TextRole::emphasized:
    case TextRole::sectionHeader:
        return kPrimaryText;
    case TextRole::detail:
        return kSecondaryText;
    case TextRole::sectionTitle:
        return kTertiaryText;
    }
    return kPrimaryText;
}

void apply(QLabel *label, TextRole role)
{
    label->setFont(font(role));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color(role));
    label->setPalette(palette);
}

void setTextIfChanged(QLabel *label, const QString &text)
{
    if (label->text() != text)
        label->setText(text);
}

QLabel *label(const QString &text, TextRole role, QWidget *parent)
{
    auto *made = new QLabel(text, parent);
    apply(made, role);
    return made;
}

QPushButton *button(const QString &text, const char *objectName, QWidget *parent)
{
    auto *made = new QPushButton(text, parent);
    made->setObjectName(QLatin1String(objectName));
    made->setCursor(Qt::PointingHandCursor);
    made->setFocusPolicy(Qt::TabFocus);
    return made;
}

QPalette darkPalette(QPalette palette, const QColor &background)
{
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::WindowText, kPrimaryText);
    palette.setColor(QPalette::Text, kPrimaryText);
    palette.setColor(QPalette::ButtonText, kPrimaryText);
    palette.setColor(QPalette::Button, QColor(255, 255, 255, 20));
    palette.setColor(QPalette::Highlight, kAccent);
    return palette;
}

} // namespace PanelStyle
