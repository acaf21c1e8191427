#include "FrmCoverageView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QImage>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

namespace verdan {

namespace {

// Size of a printed or exported page's drawing before it is scaled to the page.
constexpr int PageWidthPx = 1200;
constexpr int PageHeightPx = 850;
// Zoom per degree of wheel rotation.
constexpr double ZoomPerWheelDegree = 1.01;

} // namespace

CoverageMapWidget::CoverageMapWidget(FrmCoverageModel& model, QWidget* parent)
    : QWidget(parent), m_model(model) {
    setMouseTracking(true);
    setMinimumSize(480, 420);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void CoverageMapWidget::refresh() {
    if (m_model.mapRevision() == m_revision)
        return;
    m_revision = m_model.mapRevision();
    const CoverageRun& run = m_model.run();
    if (!run.hasMap()) {
        m_scene.grid = nullptr;
        update();
        return;
    }
    const bool fit = run.mapSerial() != m_mapSerial;
    m_mapSerial = run.mapSerial();
    const coverage::CoverageGrid& grid = run.grid();
    m_scene.grid = &grid;
    m_scene.colours = m_model.mapColours();
    m_scene.hillshade = hillshadeImage(run.elevations());
    m_scene.coverage = coverageImage(grid, m_scene.colours);
    m_scene.transmitter = run.inputs().tx;
    m_scene.receiver = m_model.receiver();
    m_scene.warnings = warningMask(grid);
    if (fit) {
        m_viewport = MapViewport::fitting(grid, size());
        m_userMoved = false;
    }
    update();
}

void CoverageMapWidget::setOpacity(double opacity) {
    m_scene.opacity = opacity;
    update();
}

void CoverageMapWidget::renderFitted(QPainter& painter, const QRectF& target) const {
    if (hasMap())
        paintMap(painter, target, m_scene, MapViewport::fitting(*m_scene.grid, target.size()));
}

QPointF CoverageMapWidget::pixelOf(const terrain::GeoPoint& at) const {
    return m_viewport.toPixel(at, QRectF(rect()));
}

void CoverageMapWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!hasMap()) {
        painter.fillRect(rect(), palette().base());
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Run to compute the map."));
        return;
    }
    paintMap(painter, QRectF(rect()), m_scene, m_viewport);
}

void CoverageMapWidget::resizeEvent(QResizeEvent*) {
    if (hasMap() && !m_userMoved)
        m_viewport = MapViewport::fitting(*m_scene.grid, size());
}

void CoverageMapWidget::wheelEvent(QWheelEvent* event) {
    if (!hasMap())
        return;
    m_viewport.zoom(std::pow(ZoomPerWheelDegree, event->angleDelta().y() / 8.0),
                    event->position(), QRectF(rect()));
    m_userMoved = true;
    update();
}

void CoverageMapWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_dragFrom = event->position();
}

void CoverageMapWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!hasMap())
        return;
    if (m_dragFrom) {
        m_viewport.pan(event->position() - *m_dragFrom);
        m_dragFrom = event->position();
        m_userMoved = true;
        update();
    }
    const terrain::GeoPoint at = m_viewport.toGeo(event->position(), QRectF(rect()));
    m_model.mapHover(at.latDeg, at.lonDeg);
}

void CoverageMapWidget::mouseReleaseEvent(QMouseEvent*) {
    m_dragFrom.reset();
}

void CoverageMapWidget::leaveEvent(QEvent*) {
    m_model.mapLeft();
}

