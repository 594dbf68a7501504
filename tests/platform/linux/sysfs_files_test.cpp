#include "platform/linux/sysfs_files.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

// Reads go through descriptors kept open from the last read, so each way a
// file can change under them must still show.
TEST(RealSysfsFiles, EveryReadSeesTheFileAsItIsNow)
{
    SysfsFiles &files = SysfsFiles::real();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("capacity"));
    writeFile(path, "80\n");
    EXPECT_EQ(files.read(path), QByteArray("80\n"));

    EXPECT_EQ(files.write(path, "7"), 0);
    EXPECT_EQ(files.read(path), QByteArray("7"));

    const QString replacement = dir.filePath(QStringLiteral("capacity.new"));
    writeFile(replacement, "79\n");
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(replacement, path));
    EXPECT_EQ(files.read(path), QByteArray("79\n"));

    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(files.read(path), std::nullopt);
    writeFile(path, "78\n");
    EXPECT_EQ(files.read(path), QByteArray("78\n"));

    ASSERT_TRUE(QDir(dir.path()).removeRecursively());
    EXPECT_EQ(files.read(path), std::nullopt);
}

TEST(RealSysfsFiles, EveryListingSeesTheDirectoryAsItIsNow)
{
    SysfsFiles &files = SysfsFiles::real();
    QTemporaryDir dir;
    const QString supplies = dir.filePath(QStringLiteral("power_supply"));
    writeFile(supplies + QStringLiteral("/BAT0/type"), "Battery\n");
    EXPECT_EQ(files.list(supplies), QStringList{QStringLiteral("BAT0")});

    writeFile(supplies + QStringLiteral("/AC/type"), "Mains\n");
    EXPECT_EQ(files.list(supplies), (QStringList{QStringLiteral("AC"), QStringLiteral("BAT0")}));

    ASSERT_TRUE(QDir(supplies).removeRecursively());
    EXPECT_EQ(files.list(supplies), QStringList());
    writeFile(supplies + QStringLiteral("/BAT1/type"), "Battery\n");
    EXPECT_EQ(files.list(supplies), QStringList{QStringLiteral("BAT1")});
}

// A kernel file read twice through one descriptor is generated twice.
TEST(RealSysfsFiles, AKernelFileIsAnsweredAfresh)
{
    SysfsFiles &files = SysfsFiles::real();
    const QString comm = QStringLiteral("/proc/self/comm");
    const std::optional<QByteArray> original = files.read(comm);
    ASSERT_TRUE(original);

    ASSERT_EQ(::prctl(PR_SET_NAME, "kept-open-one"), 0);
    EXPECT_EQ(files.read(comm), QByteArray("kept-open-one\n"));
    ASSERT_EQ(::prctl(PR_SET_NAME, "kept-open-two"), 0);
    EXPECT_EQ(files.read(comm), QByteArray("kept-open-two\n"));

    ::prctl(PR_SET_NAME, original->trimmed().constData());
}

// A kernel file is not asked whether it still has a name: the kernel fails
// reads of one whose process (or device) is gone.
TEST(RealSysfsFiles, AKernelFileOfAGoneProcessIsNoLongerRead)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::pause();
        ::_exit(0);
    }
    SysfsFiles &files = SysfsFiles::real();
    const QString status = QStringLiteral("/proc/%1/status").arg(child);
    EXPECT_TRUE(files.read(status));

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(files.read(status), std::nullopt);
}
