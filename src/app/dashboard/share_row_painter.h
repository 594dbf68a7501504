#pragma once

#include <QColor>
#include <QString>

class QPainter;

// One line of a ranked list of apps: the name on the left (elided to fit), a
// detail and the share on the right, and the share as a thin bar under them.
struct ShareRowPaint
{
    int textLeft = 0;
    int right = 0;
    int top = 0;
    int lineHeight = 0;
    QString name;
    QString detail;
    QString shareText;
    double share = 0; // 0…1, clamped
    QColor barColor;
};

void paintShareRow(QPainter &painter, const ShareRowPaint &row);
