#pragma once

#include <QSizeF>
#include <QString>

#include <optional>

class QColor;
class QPainter;
class QRectF;

// Vector drawings of the status item's glyphs, named like the symbols they
// stand for: "battery.0" … "battery.100" (fill bands 0/25/50/75/100 %), the
// same with ".bolt" (charging or on power), and "powerplug.fill" (no battery).
namespace BatteryGlyph {

// Size in points of the glyph at the status item's symbol size; absent for a
// name this set does not draw.
std::optional<QSizeF> naturalSize(const QString &name);

// Draws `name` in `color`, aspect-fitted and centred in `box` (points).
// `devicePixelsPerPoint` is the painter's scale (2 on a 2× image) and keeps
// edges on whole device pixels so the outline stays crisp. Unknown names draw
// nothing. The bolt is cut out of the fill, so the painter's device must
// start transparent under the box.
void draw(QPainter &painter, const QRectF &box, const QString &name, const QColor &color,
          double devicePixelsPerPoint);

} // namespace BatteryGlyph
