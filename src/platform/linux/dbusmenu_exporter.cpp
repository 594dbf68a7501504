#include "platform/linux/dbusmenu_exporter.h"

#include <QAction>
#include <QActionGroup>
#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMetaType>
#include <QEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>
#include <QSet>

namespace {

const QString kChildrenDisplay = QStringLiteral("children-display");

DbusMenuShortcut shortcutOf(const QKeySequence &sequence)
{
    DbusMenuShortcut shortcut;
    for (int i = 0; i < sequence.count(); ++i) {
        const QKeyCombination combination = sequence[i];
        const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
        QStringList press;
        if (modifiers & Qt::ControlModifier)
            press << QStringLiteral("Control");
        if (modifiers & Qt::AltModifier)
            press << QStringLiteral("Alt");
        if (modifiers & Qt::ShiftModifier)
            press << QStringLiteral("Shift");
        if (modifiers & Qt::MetaModifier)
            press << QStringLiteral("Super");
        press << QKeySequence(combination.key()).toString(QKeySequence::PortableText);
        shortcut << press;
    }
    return shortcut;
}

QVariantMap filtered(const QVariantMap &properties, const QStringList &names)
{
    if (names.isEmpty())
        return properties;
    QVariantMap result;
    for (const QString &name : names) {
        if (properties.contains(name))
            result.insert(name, properties.value(name));
    }
    return result;
}

} // namespace

QDBusArgument &operator<<(QDBusArgument &argument, const DbusMenuLayout &layout)
{
    argument.beginStructure();
    argument << layout.id << layout.properties;
    argument.beginArray(QMetaType::fromType<QDBusVariant>());
    for (const DbusMenuLayout &child : layout.children)
        argument << QDBusVariant(QVariant::fromValue(child));
    argument.endArray();
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DbusMenuLayout &layout)
{
    layout = {};
    argument.beginStructure();
    argument >> layout.id >> layout.properties;
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant wrapped;
        argument >> wrapped;
        DbusMenuLayout child;
        wrapped.variant().value<QDBusArgument>() >> child;
        layout.children << child;
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const DbusMenuItem &item)
{
    argument.beginStructure();
    argument << item.id << item.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DbusMenuItem &item)
{
    argument.beginStructure();
    argument >> item.id >> item.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const DbusMenuItemKeys &keys)
{
    argument.beginStructure();
    argument << keys.id << keys.names;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DbusMenuItemKeys &keys)
{
    argument.beginStructure();
    argument >> keys.id >> keys.names;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const DbusMenuEvent &event)
{
    argument.beginStructure();
    argument << event.id << event.eventId << event.data << event.timestamp;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DbusMenuEvent &event)
{
    argument.beginStructure();
    argument >> event.id >> event.eventId >> event.data >> event.timestamp;
    argument.endStructure();
    return argument;
}

void registerDbusMenuTypes()
{
    qDBusRegisterMetaType<DbusMenuLayout>();
    qDBusRegisterMetaType<DbusMenuItem>();
    qDBusRegisterMetaType<DbusMenuItemList>();
    qDBusRegisterMetaType<DbusMenuItemKeys>();
    qDBusRegisterMetaType<DbusMenuItemKeysList>();
    qDBusRegisterMetaType<DbusMenuEvent>();
    qDBusRegisterMetaType<DbusMenuEventList>();
    qDBusRegisterMetaType<DbusMenuShortcut>();
    // Signals and slots name the lists by these aliases.
    qRegisterMetaType<DbusMenuItemList>("DbusMenuItemList");
    qRegisterMetaType<DbusMenuItemKeysList>("DbusMenuItemKeysList");
    qRegisterMetaType<DbusMenuEventList>("DbusMenuEventList");
}

QString dbusMenuLabel(const QString &qtText)
{
    QString label;
    label.reserve(qtText.size());
    for (qsizetype i = 0; i < qtText.size(); ++i) {
        const QChar c = qtText.at(i);
        if (c == QLatin1Char('_')) {
            label += QStringLiteral("__");
        } else if (c == QLatin1Char('&')) {
            // "&&" is a literal ampersand; "&x" marks x; a trailing '&' is dropped.
            if (i + 1 < qtText.size() && qtText.at(i + 1) == QLatin1Char('&')) {
                label += QLatin1Char('&');
                ++i;
            } else if (i + 1 < qtText.size()) {
                label += QLatin1Char('_');
            }
        } else {
            label += c;
        }
    }
    return label;
}

