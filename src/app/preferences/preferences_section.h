#pragma once

#include <QString>

// The preferences window's sidebar entries, in sidebar order.
enum class PreferencesSection { menuBar, layout, charging, alerts, weather, chat, about };

inline constexpr PreferencesSection kAllPreferencesSections[] = {
    PreferencesSection::menuBar, PreferencesSection::layout,  PreferencesSection::charging,
    PreferencesSection::alerts,  PreferencesSection::weather, PreferencesSection::chat,
    PreferencesSection::about,
};

// The case name ("menuBar", …), also the pane's object name.
QString rawValue(PreferencesSection section);
// The sidebar title ("Menu Bar", …, "AI", "About").
QString title(PreferencesSection section);
// The symbol drawn beside the title ("menubar.rectangle", …).
QString symbolName(PreferencesSection section);
