#include "app/assistant/plus_chat_section.h"
#include "app/assistant/plus_prefs_api_config_pane.h"
#include "app/assistant/plus_prefs_chat_pane.h"
#include "assistant/chat_test_support.h"
#include "assistant/plus_chat_model.h"
#include "fakes/fake_clock.h"
#include "platform/system_backends.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

using Response = LoopbackHttpServer::Response;

class PlusChatSectionTest : public ::testing::Test, protected ChatServices
{
protected:
    PlusChatSectionTest() : ChatServices(makeSystemKeychain)
    {
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

    FakeClock clock;
    PlusChatModel chat{defaults, keys, client, downloads, fileManager, clock, [] { return PowerSnapshotInputs{}; }};
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