DbusMenuExporter::DbusMenuExporter(const QDBusConnection &bus, const QString &path, QMenu *menu, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_path(path)
    , m_menu(menu)
{
    registerDbusMenuTypes();
    if (menu)
        connect(menu, &QObject::destroyed, this, &DbusMenuExporter::scheduleRefresh);
    refresh(false);
    m_exported = m_bus.isConnected()
                 && m_bus.registerObject(m_path, this,
                                         QDBusConnection::ExportScriptableSlots
                                             | QDBusConnection::ExportScriptableSignals
                                             | QDBusConnection::ExportAllProperties);
}

DbusMenuExporter::~DbusMenuExporter()
{
    if (m_exported)
        m_bus.unregisterObject(m_path);
}

QString DbusMenuExporter::textDirection() const
{
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl") : QStringLiteral("ltr");
}

uint DbusMenuExporter::GetLayout(int parentId, int recursionDepth, const QStringList &propertyNames,
                                 DbusMenuLayout &layout)
{
    if (m_refreshQueued)
        refresh();
    if (parentId != 0 && !m_actions.contains(parentId)) {
        if (calledFromDBus())
            sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("No menu entry %1").arg(parentId));
        return 0;
    }
    layout = layoutOf(parentId, recursionDepth, propertyNames);
    return m_revision;
}

DbusMenuItemList DbusMenuExporter::GetGroupProperties(const QList<int> &ids, const QStringList &propertyNames)
{
    if (m_refreshQueued)
        refresh();
    // An empty list asks for every entry.
    QList<int> wanted = ids;
    if (wanted.isEmpty()) {
        wanted << 0;
        for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
            wanted << it.key();
    }
    DbusMenuItemList items;
    for (int id : std::as_const(wanted)) {
        if (id == 0 || m_actions.contains(id))
            items << DbusMenuItem{id, filtered(propertiesOf(id), propertyNames)};
    }
    return items;
}

QDBusVariant DbusMenuExporter::GetProperty(int id, const QString &name)
{
    if (m_refreshQueued)
        refresh();
    const QVariantMap properties = (id == 0 || m_actions.contains(id)) ? propertiesOf(id) : QVariantMap();
    if (!properties.contains(name) && calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("No property %1 on entry %2").arg(name).arg(id));
    return QDBusVariant(properties.value(name));
}

void DbusMenuExporter::Event(int id, const QString &eventId, const QDBusVariant &, uint)
{
    if (!handleEvent(id, eventId) && calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("No menu entry %1").arg(id));
}

QList<int> DbusMenuExporter::EventGroup(const DbusMenuEventList &events)
{
    QList<int> idErrors;
    for (const DbusMenuEvent &event : events) {
        if (!handleEvent(event.id, event.eventId))
            idErrors << event.id;
    }
    if (!events.isEmpty() && idErrors.size() == events.size() && calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("None of the menu entries exist"));
    return idErrors;
}

bool DbusMenuExporter::AboutToShow(int id)
{
    const uint before = m_revision;
    if (!showing(id) && calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("No menu entry %1").arg(id));
    return m_revision != before;
}

QList<int> DbusMenuExporter::AboutToShowGroup(const QList<int> &ids, QList<int> &idErrors)
{
    const uint before = m_revision;
    idErrors.clear();
    for (int id : ids) {
        if (!showing(id))
            idErrors << id;
    }
    // Hosts re-read what changed from LayoutUpdated; name the parents they
    // asked about when the layout moved.
    QList<int> updatesNeeded;
    if (m_revision != before) {
        for (int id : ids) {
            if (!idErrors.contains(id))
                updatesNeeded << id;
        }
    }
    return updatesNeeded;
}

bool DbusMenuExporter::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ActionAdded:
    case QEvent::ActionRemoved:
    case QEvent::ActionChanged:
        scheduleRefresh();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void DbusMenuExporter::scheduleRefresh()
{
    if (m_refreshQueued)
        return;
    m_refreshQueued = true;
    // Building or changing a menu touches many actions at once; hosts hear
    // about it once.
    QMetaObject::invokeMethod(this, [this] { refresh(); }, Qt::QueuedConnection);
}

void DbusMenuExporter::refresh(bool announce)
{
    m_refreshQueued = false;
    const QHash<int, QList<int>> previousChildren = m_children;
    m_children.clear();
    m_children.insert(0, {});
    QList<int> order{0};
    if (m_menu)
        collect(m_menu, 0, order);

    const QSet<int> reachable(order.cbegin(), order.cend());
    for (auto it = m_ids.begin(); it != m_ids.end();) {
        if (reachable.contains(it.value())) {
            ++it;
            continue;
        }
        if (QAction *action = m_actions.value(it.value()))
            disconnect(action, nullptr, this, nullptr);
        m_actions.remove(it.value());
        m_published.remove(it.value());
        it = m_ids.erase(it);
    }

    const bool layoutChanged = m_children != previousChildren;
    DbusMenuItemList updated;
    DbusMenuItemKeysList removed;
    for (int id : std::as_const(order)) {
        const QVariantMap now = propertiesOf(id);
        const auto published = m_published.constFind(id);
        if (published == m_published.cend()) {
            // New entries reach hosts through the layout.
            m_published.insert(id, now);
            continue;
        }
        QVariantMap changed;
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            if (published->value(it.key()) != it.value())
                changed.insert(it.key(), it.value());
        }
        QStringList gone;
        for (auto it = published->cbegin(); it != published->cend(); ++it) {
            if (!now.contains(it.key()))
                gone << it.key();
        }
        if (!changed.isEmpty())
            updated << DbusMenuItem{id, changed};
        if (!gone.isEmpty())
            removed << DbusMenuItemKeys{id, gone};
        m_published.insert(id, now);
    }

    if (layoutChanged)
        ++m_revision;
    if (!announce)
        return;
    if (layoutChanged)
        emit LayoutUpdated(m_revision, 0);
    if (!updated.isEmpty() || !removed.isEmpty())
        emit ItemsPropertiesUpdated(updated, removed);
}

