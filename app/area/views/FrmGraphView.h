#pragma once

#include "FrmGraphModel.h"
#include "ViewRegistry.h"

#include <QDialog>

class QChart;
class QChartView;
class QLabel;
class QPainter;
class QPrinter;
class QRectF;

namespace verdan {

/// The results graph window: a Qt Charts line chart mirroring FrmGraphModel, with the
/// "&File" menu ("&Print", "Save Image...", "&Close") and the OK button.
class FrmGraphView : public QDialog, public GraphOutput {
    Q_OBJECT
public:
    explicit FrmGraphView(FrmGraphModel& model, QWidget* parent = nullptr);
    ~FrmGraphView() override;

    /// The chart drawn (its series, axes, title and legend).
    QChart* chart() const;
    /// The text under the chart that names what the pointer is on.
    QString hoverText() const;

    /// Draws the chart into `target` of `painter`.
    void renderChart(QPainter& painter, const QRectF& target);
    /// Prints the chart on `printer`, scaled to its page; false when it cannot be painted.
    bool printTo(QPrinter& printer);

    void print() override;
    bool saveImage(const QString& path, GraphImageFormat format, QString& error) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool drawImage(QIODevice& device, GraphImageFormat format);
    void buildChart();
    /// The pointer moved to `viewportPos` on the chart: the read-out names the line nearest to
    /// it, at the pointer's distance kept within that line's first and last point.
    void pointerAt(const QPointF& viewportPos);
    void showHover(int series, double distKm);
    void refresh();

    FrmGraphModel& m_model;
    QChartView* m_chartView;
    QLabel* m_hover;
};

/// Registers the view of "frmGraph".
void registerGraphViews(ViewRegistry& views);

} // namespace verdan
