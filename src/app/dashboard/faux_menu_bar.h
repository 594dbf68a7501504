#pragma once

#include "app/tray/menu_bar_battery_icon.h"

#include <QWidget>

class Defaults;
class PowerModeMonitor;
class PowerStore;
class QLabel;
class Sparkline;
class SymbolButton;

// The status item's inputs from the live state and the user's settings.
MenuBarBatteryIcon::Inputs statusInputs(const PowerStore &power, const PowerModeMonitor &powerMode,
                                        const Defaults &defaults);

// A strip that imitates the menu bar: the status item's image, drawn by the
// same rules as the real one, the package power, its recent history and a
// button for the layout options.
class FauxMenuBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kHeight = 30; // px

    FauxMenuBar(const PowerStore &power, const PowerModeMonitor &powerMode, const Defaults &defaults,
                QWidget *parent = nullptr);

    SymbolButton *layoutButton() const { return m_layoutButton; }
    const MenuBarBatteryIcon::Inputs &inputs() const { return m_inputs; }
    QString wattsText() const;

    // Re-reads the store and the settings.
    void refresh();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    class StatusImage;

    const PowerStore &m_power;
    const PowerModeMonitor &m_powerMode;
    const Defaults &m_defaults;
    MenuBarBatteryIcon::Inputs m_inputs;
    StatusImage *m_image;
    QLabel *m_watts;
    Sparkline *m_spark;
    SymbolButton *m_layoutButton;
};
