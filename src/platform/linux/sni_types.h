#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>

// D-Bus structures of the StatusNotifierItem protocol.

// (iiay): width, height, ARGB32 pixels in network byte order.
struct SniImage
{
    int width = 0;
    int height = 0;
    QByteArray data;
};
using SniImageList = QList<SniImage>;

// (sa(iiay)ss): icon name, icon pixmaps, title, description.
struct SniToolTip
{
    QString iconName;
    SniImageList icon;
    QString title;
    QString description;
};

Q_DECLARE_METATYPE(SniImage)
Q_DECLARE_METATYPE(SniToolTip)

QDBusArgument &operator<<(QDBusArgument &argument, const SniImage &image);
const QDBusArgument &operator>>(const QDBusArgument &argument, SniImage &image);
QDBusArgument &operator<<(QDBusArgument &argument, const SniToolTip &toolTip);
const QDBusArgument &operator>>(const QDBusArgument &argument, SniToolTip &toolTip);

// Registers the types with Qt D-Bus; safe to call more than once.
void registerSniTypes();
