#pragma once

#include "app/core/menu_bar_settings.h"
#include "energy/why_drain.h"

#include <QSize>
#include <QWidget>

#include <functional>
#include <optional>

class AppIconLookup;
class ChargeLimitController;
class Defaults;
class EnergyUsageGroup;
class MenuPanelModel;
class NotificationCenter;
class PanelActions;
class PopoverController;
class WhyDrainGroup;

// The battery menu: the content of the popover under the status item. Built
// once, ahead of the first click, with every row it can show; afterwards the
// rows only follow the panel model's and the charge controller's change
// signals. The panel scrolls when the screen is too short for it.
class MainRoot : public QWidget
{
    Q_OBJECT

public:
    // Runs on a background thread.
    using WhyDrainAnalysis = std::function<WhyDrain()>;

    struct Services
    {
        MenuPanelModel &model;
        ChargeLimitController &charge;
        Defaults &defaults;
        NotificationCenter &notifications;
        PanelActions &actions;
        AppIconLookup &icons;
        WhyDrainAnalysis analyseWhyDrain;
        // The assistant section (weather, chat) below charge management;
        // none when not given.
        std::function<QWidget *(QWidget *parent)> makeAssistantSection = {};
    };

    static constexpr int kPanelWidth = 300; // px
    static inline const QString kOnboardingSeenKey = QStringLiteral("pendrapro.onboarding.seen.v1");


    MainRoot(Services services, QSize panelSize, QWidget *parent = nullptr);

    QSize panelSize() const { return m_panelSize; }
    const QString &whySummary() const { return m_whySummary; }
    int whyDrop() const { return m_whyDrop; }
    const QString &whyWindow() const { return m_whyWindow; }
    const std::optional<QString> &whyCulprit() const { return m_whyCulprit; }
    const std::optional<QString> &whyNote() const { return m_whyNote; }
    bool whyLoaded() const { return m_whyLoaded; }
    // The onboarding sheet should be presented.
    bool showOnboarding() const { return m_showOnboarding; }
    MenuChromeStyle chromeStyle() const { return m_chromeStyle; }

    // What the popover does each time it opens: resets the chrome style to
    // newer, loads the why-drain answer the first time and checks whether
    // onboarding was seen.
    void appear();

signals:
    void whyLoadedChanged();
    void showOnboardingChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *buildActions();
    void loadWhySummary();
    void applyWhy(const WhyDrain &why);
    // Closes the popover, then runs `action` on the next turn of the event
    // loop, once the popover is gone.
    void closeThen(std::function<void()> action);

    Services m_services;
    QSize m_panelSize;
    EnergyUsageGroup *m_energy;
    WhyDrainGroup *m_why;

    QString m_whySummary;
    int m_whyDrop = 0;
    QString m_whyWindow;
    std::optional<QString> m_whyCulprit;
    std::optional<QString> m_whyNote;
    bool m_whyLoading = false;
    bool m_whyLoaded = false;
    bool m_showOnboarding;
    MenuChromeStyle m_chromeStyle;
};

// While the popover is open the model refreshes every 0.45 s; each time new
// content is built it is refreshed once, so the panel never opens empty.
void trackWhileShown(PopoverController &popover, MenuPanelModel &model);