FrmCoverageView::FrmCoverageView(FrmCoverageModel& model, QWidget* parent)
    : QDialog(parent), m_model(model), m_map(new CoverageMapWidget(model, this)) {
    bindDialogToModel(*this, model);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    auto* menuBar = new QMenuBar(this);
    QMenu* file = menuBar->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Save Map..."), QKeySequence::Save, this,
                    [this] { m_model.mnuFileSaveMap_Click(); });
    file->addAction(QStringLiteral("&Print..."), QKeySequence::Print, this,
                    [this] { m_model.mnuFilePrint_Click(); });
    file->addSeparator();
    file->addAction(QStringLiteral("&Close"), this, [this] { m_model.mnuFileClose_Click(); });
    QMenu* help = menuBar->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&Coverage Maps"), QKeySequence::HelpContents, this,
                    [this] { m_model.mnuHelpCoverage_Click(); });

    m_hover = new QLabel(this);
    m_hover->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_controls.insert(QStringLiteral("map"), m_map);
    m_controls.insert(QStringLiteral("lblHover"), m_hover);

    auto* columns = new QHBoxLayout;
    columns->addWidget(buildInputs());
    columns->addWidget(m_map, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addLayout(columns, 1);
    layout->addWidget(m_hover);

    resize(1100, 720);
    m_model.setOutput(this);
    connect(&m_model, &ScreenModel::changed, this, &FrmCoverageView::refresh);
    connect(&m_model, &FrmCoverageModel::progressChanged, this,
            [this] { m_progress->setValue(m_model.prgRun()); });
    refresh();
}

FrmCoverageView::~FrmCoverageView() {
    m_model.setOutput(nullptr);
}

QWidget* FrmCoverageView::buildInputs() {
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    m_source = new QLabel(panel);
    m_source->setWordWrap(true);
    column->addWidget(m_source);
    auto* form = new QFormLayout;
    column->addLayout(form);
    const auto edit = [&](FrmCoverageModel::Field f, const QString& tip) {
        auto* line = new QLineEdit(panel);
        line->setToolTip(tip);
        line->installEventFilter(this);
        m_fields.insert(line, f);
        m_controls.insert(FrmCoverageModel::controlName(f), line);
        connect(line, &QLineEdit::textEdited, this,
                [this, f](const QString& text) { m_model.setText(f, text); });
        return line;
    };
    const auto field = [&](FrmCoverageModel::Field f, const QString& label, const QString& tip) {
        form->addRow(label, edit(f, tip));
    };
    field(FrmCoverageModel::txtRadius, QStringLiteral("Radius (km)"), QStringLiteral("1 to 500 km"));
    field(FrmCoverageModel::txtResolution, QStringLiteral("Resolution (arc-sec)"),
          QStringLiteral("Cell size, 1 to 600 arc-seconds"));
    field(FrmCoverageModel::txtRxHt, QStringLiteral("Receiver height (m)"),
          QStringLiteral("0.5 m to 3000 m"));
    field(FrmCoverageModel::txtRel, QStringLiteral("Reliability (%)"),
          QStringLiteral("0.1% to 99.9%"));
    field(FrmCoverageModel::txtConf, QStringLiteral("Confidence (%)"),
          QStringLiteral("0.1% to 99.9%"));
    m_erpUnit = new QComboBox(panel);
    m_erpUnit->addItems({QStringLiteral("dBW"), QStringLiteral("dBm")});
    m_controls.insert(QStringLiteral("cmbERPUnit"), m_erpUnit);
    connect(m_erpUnit, &QComboBox::activated, &m_model, &FrmCoverageModel::setCmbERPUnit);
    auto* erpRow = new QHBoxLayout;
    erpRow->addWidget(edit(FrmCoverageModel::txtERP,
                           QStringLiteral("Effective radiated power; empty for a loss map")));
    erpRow->addWidget(m_erpUnit);
    form->addRow(QStringLiteral("ERP"), erpRow);
    field(FrmCoverageModel::txtLossLevels, QStringLiteral("Loss levels (dB)"),
          QStringLiteral("Up to 8 colour levels, comma-separated"));
    field(FrmCoverageModel::txtFieldLevels, QStringLiteral("Field levels (dBµV/m)"),
          QStringLiteral("Up to 8 colour levels, comma-separated; used with an ERP"));
    auto* opacity = new QSlider(Qt::Horizontal, panel);
    opacity->setRange(0, 100);
    opacity->setValue(70);
    m_controls.insert(QStringLiteral("sldOpacity"), opacity);
    connect(opacity, &QSlider::valueChanged, this,
            [this](int value) { m_map->setOpacity(value / 100.0); });
    form->addRow(QStringLiteral("Opacity"), opacity);
    m_hatch = new QCheckBox(QStringLiteral("&Hatch cells with model warnings"), panel);
    m_controls.insert(QStringLiteral("chkHatch"), m_hatch);
    connect(m_hatch, &QCheckBox::toggled, &m_model, &FrmCoverageModel::setChkHatch);
    form->addRow(m_hatch);

    m_run = new QPushButton(QStringLiteral("&Run"), panel);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), panel);
    m_progress = new QProgressBar(panel);
    m_status = new QLabel(panel);
    m_status->setWordWrap(true);
    m_warnings = new QLabel(panel);
    m_warnings->setWordWrap(true);
    m_controls.insert(QStringLiteral("lblWarnings"), m_warnings);
    m_controls.insert(QStringLiteral("cmdRun"), m_run);
    m_controls.insert(QStringLiteral("cmdCancel"), m_cancel);
    m_controls.insert(QStringLiteral("prgRun"), m_progress);
    m_controls.insert(QStringLiteral("lblStatus"), m_status);
    connect(m_run, &QPushButton::clicked, this, [this] { m_model.cmdRun_Click(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_model.cmdCancel_Click(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_run);
    buttons->addWidget(m_cancel);
    column->addLayout(buttons);
    column->addWidget(m_progress);
    column->addWidget(m_status);
    column->addWidget(m_warnings);
    column->addStretch(1);
    panel->setMaximumWidth(340);
    return panel;
}

bool FrmCoverageView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && m_fields.contains(watched))
        m_model.lostFocus(m_fields.value(watched));
    return QDialog::eventFilter(watched, event);
}

