#include "PathProfileView.h"

#include "NumberFormat.h"

#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace verdan {

const QColor PathProfileChart::TerrainColour(0x8c, 0x6d, 0x3f);
const QColor PathProfileChart::SightColour(0x00, 0x70, 0x20);
const QColor PathProfileChart::FresnelColour(0x30, 0x60, 0xd0);
const QColor PathProfileChart::BlockedColour(0xd0, 0x10, 0x10);
const QColor PathProfileChart::IntrudingColour(0xf0, 0x90, 0x00);

namespace {

/// A tick step of 1, 2 or 5 times a power of ten giving about `count` ticks over `range`.
double tickStep(double range, int count) {
    const double raw = std::max(range, 1e-9) / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0})
        if (m * power >= raw)
            return m * power;
    return 10 * power;
}

/// Maps distances (m) and heights (m) into a plot frame.
struct ChartFrame {
    QRectF frame;
    double pathM;
    double lowM;
    double highM;
    QPointF at(double distanceM, double heightM) const {
        return {frame.left() + frame.width() * distanceM / pathM,
                frame.bottom() - frame.height() * (heightM - lowM) / (highM - lowM)};
    }
};

ChartFrame chartFrame(const ProfileGeometry& g, const QRectF& frame) {
    double lowM = 0;
    double highM = 1;
    bool first = true;
    for (const ProfilePoint& p : g.points) {
        const double low = std::min(p.groundM, p.rayM - p.fresnelRadiusM);
        const double high = std::max(p.raisedM(), p.rayM + p.fresnelRadiusM);
        lowM = first ? low : std::min(lowM, low);
        highM = first ? high : std::max(highM, high);
        first = false;
    }
    const double marginM = std::max(1.0, (highM - lowM) * 0.05);
    return {frame, g.pathM, lowM - marginM, highM + marginM};
}

void drawAxes(QPainter& painter, const ChartFrame& c, int textPx) {
    painter.setPen(QPen(Qt::lightGray, 1));
    painter.setBrush(Qt::NoBrush);
    const double dStep = tickStep(c.pathM / 1000, 8) * 1000;
    const double hStep = tickStep(c.highM - c.lowM, 6);
    for (double d = 0; d <= c.pathM + 1e-6; d += dStep) {
        const QPointF p = c.at(d, c.lowM);
        painter.setPen(QPen(Qt::lightGray, 1));
        painter.drawLine(p, QPointF(p.x(), c.frame.top()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(p.x() - 40, c.frame.bottom() + 2, 80, textPx * 1.3), Qt::AlignHCenter | Qt::AlignTop,
                         numfmt::generalNumber(d / 1000));
    }
    for (double h = std::ceil(c.lowM / hStep) * hStep; h <= c.highM; h += hStep) {
        const QPointF p = c.at(0, h);
        painter.setPen(QPen(Qt::lightGray, 1));
        painter.drawLine(p, QPointF(c.frame.right(), p.y()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, p.y() - textPx, c.frame.left() - 4, 2 * textPx), Qt::AlignRight | Qt::AlignVCenter,
                         numfmt::generalNumber(h));
    }
    painter.setPen(Qt::black);
    painter.drawRect(c.frame);
    painter.drawText(QRectF(c.frame.left(), c.frame.bottom() + textPx * 1.3, c.frame.width(), textPx * 1.4),
                     Qt::AlignHCenter, QStringLiteral("Distance (km)"));
    painter.save();
    painter.translate(textPx * 0.2, c.frame.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-c.frame.height() / 2, 0, c.frame.height(), textPx * 1.4), Qt::AlignHCenter,
                     QStringLiteral("Elevation (m)"));
    painter.restore();
}

