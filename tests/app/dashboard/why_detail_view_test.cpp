#include "app/dashboard/dashboard_sections.h"
#include "app/ui/panel_rows.h"
#include "energy/iso_time.h"
#include "energy/why_drain.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLayout>

namespace {

constexpr double kNow = 1796608800; // 2026-12-07T02:00:00Z

QByteArray at(double secondsAgo, const QString &body)
{
    return QStringLiteral(R"({"t":"%1",%2})").arg(formatIsoUtc(kNow - secondsAgo), body).toUtf8() + '\n';
}

QByteArray power(double secondsAgo, int level)
{
    return at(secondsAgo, QStringLiteral(R"("kind":"power","level":%1,"top":"","topScore":0)").arg(level));
}

QByteArray proc(double secondsAgo, const QString &name, double score)
{
    return at(secondsAgo, QStringLiteral(R"("kind":"proc","name":"%1","score":%2)").arg(name).arg(score));
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
         analyseDrainLog(power(3000, 90) + proc(2000, QStringLiteral("alpha"), 30) +
                             proc(1500, QStringLiteral("beta"), 10) + power(60, 84),
                         kNow),
         {QStringLiteral("Drop | 6% · last hour"), QStringLiteral("alpha | 75% of attributed energy samples"),
          QStringLiteral("beta | 25% of attributed energy samples")},
         noHint},
        {"charging: culprits without a drop",
         analyseDrainLog(power(3000, 80) + proc(2000, QStringLiteral("alpha"), 5) + power(60, 83), kNow),
         {QStringLiteral("alpha | 100% of attributed energy samples")},
         noHint},
        {"unreadable log", whyDrainWithoutHistory(), {}, missingHistory},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.name);
        WhyDetailView view;
        view.setWhy(row.why);
        EXPECT_EQ(rowsOf(view), row.rows);
        EXPECT_EQ(hintOf(view), row.hint);
    }
}

TEST(WhyDetailView, NewAnswerReplacesTheRowsOfTheLast)
{
    WhyDetailView view;
    view.setWhy(analyseDrainLog(power(3000, 90) + proc(2000, QStringLiteral("alpha"), 3) + power(60, 80), kNow));
    ASSERT_EQ(rowsOf(view).size(), 2);

    view.setWhy(whyDrainWithoutHistory());
    EXPECT_EQ(rowsOf(view), QStringList());
    EXPECT_EQ(hintOf(view).size(), 2);

    view.setWhy(analyseDrainLog(power(3000, 70) + proc(2000, QStringLiteral("beta"), 3) + power(60, 68), kNow));
    EXPECT_EQ(rowsOf(view), (QStringList{QStringLiteral("Drop | 2% · last hour"),
                                         QStringLiteral("beta | 100% of attributed energy samples")}));
    EXPECT_EQ(hintOf(view), QStringList());
}
