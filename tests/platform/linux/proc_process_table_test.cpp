#include "platform/linux/proc_process_table.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

// A procfs-like tree: <root>/<pid>/{stat,comm,exe}.
class FakeProcRoot
{
public:
    QTemporaryDir dir;

    void addProcess(int pid, const QByteArray &stat, const QByteArray &comm, const QByteArray &exeTarget = {},
                    const QByteArray &cmdline = {})
    {
        const QString folder = dir.filePath(QString::number(pid));
        writeFile(folder + QStringLiteral("/stat"), stat);
        writeFile(folder + QStringLiteral("/comm"), comm);
        writeFile(folder + QStringLiteral("/cmdline"), cmdline);
        if (!exeTarget.isEmpty())
            QFile::link(QString::fromUtf8(exeTarget), folder + QStringLiteral("/exe"));
    }

    QByteArray root() const { return QFile::encodeName(dir.path()); }
};

QByteArray statLine(int pid, const QByteArray &name, unsigned long long utime, unsigned long long stime)
{
    return QByteArray::number(pid) + " (" + name + ") S 1 100 100 0 -1 4194560 500 0 0 0 "
        + QByteArray::number(utime) + ' ' + QByteArray::number(stime) + " 0 0 20 0 1 0 12345 1000000 200 "
        "18446744073709551615 1 1 0 0 0 0 0 4096 0 0 0 0 17 1 0 0 0 0 0\n";
}

} // namespace

