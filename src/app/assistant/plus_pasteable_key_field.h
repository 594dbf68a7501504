#pragma once

#include <QLineEdit>

// A key entry that keeps Ctrl+V/C/X/A working wherever it is hosted (Qt
// maps Control to Command on macOS): the shortcut applies when, of Control,
// Alt and Meta, exactly Control is held; Shift makes no difference. No
// window shortcut can take these keys from the field.
class PlusPasteableKeyField : public QLineEdit
{
    Q_OBJECT

public:
    PlusPasteableKeyField(const QString &placeholder, bool isSecure, QWidget *parent = nullptr);

    // While the field has focus, the clipboard text trimmed of white space
    // and newlines goes in at the cursor; otherwise it replaces the whole
    // value. Nothing happens when the field is read-only or the clipboard
    // holds no text.
    void pasteFromClipboard();

protected:
    bool event(QEvent *event) override;

private:
    // The editing action for a key press, when it is one of ours.
    bool handleShortcut(const QKeyEvent &press, bool perform);
};
