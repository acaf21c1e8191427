#include "FrmGraphView.h"

#include "TempFile.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSvgGenerator>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

namespace verdan {

namespace {

// Size of a saved image in pixels (PNG, SVG), and of a PDF page's drawing in points.
constexpr int kImageWidthPx = 1200;
constexpr int kImageHeightPx = 800;

const QColor kAxisGrey(150, 150, 150);

QColor toColor(const Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QValueAxis* makeAxis(const QString& title) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    QFont titleFont = axis->titleFont();
    titleFont.setPointSize(10);
    titleFont.setBold(false);
    axis->setTitleFont(titleFont);
    axis->setTitleBrush(Qt::black);
    axis->setLabelsColor(Qt::black);
    axis->setLinePenColor(Qt::black);
    axis->setGridLineVisible(true);
    axis->setGridLineColor(kAxisGrey);
    axis->setMinorGridLineVisible(false);
    axis->setLabelFormat(QStringLiteral("%g"));
    return axis;
}

} // namespace

FrmGraphView::FrmGraphView(FrmGraphModel& model, QWidget* parent)
    : QDialog(parent), m_model(model), m_chartView(new QChartView), m_hover(new QLabel) {
    auto* menuBar = new QMenuBar;
    QMenu* file = menuBar->addMenu(QStringLiteral("&File"));
    connect(file->addAction(QStringLiteral("&Print")), &QAction::triggered, &m_model,
            &FrmGraphModel::mnuFilePrint_Click);
    connect(file->addAction(QStringLiteral("Save Image...")), &QAction::triggered, &m_model,
            &FrmGraphModel::mnuFileSaveImage_Click);
    file->addSeparator();
    connect(file->addAction(QStringLiteral("&Close")), &QAction::triggered, &m_model,
            &FrmGraphModel::mnuFileClose_Click);

    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setMinimumSize(640, 420);
    // The read-out follows every move of the pointer, not only its crossing of a line.
    m_chartView->setMouseTracking(true);
    m_chartView->viewport()->setMouseTracking(true);
    m_chartView->viewport()->installEventFilter(this);

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    connect(ok, &QPushButton::clicked, &m_model, &FrmGraphModel::cmdOK_Click);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_hover, 1);
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(m_chartView, 1);
    layout->addLayout(bottom);

    resize(900, 640);
    bindDialogToModel(*this, m_model);
    buildChart();
    m_model.setOutput(this);
    connect(&m_model, &ScreenModel::changed, this, &FrmGraphView::refresh);
    refresh();
}

FrmGraphView::~FrmGraphView() {
    m_model.setOutput(nullptr);
}

QChart* FrmGraphView::chart() const {
    return m_chartView->chart();
}

QString FrmGraphView::hoverText() const {
    return m_hover->text();
}

void FrmGraphView::buildChart() {
    auto* chart = new QChart;
    chart->setBackgroundBrush(Qt::white);
    QStringList titles;
    for (const QString& line : m_model.titleLines())
        titles << line.toHtmlEscaped();
    if (!titles.isEmpty())
        titles.last() = QStringLiteral("<b>") + titles.last() + QStringLiteral("</b>");
    QFont titleFont = chart->titleFont();
    titleFont.setPointSize(9);
    chart->setTitleFont(titleFont);
    chart->setTitleBrush(Qt::black);
    chart->setTitle(titles.join(QStringLiteral("<br>")));

    QValueAxis* distance = makeAxis(FrmGraphModel::axisTitle(0));
    QValueAxis* loss = makeAxis(FrmGraphModel::axisTitle(1));
    chart->addAxis(distance, Qt::AlignBottom);
    chart->addAxis(loss, Qt::AlignLeft);

    double minDist = 0;
    double maxDist = 0;
    double minLoss = 0;
    double maxLoss = 0;
    bool first = true;
    const std::vector<GraphSeries>& lines = m_model.series();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const GraphSeries& line = lines[i];
        auto* series = new QLineSeries;
        series->setName(line.name);
        QPen pen(toColor(line.colour));
        pen.setWidthF(2);
        series->setPen(pen);
        for (std::size_t p = 0; p < line.distKm.size(); ++p) {
            series->append(line.distKm[p], line.lossDb[p]);
            if (first) {
                minDist = maxDist = line.distKm[p];
                minLoss = maxLoss = line.lossDb[p];
                first = false;
            }
            minDist = std::min(minDist, line.distKm[p]);
            maxDist = std::max(maxDist, line.distKm[p]);
            minLoss = std::min(minLoss, line.lossDb[p]);
            maxLoss = std::max(maxLoss, line.lossDb[p]);
        }
        chart->addSeries(series);
        series->attachAxis(distance);
        series->attachAxis(loss);
    }
    if (!first) {
        distance->setRange(minDist, maxDist > minDist ? maxDist : minDist + 1);
        loss->setRange(minLoss, maxLoss > minLoss ? maxLoss : minLoss + 1);
        distance->applyNiceNumbers();
        loss->applyNiceNumbers();
    }

    QLegend* legend = chart->legend();
    legend->setVisible(true);
    legend->setAlignment(Qt::AlignRight);
    legend->setLabelColor(Qt::black);
    QFont legendFont = legend->font();
    legendFont.setPointSize(8);
    legend->setFont(legendFont);

    m_chartView->setChart(chart);
}

