#include "app/dashboard/dashboard_customize_panel.h"

#include "app/ui/panel_rows.h"
#include "app/ui/panel_style.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QVBoxLayout>

using Flag = DashboardPrefs::Flag;

const DashboardToggle kDashboardToggles[13] = {
    {"Large battery %", Flag::largePercent},
    {"Power draw line", Flag::packageLine},
    {"Time remaining", Flag::timeRemaining},
    {"Power section", Flag::powerSource},
    {"Energy Mode", Flag::energyMode},
    {"What’s using power", Flag::appsRow},
    {"Why did battery drop?", Flag::whyRow},
    {"Power chart", Flag::sparkline},
    {"Power distribution", Flag::powerDistribution},
    {"Full app list", Flag::topAppsList},
    {"Why-drain details", Flag::whyDetail},
    {"Health & cycles", Flag::health},
    {"History", Flag::history},
};

namespace {

constexpr double kPanelRadius = 14; // px

// One segment of a SegmentedPicker.
class SegmentButton : public QAbstractButton
{
public:
    SegmentButton(const QString &title, QWidget *parent)
        : QAbstractButton(parent)
    {
        setText(title);
        setCheckable(true);
        setFocusPolicy(Qt::StrongFocus);
        setCursor(Qt::PointingHandCursor);
        setFont(PanelStyle::font(PanelStyle::TextRole::detail));
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override
    {
        return {fontMetrics().horizontalAdvance(text()) + 18, 24};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF box = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
        QPainterPath shape;
        shape.addRoundedRect(box, 5, 5);
        if (isChecked())
            painter.fillPath(shape, QColor(255, 255, 255, 46));
        else if (isDown() || underMouse())
            painter.fillPath(shape, PanelStyle::kHighlight);
        if (hasFocus()) {
            painter.setPen(QPen(PanelStyle::kAccent.lighter(140), 1));
            painter.drawPath(shape);
        }
        painter.setPen(isChecked() ? PanelStyle::kPrimaryText : PanelStyle::kSecondaryText);
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
};

QLabel *heading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    PanelStyle::apply(label, PanelStyle::TextRole::sectionTitle);
    label->setContentsMargins(0, 10, 0, 2);
    return label;
}

QLabel *rowLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    PanelStyle::apply(label, PanelStyle::TextRole::primary);
    return label;
}

} // namespace

SegmentedPicker::SegmentedPicker(const QStringList &options, QWidget *parent)
    : QWidget(parent)
    , m_group(new QButtonGroup(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < options.size(); ++i) {
        auto *button = new SegmentButton(options.at(i), this);
        m_group->addButton(button, i);
        layout->addWidget(button);
    }
    connect(m_group, &QButtonGroup::idClicked, this, &SegmentedPicker::picked);
}

int SegmentedPicker::currentIndex() const
{
    return m_group->checkedId();
}

void SegmentedPicker::setCurrentIndex(int index)
{
    if (QAbstractButton *target = m_group->button(index))
        target->setChecked(true);
}

QAbstractButton *SegmentedPicker::button(int index) const
{
    return m_group->button(index);
}

void SegmentedPicker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath track;
    track.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 7, 7);
    painter.fillPath(track, QColor(255, 255, 255, 14));
}

