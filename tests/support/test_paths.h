#pragma once

#include <QProcessEnvironment>
#include <QString>

// Where the recorded fixtures and the built programs are. Only test_paths.cpp
// is compiled with these folders, so no other test file's compile line names
// a folder of this checkout and a compiler cache serves them to every clone.
namespace TestPaths {

// tests/fixtures of the source tree.
QString fixtures();
// packaging/ of the source tree (install-user, make-appdir).
QString packaging();
// The private session bus's configuration (support/session-bus.conf).
QString busConfig();
// The built app and probe.
QString appBinary();
QString probeBinary();

// The environment the built app runs in for a test: `home` as its HOME and
// its config, data and runtime folders, on the offscreen platform.
QProcessEnvironment appEnvironment(const QString &home);

} // namespace TestPaths
