#pragma once

#include "app/preferences/preferences_section.h"

#include <QAbstractButton>
#include <QWidget>

class QButtonGroup;

// One sidebar entry: the section's symbol (13 px in an 18 px frame) and its
// title, semibold while selected.
class PreferencesSidebarButton : public QAbstractButton
{
    Q_OBJECT

public:
    PreferencesSidebarButton(PreferencesSection section, QWidget *parent = nullptr);

    PreferencesSection section() const { return m_section; }
    QSize sizeHint() const override;

signals:
    // Up or Down: select the entry above (−1) or below (+1).
    void stepRequested(int delta);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    PreferencesSection m_section;
    bool m_hovered = false;
};

// The column of sections; exactly one is selected.
class PreferencesSidebar : public QWidget
{
    Q_OBJECT

public:
    explicit PreferencesSidebar(QWidget *parent = nullptr);

    PreferencesSection current() const;
    void setCurrent(PreferencesSection section);
    PreferencesSidebarButton *button(PreferencesSection section) const;

signals:
    // The user picked another section.
    void picked(PreferencesSection section);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void step(int delta);

    QButtonGroup *m_group;
};
