#include "app/ui/app_icon_lookup.h"
#include "app/ui/panel_rows.h"
#include "app/ui/sparkline.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

QImage solidIcon(const QColor &color)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

QRgb centreOf(const QIcon &icon)
{
    return icon.pixmap(16, 16).toImage().pixel(8, 8);
}

} // namespace

TEST(PanelRows, ClickableRowsTriggerOnClickAndKeys)
{
    PanelMenuAction action(QStringLiteral("Full Window"), QStringLiteral("⌘D"), true);
    EXPECT_EQ(action.trailing(), QStringLiteral("⌘D"));
    QSignalSpy triggered(&action, &PanelClickableRow::triggered);
    action.resize(300, 24);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&action, &press);
    QCoreApplication::sendEvent(&action, &release);
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    QCoreApplication::sendEvent(&action, &space);
    EXPECT_EQ(triggered.count(), 2);

    // A release outside the row is a cancelled click.
    QMouseEvent outside(QEvent::MouseButtonRelease, QPointF(10, 90), QPointF(10, 90), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&action, &press);
    QCoreApplication::sendEvent(&action, &outside);
    EXPECT_EQ(triggered.count(), 2);
}

TEST(PanelRows, ChevronIsDrawnInsideItsBox)
{
    QImage image(20, 20, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    drawChevron(painter, QRectF(4, 4, 12, 12), ChevronDirection::down, Qt::white);
    painter.end();
    int inked = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            if (qAlpha(image.pixel(x, y)) == 0)
                continue;
            ++inked;
            EXPECT_TRUE(x >= 3 && x <= 16 && y >= 3 && y <= 16) << x << "," << y;
        }
    }
    EXPECT_GT(inked, 8);
}

TEST(Sparkline, PointsSpanTheBoxFromMinimumAtTheBottomToMaximumAtTheTop)
{
    const QList<QPointF> points = sparklinePoints({2, 4, 3}, 100, 20);
    ASSERT_EQ(points.size(), 3);
    EXPECT_EQ(points.at(0), QPointF(0, 20));
    EXPECT_EQ(points.at(1), QPointF(50, 0));
    EXPECT_EQ(points.at(2), QPointF(100, 10));
    EXPECT_EQ(sparklinePoints({5, 5}, 10, 20), (QList<QPointF>{{0, 10}, {10, 10}}));
    EXPECT_TRUE(sparklinePoints({}, 10, 20).isEmpty());
    // A minimum range keeps a small change small, measured down from the top.
    EXPECT_EQ(sparklinePoints({99, 98}, 10, 20, 4), (QList<QPointF>{{0, 0}, {10, 5}}));
    EXPECT_EQ(sparklinePoints({99, 90}, 10, 20, 4), (QList<QPointF>{{0, 0}, {10, 20}}));
}

TEST(AppIconLookup, FindsTheDesktopEntryByProgramIdOrWindowClass)
{
    QTemporaryDir dir;
    const QString apps = dir.filePath(QStringLiteral("applications"));
    const QString red = dir.filePath(QStringLiteral("red.png"));
    const QString blue = dir.filePath(QStringLiteral("blue.png"));
    const QString green = dir.filePath(QStringLiteral("green.png"));
    ASSERT_TRUE(solidIcon(Qt::red).save(red));
    ASSERT_TRUE(solidIcon(Qt::blue).save(blue));
    ASSERT_TRUE(solidIcon(Qt::green).save(green));
    writeFile(apps + QStringLiteral("/org.example.Editor.desktop"),
              "[Desktop Entry]\nName=Editor\nExec=env GDK_BACKEND=x11 /usr/lib/editor/editor-bin %F\nIcon=" +
                  red.toUtf8() + "\n[Desktop Action new]\nExec=other-program\n");
    writeFile(apps + QStringLiteral("/sub/blender.desktop"), "[Desktop Entry]\nExec=blender\nIcon=" + blue.toUtf8() + "\n");
    writeFile(apps + QStringLiteral("/chat.desktop"),
              "[Desktop Entry]\nExec=/opt/chat/launcher\nStartupWMClass=ChatClient\nIcon=" + green.toUtf8() + "\n");

    AppIconLookup lookup({apps});
    EXPECT_EQ(lookup.desktopIconName(QStringLiteral("editor-bin"), {}), red);
    EXPECT_EQ(lookup.desktopIconName(QStringLiteral("x"), QStringLiteral("/usr/lib/editor/editor-bin")), red);
    EXPECT_EQ(lookup.desktopIconName(QStringLiteral("blender"), {}), blue); // desktop id and program
    EXPECT_EQ(lookup.desktopIconName(QStringLiteral("chatclient"), {}), green); // window class
    EXPECT_FALSE(lookup.desktopIconName(QStringLiteral("other-program"), {})); // an action's Exec
    EXPECT_FALSE(lookup.desktopIconName(QStringLiteral("unknown"), {}));

    EXPECT_EQ(centreOf(lookup.iconFor(QStringLiteral("editor-bin"), {})), QColor(Qt::red).rgb());
    EXPECT_EQ(centreOf(lookup.iconFor(QStringLiteral("blender"), {})), QColor(Qt::blue).rgb());
}

TEST(AppIconLookup, ShortenedProcessNamesMatchLongerPrograms)
{
    QTemporaryDir dir;
    const QString apps = dir.filePath(QStringLiteral("applications"));
    writeFile(apps + QStringLiteral("/long.desktop"),
              "[Desktop Entry]\nExec=/usr/bin/verylongprogramname-helper\nIcon=long-icon\n");
    AppIconLookup lookup({apps});
    // The kernel keeps 15 characters of a process name.
    EXPECT_EQ(lookup.desktopIconName(QStringLiteral("verylongprogram"), {}), QStringLiteral("long-icon"));
    EXPECT_FALSE(lookup.desktopIconName(QStringLiteral("verylong"), {}));
}

TEST(AppIconLookup, UnknownProcessesGetAGenericIconAndLookupsAreCached)
{
    QTemporaryDir dir;
    const QString apps = dir.filePath(QStringLiteral("applications"));
    const QString red = dir.filePath(QStringLiteral("red.png"));
    ASSERT_TRUE(solidIcon(Qt::red).save(red));
    writeFile(apps + QStringLiteral("/tool.desktop"), "[Desktop Entry]\nExec=tool\nIcon=" + red.toUtf8() + "\n");
    AppIconLookup lookup({apps});

    const QIcon generic = lookup.iconFor(QStringLiteral("no-such-process-xyz"), {});
    EXPECT_FALSE(generic.isNull());
    const QIcon first = lookup.iconFor(QStringLiteral("tool"), {});
    ASSERT_TRUE(QFile::remove(red));
    // The cached icon is the one already loaded, not a fresh lookup.
    EXPECT_EQ(lookup.iconFor(QStringLiteral("tool"), {}).cacheKey(), first.cacheKey());
}
