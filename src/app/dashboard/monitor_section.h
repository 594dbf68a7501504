#pragma once

#include <QColor>
#include <QIcon>
#include <QList>
#include <QWidget>

#include <optional>

class Defaults;
class QLabel;
class Sparkline;

// A collapsible section: a header line with an icon, the title in the
// section's accent colour, a one-line summary, an optional sparkline and a
// disclosure chevron; the content below shows while expanded. Whether it is
// expanded is remembered in the settings under the section's storage key
// (expanded when nothing is stored). The content sits in a body of the
// section's own, so its owner may hide or show the content itself without
// undoing a collapse.
class MonitorSection : public QWidget
{
    Q_OBJECT

public:
    struct Options
    {
        QString title;
        QColor accent;
        QString summary;
        std::optional<QList<double>> sparkline; // none: no chart
        QString storageKey;
        QIcon icon; // null: no icon
    };

    // Takes ownership of `content`.
    MonitorSection(Options options, QWidget *content, Defaults &defaults, QWidget *parent = nullptr);

    QString title() const { return m_options.title; }
    QString summary() const;
    bool isExpanded() const { return m_isExpanded; }
    QWidget *content() const { return m_content; }

    void setSummary(const QString &summary);
    void setSparkline(const QList<double> &values);
    // Replaces the header's icon (a null icon shows none).
    void setIcon(const QIcon &icon);
    // Shows or hides the content and stores the state.
    void setExpanded(bool expanded);
    void toggle();

signals:
    void expandedChanged(bool expanded);

private:
    class Header;

    Options m_options;
    Defaults &m_defaults;
    Header *m_header;
    QLabel *m_summary;
    Sparkline *m_sparkline = nullptr;
    QWidget *m_body;
    QWidget *m_content;
    bool m_isExpanded;
};
