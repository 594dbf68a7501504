#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

// The options answered before the app starts, so that they work without a
// display or a session. Every other argument is left to Qt and the app.
namespace CommandLine {

// What to print on standard output for --help (-h) or --version, the first
// of them given; absent when neither is. `version` is the running version.
std::optional<QByteArray> informationFor(const QStringList &arguments, const QString &version);

} // namespace CommandLine
