#include "assistant/ai_openrouter_model.h"
#include "assistant/plus_chat_model.h"
#include "chat_test_support.h"
#include "fakes/fake_clock.h"
#include "platform/linux/secrets_file_keychain.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include <optional>

namespace {

using Response = LoopbackHttpServer::Response;
constexpr double kJan31At0905 = 1738314300; // 2025-01-31T09:05:00Z

class PlusChatModelTest : public ::testing::Test, protected ChatServices
{
protected:
    // The key store's own tests cover the keyring; here a private file
    // keeps the test away from whatever keyring the bus would start.
    PlusChatModelTest()
        : ChatServices([](const QString &folder) { return std::make_unique<SecretsFileKeychain>(folder); })
    {
        for (PlusAIProvider p : {PlusAIProvider::openRouter, PlusAIProvider::anthropic})
            defaults.setString(PlusAIKeyStore::legacyKey(p), QStringLiteral("k"));
        server.respondWith(Response{200, R"({"choices":[{"message":{"content":"Plug in soon."}}]})"});
    }

    PlusChatModel &model()
    {
        if (!m_model) {
            m_model = std::make_unique<PlusChatModel>(defaults, keys, client, downloads, fileManager, clock,
                                                      [] { return PowerSnapshotInputs{}; });
        }
        return *m_model;
    }
    // The texts of the messages of the last request, in order.
    QStringList sentTexts() const
    {
        QStringList texts;
        const QJsonArray messages = QJsonDocument::fromJson(server.requests().last().body)["messages"].toArray();
        for (const QJsonValue &m : messages)
            texts << m["content"].toString();
        return texts;
    }
    bool waitIdle() { return spinUntil([&] { return !model().busy(); }); }

    FakeClock clock{kJan31At0905};
    std::unique_ptr<PlusChatModel> m_model;
};

TEST_F(PlusChatModelTest, SendIgnoresBlankDraftsAndRequestsWhileBusy)
{
    model().setDraft(QStringLiteral("   "));
    model().send();
    EXPECT_EQ(model().draft(), "   ");
    EXPECT_TRUE(model().messages().isEmpty());

    model().setDraft(QStringLiteral(" Why so hot? \n"));
    model().send();
    EXPECT_TRUE(model().busy());
    EXPECT_EQ(model().status(), "Thinking…");
    EXPECT_EQ(model().draft(), "");
    model().setDraft(QStringLiteral("second"));
    model().send();
    model().explainDrain();
    EXPECT_EQ(model().draft(), "second");
    EXPECT_EQ(model().messages().size(), 1);

    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(sentTexts(), QStringList{"Why so hot?"});
    ASSERT_EQ(model().messages().size(), 2);
    EXPECT_EQ(model().messages().last().text, "Plug in soon.");
    EXPECT_EQ(model().status(), "Ready · openrouter/auto");
}

TEST_F(PlusChatModelTest, ASendBeforeTheKeychainWasReadWaitsForItsKey)
{
    defaults.remove(PlusAIKeyStore::legacyKey(PlusAIProvider::openRouter));
    std::optional<Keychain::Result> written;
    keychain->write(PlusAIKeyStore::kService, PlusAIProviders::displayName(PlusAIProvider::openRouter),
                    QStringLiteral("sk-or-saved"), [&](const Keychain::Result &r) { written = r; });
    ASSERT_TRUE(spinUntil([&] { return written.has_value(); }));
    ASSERT_FALSE(keys.isLoaded()) << "nothing reads the keychain before a key is needed";

    model().setDraft(QStringLiteral("Why so hot?"));
    model().send();
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().last().header("Authorization"), "Bearer sk-or-saved");
    EXPECT_EQ(model().messages().last().text, "Plug in soon.");
    EXPECT_FALSE(model().messages().last().isError);
}

TEST_F(PlusChatModelTest, ExplainDrainSendsTheSnapshotButShowsTheShortRequest)
{
    model().setDraft(QStringLiteral("left over"));
    model().explainDrain();
    EXPECT_EQ(model().status(), "Analyzing drain…");
    EXPECT_EQ(model().draft(), "");
    ASSERT_TRUE(waitIdle());

    const QStringList sent = sentTexts();
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent.first(), model().snapshot()
                                + "\n\n## Question\nWhy might my computer be using energy like this right now? Rank "
                                  "likely causes, suggest 3 practical steps, and note anything that looks normal.");
    ASSERT_EQ(model().messages().size(), 2);
    EXPECT_EQ(model().messages().first().text, "Explain my current battery / power situation (with live snapshot).");
}

TEST_F(PlusChatModelTest, ClearDuringARequestIsUndoneByTheReply)
{
    model().askWithSnapshot(PlusChatModel::kBatteryNowQuestion);
    model().clear();
    EXPECT_EQ(model().status(), "Cleared");
    EXPECT_TRUE(model().messages().isEmpty());
    ASSERT_TRUE(waitIdle());

    ASSERT_EQ(model().messages().size(), 2);
    EXPECT_EQ(model().messages().at(0).text, PlusChatModel::kBatteryNowQuestion);
    EXPECT_EQ(model().messages().at(1).text, "Plug in soon.");
    EXPECT_EQ(sentTexts().last(), model().snapshot() + "\n\n## Question\n" + PlusChatModel::kBatteryNowQuestion + "\n");
}