DashboardCustomizePanel::DashboardCustomizePanel(DashboardPrefs &prefs, QWidget *parent)
    : QWidget(parent)
    , m_prefs(prefs)
{
    setObjectName(QStringLiteral("customizePanel"));
    setAttribute(Qt::WA_NoMousePropagation);

    auto *title = new QLabel(QStringLiteral("Layout"), this);
    QFont titleFont = PanelStyle::font(PanelStyle::TextRole::emphasized);
    titleFont.setPixelSize(15);
    title->setFont(titleFont);
    auto *doneButton = new MinimalButton(QStringLiteral("Done"), this);
    doneButton->setObjectName(QStringLiteral("doneButton"));
    connect(doneButton, &QPushButton::clicked, this, &DashboardCustomizePanel::done);
    auto *titleRow = new QHBoxLayout;
    titleRow->setContentsMargins(16, 12, 12, 6);
    titleRow->addWidget(title, 1);
    titleRow->addWidget(doneButton);

    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("customizeScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(buildContent());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->setSpacing(0);
    layout->addLayout(titleRow);
    auto *line = new MenuHairline(this);
    layout->addWidget(line);
    layout->addWidget(scroll, 1);

    syncFromPrefs();
    connect(&m_prefs, &DashboardPrefs::changed, this, &DashboardCustomizePanel::syncFromPrefs);
}

QWidget *DashboardCustomizePanel::buildContent()
{
    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("customizeContent"));
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(16, 0, 16, 8);
    column->setSpacing(2);

    column->addWidget(heading(QStringLiteral("Presets"), content));
    auto *presets = new QHBoxLayout;
    presets->setSpacing(6);
    const auto addPreset = [&](const char *objectName, const QString &label, auto apply) {
        auto *button = new MinimalButton(label, content);
        button->setObjectName(QString::fromLatin1(objectName));
        connect(button, &QPushButton::clicked, this, apply);
        presets->addWidget(button);
    };
    addPreset("simplePreset", QStringLiteral("Simple"), [this] { m_prefs.applyPreset(QStringLiteral("minimal")); });
    addPreset("detailedPreset", QStringLiteral("Detailed"), [this] { m_prefs.applyDetailed(); });
    addPreset("proPreset", QStringLiteral("Pro"), [this] { m_prefs.applyPreset(QStringLiteral("full")); });
    presets->addStretch(1);
    column->addLayout(presets);
    auto *presetHint =
        new QLabel(QStringLiteral("Simple = essentials. Detailed = charts + apps. Pro = everything."), content);
    presetHint->setWordWrap(true);
    PanelStyle::apply(presetHint, PanelStyle::TextRole::detail);
    column->addWidget(presetHint);

    column->addWidget(heading(QStringLiteral("Show"), content));
    for (const DashboardToggle &entry : kDashboardToggles) {
        const QString label = QString::fromUtf8(entry.label);
        auto *row = new QHBoxLayout;
        row->setContentsMargins(0, 1, 0, 1);
        row->addWidget(rowLabel(label, content), 1);
        auto *toggle = new PanelSwitch(content);
        toggle->setAccessibleName(label);
        toggle->setFixedSize(toggle->sizeHint());
        const Flag flag = entry.flag;
        connect(toggle, &QAbstractButton::clicked, this, [this, flag](bool on) { m_prefs.setFlag(flag, on); });
        row->addWidget(toggle);
        column->addLayout(row);
        m_toggles.append(toggle);
    }

    column->addWidget(heading(QStringLiteral("Size"), content));
    QStringList widths, densities;
    for (DashboardPrefs::CardWidth width : kAllCardWidths)
        widths << displayLabel(width);
    for (DashboardPrefs::Density density : kAllDensities)
        densities << displayLabel(density);
    m_width = new SegmentedPicker(widths, content);
    m_width->setObjectName(QStringLiteral("widthPicker"));
    m_density = new SegmentedPicker(densities, content);
    m_density->setObjectName(QStringLiteral("densityPicker"));
    connect(m_width, &SegmentedPicker::picked, this, [this](int index) { m_prefs.setWidth(kAllCardWidths[index]); });
    connect(m_density, &SegmentedPicker::picked, this,
            [this](int index) { m_prefs.setDensity(kAllDensities[index]); });
    for (const auto &[label, picker] : {std::pair{QStringLiteral("Width"), m_width},
                                        std::pair{QStringLiteral("Density"), m_density}}) {
        auto *row = new QHBoxLayout;
        row->setContentsMargins(0, 3, 0, 3);
        auto *name = rowLabel(label, content);
        name->setMinimumWidth(64);
        row->addWidget(name);
        row->addWidget(picker, 1);
        column->addLayout(row);
    }
    column->addStretch(1);
    return content;
}

PanelSwitch *DashboardCustomizePanel::toggle(Flag flag) const
{
    for (int i = 0; i < m_toggles.size(); ++i) {
        if (kDashboardToggles[i].flag == flag)
            return m_toggles.at(i);
    }
    return nullptr;
}

void DashboardCustomizePanel::syncFromPrefs()
{
    for (int i = 0; i < m_toggles.size(); ++i)
        m_toggles.at(i)->setChecked(m_prefs.flag(kDashboardToggles[i].flag));
    m_width->setCurrentIndex(static_cast<int>(m_prefs.width()));
    m_density->setCurrentIndex(static_cast<int>(m_prefs.density()));
}

void DashboardCustomizePanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(box, kPanelRadius, kPanelRadius);
    painter.fillPath(shape, QColor::fromRgbF(0.11f, 0.11f, 0.14f));
    painter.setPen(QPen(QColor(255, 255, 255, 36), 1));
    painter.drawPath(shape);
}
