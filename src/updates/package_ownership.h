#pragma once

#include <QString>

// Whether a file belongs to an installed Debian package.
namespace PackageOwnership {

// True when `dpkg-query -S` names a package that installed exactly `path`.
// Blocks for as long as dpkg-query reads its database (a fraction of a
// second, 10 s at most): call it off the UI thread. False without dpkg, for
// a relative path and for one holding a wildcard character, which dpkg-query
// would take as a pattern.
bool dpkgOwns(const QString &path);

} // namespace PackageOwnership
