#include "updates/helper_script.h"

#include <QFileInfo>

namespace HelperScript {

QString quoted(const QString &path)
{
    QString text = path;
    return text.replace(QLatin1String("'"), QLatin1String("'\\''"));
}

QString text(const Inputs &inputs)
{
    const QString install = quoted(inputs.installPath);
    const QString fresh = quoted(inputs.installPath + QStringLiteral(".new"));
    const QString old = quoted(inputs.installPath + QStringLiteral(".old"));
    const QString parent = quoted(QFileInfo(inputs.installPath).absolutePath());
    const QString staged = quoted(inputs.stagedPath);

    QString script;
    script += QStringLiteral("#!/bin/bash\nLOG='") + quoted(inputs.logPath);
    script += QStringLiteral("'\nRESULT='") + quoted(inputs.resultPath);
    script += QStringLiteral(
        "'\nwrite_result() { printf '%s|%s\\n' \"$1\" \"$2\" > \"$RESULT\"; }\n"
        "trap 'code=$?; if [ ! -f \"$RESULT\" ] || [ ! -s \"$RESULT\" ]; then write_result fail "
        "\"Update helper exited with code $code\"; fi' EXIT\n"
        "write_result pending \"Update in progress…\"\n"
        "while kill -0 ");
    script += QString::number(inputs.pid);
    script += QStringLiteral(" 2>/dev/null; do sleep 0.25; done\nsleep 0.5\nmkdir -p '") + parent;
    script += QStringLiteral("' || { write_result fail \"Could not create install folder\"; exit 1; }\nrm -rf '")
        + fresh;
    script += QStringLiteral("'\nif ! /usr/bin/cp -a '") + staged + QStringLiteral("' '") + fresh;
    script += QStringLiteral("' 2>>\"$LOG\"; then\n  rm -rf '") + fresh;
    script += QStringLiteral("'; write_result fail \"cp failed\"; exit 1\nfi\nrm -rf '") + old;
    script += QStringLiteral("'\nif [ -e '") + install + QStringLiteral("' ] && ! mv '") + install
        + QStringLiteral("' '") + old;
    script += QStringLiteral("' 2>>\"$LOG\"; then\n  rm -rf '") + fresh;
    script += QStringLiteral("'; write_result fail \"Could not remove old Pendra.app\"; exit 1\nfi\nif ! mv '")
        + fresh + QStringLiteral("' '") + install;
    script += QStringLiteral("' 2>>\"$LOG\"; then\n  mv '") + old + QStringLiteral("' '") + install;
    script += QStringLiteral("' 2>/dev/null; write_result fail \"cp failed\"; exit 1\nfi\nrm -rf '") + old;
    script += QStringLiteral("'\nwrite_result ok \"\"\nexec '") + install;
    script += QStringLiteral("/AppRun' </dev/null >/dev/null 2>&1\n");
    return script;
}

QString privilegedReplaceCommand(const QString &installPath, const QString &stagedPath)
{
    const QString install = quoted(installPath);
    const QString fresh = quoted(installPath + QStringLiteral(".new"));
    const QString old = quoted(installPath + QStringLiteral(".old"));
    const QString staged = quoted(stagedPath);
    // Root owns what lands in the system folder, whoever staged it.
    return QStringLiteral("mkdir -p /opt && rm -rf '") + fresh + QStringLiteral("' && { cp -a --no-preserve=ownership '")
        + staged + QStringLiteral("' '") + fresh + QStringLiteral("' || { rm -rf '") + fresh
        + QStringLiteral("'; false; }; } && rm -rf '") + old + QStringLiteral("' && { [ ! -e '") + install
        + QStringLiteral("' ] || mv '") + install + QStringLiteral("' '") + old + QStringLiteral("'; } && { mv '")
        + fresh + QStringLiteral("' '") + install + QStringLiteral("' || { mv '") + old + QStringLiteral("' '")
        + install + QStringLiteral("'; false; }; } && rm -rf '") + old + QStringLiteral("'");
}

} // namespace HelperScript
