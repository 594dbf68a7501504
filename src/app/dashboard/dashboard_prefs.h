#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <optional>

class Defaults;
class NotificationCenter;

// What the dashboard shows and how: fifteen display flags, the density, the
// card width and the cards' corner radius. Loaded once at creation; every
// change stores all values and posts pendrapro.dashboardPrefsChanged so the
// window can re-fit its width. Main thread only.
class DashboardPrefs : public QObject
{
    Q_OBJECT

public:
    enum class Flag {
        fauxMenubar,
        pendraPill,
        packageLine,
        largePercent,
        powerSource,
        energyMode,
        appsRow,
        whyRow,
        sparkline,
        topAppsList,
        whyDetail,
        health,
        timeRemaining,
        powerDistribution,
        history,
    };
    static constexpr int kFlagCount = 15;
    using Flags = std::array<bool, kFlagCount>;

    enum class Density { compact, comfortable, roomy };
    enum class CardWidth { narrow, regular, wide };

    static inline const QString kKeyPrefix = QStringLiteral("pendrapro.dashboard.prefs.v1.");
    static inline const QString kSeededKey = QStringLiteral("pendrapro.dashboard.torvexStyleSeeded");
    static constexpr double kDefaultCornerRadius = 18; // px
    static constexpr double kMinCornerRadius = 8; // px; anything smaller reads as the default

    // One named arrangement; `cornerRadius` none leaves the radius alone.
    struct Preset
    {
        Flags flags;
        Density density;
        CardWidth width;
        std::optional<double> cornerRadius;
    };
    // "minimal" (Simple), "full" (Pro) and, for every other name, standard.
    static Preset preset(const QString &name);

    // Loads at once; `defaults` and `center` must outlive the prefs.
    DashboardPrefs(Defaults &defaults, NotificationCenter &center, QObject *parent = nullptr);

    bool flag(Flag flag) const { return m_flags[static_cast<size_t>(flag)]; }
    Density density() const { return m_density; }
    CardWidth width() const { return m_width; }
    double cornerRadius() const { return m_cornerRadius; }

    // Each setter saves at once when the value changed.
    void setFlag(Flag flag, bool on);
    void setDensity(Density density);
    void setWidth(CardWidth width);

    // Stores every value, then posts pendrapro.dashboardPrefsChanged.
    void save();
    void applyPreset(const QString &name);
    // The standard preset with charts, the full app list, why-drain details and
    // the time shown, and without the faux menu bar and the pill.
    void applyDetailed();
    // The first time the dashboard is shown on this installation: turns on
    // the charts, app list, why details and time, turns off the faux menu bar
    // and pill, saves and remembers that it ran. Later calls do nothing.
    void seedOnce();

signals:
    void changed();

private:
    void load();
    void apply(const Preset &preset);

    Defaults &m_defaults;
    NotificationCenter &m_center;
    Flags m_flags;
    Density m_density = Density::comfortable;
    CardWidth m_width = CardWidth::regular;
    double m_cornerRadius = kDefaultCornerRadius;
};

// The key suffix after the prefix ("fauxMenubar", "pill", …) and the default.
QString keySuffix(DashboardPrefs::Flag flag);
bool defaultValue(DashboardPrefs::Flag flag);

// Stored strings and labels.
QString rawValue(DashboardPrefs::Density density); // "compact", "comfortable", "roomy"
QString displayLabel(DashboardPrefs::Density density); // "Compact", …
QString rawValue(DashboardPrefs::CardWidth width); // "narrow", "regular", "wide"
QString displayLabel(DashboardPrefs::CardWidth width); // "Narrow", …
inline constexpr DashboardPrefs::Density kAllDensities[] = {
    DashboardPrefs::Density::compact, DashboardPrefs::Density::comfortable, DashboardPrefs::Density::roomy};
inline constexpr DashboardPrefs::CardWidth kAllCardWidths[] = {
    DashboardPrefs::CardWidth::narrow, DashboardPrefs::CardWidth::regular, DashboardPrefs::CardWidth::wide};

// The window width for a card width: 360, 440 or 520 px.
int windowWidth(DashboardPrefs::CardWidth width);
