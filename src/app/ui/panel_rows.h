#pragma once

#include <QAbstractButton>
#include <QIcon>
#include <QPushButton>
#include <QWidget>

#include <optional>

class QLabel;
class QPainter;

// The battery menu's building blocks, each one line of the panel. The
// dashboard reuses them. Setters change only what differs, so a refresh that
// changes nothing costs no layout.

enum class ChevronDirection { right, down };
// A thin open chevron centred in `box`.
void drawChevron(QPainter &painter, const QRectF &box, ChevronDirection direction, const QColor &color);

// A primary line: label left, value right, the value emphasised when asked.
class PanelMainRow : public QWidget
{
    Q_OBJECT

public:
    PanelMainRow(const QString &label, const QString &value, bool emphasizeValue, QWidget *parent = nullptr);

    QString label() const;
    QString value() const;
    void setLabel(const QString &label);
    void setValue(const QString &value);

private:
    QLabel *m_label;
    QLabel *m_value;
};

// A secondary line in smaller, dimmer type.
class PanelDetailRow : public QWidget
{
    Q_OBJECT

public:
    PanelDetailRow(const QString &label, const QString &value, QWidget *parent = nullptr);

    QString label() const;
    QString value() const;
    void setLabel(const QString &label);
    void setValue(const QString &value);

private:
    QLabel *m_label;
    QLabel *m_value;
};

// A one-pixel divider across the full width.
class MenuHairline : public QWidget
{
    Q_OBJECT

public:
    explicit MenuHairline(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A hairline between groups, inset from the panel's edges.
class PanelSeparator : public QWidget
{
    Q_OBJECT

public:
    explicit PanelSeparator(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A small, dim section heading.
class PanelSectionTitle : public QWidget
{
    Q_OBJECT

public:
    explicit PanelSectionTitle(const QString &title, QWidget *parent = nullptr);
    QString title() const;

private:
    QLabel *m_title;
};

// A section heading in full-strength type.
class MenuSectionHeader : public QWidget
{
    Q_OBJECT

public:
    explicit MenuSectionHeader(const QString &title, QWidget *parent = nullptr);
    QString title() const;

private:
    QLabel *m_title;
};

// A line that reacts like a menu item: highlighted under the pointer and with
// keyboard focus, `triggered` on click, Return or Space.
class PanelClickableRow : public QWidget
{
    Q_OBJECT

public:
    explicit PanelClickableRow(QWidget *parent = nullptr);

signals:
    void triggered();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool m_hovered = false;
    bool m_pressed = false;
};

// A clickable line with optional trailing text and a chevron at the end.
class PanelMenuAction : public PanelClickableRow
{
    Q_OBJECT

public:
    PanelMenuAction(const QString &title, const std::optional<QString> &trailing, bool showChevron,
                    QWidget *parent = nullptr);

    QString title() const;
    QString trailing() const;
    bool showsChevron() const { return m_showChevron; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_title;
    QLabel *m_trailing = nullptr;
    bool m_showChevron;
};

// A clickable row with an optional leading icon and trailing text.
class MenuRowButton : public PanelClickableRow
{
    Q_OBJECT

public:
    static constexpr int kIconSize = 16; // px

    MenuRowButton(const QString &title, const std::optional<QIcon> &icon, const std::optional<QString> &trailing,
                  QWidget *parent = nullptr);

    QString title() const;
    QString trailing() const;
    void setTrailing(const QString &trailing);

private:
    QLabel *m_title;
    QLabel *m_trailing;
};

// A key/value line.
class StatusKVRow : public QWidget
{
    Q_OBJECT

public:
    StatusKVRow(const QString &label, const QString &value, QWidget *parent = nullptr);

    QString label() const;
    QString value() const;
    void setValue(const QString &value);

private:
    QLabel *m_label;
    QLabel *m_value;
};

// A key/value line whose value carries a colour (green for good, amber …).
class MonitorRow : public QWidget
{
    Q_OBJECT

public:
    MonitorRow(const QString &label, const QString &value, const QColor &valueColor, QWidget *parent = nullptr);

    QString label() const;
    QString value() const;
    QColor valueColor() const { return m_valueColor; }
    void setValue(const QString &value, const QColor &valueColor);

private:
    QLabel *m_label;
    QLabel *m_value;
    QColor m_valueColor;
};

// A borderless text button.
class MinimalButton : public QPushButton
{
    Q_OBJECT

public:
    explicit MinimalButton(const QString &title, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    QSize sizeHint() const override;

private:
    bool m_hovered = false;
};

// An on/off switch in the style of the platform's toggles.
class PanelSwitch : public QAbstractButton
{
    Q_OBJECT

public:
    explicit PanelSwitch(QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
