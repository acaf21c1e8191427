#pragma once

#include "FrmCoverageModel.h"
#include "LayerFiles.h"
#include "LayerStack.h"
#include "MapCanvas.h"
#include "ViewRegistry.h"

#include <QDialog>
#include <QHash>
#include <QLocale>
#include <QPageSize>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QMainWindow;
class QPagedPaintDevice;
class QProgressBar;
class QPushButton;
class QSlider;

namespace verdan {

/// The paper of a printed or PDF map where `locale` is used: US Letter in the Americas that use
/// it, A4 elsewhere.
QPageSize::PageSizeId paperForLocale(const QLocale& locale);

/// What a printed or PDF page of the planning map holds besides the map.
struct PlanningPage {
    QString title;
    /// Every input of the runs shown, and the date.
    QString caption;
    QString legendTitle;
    std::vector<LegendEntry> legend;
};

/// Draws a page: the title at the top, the map as `canvas` shows it (with its scale bar and
/// north arrow) with the legend beside it on the right, and the caption at the bottom, the
/// text `textPx` units high.
void renderPlanningPage(QPainter& painter, const QRectF& page, int textPx,
                        const PlanningPage& content, MapCanvas& canvas);

/// The "Planning Map" window: the map with its layers in the middle; docks for the layers
/// (visibility, opacity, order, files added and removed), the run's inputs with Run, Cancel
/// and progress, and the legend of the visible result; the hover read-out in the status bar.
/// Not modal. Every action is in a menu with a shortcut; Escape ends the current tool
/// instead of closing the window.
class FrmPlanningMapView : public QDialog, public MapOutput {
    Q_OBJECT
public:
    explicit FrmPlanningMapView(FrmCoverageModel& model, QWidget* parent = nullptr);
    ~FrmPlanningMapView() override;

    /// The widget of a control by its name ("txtRadius", "cmdRun", "map", "lstLayers", ...).
    QWidget* control(const QString& name) const { return m_controls.value(name); }
    MapCanvas& canvas() { return *m_canvas; }

    void print() override;
    bool saveImage(const QString& path, MapFileFormat format, QString& error) override;
    /// Writes the map as the window shows it now: a PNG picture, or a GeoTIFF in the display
    /// projection when `path` ends in .tif or .tiff; false with `error` set on failure.
    bool exportView(const QString& path, QString& error);

    /// Closing keeps the window's arrangement in the model, which remembers it.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct OpenedLayer {
        quint64 id = 0;
        std::shared_ptr<const TileLayer> tiles;
    };

    void restoreLayout();
    void buildMenus();
    void buildMap();
    QWidget* buildLayers();
    QWidget* buildRun();
    QWidget* buildLegend();
    void addDock(const QString& name, const QString& title, QWidget* content,
                 Qt::DockWidgetArea area);
    void refresh();
    void refreshLayerList();
    void refreshLegend();
    void syncCanvas();
    void refreshStyleChoices();
    void syncResultLayer();
    void refreshMarks();
    void attachSitesTools(MapSitesTools& tools);
    const OpenedLayer* opened(int index);
    void addLayerFile();
    void exportViewAs();
    void removeLayer();
    void moveLayer(int step);
    int currentLayer() const;
    PlanningPage page() const;
    bool renderPages(QPagedPaintDevice& device);

    FrmCoverageModel& m_model;
    LayerStack& m_layers;
    QMainWindow* m_main = nullptr;
    MapCanvas* m_canvas = nullptr;
    LayerFiles* m_files = nullptr;
    QHash<QString, QWidget*> m_controls;
    QHash<QObject*, FrmCoverageModel::Field> m_fields;
    QHash<QString, OpenedLayer> m_opened;
    quint64 m_nextLayerId = 1;
    int m_shownSerial = -1;
    /// The merged map last shown whole (only compared, never read).
    const coverage::NetworkGrid* m_fittedNetwork = nullptr;
    int m_draggedSite = -1;

    QListWidget* m_layerList = nullptr;
    QSlider* m_opacity = nullptr;
    QLabel* m_legend = nullptr;
    QComboBox* m_erpUnit = nullptr;
    QPushButton* m_run = nullptr;
    QPushButton* m_runNetwork = nullptr;
    QPushButton* m_cancel = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_warnings = nullptr;
    QCheckBox* m_hatch = nullptr;
    QComboBox* m_quantity = nullptr;
    QComboBox* m_palette = nullptr;
    QLabel* m_hover = nullptr;
    QLabel* m_source = nullptr;
    QLabel* m_inputsChanged = nullptr;
};

/// Registers the view of "frmCoverage": the planning map.
void registerPlanningMapViews(ViewRegistry& views);

} // namespace verdan
