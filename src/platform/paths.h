#pragma once

#include <QString>

// The product's folders. Each honours the XDG variables, so tests that point
// HOME or XDG_* elsewhere never touch the user's files.
namespace Paths {

// ~/.local/share/Pendra — the drain log lives here.
QString supportDir();
// ~/.local/state/Pendra — the update helper's log.
QString logsDir();
// ~/.cache/Pendra
QString cacheDir();
// ~/.config/Pendra — the settings file.
QString configDir();

} // namespace Paths
