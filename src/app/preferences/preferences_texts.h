#pragma once

#include <QString>

// The product's texts that name a Mac part, and what the preferences window
// says on Linux instead, in the same tone and length.
namespace PreferencesTexts {

struct Mapping
{
    const char16_t *productText;
    const char16_t *linuxText;
};

inline constexpr Mapping kMappings[] = {
    {u"How Pendra appears next to Control Center.", u"How Pendra appears in the top bar."},
    {u"Hides Apple’s battery icon so only Pendra is shown.",
     u"Hides the desktop’s battery percentage so only Pendra is shown."},
    {u"Uses SMC charger keys (CH0B/CH0C/CH0I). On some Macs macOS blocks writes without a privileged helper — "
     u"Pendra will say so. Don’t run two charge managers at once.",
     u"Uses the battery’s charge_behaviour setting. Some systems block writes without extra permission — "
     u"Pendra will say so. Don’t run two charge managers at once."},
    {u"Local notifications only — nothing leaves this Mac.",
     u"Local notifications only — nothing leaves this computer."},
    {u"System Battery Settings…", u"Desktop Battery Settings…"},
};

// The Linux text for `productText`; texts without a mapping are returned as
// they are.
QString onLinux(const char16_t *productText);

} // namespace PreferencesTexts
