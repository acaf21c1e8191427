#include "AntennaPolarWidget.h"

#include "NumberFormat.h"
#include "PolarTrace.h"

#include <QPainter>
#include <QPainterPath>

namespace verdan {

namespace {

const QColor TraceColour(0x1f, 0x5f, 0xbf);
const QColor RingColour(0xb0, 0xb0, 0xb0);

} // namespace

AntennaPolarWidget::AntennaPolarWidget(QWidget* parent) : QWidget(parent) {
    setMinimumSize(200, 110);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void AntennaPolarWidget::setPattern(const std::optional<radio::AntennaPattern>& pattern,
                                    const radio::AntennaPointing& pointing) {
    m_pattern = pattern;
    m_pointing = pointing;
    update();
}

void AntennaPolarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    if (!m_pattern) {
        painter.setPen(Qt::darkGray);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("No antenna pattern: a fixed gain radiates alike in every direction."));
        return;
    }
    const double half = width() / 2.0;
    drawPlot(painter, QRectF(0, 0, half, height()), QStringLiteral("Horizontal"), true);
    drawPlot(painter, QRectF(half, 0, half, height()), QStringLiteral("Vertical"), false);
}

void AntennaPolarWidget::drawPlot(QPainter& painter, const QRectF& box, const QString& title,
                                  bool horizontal) {
    const int textPx = std::max(9, static_cast<int>(box.height() / 16));
    QFont font = painter.font();
    font.setPixelSize(textPx);
    painter.setFont(font);
    const double radius = std::max(10.0, std::min(box.width(), box.height() - 2.6 * textPx) / 2 - 4);
    const QPointF centre(box.center().x(), box.top() + 1.4 * textPx + radius + 2);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(box.left(), box.top(), box.width(), 1.4 * textPx), Qt::AlignCenter, title);

    painter.setPen(QPen(RingColour, 1));
    painter.setBrush(Qt::NoBrush);
    const std::vector<double> rings = ringRadii(RangeDb, RingStepDb);
    for (std::size_t i = 0; i < rings.size(); ++i) {
        const double r = rings[i] * radius;
        painter.drawEllipse(centre, r, r);
        const QString label = numfmt::generalNumber(m_pattern->gainDbi - RingStepDb * static_cast<double>(i));
        painter.drawText(QPointF(centre.x() + 2, centre.y() - r + textPx), label);
    }
    painter.drawLine(QPointF(centre.x() - radius, centre.y()), QPointF(centre.x() + radius, centre.y()));
    painter.drawLine(QPointF(centre.x(), centre.y() - radius), QPointF(centre.x(), centre.y() + radius));
    painter.setPen(Qt::darkGray);
    painter.drawText(QRectF(box.left(), centre.y() + radius, box.width(), 1.2 * textPx), Qt::AlignCenter,
                     horizontal ? QStringLiteral("dBi, north up") : QStringLiteral("dBi, front to the right"));

    const PolarTraces traces = polarTraces(*m_pattern, m_pointing, RangeDb);
    const auto& trace = horizontal ? traces.horizontal : traces.vertical;
    QPainterPath path;
    for (std::size_t a = 0; a < trace.size(); ++a) {
        const QPointF p(centre.x() + trace[a].x() * radius, centre.y() - trace[a].y() * radius);
        if (a == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    painter.setPen(QPen(TraceColour, 2));
    painter.setBrush(QColor(0x1f, 0x5f, 0xbf, 40));
    painter.drawPath(path);
}

} // namespace verdan
