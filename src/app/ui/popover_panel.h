#pragma once

#include <QPointer>
#include <QWidget>

// The frameless dark panel that hosts the battery menu. It is a popup: a
// click anywhere outside it closes it, in this application or another; or a
// tool window that closes when it loses the focus.
class PopoverPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kCornerRadius = 12;

    explicit PopoverPanel(QWidget *parent = nullptr);

    // Turns the popup into a frameless tool window kept above the others and
    // off the taskbar, which closes when another window takes the focus (a
    // popup's clicks outside). Before the first show.
    void becomeFocusedToolWindow();

    // Replaces the content; the panel owns it.
    void setContent(QWidget *content);
    QWidget *content() const { return m_content; }

signals:
    void hidden();
    // A press outside the panel (global pixels), which is about to close
    // it. Being a popup it holds the pointer, so the press never reaches
    // whatever lies below, the tray icon included.
    void pressedOutside(QPoint global);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool m_isToolWindow = false;
    QPointer<QWidget> m_content;
};