TEST_F(PlusChatModelTest, AFailureBecomesAnErrorBubbleThatIsNeverResent)
{
    model().setProvider(PlusAIProvider::openai);
    EXPECT_EQ(defaults.stringValue(PlusChatModel::kProviderKey), "OpenAI");
    model().setDraft(QStringLiteral("one"));
    model().send();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(model().status(), "Error");
    ASSERT_EQ(model().messages().size(), 2);
    EXPECT_TRUE(model().messages().last().isError);
    EXPECT_EQ(model().messages().last().text, "Add your OpenAI API key in API Config.");
    EXPECT_TRUE(server.requests().isEmpty());

    defaults.setString(PlusAIKeyStore::legacyKey(PlusAIProvider::openai), QStringLiteral("k"));
    model().setDraft(QStringLiteral("two"));
    model().send();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(sentTexts(), (QStringList{"one", "two"}));
    EXPECT_EQ(model().status(), "Ready · gpt-4o-mini");
}

TEST_F(PlusChatModelTest, OpenRouterCustomIdIsTrimmedSentAndStored)
{
    defaults.setString(PlusChatModel::kProviderKey, QStringLiteral("OpenRouter"));
    model().setOpenRouterModel(QStringLiteral("deepseek/deepseek-chat"));
    model().setOpenRouterCustom(QStringLiteral("  my/model \n"));
    EXPECT_EQ(model().effectiveModel(), "my/model");
    model().setDraft(QStringLiteral("hi"));
    model().send();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(QJsonDocument::fromJson(server.requests().last().body)["model"].toString(), "my/model");
    EXPECT_EQ(PlusOpenRouterModels::stored(defaults), "my/model");
}

TEST_F(PlusChatModelTest, SaveKeyReportsWhatWasStored)
{
    model().setKeyDraft(QStringLiteral("  sk-1 "));
    model().saveKey();
    ASSERT_TRUE(spinUntil([&] { return model().status() == "Key saved on this computer"; }));
    EXPECT_EQ(keys.keyForProvider(PlusAIProvider::openRouter), "sk-1");
    model().setKeyDraft(QStringLiteral(" "));
    model().saveKey();
    ASSERT_TRUE(spinUntil([&] { return model().status() == "No key saved"; }));
}

TEST_F(PlusChatModelTest, ExportsNameTheirFilesAndHeadRepliesWithTheProvider)
{
    model().setProvider(PlusAIProvider::anthropic);
    server.respondWith(Response{200, R"({"content":[{"text":"Fine."}]})"});
    model().setDraft(QStringLiteral("Hello"));
    model().send();
    ASSERT_TRUE(waitIdle());

    const PlusChatExport chat = model().exportChat();
    EXPECT_EQ(model().status(), "Export chat…");
    EXPECT_EQ(chat.proposedName(), "pendra-pro-chat-2025-01-31T09-05-00Z.md");
    EXPECT_EQ(chat.text, "# Pendra Pro chat\n\nProvider: Anthropic · Model: claude-3-5-haiku-20241022\n\n"
                         "## You\n\nHello\n\n## Anthropic\n\nFine.\n\n");

    const PlusChatExport snapshot = model().exportSnapshot();
    EXPECT_EQ(model().status(), "Export snapshot…");
    EXPECT_EQ(snapshot.proposedName(), "pendra-pro-snapshot-2025-01-31T09-05-00Z.md");
    EXPECT_EQ(snapshot.text, "# Pendra Pro system snapshot\n\n" + model().snapshot() + "\n");

    const QString path = dir.filePath(QStringLiteral("chat.md"));
    model().writeExport(chat, path);
    ASSERT_TRUE(spinUntil([&] { return !fileManager.revealed.isEmpty(); }));
    EXPECT_EQ(QString::fromUtf8(readFile(path)), chat.text);
    EXPECT_EQ(fileManager.revealed, QStringList{path});

    model().writeExport(chat, dir.filePath(QStringLiteral("missing/folder/chat.md")));
    ASSERT_TRUE(spinUntil([&] { return model().status().startsWith("Export failed: "); }));
}

TEST_F(PlusChatModelTest, SaveMessageTakesAFreeNameInDownloads)
{
    PlusChatMessage reply;
    reply.role = QStringLiteral("assistant");
    reply.text = QStringLiteral("Ünïcode reply");
    model().saveMessage(reply);
    model().saveMessage(reply);
    ASSERT_TRUE(spinUntil([&] { return fileManager.revealed.size() == 2; }));
    const QString folder = dir.filePath(QStringLiteral("Downloads"));
    EXPECT_EQ(fileManager.revealed, (QStringList{folder + "/pendra-pro-reply-1738314300.md",
                                                 folder + "/pendra-pro-reply-1738314300-2.md"}));
    EXPECT_EQ(QString::fromUtf8(readFile(fileManager.revealed.last())), reply.text);
    EXPECT_EQ(model().status(), "Saved pendra-pro-reply-1738314300-2.md");
    EXPECT_EQ(model().lastSavedPath(), fileManager.revealed.last());
}

} // namespace
