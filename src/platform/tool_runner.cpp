#include "platform/tool_runner.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>

std::optional<QString> ProcessToolRunner::run(const QString &program, const QStringList &arguments,
                                              std::chrono::milliseconds timeLimit)
{
    // Starting a child forks this whole process; a tool that is not installed
    // (the macOS battery tools on Linux, asked for on every poll) is known
    // from one stat.
    if (QDir::isAbsolutePath(program) && !QFileInfo(program).isExecutable())
        return std::nullopt;

    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(static_cast<int>(timeLimit.count())))
        return std::nullopt;

    // waitForFinished keeps reading the pipe while it waits, so a child that
    // prints more than the pipe buffer never stalls.
    if (!process.waitForFinished(static_cast<int>(timeLimit.count()))) {
        process.kill();
        process.waitForFinished(1000);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return std::nullopt;

    const QByteArray output = process.readAllStandardOutput();
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(output);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

ToolRunner &ToolRunner::system()
{
    static ProcessToolRunner runner;
    return runner;
}