void DbusMenuExporter::collect(QMenu *menu, int parentId, QList<int> &order)
{
    if (!m_watchedMenus.contains(menu)) {
        m_watchedMenus << menu;
        menu->installEventFilter(this);
    }
    QList<int> &children = m_children[parentId];
    for (QAction *action : menu->actions()) {
        const int id = idFor(action);
        if (order.contains(id))
            continue; // the same action twice, or a menu inside itself
        children << id;
        order << id;
        if (QMenu *submenu = action->menu()) {
            m_children.insert(id, {});
            collect(submenu, id, order);
        }
    }
}

int DbusMenuExporter::idFor(QAction *action)
{
    const auto known = m_ids.constFind(action);
    if (known != m_ids.cend())
        return *known;
    const int id = m_nextId++;
    m_ids.insert(action, id);
    m_actions.insert(id, action);
    connect(action, &QAction::changed, this, &DbusMenuExporter::scheduleRefresh);
    // Forget the address at once: a new action allocated there before the
    // next refresh must not inherit this entry's id (hosts would draw it empty).
    connect(action, &QObject::destroyed, this, [this, action, id] {
        m_ids.remove(action);
        m_actions.remove(id);
        m_published.remove(id);
        scheduleRefresh();
    });
    return id;
}

QMenu *DbusMenuExporter::menuOf(int id) const
{
    if (id == 0)
        return m_menu;
    const QAction *action = m_actions.value(id);
    return action ? action->menu() : nullptr;
}

QVariantMap DbusMenuExporter::propertiesOf(int id) const
{
    if (id == 0)
        return {{kChildrenDisplay, QStringLiteral("submenu")}};
    const QAction *action = m_actions.value(id);
    if (!action)
        return {};
    if (action->isSeparator())
        return {{QStringLiteral("type"), QStringLiteral("separator")}, {QStringLiteral("visible"), action->isVisible()}};

    QVariantMap properties{
        {QStringLiteral("label"), dbusMenuLabel(action->text())},
        {QStringLiteral("enabled"), action->isEnabled()},
        {QStringLiteral("visible"), action->isVisible()},
    };
    if (action->isCheckable()) {
        const bool radio = action->actionGroup() && action->actionGroup()->isExclusive();
        properties.insert(QStringLiteral("toggle-type"), radio ? QStringLiteral("radio") : QStringLiteral("checkmark"));
        properties.insert(QStringLiteral("toggle-state"), action->isChecked() ? 1 : 0);
    }
    if (!action->shortcut().isEmpty())
        properties.insert(QStringLiteral("shortcut"), QVariant::fromValue(shortcutOf(action->shortcut())));
    if (!action->icon().name().isEmpty())
        properties.insert(QStringLiteral("icon-name"), action->icon().name());
    if (action->menu())
        properties.insert(kChildrenDisplay, QStringLiteral("submenu"));
    return properties;
}

DbusMenuLayout DbusMenuExporter::layoutOf(int id, int depth, const QStringList &names) const
{
    DbusMenuLayout layout{id, filtered(propertiesOf(id), names), {}};
    if (depth == 0)
        return layout;
    for (int child : m_children.value(id))
        layout.children << layoutOf(child, depth < 0 ? -1 : depth - 1, names);
    return layout;
}

bool DbusMenuExporter::handleEvent(int id, const QString &eventId)
{
    if (id != 0 && !m_actions.value(id))
        return false;
    if (eventId == QStringLiteral("clicked")) {
        QAction *action = m_actions.value(id);
        // After the reply: an action may open a dialog or quit the app.
        if (action && action->isEnabled() && !action->isSeparator() && !action->menu())
            QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
    } else if (eventId == QStringLiteral("opened")) {
        showing(id);
    } else if (eventId == QStringLiteral("closed")) {
        if (QMenu *menu = menuOf(id))
            emit menu->aboutToHide();
    }
    return true;
}

bool DbusMenuExporter::showing(int id)
{
    if (id != 0 && !m_actions.value(id))
        return false;
    // Owners refresh check marks and titles in aboutToShow, as for a menu
    // Qt draws; hosts learn the result before drawing.
    if (QMenu *menu = menuOf(id))
        emit menu->aboutToShow();
    if (m_refreshQueued)
        refresh();
    return true;
}
