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
};

// The bash helper that waits for the app to quit, swaps the staged copy in
// and relaunches it, reporting "status|message" in the result file. The old
// app is moved aside, not deleted, until the new copy is complete, so a failed
// copy leaves it runnable.
QString text(const Inputs &inputs);

// The command run as root (through pkexec, by /bin/sh) to replace an app in
// the system folder, with the same keep-the-old-one-until-done order.
QString privilegedReplaceCommand(const QString &installPath, const QString &stagedPath);

} // namespace HelperScript
