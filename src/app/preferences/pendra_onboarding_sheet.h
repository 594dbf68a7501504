#pragma once

#include "app/tray/tray_host_rules.h"

#include <QObject>
#include <QString>
#include <QWidget>

#include <functional>

class Defaults;
class QLabel;
class QPushButton;

// The first-run welcome: three short hints and "Got it", shown over the
// battery menu or the dashboard until the user has dismissed it once,
// anywhere. It covers its host with a dimmed backdrop and follows the host's
// size. The first hint says what a click opens on the tray host showing the
// item, asked each time the sheet shows (the host becomes known after the
// content is built).
class PendraOnboardingSheet : public QWidget
{
    Q_OBJECT

public:
    static inline const QString kSeenKey = QStringLiteral("pendrapro.onboarding.seen.v1");

    // Whether the sheet was dismissed; false when never set.
    static bool seen(const Defaults &defaults);
    static void markSeen(Defaults &defaults);

    // Covers `host` with a sheet unless onboarding was seen or `host`
    // already shows one. Returns the sheet shown, else nullptr.
    using ClickHint = std::function<TrayClickHint()>;

    static PendraOnboardingSheet *presentOver(QWidget *host, Defaults &defaults, ClickHint clickHint);

    // `defaults` must outlive the sheet.
    PendraOnboardingSheet(Defaults &defaults, ClickHint clickHint, QWidget *host);

    QPushButton *gotItButton() const { return m_gotIt; }
    // "Got it": marks onboarding seen, then dismisses the sheet.
    void gotIt();

signals:
    void dismissed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void dismiss();
    void placeCard();

    Defaults &m_defaults;
    ClickHint m_clickHint;
    QWidget *m_card;
    QLabel *m_clickHeading;
    QLabel *m_clickLine;
    QPushButton *m_gotIt;
};

// Presents the sheet over a root that publishes `showOnboarding()` and
// `showOnboardingChanged` (the battery menu's and the dashboard's): now, when
// the root already asks for it, and each time it asks again.
template <typename Root>
void presentOnboardingWhenAsked(Root *root, Defaults &defaults, PendraOnboardingSheet::ClickHint clickHint)
{
    const auto present = [root, &defaults, clickHint = std::move(clickHint)] {
        if (root->showOnboarding())
            PendraOnboardingSheet::presentOver(root, defaults, clickHint);
    };
    QObject::connect(root, &Root::showOnboardingChanged, root, present);
    present();
}
