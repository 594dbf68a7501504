#include "update_test_support.h"

#include "support/test_files.h"

#include <QProcess>
#include <QRandomGenerator>

QString writeAppDir(const QString &parent, const QByteArray &marker, int paddingBytes, bool executableAppRun)
{
    const QString app = parent + QStringLiteral("/Pendra.app");
    writeFile(app + QStringLiteral("/AppRun"), "#!/bin/sh\necho relaunched > \"$(dirname \"$0\")/relaunched\"\n",
              executableAppRun);

    QByteArray binary = marker + '\n';
    QRandomGenerator random(7);
    for (int i = 0; i < paddingBytes; ++i)
        binary.append(static_cast<char>(random.bounded(256)));
    writeFile(app + QStringLiteral("/usr/bin/pendrapro"), binary, true);
    return app;
}

QByteArray appMarker(const QString &appDir)
{
    const QByteArray bytes = readFile(appDir + QStringLiteral("/usr/bin/pendrapro"));
    return bytes.left(bytes.indexOf('\n'));
}

QByteArray zipEntries(const QString &workDir, const QString &zipPath, const QStringList &entries)
{
    QProcess zip;
    zip.setWorkingDirectory(workDir);
    zip.start(QStringLiteral("/usr/bin/zip"), QStringList{QStringLiteral("-qry"), zipPath} + entries);
    zip.waitForFinished(-1);
    return readFile(zipPath);
}

qint64 exitedPid()
{
    QProcess process;
    process.start(QStringLiteral("/bin/true"), {});
    process.waitForStarted(-1);
    const qint64 pid = process.processId();
    process.waitForFinished(-1);
    return pid;
}

InstallTools::Outcome SynchronousInstallTools::run(const QString &program, const QStringList &arguments)
{
    if (program.endsWith(QLatin1String("/pkexec"))) {
        pkexecArguments = arguments;
        return {true, pkexecStatus, QString()};
    }
    return m_real.run(program, arguments);
}

bool SynchronousInstallTools::startDetached(const QString &program, const QStringList &arguments, const QString &)
{
    helperStarted = true;
    return m_real.run(program, arguments).started;
}
