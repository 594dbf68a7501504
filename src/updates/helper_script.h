#pragma once

#include <QString>

// The shell texts that replace the installed app. Pure functions.
namespace HelperScript {

// `path` for use between single quotes: each ' becomes '\''.
QString quoted(const QString &path);

struct Inputs
{
    QString logPath;
    QString resultPath;
    qint64 pid = 0; // the running app, waited for before anything is replaced
    QString installPath;
    QString stagedPath;
    QString workDir; // the install's private folder, removed when the helper ends
};

// The bash helper that waits for the app to quit (at most a minute: the id may
// have been reused by an unrelated process), swaps the staged copy in and
// relaunches it, reporting "status|message" in the result file. The old app
// is moved aside, not deleted, until the new copy is in place, so a failed
// step leaves it runnable. Tools are found on PATH.
QString text(const Inputs &inputs);

// The command run as root (through pkexec, by /bin/sh) to replace an app in
// the system folder, with the same keep-the-old-one-until-done order. The
// copy ends up owned by root, writable by root alone and without setuid or
// setgid bits, whatever the staged files carried.
QString privilegedReplaceCommand(const QString &installPath, const QString &stagedPath);

} // namespace HelperScript
