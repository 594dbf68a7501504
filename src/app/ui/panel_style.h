#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// The battery menu's look: a dark panel with white type in three weights of
// emphasis. Sizes are in device-independent pixels so that the panel keeps
// its proportions at every display scale.
namespace PanelStyle {

inline const QColor kBackground = QColor::fromRgbF(0.1f, 0.1f, 0.11f);
inline const QColor kPrimaryText = QColor(242, 242, 247);
inline const QColor kSecondaryText = QColor(255, 255, 255, 150);
inline const QColor kTertiaryText = QColor(255, 255, 255, 105);
inline const QColor kHairline = QColor(255, 255, 255, 28);
inline const QColor kHighlight = QColor(255, 255, 255, 22);
inline const QColor kPressed = QColor(255, 255, 255, 40);
inline const QColor kAccent = QColor(10, 132, 255);
inline const QColor kCharging = QColor::fromRgbF(0.2f, 0.86f, 0.4f);
inline const QColor kWarning = QColor::fromRgbF(1.0f, 0.8f, 0.12f);
inline const QColor kCritical = QColor::fromRgbF(0.98f, 0.26f, 0.26f);

inline constexpr int kSideInset = 14; // px, left and right edge of every row's text
inline constexpr int kRowHeight = 24; // px, a main or action row
inline constexpr int kDetailRowHeight = 20; // px

enum class TextRole { primary, emphasized, detail, sectionTitle, sectionHeader };

QFont font(TextRole role);
QColor color(TextRole role);
// Sets the font and colour of `label` for the role.
void apply(QLabel *label, TextRole role);

// A label in `role`'s style.
QLabel *label(const QString &text, TextRole role, QWidget *parent);
// A push button that keyboard users reach with Tab and mouse users see as
// clickable.
QPushButton *button(const QString &text, const char *objectName, QWidget *parent);

// `palette` in the panels' dark scheme over `background`.
QPalette darkPalette(QPalette palette, const QColor &background);
// Sets the text only when it differs, so an unchanged refresh costs no relayout.
void setTextIfChanged(QLabel *label, const QString &text);

} // namespace PanelStyle
