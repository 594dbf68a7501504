#pragma once

#include "platform/status_item.h"

#include <QImage>

// Between Qt images and the status item's network-order ARGB bitmaps.
StatusIconPixmap toStatusIconPixmap(const QImage &image);
QImage fromStatusIconPixmap(const StatusIconPixmap &pixmap);
