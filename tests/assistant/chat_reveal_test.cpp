#include "platform/file_manager.h"
#include "platform/system_backends.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QObject>

namespace {

// A file manager on the test's private session bus that records ShowItems.
class FakeFileManagerService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QStringList shown;

public slots:
    void ShowItems(const QStringList &uris, const QString &startupId)
    {
        Q_UNUSED(startupId);
        shown << uris;
    }
};

TEST(FileManagerRevealTest, ShowsTheFileOrOpensItsFolderWhenNoFileManagerAnswers)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.isConnected());
    QStringList openedFolders;
    std::unique_ptr<FileManager> fileManager =
        makeSystemFileManager([&](const QString &folder) { openedFolders << folder; });

    FakeFileManagerService service;
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &service,
                                   QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    fileManager->revealFile(QStringLiteral("/tmp/My Downloads/report 1.pdf"));
    ASSERT_TRUE(spinUntil([&] { return !service.shown.isEmpty(); }));
    EXPECT_EQ(service.shown, QStringList{"file:///tmp/My%20Downloads/report%201.pdf"});

    bus.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    fileManager->revealFile(QStringLiteral("/tmp/My Downloads/report 1.pdf"));
    ASSERT_TRUE(spinUntil([&] { return !openedFolders.isEmpty(); }));
    EXPECT_EQ(openedFolders, QStringList{"/tmp/My Downloads"});
    EXPECT_EQ(service.shown.size(), 1);
}

} // namespace

#include "chat_reveal_test.moc"
