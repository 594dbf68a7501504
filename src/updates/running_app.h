#pragma once

#include <QString>

// The running build, as the update flow compares and replaces it.
struct RunningApp
{
    // Passed to the copy started after an update: it waits (up to 10 s) for
    // the copy it replaces to release the single-instance lock.
    static constexpr char kRelaunchFlag[] = "--after-update";

    QString version; // e.g. "v0.1.6-Pro-Beta"
    QString executablePath;
    qint64 pid = 0;
    QString home;

    // The build's version constant, e.g. "v0.1.6-Pro-Beta".
    static QString buildVersion();
    // This process: the build's version constant, its executable, its id and
    // the user's home folder.
    static RunningApp current();
};
