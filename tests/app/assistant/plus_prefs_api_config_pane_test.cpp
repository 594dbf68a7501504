#include "app/assistant/plus_pasteable_key_field.h"
#include "app/assistant/plus_prefs_api_config_pane.h"
#include "assistant/chat_test_support.h"
#include "platform/system_backends.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"
#include "support/test_keyring.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

using Response = LoopbackHttpServer::Response;

class PlusPrefsAPIConfigPaneTest : public ::testing::Test, protected ChatServices
{
protected:
    PlusPrefsAPIConfigPaneTest() : ChatServices(makeSystemKeychain) {}

    QWidget *card(PlusAIProvider provider)
    {
        for (QWidget *w : pane.findChildren<QWidget *>(QStringLiteral("providerCard"))) {
            if (w->property("provider") == PlusAIProviders::displayName(provider))
                return w;
        }
        return nullptr;
    }
    PlusPasteableKeyField *field(PlusAIProvider provider)
    {
        return card(provider)->findChild<PlusPasteableKeyField *>(QStringLiteral("keyField"));
    }
    QString keyBadge(PlusAIProvider provider)
    {
        return card(provider)->findChild<QLabel *>(QStringLiteral("keyBadge"))->text();
    }
    bool waitForStatus(PlusAIProvider provider, const QString &text)
    {
        return spinUntil([&] { return pane.status(provider) == text; });
    }

    TestKeyring keyring;
    PlusPrefsAPIConfigPane pane{keys, client, false};
};

TEST_F(PlusPrefsAPIConfigPaneTest, SaveStoresTheTrimmedKeyAndBlankClearsIt)
{
    ASSERT_TRUE(keyring.ready());
    QSignalSpy saved(&pane, &PlusPrefsAPIConfigPane::keySaved);
    EXPECT_EQ(keyBadge(PlusAIProvider::gemini), "No key");

    field(PlusAIProvider::gemini)->setText(QStringLiteral("  g-key \n"));
    card(PlusAIProvider::gemini)->findChild<QPushButton *>(QStringLiteral("saveButton"))->click();
    ASSERT_TRUE(waitForStatus(PlusAIProvider::gemini, QStringLiteral("Saved on this computer")));
    EXPECT_EQ(keyBadge(PlusAIProvider::gemini), "Key saved");
    EXPECT_EQ(keys.keyForProvider(PlusAIProvider::gemini), "g-key");
    ASSERT_EQ(saved.count(), 1);
    EXPECT_EQ(saved.first().at(1).toString(), "g-key");

    field(PlusAIProvider::gemini)->setText(QStringLiteral("   "));
    pane.save(PlusAIProvider::gemini);
    ASSERT_TRUE(waitForStatus(PlusAIProvider::gemini, QStringLiteral("Cleared")));
    EXPECT_EQ(keyBadge(PlusAIProvider::gemini), "No key");
}

TEST_F(PlusPrefsAPIConfigPaneTest, ClosingThePaneWhileTheKeyringSavesKeepsTheKey)
{
    ASSERT_TRUE(keyring.ready());
    auto closing = std::make_unique<PlusPrefsAPIConfigPane>(keys, client, false);
    QSignalSpy stored(&keys, &PlusAIKeyStore::keyChanged);
    closing->findChild<PlusPasteableKeyField *>(QStringLiteral("keyField"))->setText(QStringLiteral("late-key"));
    closing->save(PlusAIProvider::openRouter);
    closing.reset(); // before the keyring answers
    ASSERT_TRUE(spinUntil([&] { return stored.count() == 1; }));
    EXPECT_EQ(keys.keyForProvider(PlusAIProvider::openRouter), "late-key");
}