bool FrmGraphView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_chartView->viewport()) {
        if (event->type() == QEvent::MouseMove)
            pointerAt(static_cast<QMouseEvent*>(event)->position());
        else if (event->type() == QEvent::Leave)
            showHover(-1, 0);
    }
    return QDialog::eventFilter(watched, event);
}

void FrmGraphView::pointerAt(const QPointF& viewportPos) {
    // Within this many pixels of a line the pointer is on it.
    constexpr double kNearPx = 8;
    QChart* drawn = chart();
    const QList<QAbstractSeries*> all = drawn->series();
    const QPointF chartPos = drawn->mapFromScene(m_chartView->mapToScene(viewportPos.toPoint()));
    if (all.isEmpty() ||
        !drawn->plotArea().adjusted(-kNearPx, -kNearPx, kNearPx, kNearPx).contains(chartPos)) {
        showHover(-1, 0);
        return;
    }
    const double pointerKm = drawn->mapToValue(chartPos, all.front()).x();
    const std::vector<GraphSeries>& lines = m_model.series();
    int nearest = -1;
    double nearestKm = 0;
    double nearestPx = kNearPx;
    for (std::size_t i = 0; i < lines.size() && i < static_cast<std::size_t>(all.size()); ++i) {
        const GraphSeries& line = lines[i];
        if (line.distKm.empty())
            continue;
        const double distKm = std::clamp(pointerKm, line.distKm.front(), line.distKm.back());
        const QPointF onLine = drawn->mapToPosition(QPointF(distKm, lossAtDistanceDb(line, distKm)),
                                                    all[static_cast<qsizetype>(i)]);
        const double px = QLineF(onLine, chartPos).length();
        if (px <= nearestPx) {
            nearest = static_cast<int>(i);
            nearestKm = distKm;
            nearestPx = px;
        }
    }
    showHover(nearest, nearestKm);
}

void FrmGraphView::showHover(int series, double distKm) {
    m_model.CTWXGraph_Hover(series, distKm, series >= 0);
    if (series >= 0)
        QToolTip::showText(QCursor::pos(), m_model.lblHover(), m_chartView);
    else
        QToolTip::hideText();
}

void FrmGraphView::refresh() {
    m_hover->setText(m_model.lblHover());
}

void FrmGraphView::renderChart(QPainter& painter, const QRectF& target) {
    QChart* drawn = chart();
    const QSizeF oldSize = drawn->size();
    const QSizeF size = target.size();
    drawn->resize(size);
    m_chartView->scene()->setSceneRect(QRectF(QPointF(0, 0), size));
    m_chartView->scene()->render(&painter, target, QRectF(QPointF(0, 0), size));
    drawn->resize(oldSize);
    m_chartView->scene()->setSceneRect(QRectF(QPointF(0, 0), oldSize));
}

bool FrmGraphView::printTo(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    // Draw at screen-like size, scaled to the page, so fonts and lines keep their proportions.
    const double scale = std::min(page.width() / kImageWidthPx, page.height() / kImageHeightPx);
    painter.scale(scale, scale);
    renderChart(painter, QRectF(0, 0, kImageWidthPx, kImageHeightPx));
    return painter.end();
}

void FrmGraphView::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    printTo(printer);
}

// Draws the graph into `device` in `format`; false when the painter could not draw.
bool FrmGraphView::drawImage(QIODevice& device, GraphImageFormat format) {
    const QRectF area(0, 0, kImageWidthPx, kImageHeightPx);
    switch (format) {
    case GraphImageFormat::Png: {
        QImage image(kImageWidthPx, kImageHeightPx, QImage::Format_ARGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            renderChart(painter, area);
        }
        return image.save(&device, "PNG");
    }
    case GraphImageFormat::Svg: {
        QSvgGenerator generator;
        generator.setOutputDevice(&device);
        generator.setSize(QSize(kImageWidthPx, kImageHeightPx));
        generator.setViewBox(area);
        generator.setTitle(QStringLiteral("Verdan User Area Mode"));
        QPainter painter;
        if (!painter.begin(&generator))
            return false;
        renderChart(painter, area);
        return painter.end();
    }
    case GraphImageFormat::Pdf: {
        QPdfWriter writer(&device);
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setTitle(QStringLiteral("Verdan User Area Mode"));
        QPainter painter;
        if (!painter.begin(&writer))
            return false;
        const QRectF page = writer.pageLayout().paintRectPixels(writer.resolution());
        const double scale = std::min(page.width() / kImageWidthPx, page.height() / kImageHeightPx);
        painter.scale(scale, scale);
        renderChart(painter, area);
        return painter.end();
    }
    }
    return false;
}

// The picture is drawn in memory first and then written through a unique temporary file and a
// rename, so a failed save leaves an existing file as it was and no one can redirect it.
bool FrmGraphView::saveImage(const QString& path, GraphImageFormat format, QString& error) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!drawImage(buffer, format)) {
        error = QStringLiteral("the graph could not be drawn");
        return false;
    }
    return writeFileAtomically(path, buffer.data(), &error);
}

void registerGraphViews(ViewRegistry& views) {
    views.add(QStringLiteral("frmGraph"), [](ScreenModel& model, QWidget* parent) -> QDialog* {
        return new FrmGraphView(static_cast<FrmGraphModel&>(model), parent);
    });
}

} // namespace verdan
