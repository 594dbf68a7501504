#include "app/dashboard/dashboard_sections.h"
#include "app/ui/panel_rows.h"
#include "energy/why_drain.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLayout>

namespace {

// An answer for the last hour with these culprits, strongest first; how a
// drain log becomes one is the analysis's business, not the view's.
WhyDrain why(int dropPercent, const QList<DrainCulprit> &culprits)
{
    return {dropPercent, QStringLiteral("last hour"), culprits, QStringLiteral("summary")};
}

DrainCulprit culprit(const char *name, int percent)
{
    return {QString::fromLatin1(name), percent / 100.0,
            QStringLiteral("%1% of attributed energy samples").arg(percent)};
}

// The detail rows the user reads, top to bottom, as "label | value".
void collectRows(const QLayout *layout, const QWidget *view, QStringList &rows)
{
    for (int i = 0; i < layout->count(); ++i) {
        QWidget *widget = layout->itemAt(i)->widget();
        if (!widget || !widget->isVisibleTo(view))
            continue;
        if (auto *row = qobject_cast<PanelDetailRow *>(widget))
            rows << row->label() + QStringLiteral(" | ") + row->value();
        else if (widget->layout())
            collectRows(widget->layout(), view, rows);
    }
}

QStringList rowsOf(const WhyDetailView &view)
{
    QStringList rows;
    collectRows(view.layout(), &view, rows);
    return rows;
}

// The missing-history heading and hint, when they show.
QStringList hintOf(const WhyDetailView &view)
{
    QStringList lines;
    for (const char *name : {"noHistoryHeading", "noHistoryHint"}) {
        auto *label = view.findChild<QLabel *>(QString::fromLatin1(name));
        if (label && label->isVisibleTo(&view))
            lines << label->text();
    }
    return lines;
}

} // namespace

TEST(WhyDetailView, ShowsTheDropThenTheCulpritsOrTheMissingHistoryHint)
{
    const QStringList noHint;
    const QStringList missingHistory{QStringLiteral("Not enough local history"),
                                     QStringLiteral("Keep Pendra Pro open for about 15 minutes so it can learn your "
                                                    "drain pattern.")};
    const struct
    {
        const char *name;
        WhyDrain why;
        QStringList rows;
        QStringList hint;
    } table[] = {
        {"drop with culprits",
         why(6, {culprit("alpha", 75), culprit("beta", 25)}),
         {QStringLiteral("Drop | 6% · last hour"), QStringLiteral("alpha | 75% of attributed energy samples"),
          QStringLiteral("beta | 25% of attributed energy samples")},
         noHint},
        {"unreadable log", whyDrainWithoutHistory(), {}, missingHistory},
        {"a drop again",
         why(2, {culprit("beta", 100)}),
         {QStringLiteral("Drop | 2% · last hour"), QStringLiteral("beta | 100% of attributed energy samples")},
         noHint},
        {"charging: culprits without a drop",
         why(0, {culprit("alpha", 100)}),
         {QStringLiteral("alpha | 100% of attributed energy samples")},
         noHint},
    };
    // One view for every row: each answer replaces the rows of the last.
    WhyDetailView view;
    for (const auto &row : table) {
        SCOPED_TRACE(row.name);
        view.setWhy(row.why);
        EXPECT_EQ(rowsOf(view), row.rows);
        EXPECT_EQ(hintOf(view), row.hint);
    }
}