TEST_F(PlusPrefsAPIConfigPaneTest, TestNeedsAKeyAndPrefersTheDraft)
{
    server.respondWith(Response{200, R"({"choices":[{"message":{"content":" ok "}}]})"});
    pane.test(PlusAIProvider::openai);
    ASSERT_TRUE(waitForStatus(PlusAIProvider::openai, QStringLiteral("Paste a key first")))
        << "after the keychain was read for a saved key";
    EXPECT_FALSE(pane.testing().has_value());

    defaults.setString(PlusAIKeyStore::legacyKey(PlusAIProvider::openai), QStringLiteral("stored"));
    field(PlusAIProvider::openai)->setText(QStringLiteral(" draft "));
    pane.test(PlusAIProvider::openai);
    EXPECT_EQ(pane.status(PlusAIProvider::openai), "Checking…");
    EXPECT_EQ(pane.testing(), PlusAIProvider::openai);
    ASSERT_TRUE(waitForStatus(PlusAIProvider::openai, QStringLiteral("Connected · gpt-4o-mini · ok")));
    EXPECT_FALSE(pane.testing().has_value());
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first().header("Authorization"), "Bearer draft");

    server.respondWith(Response{401, "nope"});
    pane.setOpenRouterModel(QStringLiteral("deepseek/deepseek-chat"));
    field(PlusAIProvider::openRouter)->setText(QStringLiteral("k"));
    pane.test(PlusAIProvider::openRouter);
    ASSERT_TRUE(waitForStatus(PlusAIProvider::openRouter, QStringLiteral("OpenRouter HTTP 401: nope")));
    EXPECT_TRUE(server.requests().last().body.contains("deepseek/deepseek-chat"));
}

TEST_F(PlusPrefsAPIConfigPaneTest, UsePicksTheProvider)
{
    QSignalSpy picked(&pane, &PlusPrefsAPIConfigPane::activeProviderPicked);
    pane.use(PlusAIProvider::anthropic);
    EXPECT_EQ(pane.status(PlusAIProvider::anthropic), "Set as active provider");
    EXPECT_EQ(pane.activeProvider(), PlusAIProvider::anthropic);
    ASSERT_EQ(picked.count(), 1);
    EXPECT_EQ(picked.first().at(0).value<PlusAIProvider>(), PlusAIProvider::anthropic);
    EXPECT_EQ(pane.findChild<QLabel *>(QStringLiteral("defaultModel"))->text(),
              "Default model: claude-3-5-haiku-20241022");
}

// On a desktop without any keyring the key goes to the private file, and the
// pane says which file.
TEST(PlusPrefsAPIConfigPaneWithoutKeyring, SaysWhereTheKeyIsKept)
{
    ChatServices services(makeSystemKeychain);
    PlusPrefsAPIConfigPane pane(services.keys, services.client, false);

    pane.findChild<PlusPasteableKeyField *>(QStringLiteral("keyField"))->setText(QStringLiteral("or-key"));
    pane.save(PlusAIProvider::openRouter);
    const QString expected = QStringLiteral("Saved in ") + services.dir.filePath(QStringLiteral("secrets/secrets.json"))
                             + QStringLiteral(" (no keyring on this desktop)");
    EXPECT_TRUE(spinUntil([&] { return pane.status(PlusAIProvider::openRouter) == expected; }))
        << pane.status(PlusAIProvider::openRouter).toStdString();
}

TEST(PlusPasteableKeyField, ControlPastesTrimmedWithOrWithoutShiftButNotWithAlt)
{
    struct Case
    {
        Qt::KeyboardModifiers modifiers;
        bool pastes;
    };
    const Case cases[] = {
        {Qt::ControlModifier, true},
        {Qt::ControlModifier | Qt::ShiftModifier, true},
        {Qt::ControlModifier | Qt::AltModifier, false},
    };
    QApplication::clipboard()->setText(QStringLiteral("  sk-9\n"));
    for (const Case &c : cases) {
        PlusPasteableKeyField field(QStringLiteral("Paste"), true);
        QTest::keyClick(&field, Qt::Key_V, c.modifiers);
        EXPECT_EQ(field.text() == QStringLiteral("sk-9"), c.pastes) << c.modifiers.toInt();
    }
    PlusPasteableKeyField readOnly(QStringLiteral("Paste"), true);
    readOnly.setReadOnly(true);
    QTest::keyClick(&readOnly, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(readOnly.text(), "");
}

} // namespace