void FrmCoverageView::refresh() {
    setWindowTitle(m_model.caption());
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it) {
        auto* edit = static_cast<QLineEdit*>(it.key());
        if (edit->text() != m_model.text(it.value()))
            edit->setText(m_model.text(it.value()));
    }
    m_erpUnit->setCurrentIndex(m_model.cmbERPUnit());
    m_source->setText(m_model.lblSource());
    m_run->setEnabled(m_model.cmdRunEnabled());
    m_cancel->setEnabled(m_model.cmdCancelEnabled());
    m_progress->setValue(m_model.prgRun());
    m_status->setText(m_model.lblStatus());
    m_hatch->setChecked(m_model.chkHatch());
    m_warnings->setText(m_model.lblWarnings());
    m_hover->setText(m_model.lblHover());
    m_map->refresh();
}

void FrmCoverageView::renderPage(QPainter& painter) {
    QFont font = painter.font();
    font.setPointSizeF(9);
    painter.setFont(font);
    painter.drawText(QRectF(0, 0, PageWidthPx, 40), Qt::AlignLeft | Qt::TextWordWrap,
                     m_model.lblSource());
    m_map->renderFitted(painter, QRectF(0, 45, PageWidthPx, PageHeightPx - 45));
}

bool FrmCoverageView::renderPages(QPagedPaintDevice& device) {
    device.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QRectF page = device.pageLayout().paintRectPixels(device.logicalDpiX());
    const double scale = std::min(page.width() / PageWidthPx, page.height() / PageHeightPx);
    painter.scale(scale, scale);
    renderPage(painter);
    return painter.end();
}

void FrmCoverageView::print() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        renderPages(printer);
}

bool FrmCoverageView::saveImage(const QString& path, MapFileFormat format, QString& error) {
    bool written = false;
    if (format == MapFileFormat::Pdf) {
        QPdfWriter writer(path);
        writer.setTitle(QStringLiteral("Verdan Coverage Map"));
        written = renderPages(writer);
    } else {
        QImage image(PageWidthPx, PageHeightPx, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        renderPage(painter);
        painter.end();
        written = image.save(path, "PNG");
    }
    if (!written)
        error = QStringLiteral("the file cannot be written");
    return written;
}

void registerCoverageViews(ViewRegistry& views) {
    views.add(QStringLiteral("frmCoverage"), [](ScreenModel& model, QWidget* parent) -> QDialog* {
        return new FrmCoverageView(static_cast<FrmCoverageModel&>(model), parent);
    });
}

} // namespace verdan
