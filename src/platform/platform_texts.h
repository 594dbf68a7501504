#pragma once

#include <QString>

// The product's texts that name a macOS part (its SMC, "Mac") and what they
// say on Linux instead, in the same tone and length. Code writes the
// product's text and passes it through `onThisMachine`, so a reader sees both.
namespace PlatformTexts {

struct Mapping
{
    const char16_t *productText;
    const char16_t *linuxText;
    // The product's text stays where it is true: "Mac" on a Mac.
    bool keptOnMac = false;
};

inline constexpr Mapping kMappings[] = {
    {u"AppleSMC not available. Charge control needs SMC access (often requires a privileged helper on "
     u"locked-down Macs).",
     u"Charge control not available: this battery's driver offers no charge_behaviour."},
    {u"AppleSMC not found", u"No battery offers charge_behaviour"},
    {u"IOServiceOpen failed — not privileged?",
     u"Charge control needs write access to charge_behaviour — see the README's Charge management."},
    {u"Not privileged — SMC write blocked on this Mac.",
     u"Charge control needs write access to charge_behaviour — see the README's Charge management."},
    {u"SMC error for key", u"The battery driver refused the charge mode"},
    {u"SMC unavailable", u"Charge control unavailable"},
    {u"AppleSMC (CH0B/CH0C/CH0I)", u"Battery charge_behaviour"},
    {u"Mac power draw", u"Power draw", true},
    {u"Key saved on this Mac", u"Key saved on this computer", true},
    {u"Keys stay on this Mac. OpenRouter models are selectable in API Config.",
     u"Keys stay on this computer. OpenRouter models are selectable in API Config.", true},
    {u"Why might my Mac be using energy like this right now? Rank likely causes, suggest 3 practical steps, and "
     u"note anything that looks normal.",
     u"Why might my computer be using energy like this right now? Rank likely causes, suggest 3 practical steps, "
     u"and note anything that looks normal.",
     true},
    {u"How Pendra appears next to Control Center.", u"How Pendra appears in the top bar."},
    {u"Hides Apple’s battery icon so only Pendra is shown.",
     u"Hides the desktop’s battery percentage so only Pendra is shown."},
    {u"Uses SMC charger keys (CH0B/CH0C/CH0I). On some Macs macOS blocks writes without a privileged helper — "
     u"Pendra will say so. Don’t run two charge managers at once.",
     u"Uses the battery’s charge_behaviour setting. Some systems block writes without extra permission — "
     u"Pendra will say so. Don’t run two charge managers at once."},
    {u"Local notifications only — nothing leaves this Mac.", u"Local notifications only — nothing leaves this computer.",
     true},
    {u"System Battery Settings…", u"Desktop Battery Settings…"},
    {u"Add your own provider keys (OpenRouter, Gemini, OpenAI, Anthropic). Stored in this Mac’s Keychain and only "
     u"sent to that provider when you chat — not to Marblewick HQ.",
     u"Add your own provider keys (OpenRouter, Gemini, OpenAI, Anthropic). Stored in this computer’s keyring and "
     u"only sent to that provider when you chat — not to Marblewick HQ."},
    {u"Keys live in Keychain on this device. Pendra Pro does not sell or mint provider API keys.",
     u"Keys live in the keyring on this device. Pendra Pro does not sell or mint provider API keys."},
    {u"Saved on this Mac", u"Saved on this computer", true},
    {u"Paste API key (⌘V)", u"Paste API key (Ctrl+V)"},
    {u"API key (⌘V)", u"API key (Ctrl+V)"},
    {u"Local conditions from your Mac’s location (Open-Meteo). Nothing is sent to Marblewick HQ.",
     u"Local conditions from this computer’s location (Open-Meteo, OpenStreetMap). Nothing is sent to Marblewick "
     u"HQ."},
    {u"Location denied — enable in System Settings", u"Location denied — enable in Privacy settings"},
};

// Whether this machine is a Mac: DMI's vendor is "Apple Inc." or the device
// tree's first compatible string starts with "apple," (Apple silicon).
bool detectMac(const QString &sysRoot, const QString &procRoot);
// detectMac on this machine's /sys and /proc, read once.
bool runningOnMac();

// The text to show for `productText` on a machine that is (or is not) a Mac.
QString onMachine(const QString &productText, bool isMac);
inline QString onThisMachine(const QString &productText)
{
    return onMachine(productText, runningOnMac());
}

} // namespace PlatformTexts
