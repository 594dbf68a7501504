#include "updates/helper_script.h"

#include "updates/running_app.h"

#include <QFileInfo>

namespace HelperScript {

namespace {

QString assignment(const char *name, const QString &value)
{
    return QLatin1String(name) + QStringLiteral("='") + quoted(value) + QStringLiteral("'\n");
}

// 240 polls of a quarter second: the app quits within a second or two, so a
// minute means the id now belongs to another process.
const QString kBody = QStringLiteral(
    "write_result() { printf '%s|%s\\n' \"$1\" \"$2\" > \"$RESULT\"; }\n"
    "trap 'code=$?; if [ ! -f \"$RESULT\" ] || [ ! -s \"$RESULT\" ]; then write_result fail "
    "\"Update helper exited with code $code\"; fi; rm -rf \"$WORK\"' EXIT\n"
    "write_result pending \"Update in progress…\"\n"
    "polls=0\n"
    "while kill -0 \"$PID\" 2>/dev/null && [ \"$polls\" -lt 240 ]; do sleep 0.25; polls=$((polls + 1)); done\n"
    "sleep 0.5\n"
    "mkdir -p \"$PARENT\" || { write_result fail \"Could not create install folder\"; exit 1; }\n"
    "rm -rf \"$INSTALL.new\"\n"
    "if ! cp -a \"$STAGED\" \"$INSTALL.new\" 2>>\"$LOG\"; then\n"
    "  rm -rf \"$INSTALL.new\"; write_result fail \"cp failed\"; exit 1\n"
    "fi\n"
    "rm -rf \"$INSTALL.old\"\n"
    "if [ -e \"$INSTALL\" ] && ! mv \"$INSTALL\" \"$INSTALL.old\" 2>>\"$LOG\"; then\n"
    "  rm -rf \"$INSTALL.new\"; write_result fail \"Could not remove old Pendra.app\"; exit 1\n"
    "fi\n"
    "if ! mv \"$INSTALL.new\" \"$INSTALL\" 2>>\"$LOG\"; then\n"
    "  mv \"$INSTALL.old\" \"$INSTALL\" 2>/dev/null; rm -rf \"$INSTALL.new\"\n"
    "  write_result fail \"Could not move the new Pendra.app into place\"; exit 1\n"
    "fi\n"
    "rm -rf \"$INSTALL.old\"\n"
    "write_result ok \"\"\n"
    "rm -rf \"$WORK\"\n");

} // namespace

QString quoted(const QString &path)
{
    QString text = path;
    return text.replace(QLatin1String("'"), QLatin1String("'\\''"));
}

QString text(const Inputs &inputs)
{
    QString script = QStringLiteral("#!/bin/bash\n");
    script += assignment("LOG", inputs.logPath);
    script += assignment("RESULT", inputs.resultPath);
    script += assignment("WORK", inputs.workDir);
    script += assignment("PARENT", QFileInfo(inputs.installPath).absolutePath());
    script += assignment("INSTALL", inputs.installPath);
    script += assignment("STAGED", inputs.stagedPath);
    script += QStringLiteral("PID=") + QString::number(inputs.pid) + QLatin1Char('\n');
    script += kBody;
    // The relaunched copy waits for this process's parent to let go of the
    // single-instance lock instead of standing down at once.
    script += QStringLiteral("exec \"$INSTALL/AppRun\" ") + QLatin1String(RunningApp::kRelaunchFlag)
        + QStringLiteral(" </dev/null >/dev/null 2>&1\n");
    return script;
}

QString privilegedReplaceCommand(const QString &installPath, const QString &stagedPath)
{
    const QString install = quoted(installPath);
    const QString fresh = quoted(installPath + QStringLiteral(".new"));
    const QString old = quoted(installPath + QStringLiteral(".old"));
    const QString parent = quoted(QFileInfo(installPath).absolutePath());
    const QString staged = quoted(stagedPath);
    return QStringLiteral("mkdir -p '") + parent + QStringLiteral("' && rm -rf '") + fresh
        + QStringLiteral("' && { { cp -a --no-preserve=ownership '") + staged + QStringLiteral("' '") + fresh
        + QStringLiteral("' && chown -hR root:root '") + fresh + QStringLiteral("' && chmod -R go-w,ug-s '")
        + fresh + QStringLiteral("'; } || { rm -rf '") + fresh + QStringLiteral("'; false; }; } && rm -rf '") + old
        + QStringLiteral("' && { [ ! -e '") + install + QStringLiteral("' ] || mv '") + install + QStringLiteral("' '")
        + old + QStringLiteral("'; } && { mv '") + fresh + QStringLiteral("' '") + install + QStringLiteral("' || { mv '")
        + old + QStringLiteral("' '") + install + QStringLiteral("'; false; }; } && rm -rf '") + old
        + QStringLiteral("'");
}

} // namespace HelperScript
