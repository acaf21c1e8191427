#pragma once

#include "CoverageMapPainter.h"
#include "FrmCoverageModel.h"
#include "ViewRegistry.h"

#include <QDialog>
#include <QHash>
#include <QLocale>
#include <QPageSize>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPagedPaintDevice;
class QProgressBar;
class QPushButton;
class QSlider;

namespace verdan {

/// The map of a coverage run: hillshade, colours, ticks, scale bar, marks and legend. The
/// mouse wheel zooms about the pointer, dragging pans, and the pointer's position goes to
/// the model's hover readout.
class CoverageMapWidget : public QWidget {
    Q_OBJECT
public:
    explicit CoverageMapWidget(FrmCoverageModel& model, QWidget* parent = nullptr);

    /// Rebuilds the images when the model's map changed.
    void refresh();
    /// Opacity of the colours over the hillshade, 0..1.
    void setOpacity(double opacity);
    /// What the map draws.
    const MapScene& scene() const { return m_scene; }
    /// Which part of the earth the frame shows.
    const MapViewport& viewport() const { return m_viewport; }
    /// The pixel of the widget where `at` is drawn.
    QPointF pixelOf(const terrain::GeoPoint& at) const;
    /// The map's frame in the widget: the legend and the tick labels lie outside it.
    QRectF frame() const;
    /// Shows the whole map again after zooming and panning.
    void fit();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool hasMap() const { return m_scene.grid != nullptr; }

    FrmCoverageModel& m_model;
    MapScene m_scene;
    MapViewport m_viewport;
    int m_revision = -1;
    int m_mapSerial = 0;
    bool m_userMoved = false;
    std::optional<QPointF> m_dragFrom;
};

/// What a page of a map shows: a title, the map and a caption with every input of its run.
struct MapPage {
    QString title;
    QString caption;
    const MapScene& scene;
};

/// The paper of a printed or PDF map where `locale` is used: US Letter in the Americas that use
/// it, A4 elsewhere.
QPageSize::PageSizeId paperForLocale(const QLocale& locale);

/// Draws `content` on `page` (in the painter's units): the title at the top, the map with its
/// ticks, scale bar and legend, and the caption at the bottom, the text `textPx` units high.
void renderMapPage(QPainter& painter, const QRectF& page, int textPx, const MapPage& content);

/// The coverage window: the new inputs, Run and Cancel with a progress bar, the map and the
/// hover readout; "&File" offers "Save Map...", "&Print..." and "&Close".
class FrmCoverageView : public QDialog, public MapOutput {
    Q_OBJECT
public:
    explicit FrmCoverageView(FrmCoverageModel& model, QWidget* parent = nullptr);
    ~FrmCoverageView() override;

    /// The widget of a control by its name ("txtRadius", "cmdRun", "prgRun", "map", ...).
    QWidget* control(const QString& name) const { return m_controls.value(name); }

    void print() override;
    bool saveImage(const QString& path, MapFileFormat format, QString& error) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildInputs();
    void refresh();
    MapPage page() const;
    bool renderPages(QPagedPaintDevice& device);

    FrmCoverageModel& m_model;
    QHash<QString, QWidget*> m_controls;
    QHash<QObject*, FrmCoverageModel::Field> m_fields;
    CoverageMapWidget* m_map;
    QComboBox* m_erpUnit = nullptr;
    QPushButton* m_run = nullptr;
    QPushButton* m_cancel = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_warnings = nullptr;
    QCheckBox* m_hatch = nullptr;
    QLabel* m_hover = nullptr;
    QLabel* m_source = nullptr;
    QLabel* m_inputsChanged = nullptr;
};

/// Registers the view of "frmCoverage".
void registerCoverageViews(ViewRegistry& views);

} // namespace verdan
