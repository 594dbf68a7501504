#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

class QAction;
class QMenu;

// D-Bus structures of com.canonical.dbusmenu.

// (ia{sv}av): an entry, its properties and its children (each a variant
// holding the same structure).
struct DbusMenuLayout
{
    int id = 0;
    QVariantMap properties;
    QList<DbusMenuLayout> children;
};

// (ia{sv}): an entry's properties.
struct DbusMenuItem
{
    int id = 0;
    QVariantMap properties;
};
using DbusMenuItemList = QList<DbusMenuItem>;

// (ias): names of properties an entry no longer has.
struct DbusMenuItemKeys
{
    int id = 0;
    QStringList names;
};
using DbusMenuItemKeysList = QList<DbusMenuItemKeys>;

// (isvu): one event of an EventGroup call.
struct DbusMenuEvent
{
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using DbusMenuEventList = QList<DbusMenuEvent>;

// (as) lists per key press of a shortcut: modifiers, then the key.
using DbusMenuShortcut = QList<QStringList>;

Q_DECLARE_METATYPE(DbusMenuLayout)
Q_DECLARE_METATYPE(DbusMenuItem)
Q_DECLARE_METATYPE(DbusMenuItemKeys)
Q_DECLARE_METATYPE(DbusMenuEvent)

QDBusArgument &operator<<(QDBusArgument &argument, const DbusMenuLayout &layout);
const QDBusArgument &operator>>(const QDBusArgument &argument, DbusMenuLayout &layout);
QDBusArgument &operator<<(QDBusArgument &argument, const DbusMenuItem &item);
const QDBusArgument &operator>>(const QDBusArgument &argument, DbusMenuItem &item);
QDBusArgument &operator<<(QDBusArgument &argument, const DbusMenuItemKeys &keys);
const QDBusArgument &operator>>(const QDBusArgument &argument, DbusMenuItemKeys &keys);
QDBusArgument &operator<<(QDBusArgument &argument, const DbusMenuEvent &event);
const QDBusArgument &operator>>(const QDBusArgument &argument, DbusMenuEvent &event);

// Registers the types with Qt D-Bus; safe to call more than once.
void registerDbusMenuTypes();

// "&Save && Quit_" (Qt's mnemonic marks) as "_Save & Quit__" (dbusmenu's).
QString dbusMenuLabel(const QString &qtText);

// A QMenu exported as com.canonical.dbusmenu, the menu tray hosts draw
// themselves. The QMenu stays the one source of truth: its actions are the
// entries (id 0 is the menu itself), submenus become children, and any change
// of an action or of the menus' action lists is announced on the next turn of
// the event loop (LayoutUpdated for structure, ItemsPropertiesUpdated for
// labels, enabled, visible, toggle state, shortcuts). A "clicked" event
// triggers the action after the D-Bus reply has gone out.
class DbusMenuExporter final : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    // Exports `menu` at `path` on `bus` (it must outlive the exporter, or be
    // destroyed first: then the exporter serves an empty menu).
    DbusMenuExporter(const QDBusConnection &bus, const QString &path, QMenu *menu, QObject *parent = nullptr);
    ~DbusMenuExporter() override;

    // False when the path was taken or the bus is not connected.
    bool isExported() const { return m_exported; }
    QDBusObjectPath path() const { return QDBusObjectPath(m_path); }
    // Bumped on every structural change.
    uint revision() const { return m_revision; }

    uint version() const { return 3; }
    QString textDirection() const;
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public slots: // com.canonical.dbusmenu methods
    Q_SCRIPTABLE uint GetLayout(int parentId, int recursionDepth, const QStringList &propertyNames,
                                DbusMenuLayout &layout);
    Q_SCRIPTABLE DbusMenuItemList GetGroupProperties(const QList<int> &ids, const QStringList &propertyNames);
    Q_SCRIPTABLE QDBusVariant GetProperty(int id, const QString &name);
    Q_SCRIPTABLE void Event(int id, const QString &eventId, const QDBusVariant &data, uint timestamp);
    Q_SCRIPTABLE QList<int> EventGroup(const DbusMenuEventList &events);
    Q_SCRIPTABLE bool AboutToShow(int id);
    Q_SCRIPTABLE QList<int> AboutToShowGroup(const QList<int> &ids, QList<int> &idErrors);

signals:
    Q_SCRIPTABLE void ItemsPropertiesUpdated(const DbusMenuItemList &updatedProps,
                                             const DbusMenuItemKeysList &removedProps);
    Q_SCRIPTABLE void LayoutUpdated(uint revision, int parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void scheduleRefresh();
    // Re-reads the menus; with `announce`, tells hosts what changed.
    void refresh(bool announce = true);
    void collect(QMenu *menu, int parentId, QList<int> &order);
    int idFor(QAction *action);
    QMenu *menuOf(int id) const;
    QVariantMap propertiesOf(int id) const;
    DbusMenuLayout layoutOf(int id, int depth, const QStringList &names) const;
    bool handleEvent(int id, const QString &eventId);
    bool showing(int id);

    QDBusConnection m_bus;
    QString m_path;
    QPointer<QMenu> m_menu;
    bool m_exported = false;
    bool m_refreshQueued = false;
    uint m_revision = 1;
    int m_nextId = 1;

    QHash<QAction *, int> m_ids;
    QHash<int, QPointer<QAction>> m_actions;
    QHash<int, QList<int>> m_children; // parent id → child ids, in menu order
    QHash<int, QVariantMap> m_published; // what hosts were last told
    QList<QPointer<QMenu>> m_watchedMenus;
};
