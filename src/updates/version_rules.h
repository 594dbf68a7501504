#pragma once

#include <QList>
#include <QString>

struct VersionInfo;

// How the running build's version is compared with the manifest's. Pure
// functions of their arguments.
namespace VersionRules {

// Digits runs after an optional leading "v": "v0.1.6-Pro-Beta" → 0, 1, 6.
// Runs too long for an int are skipped rather than clamped.
QList<int> numericComponents(const QString &version);
// Tie-break at equal numbers: experimental 3, beta 2, final or stable 1, else 0.
int channelRank(const QString &version);
// "v0.1.6-Pro-Beta" → "v0.1.6-Pro Beta".
QString displayForm(const QString &version);
bool isNewer(const QString &candidate, const QString &current);
// The beta when the manifest names one, otherwise the latest stable.
QString candidateVersion(const VersionInfo &info);

} // namespace VersionRules