TEST(CpuTicksFromStat, CountsFieldsFromTheLastParenthesis)
{
    struct Case { QByteArray stat; std::optional<unsigned long long> ticks; };
    const Case cases[] = {
        {statLine(42, "bash", 150, 50), 200},
        {statLine(42, "Web Content", 7, 3), 10},
        {statLine(42, "a) S 1 2 3 (b", 7, 3), 10}, // a name that imitates fields
        {statLine(42, ")))", 1, 1), 2},
        {statLine(42, "", 0, 0), 0},
        {"42 (bash) S 1 100", std::nullopt}, // cut short
        {"42 bash S 1 100 100 0 -1 4194560 500 0 0 0 7 3 0", std::nullopt}, // no name field
        {"42 (bash) S 1 100 100 0 -1 4194560 500 0 0 0 x 3 0", std::nullopt},
        // Counts past 64 bits, alone or summed, are refused rather than wrapped.
        {"42 (bash) S 1 100 100 0 -1 4194560 500 0 0 0 18446744073709551616 3 0", std::nullopt},
        {"42 (bash) S 1 100 100 0 -1 4194560 500 0 0 0 18446744073709551615 1 0", std::nullopt},
        {"42 (bash) S 1 100 100 0 -1 4194560 500 0 0 0 18446744073709551614 1 0", 18446744073709551615ULL},
        {"", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(cpuTicksFromStat(c.stat.toStdString()), c.ticks) << c.stat.toStdString();
}

TEST(ProcProcessTable, ReadsCpuNameAndPathFromATreeAndSkipsWhatIsMissing)
{
    FakeProcRoot proc;
    const double ticks = static_cast<double>(::sysconf(_SC_CLK_TCK));
    proc.addProcess(100, statLine(100, "my app) x", 250, 50), "my app) x\n", "/usr/bin/myapp");
    proc.addProcess(200, statLine(200, "kworker/0:1", 0, 9), "kworker/0:1\n"); // kernel thread: no exe
    proc.addProcess(300, statLine(300, "bad", 1, 1), "caf\xc3\n\xff\n");
    QDir().mkpath(proc.dir.filePath(QStringLiteral("self")));
    QDir().mkpath(proc.dir.filePath(QStringLiteral("400"))); // ended: folder without files
    QDir().mkpath(proc.dir.filePath(QStringLiteral("300/exe"))); // not a link: unreadable path

    const ProcProcessTable table(proc.root());
    auto ids = table.processIds();
    ASSERT_TRUE(ids);
    std::sort(ids->begin(), ids->end());
    EXPECT_EQ(*ids, (std::vector<int>{100, 200, 300, 400}));

    EXPECT_EQ(table.cpuSeconds(100), 300 / ticks);
    EXPECT_EQ(table.cpuSeconds(200), 9 / ticks);
    EXPECT_EQ(table.cpuSeconds(400), std::nullopt);
    EXPECT_EQ(table.cpuSeconds(999), std::nullopt);

    EXPECT_EQ(table.shortName(100), QStringLiteral("my app) x"));
    EXPECT_EQ(table.shortName(300), QStringLiteral("caf\uFFFD\n\uFFFD")) << "invalid UTF-8 repaired";
    EXPECT_EQ(table.shortName(400), std::nullopt);

    EXPECT_EQ(table.executablePath(100), QStringLiteral("/usr/bin/myapp"));
    EXPECT_EQ(table.executablePath(200), std::nullopt);
    EXPECT_EQ(table.executablePath(300), std::nullopt);
    // No root at all is a failed listing, not an empty one.
    EXPECT_EQ(ProcProcessTable("/nonexistent/proc").processIds(), std::nullopt);
}

TEST(ProcProcessTable, NameCutByTheKernelIsTakenWholeFromTheExecutableOrArgv0)
{
    struct Case { QByteArray comm, exe, cmdline; QString name; };
    const Case cases[] = {
        {"Isolated Web Co", "/usr/lib/firefox-esr/firefox-esr", QByteArrayLiteral("/usr/lib/firefox-esr/firefox-esr\0-isForBrowser\0"),
         QStringLiteral("firefox-esr")},
        {"gnome-control-c", "/usr/bin/gnome-control-center (deleted)", {}, QStringLiteral("gnome-control-center")},
        // Started through a link to a multi-call binary: argv[0] has the name.
        {"systemd-tty-ask", "/usr/bin/systemctl", QByteArrayLiteral("/usr/bin/systemd-tty-ask-password-agent\0--watch\0"),
         QStringLiteral("systemd-tty-ask-password-agent")},
        // Another user's process: no executable link, argv[0] only.
        {"gsd-screensaver", {}, QByteArrayLiteral("/usr/libexec/gsd-screensaver-proxy\0"), QStringLiteral("gsd-screensaver-proxy")},
        {"python3-script-", "/usr/bin/python3.11", QByteArrayLiteral("/usr/bin/python3\0/opt/python3-script-runner\0"),
         QStringLiteral("python3.11")},
        {"kworker/u8:2-ev", {}, {}, QStringLiteral("kworker/u8:2-ev")},
        {"short name", "/usr/bin/something-else", {}, QStringLiteral("short name")},
    };
    FakeProcRoot proc;
    for (int i = 0; i < int(std::size(cases)); ++i)
        proc.addProcess(100 + i, statLine(100 + i, cases[i].comm, 1, 1), cases[i].comm + '\n', cases[i].exe,
                        cases[i].cmdline);
    const ProcProcessTable table(proc.root());
    for (int i = 0; i < int(std::size(cases)); ++i)
        EXPECT_EQ(table.shortName(100 + i), cases[i].name) << cases[i].comm.toStdString();
}

// Its CPU time on the real procfs is ProcStatFiles.AKeptFileFollowsItsProcessAndClosesWhenItEnds.
TEST(ProcProcessTable, ReadsThisProcessFromTheRealProc)
{
    const ProcProcessTable table;
    const auto ids = table.processIds();
    ASSERT_TRUE(ids);
    EXPECT_NE(std::find(ids->begin(), ids->end(), static_cast<int>(::getpid())), ids->end());
    EXPECT_GT(ids->size(), 1u);
    // The kernel keeps 15 bytes of the name; the executable's gives the rest.
    EXPECT_EQ(table.shortName(::getpid()), QStringLiteral("platform_linux_tests"));
    EXPECT_TRUE(table.executablePath(::getpid()).value_or(QString()).endsWith(QStringLiteral("/platform_linux_tests")));
    EXPECT_GE(table.logicalCpuCount(), 1);
}
