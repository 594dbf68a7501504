#include "updates/install_tools.h"

#include <QProcess>

InstallTools::Outcome ProcessInstallTools::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(-1))
        return {false, -1, QStringLiteral("Could not run ") + program, QString()};
    // A password prompt or a large copy may take as long as it takes.
    process.waitForFinished(-1);
    const QString errors = QString::fromUtf8(process.readAllStandardError()).trimmed();
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    if (process.exitStatus() != QProcess::NormalExit)
        return {true, -1, errors, output};
    return {true, process.exitCode(), errors, output};
}

bool ProcessInstallTools::startDetached(const QString &program, const QStringList &arguments,
                                        const QString &outputPath)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    // The helper outlives this process: a pipe to a process that has quit
    // would kill it with SIGPIPE on its first message.
    process.setStandardOutputFile(outputPath, QIODevice::Append);
    process.setStandardErrorFile(outputPath, QIODevice::Append);
    return process.startDetached();
}
