#include "FrmCoverageView.h"

#include "TempFile.h"

#include <QCheckBox>
#include <QBuffer>
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
#include <algorithm>
#include <array>
#include <cmath>

namespace verdan {

namespace {

// The PNG picture of a map: its size and the height of its text, pixels.
constexpr int PictureWidthPx = 1200;
constexpr int PictureHeightPx = 850;
constexpr int PictureTextPx = 13;
// Height of the text of a printed or PDF page, points, and its margin, millimetres.
constexpr int PageTextPt = 8;
constexpr double PageMarginMm = 12;
// Cells of a page are enlarged to about this many pixels a side.
constexpr int PageCellImageSide = 1600;
// Points per inch.
constexpr double PointsPerInch = 72;
// Zoom per degree of wheel rotation.
constexpr double ZoomPerWheelDegree = 1.01;

QFont textFont(const QFont& base, int pixels, bool bold = false) {
    QFont font = base;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// The scene with its cells enlarged by a whole factor to about PageCellImageSide pixels: a PDF
// viewer smooths a small picture that is stretched over a page, which blurs and mixes the
// colours of neighbouring cells.
MapScene sharpCells(const MapScene& scene) {
    MapScene sharp = scene;
    const int side = std::max(scene.coverage.width(), scene.coverage.height());
    const int factor = side > 0 ? std::max(1, PageCellImageSide / side) : 1;
    if (factor > 1) {
        sharp.coverage = scene.coverage.scaled(scene.coverage.size() * factor, Qt::IgnoreAspectRatio,
                                               Qt::FastTransformation);
        if (!scene.warnings.isNull())
            sharp.warnings = scene.warnings.scaled(scene.warnings.size() * factor,
                                                   Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    return sharp;
}

// The page of a printed or PDF map, landscape, with the paper of the user's region.
QPageLayout mapPageLayout(const QLocale& locale) {
    return QPageLayout(QPageSize(paperForLocale(locale)), QPageLayout::Landscape,
                       QMarginsF(PageMarginMm, PageMarginMm, PageMarginMm, PageMarginMm),
                       QPageLayout::Millimeter);
}

} // namespace

QPageSize::PageSizeId paperForLocale(const QLocale& locale) {
    // The countries that use US Letter paper; everyone else uses A4.
    static const std::array<QLocale::Territory, 9> letter = {
        QLocale::UnitedStates, QLocale::Canada,    QLocale::Mexico,
        QLocale::Chile,        QLocale::Colombia,  QLocale::Venezuela,
        QLocale::Philippines,  QLocale::PuertoRico, QLocale::Guatemala};
    return std::find(letter.begin(), letter.end(), locale.territory()) != letter.end()
               ? QPageSize::Letter
               : QPageSize::A4;
}

void renderMapPage(QPainter& painter, const QRectF& page, int textPx, const MapPage& content) {
    painter.save();
    painter.fillRect(page, Qt::white);
    const QFont title = textFont(painter.font(), textPx * 3 / 2, true);
    const QFont text = textFont(painter.font(), textPx);
    const double titleHeight = QFontMetricsF(title).height() * 1.5;
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    painter.setFont(text);
    const QRectF caption = painter.boundingRect(QRectF(page.left(), 0, page.width(), page.height()),
                                                flags, content.caption);
    const QRectF captionBox(page.left(), page.bottom() - caption.height(), page.width(),
                            caption.height());
    painter.setPen(Qt::black);
    painter.drawText(captionBox, flags, content.caption);
    painter.setFont(title);
    painter.drawText(QRectF(page.left(), page.top(), page.width(), titleHeight),
                     Qt::AlignLeft | Qt::AlignTop, content.title);
    painter.setFont(text);
    const QRectF target(page.left(), page.top() + titleHeight, page.width(),
                        captionBox.top() - textPx - page.top() - titleHeight);
    const MapLayout layout = MapLayout::of(target, content.scene, text);
    paintMap(painter, target, sharpCells(content.scene),
             MapViewport::fitting(*content.scene.grid, layout.frame.size()));
    painter.restore();
}

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
    if (fit)
        this->fit();
    update();
}

void CoverageMapWidget::setOpacity(double opacity) {
    m_scene.opacity = opacity;
    update();
}

QRectF CoverageMapWidget::frame() const {
    return MapLayout::of(QRectF(rect()), m_scene, font()).frame;
}

void CoverageMapWidget::fit() {
    if (hasMap())
        m_viewport = MapViewport::fitting(*m_scene.grid, frame().size());
    m_userMoved = false;
    update();
}

QPointF CoverageMapWidget::pixelOf(const terrain::GeoPoint& at) const {
    return m_viewport.toPixel(at, frame());
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
    if (!m_userMoved)
        fit();
}

void CoverageMapWidget::wheelEvent(QWheelEvent* event) {
    if (!hasMap() || !frame().contains(event->position()))
        return;
    m_viewport.zoom(std::pow(ZoomPerWheelDegree, event->angleDelta().y() / 8.0),
                    event->position(), frame());
    m_userMoved = true;
    update();
}

void CoverageMapWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && frame().contains(event->position()))
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
    const QRectF mapFrame = frame();
    if (!mapFrame.contains(event->position())) {
        m_model.mapLeft();
        return;
    }
    const terrain::GeoPoint at = m_viewport.toGeo(event->position(), mapFrame);
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
    m_inputsChanged = new QLabel(panel);
    m_inputsChanged->setWordWrap(true);
    m_inputsChanged->setStyleSheet(QStringLiteral("color: #a04000"));
    m_controls.insert(QStringLiteral("lblInputsChanged"), m_inputsChanged);
    column->addWidget(m_inputsChanged);
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
    auto* fit = new QPushButton(QStringLiteral("&Fit"), panel);
    fit->setToolTip(QStringLiteral("Show the whole map again"));
    m_controls.insert(QStringLiteral("cmdFit"), fit);
    connect(fit, &QPushButton::clicked, m_map, &CoverageMapWidget::fit);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_run);
    buttons->addWidget(m_cancel);
    buttons->addWidget(fit);
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
    m_inputsChanged->setText(m_model.lblInputsChanged());
    m_inputsChanged->setVisible(!m_inputsChanged->text().isEmpty());
    m_run->setEnabled(m_model.cmdRunEnabled());
    m_cancel->setEnabled(m_model.cmdCancelEnabled());
    m_progress->setValue(m_model.prgRun());
    m_status->setText(m_model.lblStatus());
    m_hatch->setChecked(m_model.chkHatch());
    m_warnings->setText(m_model.lblWarnings());
    m_hover->setText(m_model.lblHover());
    m_map->refresh();
}

