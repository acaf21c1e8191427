#include "FrmPlanningMapView.h"

#include "MapSitesOverlay.h"

#include "TempFile.h"

#include <verdan/geodata/ViewPicture.h>

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QDockWidget>
#include <QEvent>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

namespace verdan {

namespace {

// The PNG picture of a map page: its size and the height of its text, pixels.
constexpr int PictureWidthPx = 1200;
constexpr int PictureHeightPx = 850;
constexpr int PictureTextPx = 13;
// Height of the text of a printed or PDF page, points, and its margin, millimetres.
constexpr int PageTextPt = 8;
constexpr double PageMarginMm = 12;
constexpr double PointsPerInch = 72;
// The legend's swatches and its width on a page, in text heights.
constexpr double LegendWidthEm = 14;

const QString LayerFilters = QStringLiteral(
    "Map files (*.tif *.tiff *.mbtiles *.xml *.vrt *.gpkg *.shp *.geojson *.json *.kml "
    "*.osm.pbf *.osm);;Pictures (*.tif *.tiff *.mbtiles *.xml *.vrt);;"
    "Vector files (*.gpkg *.shp *.geojson *.json *.kml *.osm.pbf *.osm);;All files (*)");

QFont textFont(const QFont& base, int pixels, bool bold = false) {
    QFont font = base;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A result's key changes with its colours: its tiles are drawn anew.
QString layerKey(const MapLayer& layer, const FrmCoverageModel& model) {
    const MapResult* result = layer.kind == LayerKind::Result ? model.result(layer.source) : nullptr;
    return QString::number(static_cast<int>(layer.kind)) + u'|' + layer.source +
           (result ? u'|' + QString::number(result->revision) : QString());
}

bool isPictureFile(const QString& path) {
    static const QStringList pictures = {QStringLiteral("tif"), QStringLiteral("tiff"),
                                         QStringLiteral("mbtiles"), QStringLiteral("xml"),
                                         QStringLiteral("vrt")};
    return pictures.contains(QFileInfo(path).suffix().toLower());
}

// The extent of a coverage grid in the display projection.
geodata::Extent resultExtent(const coverage::CoverageGrid& grid) {
    const geodata::MercatorPoint nw = geodata::toMercator({grid.northLatDeg, grid.westLonDeg});
    const geodata::MercatorPoint se =
        geodata::toMercator({grid.northLatDeg - grid.rows * grid.cellDeg,
                             grid.westLonDeg + grid.columns * grid.cellDeg});
    return {nw.xM, se.yM, se.xM, nw.yM};
}

// The cells at or above the receiver's threshold (margin 0 dB or more), when the run had one.
CellInside coveredOf(std::shared_ptr<const coverage::CoverageGrid> grid) {
    if (grid->marginDb.empty())
        return {};
    return [grid](std::size_t cell) { return grid->marginDb[cell] >= 0; };
}

// "Power levels (dBm)": the label of a quantity's levels field.
QString levelsLabel(coverage::MapQuantity quantity) {
    QString key = QString::fromStdString(coverage::quantityKey(quantity));
    key[0] = key[0].toUpper();
    return key + QStringLiteral(" levels (") +
           QString::fromStdString(coverage::quantityUnit(quantity)) + u')';
}

// The cells of `grid` whose model warning makes their figure doubtful, when `style` hatches.
CellHatch hatchOf(std::shared_ptr<const coverage::CoverageGrid> grid,
                  const coverage::MapStyle& style) {
    if (!style.hatch() || grid->warning.empty())
        return {};
    return [grid, scale = style.colourScale()](std::size_t cell) {
        return cell < grid->warning.size() && scale.hatches(grid->warning[cell]);
    };
}

// The folder of the cached copies of OpenStreetMap extracts.
QString cacheFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QDir().mkpath(folder);
    return folder;
}

// A layer as the layers list names it: with how far its file is read, or why it is not shown.
QString layerText(const MapLayer& layer) {
    if (layer.openingPct >= 0)
        return layer.name + QStringLiteral(" (reading\u2026 %1%)").arg(layer.openingPct);
    return layer.problem.isEmpty() ? layer.name : layer.name + QStringLiteral(" (cannot be shown)");
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

namespace {

QPageLayout mapPageLayout(const QLocale& locale) {
    return QPageLayout(QPageSize(paperForLocale(locale)), QPageLayout::Landscape,
                       QMarginsF(PageMarginMm, PageMarginMm, PageMarginMm, PageMarginMm),
                       QPageLayout::Millimeter);
}

// Draws the legend at the top of `box`: the title, then a swatch and a label per line.
void paintLegend(QPainter& painter, const QRectF& box, int textPx, const PlanningPage& content) {
    if (content.legend.empty())
        return;
    painter.setFont(textFont(painter.font(), textPx, true));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(box.left(), box.top(), box.width(), textPx * 3),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, content.legendTitle);
    painter.setFont(textFont(painter.font(), textPx));
    double y = box.top() + textPx * 3;
    for (const LegendEntry& entry : content.legend) {
        painter.fillRect(QRectF(box.left(), y, textPx * 1.6, textPx * 1.1),
                         QColor::fromRgb(entry.rgb));
        painter.drawText(QRectF(box.left() + textPx * 2.2, y - textPx * 0.1,
                                box.width() - textPx * 2.2, textPx * 1.4),
                         Qt::AlignLeft | Qt::AlignVCenter, entry.label);
        y += textPx * 1.6;
    }
}

} // namespace

void renderPlanningPage(QPainter& painter, const QRectF& page, int textPx,
                        const PlanningPage& content, MapCanvas& canvas) {
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
    const double legendWidth = content.legend.empty() ? 0 : textPx * LegendWidthEm;
    const double top = page.top() + titleHeight;
    const QRectF map(page.left(), top, page.width() - legendWidth - (legendWidth > 0 ? textPx : 0),
                     captionBox.top() - textPx - top);
    canvas.renderInto(painter, map);
    painter.setPen(QPen(Qt::black, 0.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(map);
    paintLegend(painter, QRectF(map.right() + textPx, top, legendWidth, map.height()), textPx,
                content);
    painter.restore();
}

FrmPlanningMapView::FrmPlanningMapView(FrmCoverageModel& model, QWidget* parent)
    : QDialog(parent), m_model(model), m_layers(model.layers()) {
    bindDialogToModel(*this, model);
    installEventFilter(this); // after the shell's filter, so that it sees Escape first
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    // A main window inside the dialog gives the map its docks and status bar.
    m_main = new QMainWindow(this);
    m_main->setWindowFlags(Qt::Widget); // a main window is made a window of its own otherwise
    m_main->setObjectName(QStringLiteral("planningMap"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_main);
    m_files = new LayerFiles(m_layers, cacheFolder(), this);
    connect(m_files, &LayerFiles::fileOpened, this, &FrmPlanningMapView::syncCanvas);
    buildMap();
    addDock(QStringLiteral("dockLayers"), QStringLiteral("Layers"), buildLayers(),
            Qt::LeftDockWidgetArea);
    addDock(QStringLiteral("dockRun"), QStringLiteral("Run"), buildRun(), Qt::LeftDockWidgetArea);
    addDock(QStringLiteral("dockLegend"), QStringLiteral("Legend"), buildLegend(),
            Qt::RightDockWidgetArea);
    if (MapSitesTools* tools = m_model.sitesTools())
        attachSitesTools(*tools);
    buildMenus();

    resize(1200, 780);
    restoreLayout();
    m_model.setOutput(this);
    connect(&m_model, &ScreenModel::changed, this, &FrmPlanningMapView::refresh);
    connect(&m_model, &FrmCoverageModel::progressChanged, this,
            [this] { m_progress->setValue(m_model.prgRun()); });
    connect(&m_layers, &LayerStack::changed, this, [this] {
        refreshLayerList();
        refreshLegend();
        syncCanvas();
    });
    refresh();
    refreshLayerList();
    syncCanvas();
}

FrmPlanningMapView::~FrmPlanningMapView() {
    // The fields lose their focus as they go: nothing of that reaches the model any more.
    for (QObject* field : m_fields.keys())
        field->removeEventFilter(this);
    removeEventFilter(this);
    // Neither do the pointer leaving the map as it is hidden nor the model's answer to that.
    m_canvas->disconnect(this);
    m_model.disconnect(this);
    m_model.setOutput(nullptr);
}

// The arrangement is kept as "<geometry>;<docks>", each in Base64.
void FrmPlanningMapView::restoreLayout() {
    const QStringList parts = m_model.layoutState().split(u';');
    if (parts.size() != 2)
        return;
    restoreGeometry(QByteArray::fromBase64(parts[0].toLatin1()));
    m_main->restoreState(QByteArray::fromBase64(parts[1].toLatin1()));
}

void FrmPlanningMapView::done(int result) {
    m_model.setLayoutState(QString::fromLatin1(saveGeometry().toBase64()) + u';' +
                           QString::fromLatin1(m_main->saveState().toBase64()));
    QDialog::done(result);
}

void FrmPlanningMapView::addDock(const QString& name, const QString& title, QWidget* content,
                                 Qt::DockWidgetArea area) {
    auto* dock = new QDockWidget(title, m_main);
    dock->setObjectName(name);
    dock->setWidget(content);
    m_main->addDockWidget(area, dock);
    m_controls.insert(name, dock);
}

void FrmPlanningMapView::buildMenus() {
    QMenuBar* bar = m_main->menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Add Layer..."), QKeySequence(Qt::CTRL | Qt::Key_L), this,
                    [this] { addLayerFile(); });
    file->addAction(QStringLiteral("&Save Map..."), QKeySequence::Save, this,
                    [this] { m_model.mnuFileSaveMap_Click(); });
    file->addAction(QStringLiteral("&Print..."), QKeySequence::Print, this,
                    [this] { m_model.mnuFilePrint_Click(); });
    file->addAction(QStringLiteral("&Export View..."), QKeySequence(Qt::CTRL | Qt::Key_E), this,
                    [this] { exportViewAs(); });
    file->addSeparator();
    file->addAction(QStringLiteral("&Close"), QKeySequence(Qt::CTRL | Qt::Key_W), this,
                    [this] { m_model.mnuFileClose_Click(); });
    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->addAction(QStringLiteral("Zoom &In"), QKeySequence::ZoomIn, this,
                    [this] { m_canvas->zoomBy(2); });
    view->addAction(QStringLiteral("Zoom &Out"), QKeySequence::ZoomOut, this,
                    [this] { m_canvas->zoomBy(0.5); });
    view->addAction(QStringLiteral("&Fit to Result"), QKeySequence(Qt::CTRL | Qt::Key_0), this,
                    [this] {
                        if (const MapResult* shown = m_model.currentResult())
                            m_canvas->fit(resultExtent(*shown->grid));
                    });
    view->addSeparator();
    // Every dock, the sites tools' too, comes back from here: Ctrl+1, Ctrl+2, ...
    int number = 0;
    for (QDockWidget* dock : m_main->findChildren<QDockWidget*>()) {
        QAction* toggle = dock->toggleViewAction();
        toggle->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + number++)));
        view->addAction(toggle);
    }
    QMenu* layers = bar->addMenu(QStringLiteral("&Layers"));
    layers->addAction(QStringLiteral("Move &Up"), QKeySequence(Qt::ALT | Qt::Key_Up), this,
                      [this] { moveLayer(-1); });
    layers->addAction(QStringLiteral("Move &Down"), QKeySequence(Qt::ALT | Qt::Key_Down), this,
                      [this] { moveLayer(1); });
    layers->addAction(QStringLiteral("&Remove"), QKeySequence(Qt::CTRL | Qt::Key_Delete), this,
                      [this] { removeLayer(); });
    QMenu* run = bar->addMenu(QStringLiteral("&Run"));
    run->addAction(QStringLiteral("&Run Coverage"), QKeySequence(Qt::CTRL | Qt::Key_R), this,
                   [this] { m_model.cmdRun_Click(); });
    run->addAction(QStringLiteral("Run &Network"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R),
                   this, [this] { m_model.mnuRunNetwork_Click(); });
    run->addAction(QStringLiteral("&Cancel Run"), QKeySequence(Qt::CTRL | Qt::Key_Period), this,
                   [this] { m_model.cmdCancel_Click(); });
    if (MapSitesTools* tools = m_model.sitesTools())
        addMapSitesActions(*bar->addMenu(QStringLiteral("&Tools")), *tools);
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&Planning Map"), QKeySequence::HelpContents, this,
                    [this] { m_model.mnuHelpCoverage_Click(); });
}

