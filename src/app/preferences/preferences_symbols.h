#pragma once

#include <QColor>
#include <QString>

class QPainter;
class QRectF;

// Vector drawings of the sidebar's symbols, named like the platform symbols
// they stand for: "menubar.rectangle", "rectangle.3.group",
// "battery.100.bolt", "bell.badge", "cloud.sun",
// "bubble.left.and.bubble.right" and "info.circle".
namespace PreferencesSymbols {

// Draws `name` in `color`, fitted into the square centred in `box`. Unknown
// names draw nothing.
void draw(QPainter &painter, const QRectF &box, const QString &name, const QColor &color);

} // namespace PreferencesSymbols