MapPage FrmCoverageView::page() const {
    return {QStringLiteral("Verdan Coverage Map"), m_model.mapCaption(), m_map->scene()};
}

bool FrmCoverageView::renderPages(QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // Lay the page out in points: the text keeps its size on any printer.
    const double scale = device.logicalDpiX() / PointsPerInch;
    painter.scale(scale, scale);
    renderMapPage(painter, device.pageLayout().paintRect(QPageLayout::Point), PageTextPt, page());
    return painter.end();
}

void FrmCoverageView::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(mapPageLayout(QLocale()));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        renderPages(printer);
}

bool FrmCoverageView::saveImage(const QString& path, MapFileFormat format, QString& error) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    bool drawn = false;
    if (format == MapFileFormat::Pdf) {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Verdan Coverage Map"));
        writer.setPageLayout(mapPageLayout(QLocale()));
        drawn = renderPages(writer);
    } else {
        QImage image(PictureWidthPx, PictureHeightPx, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        renderMapPage(painter, QRectF(12, 12, PictureWidthPx - 24, PictureHeightPx - 24),
                      PictureTextPx, page());
        painter.end();
        drawn = image.save(&buffer, "PNG");
    }
    if (!drawn) {
        error = QStringLiteral("the map could not be drawn");
        return false;
    }
    return writeFileAtomically(path, buffer.data(), &error);
}

void registerCoverageViews(ViewRegistry& views) {
    views.add(QStringLiteral("frmCoverage"), [](ScreenModel& model, QWidget* parent) -> QDialog* {
        return new FrmCoverageView(static_cast<FrmCoverageModel&>(model), parent);
    });
}

} // namespace verdan