void FrmPlanningMapView::buildMap() {
    m_canvas = new MapCanvas(m_main);
    m_controls.insert(QStringLiteral("map"), m_canvas);
    m_main->setCentralWidget(m_canvas);
    m_hover = new QLabel(m_main);
    m_hover->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_controls.insert(QStringLiteral("lblHover"), m_hover);
    m_main->statusBar()->addWidget(m_hover, 1);
    connect(m_canvas, &MapCanvas::hovered, this,
            [this](terrain::GeoPoint at) { m_model.mapHover(at.latDeg, at.lonDeg); });
    connect(m_canvas, &MapCanvas::left, this, [this] { m_model.mapLeft(); });
    connect(m_canvas, &MapCanvas::escapePressed, m_files, &LayerFiles::cancelAll);
    m_canvas->fit(geodata::Extent{-2e6, 3e6, 4e6, 9e6}); // Europe until a result is shown
}

QWidget* FrmPlanningMapView::buildLayers() {
    auto* panel = new QWidget(m_main);
    auto* column = new QVBoxLayout(panel);
    m_layerList = new QListWidget(panel);
    m_controls.insert(QStringLiteral("lstLayers"), m_layerList);
    column->addWidget(m_layerList);
    connect(m_layerList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        m_layers.setVisible(m_layerList->row(item), item->checkState() == Qt::Checked);
    });
    connect(m_layerList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < m_layers.count())
            m_opacity->setValue(m_layers.at(row).opacityPct);
    });
    m_opacity = new QSlider(Qt::Horizontal, panel);
    m_opacity->setRange(0, 100);
    m_opacity->setToolTip(QStringLiteral("Opacity of the selected layer"));
    m_controls.insert(QStringLiteral("sldOpacity"), m_opacity);
    connect(m_opacity, &QSlider::valueChanged, this,
            [this](int value) { m_layers.setOpacity(currentLayer(), value); });
    auto* opacityRow = new QFormLayout;
    opacityRow->addRow(QStringLiteral("Opacity"), m_opacity);
    column->addLayout(opacityRow);
    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* name, const QString& text, const QString& tip,
                            auto handler) {
        auto* b = new QPushButton(text, panel);
        b->setToolTip(tip);
        m_controls.insert(QLatin1String(name), b);
        connect(b, &QPushButton::clicked, this, handler);
        buttons->addWidget(b);
    };
    button("cmdAddLayer", QStringLiteral("Add..."), QStringLiteral("Add a picture or vector file"),
           [this] { addLayerFile(); });
    button("cmdLayerUp", QStringLiteral("Up"), QStringLiteral("Draw the layer above the one over it"),
           [this] { moveLayer(-1); });
    button("cmdLayerDown", QStringLiteral("Down"), QStringLiteral("Draw the layer below"),
           [this] { moveLayer(1); });
    button("cmdRemoveLayer", QStringLiteral("Remove"), QStringLiteral("Remove the layer"),
           [this] { removeLayer(); });
    button("cmdStopReading", QStringLiteral("Stop"),
           QStringLiteral("Stop reading the files being opened (Esc)"),
           [this] { m_files->cancelAll(); });
    column->addLayout(buttons);
    return panel;
}

