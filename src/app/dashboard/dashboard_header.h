#pragma once

#include "app/dashboard/dashboard_texts.h"

#include <QWidget>

class DashboardCard;
class DashboardPrefs;
class PowerStore;
class QLabel;
class QVBoxLayout;
class SymbolButton;
struct DashboardMetrics;

// A capsule with the battery's state in its own colour.
class StatusChip : public QWidget
{
    Q_OBJECT

public:
    explicit StatusChip(QWidget *parent = nullptr);

    const DashboardTexts::Chip &chip() const { return m_chip; }
    QColor color() const;
    void setChip(const DashboardTexts::Chip &chip);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    DashboardTexts::Chip m_chip{QString(), DashboardTexts::ChipKind::neutral};
};

// "PENDRA" and the level in a capsule.
class PendraPill : public QWidget
{
    Q_OBJECT

public:
    explicit PendraPill(QWidget *parent = nullptr);

    QString levelText() const { return m_level; }
    void setLevelText(const QString &level);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_level;
};

// The dashboard's first card: the title, the percentage with the status
// chip, the time headline and the package line.
class DashboardHeader : public QWidget
{
    Q_OBJECT

public:
    DashboardHeader(const PowerStore &power, QWidget *parent = nullptr);

    StatusChip *chip() const { return m_chip; }
    // Shown while the faux menu bar, which has its own, is hidden.
    SymbolButton *layoutButton() const { return m_layoutButton; }
    DashboardCard *card() const { return m_card; }

    // The percentage points the battery fell in the last hour.
    void setDropPercent(int dropPercent);
    void refresh();
    void applyPrefs(const DashboardPrefs &prefs, const DashboardMetrics &metrics);

private:
    const PowerStore &m_power;
    int m_dropPercent = 0;
    DashboardCard *m_card;
    QVBoxLayout *m_column = nullptr;
    QLabel *m_percent;
    StatusChip *m_chip;
    QLabel *m_timeHeadline;
    QLabel *m_packageLine;
    SymbolButton *m_layoutButton;
};
