#pragma once

#include <QObject>
#include <QString>
#include <QWidget>

class Defaults;
class QPushButton;

// The first-run welcome: three short hints and "Got it", shown over the
// battery menu or the dashboard until the user has dismissed it once,
// anywhere. It covers its host with a dimmed backdrop and follows the host's
// size.
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
    static PendraOnboardingSheet *presentOver(QWidget *host, Defaults &defaults);

    // `defaults` must outlive the sheet.
    PendraOnboardingSheet(Defaults &defaults, QWidget *host);

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
    QWidget *m_card;
    QPushButton *m_gotIt;
};

// Presents the sheet over a root that publishes `showOnboarding()` and
// `showOnboardingChanged` (the battery menu's and the dashboard's): now, when
// the root already asks for it, and each time it asks again.
template <typename Root>
void presentOnboardingWhenAsked(Root *root, Defaults &defaults)
{
    const auto present = [root, &defaults] {
        if (root->showOnboarding())
            PendraOnboardingSheet::presentOver(root, defaults);
    };
    QObject::connect(root, &Root::showOnboardingChanged, root, present);
    present();
}
