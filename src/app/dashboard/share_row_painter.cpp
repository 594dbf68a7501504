#include "app/dashboard/share_row_painter.h"

#include "app/ui/panel_style.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

void paintShareRow(QPainter &painter, const ShareRowPaint &row)
{
    const QFont shareFont = PanelStyle::font(PanelStyle::TextRole::emphasized);
    const QFont detailFont = PanelStyle::font(PanelStyle::TextRole::detail);
    const QFont nameFont = PanelStyle::font(PanelStyle::TextRole::primary);
    // The widest share keeps the column still as the numbers change.
    const int shareWidth = QFontMetrics(shareFont).horizontalAdvance(QStringLiteral("100%"));
    const int detailWidth = QFontMetrics(detailFont).horizontalAdvance(row.detail);
    const int top = row.top;
    const int line = row.lineHeight;

    painter.setFont(shareFont);
    painter.setPen(PanelStyle::kPrimaryText);
    painter.drawText(QRect(row.right - shareWidth, top, shareWidth, line), Qt::AlignRight | Qt::AlignVCenter,
                     row.shareText);
    const int detailRight = row.right - shareWidth - 10;
    painter.setFont(detailFont);
    painter.setPen(PanelStyle::kSecondaryText);
    painter.drawText(QRect(detailRight - detailWidth, top, detailWidth, line), Qt::AlignRight | Qt::AlignVCenter,
                     row.detail);
    painter.setFont(nameFont);
    painter.setPen(PanelStyle::kPrimaryText);
    const int nameWidth = std::max(0, detailRight - detailWidth - 10 - row.textLeft);
    painter.drawText(QRect(row.textLeft, top, nameWidth, line), Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(nameFont).elidedText(row.name, Qt::ElideRight, nameWidth));

    // The share as a thin bar under the text, on whole pixels.
    const QRectF track(row.textLeft, top + line + 3, row.right - row.textLeft, 3);
    QPainterPath trackShape;
    trackShape.addRoundedRect(track, 1.5, 1.5);
    painter.fillPath(trackShape, QColor(255, 255, 255, 18));
    const double length = track.width() * std::clamp(row.share, 0.0, 1.0);
    if (length >= 1) {
        QPainterPath fill;
        fill.addRoundedRect(QRectF(track.topLeft(), QSizeF(std::max(length, 3.0), track.height())), 1.5, 1.5);
        painter.fillPath(fill, row.barColor);
    }
}
