#pragma once

#include <QList>
#include <QWidget>

class MinimalButton;
class QHBoxLayout;
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

    QSize minimumSizeHint() const override;

signals:
    void updatesRequested();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The links side by side, in px.
    int linksWidth() const;

    QList<MinimalButton *> m_links;
    QHBoxLayout *m_firstRow;
    QHBoxLayout *m_secondRow;
    bool m_wrapped = false;
};
