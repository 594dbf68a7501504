#include "app/tray/status_icon_pixmaps.h"

#include <QtEndian>

StatusIconPixmap toStatusIconPixmap(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    StatusIconPixmap pixmap{argb.width(), argb.height(), QByteArray()};
    pixmap.argb.resize(static_cast<qsizetype>(argb.width()) * argb.height() * 4);
    auto *out = reinterpret_cast<quint32 *>(pixmap.argb.data());
    for (int y = 0; y < argb.height(); ++y) {
        const auto *row = reinterpret_cast<const quint32 *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            *out++ = qToBigEndian(row[x]);
    }
    return pixmap;
}

QImage fromStatusIconPixmap(const StatusIconPixmap &pixmap)
{
    if (pixmap.width <= 0 || pixmap.height <= 0
        || pixmap.argb.size() < static_cast<qsizetype>(pixmap.width) * pixmap.height * 4)
        return {};
    QImage image(pixmap.width, pixmap.height, QImage::Format_ARGB32);
    const auto *in = reinterpret_cast<const quint32 *>(pixmap.argb.constData());
    for (int y = 0; y < pixmap.height; ++y) {
        auto *row = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < pixmap.width; ++x)
            row[x] = qFromBigEndian(*in++);
    }
    return image;
}
