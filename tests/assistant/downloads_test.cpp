#include "assistant/plus_file_downloads.h"
#include "chat_test_support.h"
#include "support/event_loop.h"
#include "support/loopback_http_server.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QTemporaryDir>

namespace {

using Response = LoopbackHttpServer::Response;

// The loopback server's address and nothing else: a download that reaches
// any other address of this machine fails the test.
bool isTheTestServer(const QHostAddress &address)
{
    return address == QHostAddress(QHostAddress::LocalHost);
}

TEST(PlusFileDownloadsLinksTest, KeepsExactWebLinkTextsInOrder)
{
    const QString text = QStringLiteral(
        "Get [the guide](https://ex.com/a/guide.pdf), then https://ex.com/a/guide.pdf again.\n"
        "Not HTTPS://EX.COM/UP.zip, ftp://ex.com/f.bin, mailto:me@ex.com or www.ex.com; "
        "but (see http://ex.com/wiki/Foo_(bar)) and `http://ex.com/x?q=1&r=2`.");
    EXPECT_EQ(PlusFileDownloads::linksIn(text),
              (QStringList{"https://ex.com/a/guide.pdf", "https://ex.com/a/guide.pdf", "http://ex.com/wiki/Foo_(bar)",
                           "http://ex.com/x?q=1&r=2"}));
    EXPECT_TRUE(PlusFileDownloads::linksIn(QStringLiteral("no links here.")).isEmpty());
}

TEST(PlusFileDownloadsNamesTest, SanitisedNamesStayInsideTheFolder)
{
    const struct
    {
        QString component;
        QString expected;
    } cases[] = {
        {"report.pdf", "report.pdf"},
        {"", "download"},
        {"..", "download"},
        {"../../etc/passwd", "-..-etc-passwd"},
        {"..\\evil.exe", "-evil.exe"},
        {".bashrc", "bashrc"},
        {"a\nb\tc.txt", "a-b-c.txt"},
        {QString(300, u'x') + ".txt", QString(196, u'x') + ".txt"},
        {QString(150, QChar(0x00e9)), QString(100, QChar(0x00e9))},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PlusFileDownloads::sanitizedFileName(c.component), c.expected) << c.component.toStdString();
}

TEST(PlusFileDownloadsNamesTest, FreeNamesCountBeforeTheExtension)
{
    QTemporaryDir dir;
    for (const char *name : {"a.tar.gz", "a.tar-2.gz", "plain"})
        QFile(dir.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
    EXPECT_EQ(PlusFileDownloads::freeFilePath(dir.path(), "a.tar.gz"), dir.filePath("a.tar-3.gz"));
    EXPECT_EQ(PlusFileDownloads::freeFilePath(dir.path(), "plain"), dir.filePath("plain-2"));
    EXPECT_EQ(PlusFileDownloads::freeFilePath(dir.path(), "new.md"), dir.filePath("new.md"));
}

class PlusFileDownloadsTest : public ::testing::Test
{
protected:
    PlusFileDownloadsTest()
    {
        server.setHandler([](const LoopbackHttpServer::Request &request) {
            if (request.path.startsWith("/missing"))
                return Response{404, "gone"};
            if (request.path.startsWith("/empty"))
                return Response{200, ""};
            if (request.path.startsWith("/big"))
                return Response{200, QByteArray(2048, 'b')};
            if (request.path.startsWith("/slow"))
                return Response::silent();
            if (request.path.startsWith("/hop"))
                return Response{302, "moved", {{"Location", "/f/target.txt"}}};
            if (request.path.startsWith("/loop"))
                return Response{302, "", {{"Location", "/loop"}}};
            return Response{200, "body of " + request.path};
        });
    }

    void download(const QStringList &paths, qint64 maxBytes = PlusFileDownloads::kMaxDownloadBytes)
    {
        QString text = QStringLiteral("Files:");
        for (const QString &path : paths)
            text += u' ' + server.baseUrl().toString() + path;
        downloadLinks(text, std::make_unique<PlusFileDownloads>(network, fileManager, folder(), maxBytes,
                                                                isTheTestServer, kShortStall));
    }
    void downloadLinks(const QString &text, std::unique_ptr<PlusFileDownloads> with)
    {
        downloads = std::move(with);
        downloads->downloadAll(text, &owner, {[this](const QString &s) { statuses << s; },
                                              [this](const QString &p) { saved << p; }});
    }
    bool waitForStatuses(int count) { return spinUntil([&] { return statuses.size() >= count; }); }
    QString folder() const { return dir.filePath(QStringLiteral("Downloads")); }
    QString content(const QString &name) const
    {
        QFile file(QDir(folder()).filePath(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("<none>");
    }

    static constexpr std::chrono::milliseconds kShortStall{100};

    QTemporaryDir dir;
    QNetworkAccessManager network;
    LoopbackHttpServer server;
    RecordingFileManager fileManager;
    QObject owner;
    std::unique_ptr<PlusFileDownloads> downloads;
    QStringList statuses;
    QStringList saved;
};

TEST_F(PlusFileDownloadsTest, TheSameLinkTwiceGetsASecondName)
{
    download({"/f/notes.txt", "/f/notes.txt"});
    ASSERT_TRUE(waitForStatuses(3));
    EXPECT_EQ(statuses.first(), "Downloading 2 file(s)…");
    EXPECT_EQ(statuses.at(1), "Downloaded notes.txt…");
    EXPECT_EQ(statuses.last(), "Downloaded to Downloads");
    EXPECT_EQ(content("notes.txt"), "body of /f/notes.txt");
    EXPECT_EQ(content("notes-2.txt"), "body of /f/notes.txt");
    EXPECT_EQ(fileManager.revealed, QStringList{saved.last()});
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden).size(), 2); // no temporary left
}

TEST_F(PlusFileDownloadsTest, OneFailureAmongThreeIsReportedAndTheLastRevealed)
{
    download({"/f/", "/missing/x.bin", "/f/..%2F..%2Fescape"});
    ASSERT_TRUE(waitForStatuses(4));
    EXPECT_EQ(statuses.filter("/missing/x.bin - server replied").size(), 1) << statuses.join(" | ").toStdString();
    EXPECT_EQ(statuses.last(), "Downloaded to Downloads");
    EXPECT_EQ(content("download"), "body of /f/");
    EXPECT_EQ(content("escape"), "body of /f/..%2F..%2Fescape");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Downloads"});
    EXPECT_EQ(fileManager.revealed.size(), 1);
}

TEST_F(PlusFileDownloadsTest, EmptyOversizedAndStalledDownloadsSaveNothing)
{
    download({"/empty/e.txt", "/big/b.bin", "/slow/s.bin"}, 1024);
    ASSERT_TRUE(waitForStatuses(4));
    EXPECT_TRUE(statuses.contains("Empty download"));
    EXPECT_TRUE(statuses.contains("Download larger than 1 KiB"));
    EXPECT_TRUE(statuses.contains("Download stalled"));
    EXPECT_TRUE(saved.isEmpty());
    EXPECT_TRUE(fileManager.revealed.isEmpty());
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(PlusFileDownloadsTest, MessagesWithoutUsableLinksSayWhy)
{
    download({});
    EXPECT_EQ(statuses, QStringList{"No download links in that message"});

    statuses.clear();
    downloads->downloadAll(QStringLiteral("see http://[zz]/f.txt"), &owner, {[this](const QString &s) { statuses << s; }, {}});
    ASSERT_TRUE(waitForStatuses(2));
    EXPECT_EQ(statuses, (QStringList{"Downloading 1 file(s)…", "Not a downloadable URL"}));
}

TEST_F(PlusFileDownloadsTest, LocalAndPrivateDestinationsAreRefusedBeforeAnyRequest)
{
    const QString port = QString::number(server.baseUrl().port());
    const QStringList links = {
        "http://127.0.0.1:" + port + "/f/a.txt",
        "http://localhost:" + port + "/f/b.txt",
        "http://[::1]:" + port + "/f/c.txt",
        "http://169.254.169.254/latest/meta-data/",
        "http://2130706433:" + port + "/f/f.txt",
        "http://0x7f000001:" + port + "/f/g.txt",
    };
    downloadLinks(links.join(u' '), std::make_unique<PlusFileDownloads>(network, fileManager, folder()));
    ASSERT_TRUE(waitForStatuses(1 + int(links.size()))) << statuses.join(" | ").toStdString();
    EXPECT_EQ(statuses.count("Not downloading from a local or private address"), links.size())
        << statuses.join(" | ").toStdString();
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_TRUE(saved.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder()));
}

TEST_F(PlusFileDownloadsTest, TheCheckedAddressIsContactedUnderTheLinksHostName)
{
    const QString link = "http://localhost:" + QString::number(server.baseUrl().port()) + "/f/named.txt";
    downloadLinks(link, std::make_unique<PlusFileDownloads>(network, fileManager, folder(),
                                                            PlusFileDownloads::kMaxDownloadBytes, isTheTestServer));
    ASSERT_TRUE(waitForStatuses(2));
    EXPECT_EQ(statuses.last(), "Downloaded to Downloads");
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first().header("host"), "localhost:" + QByteArray::number(server.baseUrl().port()));
    EXPECT_EQ(content("named.txt"), "body of /f/named.txt");
}

TEST_F(PlusFileDownloadsTest, RedirectsAreFollowedOnlyToAllowedDestinations)
{
    download({"/hop/notes.txt"});
    ASSERT_TRUE(waitForStatuses(2));
    EXPECT_EQ(statuses.last(), "Downloaded to Downloads");
    EXPECT_EQ(content("notes.txt"), "body of /f/target.txt"); // the redirect's body is not saved

    statuses.clear();
    download({"/loop"});
    ASSERT_TRUE(waitForStatuses(2));
    EXPECT_EQ(statuses.last(), "Too many redirects");

    // 127.0.0.2 is this machine too, but not the one address allowed here.
    server.setHandler([this](const LoopbackHttpServer::Request &request) {
        if (request.path == "/away")
            return Response{302, "", {{"Location", "http://127.0.0.2:" + QByteArray::number(server.baseUrl().port()) + "/x"}}};
        return Response{200, "reached " + request.path};
    });
    statuses.clear();
    download({"/away"});
    ASSERT_TRUE(waitForStatuses(2));
    EXPECT_EQ(statuses.last(), "Not downloading from a local or private address");
    EXPECT_EQ(server.requests().last().path, "/away");
}

} // namespace
