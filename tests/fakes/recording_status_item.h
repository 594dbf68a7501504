#pragma once

#include "platform/status_item.h"

// A status item that records what it was given and lets tests click it.
class RecordingStatusItem final : public StatusItem
{
    Q_OBJECT

public:
    using StatusItem::StatusItem;

    void setIcon(const QList<StatusIconPixmap> &sizes) override
    {
        icon = sizes;
        ++iconSets;
    }
    void setLabel(const QString &text) override
    {
        label = text;
        ++labelSets;
    }
    void setToolTip(const QString &title, const QString &body) override
    {
        toolTipTitle = title;
        toolTipBody = body;
        ++toolTipSets;
    }
    void setAccessibleName(const QString &name) override { accessibleName = name; }
    void setMenu(QMenu *shown) override { menu = shown; }

    void click(QPoint position = {100, 10}) { handleActivation(position); }
    void rightClick(QPoint position = {100, 10}) { handleContextMenuRequest(position); }

    QList<StatusIconPixmap> icon;
    int iconSets = 0;
    QString label;
    int labelSets = 0;
    QString toolTipTitle;
    QString toolTipBody;
    int toolTipSets = 0;
    QString accessibleName;
    QMenu *menu = nullptr;
};
