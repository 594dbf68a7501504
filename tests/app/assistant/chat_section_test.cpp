#include "app/assistant/plus_chat_section.h"
#include "app/assistant/plus_prefs_api_config_pane.h"
#include "app/assistant/plus_prefs_chat_pane.h"
#include "assistant/ai_client.h"
#include "assistant/ai_key_store.h"
#include "assistant/plus_chat_model.h"
#include "assistant/plus_file_downloads.h"
#include "fakes/fake_clock.h"
#include "platform/defaults.h"
#include "platform/file_manager.h"
#include "platform/keychain.h"
#include "platform/system_backends.h"
#include "support/event_loop.h"
#include "support/loopback_http_server.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

using Response = LoopbackHttpServer::Response;

class NoFileManager final : public FileManager
{
public:
    void revealFile(const QString &) override {}
};

class PlusChatSectionTest : public ::testing::Test
{
protected:
    PlusChatSectionTest()
        : defaults(dir.filePath(QStringLiteral("settings.json")))
        , keychain(makeSystemKeychain(dir.filePath(QStringLiteral("secrets"))))
        , keys(*keychain, defaults)
        , client(network, defaults, PlusAIHosts{server.baseUrl(), server.baseUrl(), server.baseUrl(), server.baseUrl()})
        , downloads(network, fileManager, dir.filePath(QStringLiteral("Downloads")))
        , chat(defaults, keys, client, downloads, fileManager, clock, [] { return PowerSnapshotInputs{}; })
    {
        defaults.setBool(PlusAIKeyStore::kMigratedKey, true);
        defaults.setString(PlusAIKeyStore::legacyKey(PlusAIProvider::openRouter), QStringLiteral("k"));
    }

    // The action buttons of every bubble, one list per bubble.
    static QList<QStringList> bubbleActions(const QWidget &section)
    {
        QList<QStringList> actions;
        for (QFrame *bubble : section.findChildren<QFrame *>(QStringLiteral("bubble"))) {
            QStringList texts;
            for (QPushButton *b : bubble->findChildren<QPushButton *>())
                texts << b->text();
            actions << texts;
        }
        return actions;
    }

    QTemporaryDir dir;
    Defaults defaults;
    std::unique_ptr<Keychain> keychain;
    PlusAIKeyStore keys;
    QNetworkAccessManager network;
    LoopbackHttpServer server;
    PlusAIClient client;
    NoFileManager fileManager;
    PlusFileDownloads downloads;
    FakeClock clock;
    PlusChatModel chat;
};

TEST_F(PlusChatSectionTest, BubblesOfferSaveAndDownloadLinksOnlyWhereTheyApply)
{
    PlusChatSection section(chat, keys, client, PlusChatSection::Layout::compact);
    EXPECT_TRUE(section.findChild<QLabel *>(QStringLiteral("emptyHint"))->isVisibleTo(&section));

    server.respondWith(Response{200, R"({"choices":[{"message":{"content":"See https://ex.com/guide.pdf"}}]})"});
    section.findChild<QPlainTextEdit *>(QStringLiteral("draft"))->setPlainText(QStringLiteral("Where is the guide?"));
    section.findChild<QPushButton *>(QStringLiteral("sendButton"))->click();
    EXPECT_FALSE(section.findChild<QPushButton *>(QStringLiteral("sendButton"))->isEnabled());
    ASSERT_TRUE(spinUntil([&] { return !chat.busy(); }));

    server.respondWith(Response{500, "down"});
    chat.setDraft(QStringLiteral("again"));
    chat.send();
    ASSERT_TRUE(spinUntil([&] { return !chat.busy(); }));

    EXPECT_FALSE(section.findChild<QLabel *>(QStringLiteral("emptyHint"))->isVisibleTo(&section));
    EXPECT_EQ(bubbleActions(section), (QList<QStringList>{{"Save"}, {"Save", "Download links"}, {"Save"}, {}}));
    EXPECT_EQ(section.findChild<QLabel *>(QStringLiteral("status"))->text(), "Error");
}

TEST_F(PlusChatSectionTest, EmbeddedKeysPaneFollowsAndSetsTheProvider)
{
    PlusChatSection section(chat, keys, client, PlusChatSection::Layout::wide);
    section.setKeysShown(true);
    auto *pane = section.findChild<PlusPrefsAPIConfigPane *>();
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(section.findChild<QPushButton *>(QStringLiteral("linkButton"))->text(), "Hide keys");

    pane->use(PlusAIProvider::gemini);
    EXPECT_EQ(chat.provider(), PlusAIProvider::gemini);
    chat.setProvider(PlusAIProvider::anthropic);
    EXPECT_EQ(pane->activeProvider(), PlusAIProvider::anthropic);
    EXPECT_FALSE(section.findChild<QWidget *>(QStringLiteral("openRouterModelPicker"))->isVisibleTo(&section));
}

TEST_F(PlusChatSectionTest, PreferencesPaneOpensApiConfigFromTheChatSubtab)
{
    PlusPrefsChatPane pane(chat, keys, client);
    EXPECT_EQ(pane.subtab(), PlusPrefsChatPane::Subtab::chat);
    pane.findChild<QPushButton *>(QStringLiteral("openApiConfig"))->click();
    EXPECT_EQ(pane.subtab(), PlusPrefsChatPane::Subtab::apiConfig);
}

} // namespace
