#pragma once

#include <QObject>

class PopoverController;

// While the popover is open, Escape and Ctrl+W close it and are swallowed;
// every other key, and every key while it is closed, passes through.
class PopoverKeyMonitor : public QObject
{
    Q_OBJECT

public:
    // Watches all of the application's key events until destroyed.
    explicit PopoverKeyMonitor(PopoverController &popover, QObject *parent = nullptr);
    ~PopoverKeyMonitor() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    PopoverController &m_popover;
};