QWidget* FrmPlanningMapView::buildRun() {
    auto* panel = new QWidget(m_main);
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
    m_quantity = new QComboBox(panel);
    m_quantity->setToolTip(QStringLiteral("What the map shows, among what the run computed"));
    m_controls.insert(QStringLiteral("cmbQuantity"), m_quantity);
    connect(m_quantity, &QComboBox::activated, this, [this](int index) {
        m_model.setQuantity(static_cast<coverage::MapQuantity>(m_quantity->itemData(index).toInt()));
    });
    form->addRow(QStringLiteral("Show"), m_quantity);
    for (coverage::MapQuantity quantity : coverage::AllMapQuantities)
        field(FrmCoverageModel::levelsField(quantity),
              levelsLabel(quantity),
              QStringLiteral("Up to 8 colour levels, comma-separated"));
    m_palette = new QComboBox(panel);
    for (coverage::Palette palette : coverage::AllPalettes)
        m_palette->addItem(QString::fromStdString(coverage::paletteName(palette)));
    m_controls.insert(QStringLiteral("cmbPalette"), m_palette);
    connect(m_palette, &QComboBox::activated, this, [this](int index) {
        m_model.setPalette(coverage::AllPalettes[index]);
    });
    form->addRow(QStringLiteral("Colour scale"), m_palette);
    m_hatch = new QCheckBox(QStringLiteral("Hatch cells with model &warnings"), panel);
    m_controls.insert(QStringLiteral("chkHatch"), m_hatch);
    connect(m_hatch, &QCheckBox::toggled, &m_model, &FrmCoverageModel::setChkHatch);
    form->addRow(m_hatch);

    m_run = new QPushButton(QStringLiteral("R&un"), panel);
    m_runNetwork = new QPushButton(QStringLiteral("Run Network"), panel);
    m_runNetwork->setToolTip(QStringLiteral("Runs every site of the sites table and merges their "
                                            "maps (Ctrl+Shift+R)"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"), panel);
    m_progress = new QProgressBar(panel);
    m_status = new QLabel(panel);
    m_status->setWordWrap(true);
    m_warnings = new QLabel(panel);
    m_warnings->setWordWrap(true);
    m_controls.insert(QStringLiteral("lblWarnings"), m_warnings);
    m_controls.insert(QStringLiteral("cmdRun"), m_run);
    m_controls.insert(QStringLiteral("cmdCancel"), m_cancel);
    m_controls.insert(QStringLiteral("cmdRunNetwork"), m_runNetwork);
    m_controls.insert(QStringLiteral("prgRun"), m_progress);
    m_controls.insert(QStringLiteral("lblStatus"), m_status);
    connect(m_run, &QPushButton::clicked, this, [this] { m_model.cmdRun_Click(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_model.cmdCancel_Click(); });
    connect(m_runNetwork, &QPushButton::clicked, this, [this] { m_model.mnuRunNetwork_Click(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_run);
    buttons->addWidget(m_runNetwork);
    buttons->addWidget(m_cancel);
    column->addLayout(buttons);
    column->addWidget(m_progress);
    column->addWidget(m_status);
    column->addWidget(m_warnings);
    column->addStretch(1);
    return panel;
}

QWidget* FrmPlanningMapView::buildLegend() {
    m_legend = new QLabel(m_main);
    m_legend->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_legend->setMinimumWidth(150);
    m_legend->setWordWrap(true);
    m_legend->setContentsMargins(6, 6, 6, 6);
    m_controls.insert(QStringLiteral("lblLegend"), m_legend);
    return m_legend;
}

bool FrmPlanningMapView::eventFilter(QObject* watched, QEvent* event) {
    // Escape ends the current tool; the window stays open.
    if (watched == this && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        emit m_canvas->escapePressed();
        return true;
    }
    if (event->type() == QEvent::FocusOut && m_fields.contains(watched))
        m_model.lostFocus(m_fields.value(watched));
    return QDialog::eventFilter(watched, event);
}

void FrmPlanningMapView::refresh() {
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
    m_runNetwork->setEnabled(m_model.cmdRunEnabled());
    m_cancel->setEnabled(m_model.cmdCancelEnabled());
    m_progress->setValue(m_model.prgRun());
    m_status->setText(m_model.lblStatus());
    m_hatch->setChecked(m_model.chkHatch());
    refreshStyleChoices();
    m_warnings->setText(m_model.lblWarnings());
    m_hover->setText(m_model.lblHover());
    syncResultLayer();
}

void FrmPlanningMapView::refreshStyleChoices() {
    m_quantity->clear();
    for (coverage::MapQuantity quantity : m_model.quantities()) {
        m_quantity->addItem(QString::fromStdString(coverage::quantityName(quantity)),
                            static_cast<int>(quantity));
    }
    m_quantity->setCurrentIndex(m_quantity->findData(static_cast<int>(m_model.quantity())));
    m_quantity->setEnabled(m_quantity->count() > 0); // a network's layer has no quantity choice
    m_palette->setCurrentIndex(static_cast<int>(m_model.palette()));
}

// A new run's map, a site's or a network's, is shown whole.
void FrmPlanningMapView::syncResultLayer() {
    const CoverageRun& run = m_model.run();
    const MapResult* shown = m_model.currentResult();
    if (shown && shown->network && shown->network.get() != m_fittedNetwork) {
        m_fittedNetwork = shown->network.get();
        m_canvas->fit(resultExtent(*shown->grid));
        refreshMarks();
    }
    if (!run.hasMap() || run.mapSerial() == m_shownSerial)
        return;
    m_shownSerial = run.mapSerial();
    m_canvas->fit(resultExtent(run.grid()));
    refreshMarks();
}

void FrmPlanningMapView::refreshMarks() {
    std::vector<MapMark> marks;
    // A transmitter that is a site of the table is drawn and named as that site already.
    const terrain::GeoPoint tx = m_model.run().inputs().tx;
    const MapSitesTools* tools = m_model.sitesTools();
    const bool atSite = tools && tools->siteNear(tx.latDeg, tx.lonDeg, 1e-9) >= 0;
    if (m_model.run().hasMap() && !atSite)
        marks.push_back({tx, QStringLiteral("Tx")});
    m_canvas->setMarks(std::move(marks));
}

void FrmPlanningMapView::attachSitesTools(MapSitesTools& tools) {
    const MapSitesPanels panels = buildMapSitesPanels(tools, m_main);
    addDock(QStringLiteral("dockSites"), QStringLiteral("Sites"), panels.sites, Qt::RightDockWidgetArea);
    addDock(QStringLiteral("dockLinkBudget"), QStringLiteral("Link Budget"), panels.linkBudget,
            Qt::LeftDockWidgetArea);
    addDock(QStringLiteral("dockProfile"), QStringLiteral("Path Profile"), panels.profile,
            Qt::BottomDockWidgetArea);
    // Tabbed with the run and the legend, the map keeps its room; the profile shows up when
    // its tool is chosen.
    const auto dock = [this](const char* name) {
        return static_cast<QDockWidget*>(m_controls.value(QString::fromLatin1(name)));
    };
    m_main->tabifyDockWidget(dock("dockRun"), dock("dockLinkBudget"));
    m_main->tabifyDockWidget(dock("dockLegend"), dock("dockSites"));
    dock("dockRun")->raise();
    dock("dockLegend")->raise();
    QDockWidget* profileDock = dock("dockProfile");
    profileDock->hide();
    connect(&tools, &MapSitesTools::toolChanged, profileDock, [profileDock, &tools] {
        if (tools.tool() == MapSitesTools::Tool::PathProfile)
            profileDock->show();
    });
    connect(m_canvas, &MapCanvas::clicked, &tools,
            [&tools](terrain::GeoPoint at) { tools.mapClicked(at.latDeg, at.lonDeg); });
    connect(m_canvas, &MapCanvas::escapePressed, &tools, &MapSitesTools::escape);
    m_canvas->setGrab([this, &tools](terrain::GeoPoint at, double reachDeg) {
        m_draggedSite = tools.tool() == MapSitesTools::Tool::AddSite
                            ? tools.siteNear(at.latDeg, at.lonDeg, reachDeg)
                            : -1;
        return m_draggedSite >= 0;
    });
    connect(m_canvas, &MapCanvas::dragged, &tools, [this, &tools](terrain::GeoPoint at) {
        tools.dragSite(m_draggedSite, at.latDeg, at.lonDeg);
    });
    // The sites and the profile's path are drawn over the map as they change.
    m_canvas->addOverlay([tools = QPointer<MapSitesTools>(&tools)](
                             QPainter& painter, const geodata::MapCamera& camera, QSizeF size) {
        if (tools)
            drawSitesTools(painter, *tools, [&](double latDeg, double lonDeg) {
                return screenPointOf(camera, size, {latDeg, lonDeg});
            });
    });
    connect(&tools.sites(), &ScreenModel::changed, m_canvas, qOverload<>(&QWidget::update));
    connect(&tools.profile(), &ScreenModel::changed, m_canvas, qOverload<>(&QWidget::update));
}

const FrmPlanningMapView::OpenedLayer* FrmPlanningMapView::opened(int index) {
    const MapLayer& layer = m_layers.at(index);
    const QString key = layerKey(layer, m_model);
    if (const auto it = m_opened.constFind(key); it != m_opened.cend())
        return &*it;
    const CoverageRun& run = m_model.run();
    OpenedLayer entry;
    entry.id = m_nextLayerId++;
    std::string problem;
    switch (layer.kind) {
    case LayerKind::Hillshade:
        if (run.terrain() == nullptr)
            return nullptr; // drawn once a run has chosen the terrain
        entry.tiles = hillshadeTiles(run.sharedTerrain());
        break;
    case LayerKind::Result: {
        const MapResult* result = m_model.result(layer.source);
        if (result == nullptr)
            return nullptr;
        const bool site = result->band == ResultBand::Site;
        entry.tiles = resultTiles(result->grid, result->values(),
                                  [colours = result->colours()](float value) -> QRgb {
                                      const coverage::Rgba colour = colours(value);
                                      return qRgba(colour.red, colour.green, colour.blue,
                                                   colour.alpha);
                                  },
                                  site ? hatchOf(result->grid, result->style) : CellHatch{},
                                  site ? coveredOf(result->grid) : CellInside{});
        break;
    }
    case LayerKind::Raster:
    case LayerKind::Vector: {
        const std::optional<OpenedFile> file = m_files->take(index);
        if (!file)
            return nullptr; // drawn once read
        if (file->raster)
            entry.tiles = rasterTiles(file->raster);
        if (file->vector)
            entry.tiles = vectorTiles(file->vector);
        problem = file->problem.toStdString();
        break;
    }
    }
    const auto it = m_opened.insert(key, entry);
    m_layers.setProblem(index, QString::fromStdString(problem));
    return &*it;
}

void FrmPlanningMapView::syncCanvas() {
    // The tiles of layers removed or coloured anew are let go, and with them their data.
    QSet<QString> keys;
    for (const MapLayer& layer : m_layers.layers())
        keys.insert(layerKey(layer, m_model));
    m_opened.removeIf([&keys](const auto& entry) { return !keys.contains(entry.key()); });
    std::vector<CanvasLayer> shown;
    for (int i = 0; i < m_layers.count(); ++i) {
        if (!m_layers.at(i).visible)
            continue;
        const OpenedLayer* layer = opened(i);
        if (layer != nullptr && layer->tiles)
            shown.push_back({layer->id, layer->tiles, m_layers.at(i).opacityPct / 100.0});
    }
    m_canvas->setLayers(std::move(shown));
}

void FrmPlanningMapView::refreshLayerList() {
    const int current = m_layerList->currentRow();
    const QSignalBlocker block(m_layerList);
    m_layerList->clear();
    for (const MapLayer& layer : m_layers.layers()) {
        auto* item = new QListWidgetItem(layerText(layer), m_layerList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(layer.visible ? Qt::Checked : Qt::Unchecked);
        item->setToolTip(layer.problem.isEmpty() ? layer.source : layer.problem);
    }
    m_controls.value(QStringLiteral("cmdStopReading"))
        ->setEnabled(std::any_of(m_layers.layers().begin(), m_layers.layers().end(),
                                 [](const MapLayer& layer) { return layer.openingPct >= 0; }));
    m_layerList->setCurrentRow(std::clamp(current, 0, m_layers.count() - 1));
    if (m_layerList->currentRow() >= 0) {
        const QSignalBlocker blockSlider(m_opacity);
        m_opacity->setValue(m_layers.at(m_layerList->currentRow()).opacityPct);
    }
}

void FrmPlanningMapView::refreshLegend() {
    const int index = m_layers.legendLayer();
    if (index < 0) {
        m_legend->setText(QStringLiteral("No result shown."));
        return;
    }
    const MapLayer& layer = m_layers.at(index);
    QString html = QStringLiteral("<b>") + layer.legendTitle.toHtmlEscaped() +
                   QStringLiteral("</b><table cellspacing=3>");
    for (const LegendEntry& entry : layer.legend)
        html += QStringLiteral("<tr><td bgcolor=\"%1\" width=24>&nbsp;</td><td>%2</td></tr>")
                    .arg(QColor::fromRgb(entry.rgb).name(), entry.label.toHtmlEscaped());
    m_legend->setText(html + QStringLiteral("</table>"));
}

int FrmPlanningMapView::currentLayer() const {
    return m_layerList->currentRow();
}

void FrmPlanningMapView::addLayerFile() {
    const QStringList paths = QFileDialog::getOpenFileNames(
        this, QStringLiteral("Add Layer"), QString(), LayerFilters);
    for (const QString& path : paths) {
        MapLayer layer;
        layer.kind = isPictureFile(path) ? LayerKind::Raster : LayerKind::Vector;
        layer.source = QFileInfo(path).absoluteFilePath();
        m_layers.add(std::move(layer));
    }
}

void FrmPlanningMapView::exportViewAs() {
    QString filter;
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export View"), QString(),
        QStringLiteral("PNG picture (*.png);;GeoTIFF in Web Mercator (*.tif *.tiff)"), &filter);
    if (path.isEmpty())
        return;
    QString error;
    if (!exportView(path, error))
        QMessageBox::warning(this, QStringLiteral("Export View"),
                             QStringLiteral("The view was not saved: ") + error);
}

bool FrmPlanningMapView::exportView(const QString& path, QString& error) {
    QImage image(m_canvas->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    m_canvas->renderInto(painter, QRectF(QPointF(0, 0), QSizeF(m_canvas->size())));
    painter.end();
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("tif") || suffix == QLatin1String("tiff")) {
        const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
        const std::vector<std::uint8_t> bytes(rgba.constBits(),
                                              rgba.constBits() + rgba.sizeInBytes());
        const terrain::Status status = geodata::writeViewGeoTiff(
            QFile::encodeName(path).toStdString(), bytes, rgba.width(), rgba.height(),
            m_canvas->camera().visible(rgba.width(), rgba.height()));
        error = QString::fromStdString(status.message);
        return status.ok;
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        error = QStringLiteral("the view could not be drawn");
        return false;
    }
    return writeFileAtomically(path, buffer.data(), &error);
}

void FrmPlanningMapView::removeLayer() {
    const int index = currentLayer();
    if (index >= 0 && index < m_layers.count()) {
        m_layers.remove(index);
    }
}

void FrmPlanningMapView::moveLayer(int step) {
    const int index = currentLayer();
    if (m_layers.move(index, index + step))
        m_layerList->setCurrentRow(index + step);
}

PlanningPage FrmPlanningMapView::page() const {
    PlanningPage content;
    content.title = QStringLiteral("Verdan Planning Map");
    QStringList shown;
    for (const MapLayer& layer : m_layers.layers())
        if (layer.visible)
            shown << layer.name;
    content.caption = m_model.mapCaption() + QStringLiteral("\nLayers: ") +
                      shown.join(QStringLiteral(", ")) + QStringLiteral("\nPrinted ") +
                      QDateTime::currentDateTime().toString(Qt::ISODate);
    const int index = m_layers.legendLayer();
    if (index >= 0) {
        content.legendTitle = m_layers.at(index).legendTitle;
        content.legend = m_layers.at(index).legend;
    }
    return content;
}

bool FrmPlanningMapView::renderPages(QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // Lay the page out in points: the text keeps its size on any printer.
    const double scale = device.logicalDpiX() / PointsPerInch;
    painter.scale(scale, scale);
    renderPlanningPage(painter, device.pageLayout().paintRect(QPageLayout::Point), PageTextPt,
                       page(), *m_canvas);
    return painter.end();
}

void FrmPlanningMapView::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(mapPageLayout(QLocale()));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        renderPages(printer);
}

bool FrmPlanningMapView::saveImage(const QString& path, MapFileFormat format, QString& error) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    bool drawn = false;
    if (format == MapFileFormat::Pdf) {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Verdan Planning Map"));
        writer.setPageLayout(mapPageLayout(QLocale()));
        drawn = renderPages(writer);
    } else {
        QImage image(PictureWidthPx, PictureHeightPx, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        renderPlanningPage(painter, QRectF(12, 12, PictureWidthPx - 24, PictureHeightPx - 24),
                           PictureTextPx, page(), *m_canvas);
        painter.end();
        drawn = image.save(&buffer, "PNG");
    }
    if (!drawn) {
        error = QStringLiteral("the map could not be drawn");
        return false;
    }
    return writeFileAtomically(path, buffer.data(), &error);
}

void registerPlanningMapViews(ViewRegistry& views) {
    views.add(QStringLiteral("frmCoverage"), [](ScreenModel& model, QWidget* parent) -> QDialog* {
        return new FrmPlanningMapView(static_cast<FrmCoverageModel&>(model), parent);
    });
}

} // namespace verdan
