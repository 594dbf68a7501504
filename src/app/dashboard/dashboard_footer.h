#pragma once

#include <QWidget>

class MinimalButton;
class PanelActions;
class SiblingApp;

// "Local only · no telemetry · Pendra Pro", the running version and the
// links: the sibling app, "Open Pendra Pro", "Compare" and "Updates".
class DashboardFooter : public QWidget
{
    Q_OBJECT

public:
    // `version` is the running version's display form; `actions` and
    // `sibling` must outlive the footer.
    DashboardFooter(PanelActions &actions, const SiblingApp &sibling, const QString &version,
                    QWidget *parent = nullptr);

signals:
    void updatesRequested();
};
