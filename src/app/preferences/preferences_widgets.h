#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class DashboardCard;
class PanelSwitch;
class QLabel;
class QScrollArea;
class QSlider;
class QVBoxLayout;

// Building blocks shared by the preferences panes: a scrolling column with
// the pane's title and subtitle, rounded groups of rows, and rows that pair
// a label (and a note under it) with one control.
namespace PreferencesWidgets {

inline constexpr int kPaneMargin = 20; // px, pane edge to its content
inline constexpr int kRowInset = 14; // px, group edge to a row's text

// A transparent scroll area whose content is a column starting with the
// title (20 px, semibold) and, when given, the subtitle. Rows go into
// `column`.
struct PaneColumn
{
    QScrollArea *scroll;
    QVBoxLayout *column;
};
PaneColumn makePaneColumn(QWidget *pane, const QString &title, const QString &subtitle);

// A rounded group; its rows are added to the returned card's body.
DashboardCard *addGroup(QVBoxLayout *column, const QString &heading = {});

// A secondary-coloured, wrapping note.
QLabel *noteLabel(const QString &text, QWidget *parent);

} // namespace PreferencesWidgets

// A label with an optional note under it, and a switch at the right.
class SettingSwitchRow : public QWidget
{
    Q_OBJECT

public:
    SettingSwitchRow(const QString &label, const QString &note, QWidget *parent = nullptr);

    PanelSwitch *toggle() const { return m_toggle; }

private:
    PanelSwitch *m_toggle;
};

// A label that shows the current value ("Charge limit 80%") over a slider
// with whole-number steps. The label follows the slider while it is dragged.
class SettingSliderRow : public QWidget
{
    Q_OBJECT

public:
    using Caption = std::function<QString(int value)>;

    SettingSliderRow(Caption caption, int minimum, int maximum, const QString &note, QWidget *parent = nullptr);

    QSlider *slider() const { return m_slider; }
    QString caption() const;
    // Moves the slider to a value that was not the user's choice, without
    // reporting it as a change.
    void showValue(int value);

private:
    void showCaption(int value);

    Caption m_caption;
    QLabel *m_label;
    QSlider *m_slider;
};

// A label at the left and any control at the right.
class SettingControlRow : public QWidget
{
    Q_OBJECT

public:
    SettingControlRow(const QString &label, QWidget *control, QWidget *parent = nullptr);
};