void drawTerrain(QPainter& painter, const ChartFrame& c, const ProfileGeometry& g) {
    // The sea level bends up by the bulge; the terrain stands on it.
    QPainterPath ground;
    ground.moveTo(c.at(0, c.lowM));
    for (const ProfilePoint& p : g.points)
        ground.lineTo(c.at(p.distanceM, p.raisedM()));
    ground.lineTo(c.at(g.pathM, c.lowM));
    ground.closeSubpath();
    painter.setPen(QPen(PathProfileChart::TerrainColour, 1.5));
    painter.setBrush(QColor(0xdd, 0xd6, 0xc4));
    painter.drawPath(ground);
    QPainterPath sea;
    for (std::size_t i = 0; i < g.points.size(); ++i) {
        const QPointF p = c.at(g.points[i].distanceM, g.points[i].bulgeM);
        i == 0 ? sea.moveTo(p) : sea.lineTo(p);
    }
    painter.setPen(QPen(QColor(0x40, 0x80, 0xc0), 1, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(sea);
}

void drawSight(QPainter& painter, const ChartFrame& c, const ProfileGeometry& g) {
    const ProfilePoint& a = g.points.front();
    const ProfilePoint& b = g.points.back();
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(c.at(0, a.groundM), c.at(0, a.rayM));
    painter.drawLine(c.at(g.pathM, b.groundM), c.at(g.pathM, b.rayM));
    QPainterPath upper;
    QPainterPath lower;
    for (std::size_t i = 0; i < g.points.size(); ++i) {
        const ProfilePoint& p = g.points[i];
        const QPointF u = c.at(p.distanceM, p.rayM + p.fresnelRadiusM);
        const QPointF l = c.at(p.distanceM, p.rayM - p.fresnelRadiusM);
        i == 0 ? upper.moveTo(u) : upper.lineTo(u);
        i == 0 ? lower.moveTo(l) : lower.lineTo(l);
    }
    painter.setPen(QPen(PathProfileChart::FresnelColour, 1.2, Qt::DashLine));
    painter.drawPath(upper);
    painter.drawPath(lower);
    painter.setPen(QPen(PathProfileChart::SightColour, 2));
    painter.drawLine(c.at(0, a.rayM), c.at(g.pathM, b.rayM));
    for (const ProfilePoint& p : g.points) {
        if (p.obstruction == Obstruction::None)
            continue;
        const QColor colour = p.obstruction == Obstruction::LineOfSight ? PathProfileChart::BlockedColour
                                                                         : PathProfileChart::IntrudingColour;
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(c.at(p.distanceM, p.raisedM()), 3.5, 3.5);
    }
}

} // namespace

PathProfileChart::PathProfileChart(const PathProfileModel& model, QWidget* parent)
    : QWidget(parent), m_model(model) {
    setMinimumSize(320, 180);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PathProfileChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    const ProfileGeometry& g = m_model.geometry();
    if (g.points.size() < 2) {
        painter.setPen(Qt::darkGray);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("Click two points on the map, or pick two sites, for a path profile."));
        return;
    }
    const int textPx = std::clamp(height() / 22, 9, 16);
    QFont font = painter.font();
    font.setPixelSize(textPx);
    painter.setFont(font);
    const QRectF frame(textPx * 4.5, textPx * 0.8, width() - textPx * 5.5, height() - textPx * 4);
    const ChartFrame c = chartFrame(g, frame);
    drawAxes(painter, c, textPx);
    painter.setClipRect(frame);
    drawTerrain(painter, c, g);
    drawSight(painter, c, g);
    painter.setClipping(false);
    painter.setPen(Qt::black);
    painter.drawText(frame.adjusted(4, 2, -4, 0), Qt::AlignLeft | Qt::AlignTop, m_model.endName(PathProfileModel::EndA));
    painter.drawText(frame.adjusted(4, 2, -4, 0), Qt::AlignRight | Qt::AlignTop, m_model.endName(PathProfileModel::EndB));
}

PathProfileView::PathProfileView(PathProfileModel& model, QWidget* parent)
    : QWidget(parent), m_model(model), m_chart(new PathProfileChart(model, this)) {
    m_controls.insert(QStringLiteral("chart"), m_chart);
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_controls.insert(QStringLiteral("lblSummary"), m_summary);
    m_table = new QLabel(this);
    m_table->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_table->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_table->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_controls.insert(QStringLiteral("lblTable"), m_table);
    auto* tableScroll = new QScrollArea(this);
    tableScroll->setWidget(m_table);
    tableScroll->setWidgetResizable(true);
    tableScroll->setFrameShape(QFrame::NoFrame);
    tableScroll->setMinimumWidth(m_table->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 36);
    m_controls.insert(QStringLiteral("scrTable"), tableScroll);
    auto* chartAndTable = new QHBoxLayout;
    chartAndTable->addWidget(m_chart, 1);
    chartAndTable->addWidget(tableScroll);
    auto* column = new QVBoxLayout(this);
    column->addWidget(buildInputs());
    column->addLayout(chartAndTable, 1);
    column->addWidget(m_summary);
    connect(&m_model, &ScreenModel::changed, this, &PathProfileView::refresh);
    refresh();
}

