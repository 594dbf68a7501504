#pragma once

#include "platform/color_scheme.h"

#include <QDBusConnection>
#include <QString>

class QDBusMessage;

// The "org.freedesktop.appearance" "color-scheme" setting of the XDG desktop
// portal: read once without blocking, then followed through SettingChanged.
// Without a portal the scheme stays noPreference.
class PortalColorScheme final : public ColorSchemeSource
{
    Q_OBJECT

public:
    static inline const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");

    // `service` is the portal's bus name; tests run their own.
    explicit PortalColorScheme(const QDBusConnection &bus, const QString &service = kPortalService,
                               QObject *parent = nullptr);

    ColorScheme colorScheme() const override { return m_scheme; }

private slots:
    // SettingChanged(s namespace, s key, v value).
    void settingChanged(const QDBusMessage &signal);

private:
    void apply(const QVariant &value);

    ColorScheme m_scheme = ColorScheme::noPreference;
    bool m_changeSeen = false;
};
