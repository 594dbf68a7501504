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
    {u"Mac power draw", u"Power draw", true},
    {u"Key saved on this Mac", u"Key saved on this computer", true},
    {u"Keys stay on this Mac. OpenRouter models are selectable in API Config.",
     u"Keys stay on this computer. OpenRouter models are selectable in API Config.", true},
    {u"Why might my Mac be using energy like this right now? Rank likely causes, suggest 3 practical steps, and "
     u"note anything that looks normal.",
     u"Why might my computer be using energy like this right now? Rank likely causes, suggest 3 practical steps, "
     u"and note anything that looks normal.",
     true},
    {u"Local notifications only — nothing leaves this Mac.", u"Local notifications only — nothing leaves this computer.",
     true},
    {u"Saved on this Mac", u"Saved on this computer", true},
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
