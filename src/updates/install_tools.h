#pragma once

#include <QString>
#include <QStringList>

// The child processes the installer needs: waited-for tools whose exit status
// and error output matter, and the detached update helper.
class InstallTools
{
public:
    struct Outcome
    {
        bool started = false;
        // Exit status; -1 when the program could not be started or crashed.
        int status = -1;
        // Standard error as UTF-8, trimmed; "Could not run <program>" when it
        // could not be started.
        QString errorOutput;
        // Standard output as UTF-8, untrimmed.
        QString output;
    };

    virtual ~InstallTools() = default;

    // Starts `program` (an absolute path, no shell) and waits for it.
    virtual Outcome run(const QString &program, const QStringList &arguments) = 0;
    // Starts `program` in its own session without waiting, standard output
    // and error appended to `outputPath`. False when it could not be started.
    virtual bool startDetached(const QString &program, const QStringList &arguments,
                               const QString &outputPath) = 0;
};

// Real child processes. Usable from any thread.
class ProcessInstallTools final : public InstallTools
{
public:
    Outcome run(const QString &program, const QStringList &arguments) override;
    bool startDetached(const QString &program, const QStringList &arguments,
                       const QString &outputPath) override;
};