QWidget* PathProfileView::buildInputs() {
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto edit = [&](PathProfileModel::Field field, const QString& tip) {
        auto* line = new QLineEdit(panel);
        line->setToolTip(tip);
        line->installEventFilter(this);
        m_fields.insert(line, field);
        m_controls.insert(PathProfileModel::controlName(field), line);
        connect(line, &QLineEdit::textEdited, this,
                [this, field](const QString& text) { m_model.setText(field, text); });
        return line;
    };
    const QString latTip = QStringLiteral("Latitude, decimal degrees, north positive");
    const QString lonTip = QStringLiteral("Longitude, decimal degrees, east positive");
    const QString heightTip = QStringLiteral("Antenna height above ground, 0.5 to 3000 m");
    int row = 0;
    for (const auto end : {PathProfileModel::EndA, PathProfileModel::EndB}) {
        auto* name = new QLabel(panel);
        m_controls.insert(end == PathProfileModel::EndA ? QStringLiteral("lblEndA") : QStringLiteral("lblEndB"), name);
        const bool a = end == PathProfileModel::EndA;
        grid->addWidget(name, row, 0);
        grid->addWidget(new QLabel(QStringLiteral("Lat"), panel), row, 1);
        grid->addWidget(edit(a ? PathProfileModel::txtLatA : PathProfileModel::txtLatB, latTip), row, 2);
        grid->addWidget(new QLabel(QStringLiteral("Lon"), panel), row, 3);
        grid->addWidget(edit(a ? PathProfileModel::txtLonA : PathProfileModel::txtLonB, lonTip), row, 4);
        grid->addWidget(new QLabel(QStringLiteral("Height (m)"), panel), row, 5);
        grid->addWidget(edit(a ? PathProfileModel::txtHeightA : PathProfileModel::txtHeightB, heightTip), row, 6);
        ++row;
    }
    grid->addWidget(new QLabel(QStringLiteral("Frequency (MHz)"), panel), row, 0, 1, 2);
    grid->addWidget(edit(PathProfileModel::txtFreq, QStringLiteral("20 to 20000 MHz")), row, 2);
    auto* profile = new QPushButton(QStringLiteral("&Profile"), panel);
    m_send = new QPushButton(QStringLiteral("S&end to Point-to-Point Form"), panel);
    m_controls.insert(QStringLiteral("cmdProfile"), profile);
    m_controls.insert(QStringLiteral("cmdSendToPtoP"), m_send);
    connect(profile, &QPushButton::clicked, &m_model, &PathProfileModel::cmdProfile_Click);
    connect(m_send, &QPushButton::clicked, &m_model, &PathProfileModel::cmdSendToPtoP_Click);
    grid->addWidget(profile, row, 4);
    grid->addWidget(m_send, row, 5, 1, 2);
    return panel;
}

bool PathProfileView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        m_model.cancelTool();
    return QWidget::eventFilter(watched, event);
}

void PathProfileView::refresh() {
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it) {
        auto* line = static_cast<QLineEdit*>(it.key());
        if (line->text() != m_model.text(it.value()))
            line->setText(m_model.text(it.value()));
    }
    static_cast<QLabel*>(m_controls.value(QStringLiteral("lblEndA")))->setText(m_model.endName(PathProfileModel::EndA));
    static_cast<QLabel*>(m_controls.value(QStringLiteral("lblEndB")))->setText(m_model.endName(PathProfileModel::EndB));
    m_summary->setText(m_model.lblSummary());
    m_table->setText(m_model.lblTable());
    m_controls.value(QStringLiteral("scrTable"))->setVisible(!m_model.lblTable().isEmpty());
    m_send->setEnabled(m_model.cmdSendEnabled());
    m_chart->update();
}

} // namespace verdan
