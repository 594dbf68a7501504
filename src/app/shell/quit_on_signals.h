#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

// Turns SIGTERM (logout, `systemctl --user stop`) and SIGINT into the normal
// quit path, so the app shuts down as it does from "Quit Pendra Pro" and
// exits 0. The handler only writes a byte to a pipe; the quit itself runs on
// the main thread. One instance per process.
class QuitOnSignals : public QObject
{
    Q_OBJECT

public:
    explicit QuitOnSignals(QObject *parent = nullptr);
    ~QuitOnSignals() override;

signals:
    void quitRequested();

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};
