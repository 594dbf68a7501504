#include "app/preferences/preferences_section.h"

namespace {

struct SectionInfo
{
    const char *raw;
    const char *title;
    const char *symbol;
};

SectionInfo info(PreferencesSection section)
{
    switch (section) {
    case PreferencesSection::menuBar:
        return {"menuBar", "Menu Bar", "menubar.rectangle"};
    case PreferencesSection::layout:
        return {"layout", "Layout", "rectangle.3.group"};
    case PreferencesSection::charging:
        return {"charging", "Charging", "battery.100.bolt"};
    case PreferencesSection::alerts:
        return {"alerts", "Alerts", "bell.badge"};
    case PreferencesSection::weather:
        return {"weather", "Weather", "cloud.sun"};
    case PreferencesSection::chat:
        return {"chat", "AI", "bubble.left.and.bubble.right"};
    case PreferencesSection::about:
        return {"about", "About", "info.circle"};
    }
    return info(PreferencesSection::menuBar);
}

} // namespace

QString rawValue(PreferencesSection section)
{
    return QString::fromLatin1(info(section).raw);
}

QString title(PreferencesSection section)
{
    return QString::fromLatin1(info(section).title);
}

QString symbolName(PreferencesSection section)
{
    return QString::fromLatin1(info(section).symbol);
}
