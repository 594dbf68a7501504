#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

class Clock;
class QMenu;

// One bitmap of the item's icon: 32-bit ARGB pixels, row by row, each pixel
// as the bytes A, R, G, B (network byte order), not premultiplied.
struct StatusIconPixmap
{
    int width = 0;
    int height = 0;
    QByteArray argb;

    bool operator==(const StatusIconPixmap &) const = default;
};

// The application's item in the desktop's status area (tray). Backends show
// what they can: a tray with square slots shows the icon and tooltip only.
// Clicks come back as signals; positions are global screen pixels, or a null
// point when the host did not say where.
class StatusItem : public QObject
{
    Q_OBJECT

public:
    // `clock` times double clicks (its uptime).
    explicit StatusItem(Clock &clock, QObject *parent = nullptr);

    // Several sizes of the same icon; the host picks the closest.
    virtual void setIcon(const QList<StatusIconPixmap> &sizes) = 0;
    // Short text shown beside the icon where the host supports it.
    virtual void setLabel(const QString &label) = 0;
    virtual void setToolTip(const QString &title, const QString &body) = 0;
    // What screen readers announce for the item.
    virtual void setAccessibleName(const QString &name) = 0;
    // The menu hosts show on their own (a click or a right click, as each
    // host decides). The menu outlives the item; changes to it reach the
    // host as they happen.
    virtual void setMenu(QMenu *menu) = 0;

    // Preferred width in points and the name under which a host may remember
    // the item's place. Kept even where the host decides both itself.
    void setLength(double points) { m_length = points; }
    double length() const { return m_length; }
    void setAutosaveName(const QString &name) { m_autosaveName = name; }
    const QString &autosaveName() const { return m_autosaveName; }

    // Two activations closer than this (seconds) make a double click.
    void setDoubleClickInterval(double seconds) { m_doubleClickInterval = seconds; }

signals:
    // A left click; `clickCount` is 2 for the second click of a double click.
    void leftClicked(QPoint position, int clickCount);
    void rightClicked(QPoint position);

protected:
    // For backends: a primary activation arrived.
    void handleActivation(QPoint position);
    // For backends: the host asked for the context menu.
    void handleContextMenuRequest(QPoint position);

private:
    Clock &m_clock;
    double m_length = 0;
    QString m_autosaveName;
    double m_doubleClickInterval = 0.4;
    double m_lastActivationAt = -1; // uptime, s; −1 = none yet
};
