#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QIcon>
#include <QString>

class QPainter;
class QRectF;

// Vector drawings of the few symbols the dashboard uses, named like the
// platform symbols they stand for: "bolt.fill", "leaf", "leaf.fill",
// "questionmark.circle", "slider.horizontal.3", "arrow.up.right",
// "chart.bar.fill" and "heart.fill". Drawn as paths, so they stay sharp at
// every scale.
namespace DashboardSymbols {

// Draws `name` in `color`, fitted into the square centred in `box`. Unknown
// names draw nothing.
void draw(QPainter &painter, const QRectF &box, const QString &name, const QColor &color);

// An icon that draws the symbol at whatever size and pixel ratio is asked.
QIcon icon(const QString &name, const QColor &color);

} // namespace DashboardSymbols


// A small borderless button showing one symbol, highlighted under the pointer
// and with keyboard focus. Its title is its tooltip and accessible name.
class SymbolButton : public QAbstractButton
{
    Q_OBJECT

public:
    SymbolButton(const QString &symbol, const QString &title, QWidget *parent = nullptr);

    QString symbol() const { return m_symbol; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QString m_symbol;
    bool m_hovered = false;
};
