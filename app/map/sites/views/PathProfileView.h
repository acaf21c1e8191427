#pragma once

#include "PathProfileModel.h"

#include <QHash>
#include <QWidget>

class QLabel;
class QPushButton;

namespace verdan {

/// The profile of the path tool: distance and elevation axes, the terrain raised by the
/// earth's bulge above the curved sea level, the antennas, the line of sight, the first
/// Fresnel zone and the points that obstruct them.
class PathProfileChart : public QWidget {
    Q_OBJECT
public:
    explicit PathProfileChart(const PathProfileModel& model, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {640, 300}; }

    /// Colours of the marks, for the legend and the tests.
    static const QColor TerrainColour;
    static const QColor SightColour;
    static const QColor FresnelColour;
    static const QColor BlockedColour;
    static const QColor IntrudingColour;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const PathProfileModel& m_model;
};

/// The path profile tool's panel: the two ends and heights, the frequency, "Profile" and
/// "Send to Point-to-Point Form", the chart, the summary and the table with the link budget.
class PathProfileView : public QWidget {
    Q_OBJECT
public:
    explicit PathProfileView(PathProfileModel& model, QWidget* parent = nullptr);

    /// The widget of a control by its name ("txtLatA", "cmdProfile", "chart", ...).
    QWidget* control(const QString& name) const { return m_controls.value(name); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildInputs();
    void refresh();

    PathProfileModel& m_model;
    QHash<QString, QWidget*> m_controls;
    QHash<QObject*, PathProfileModel::Field> m_fields;
    PathProfileChart* m_chart;
    QLabel* m_summary = nullptr;
    QLabel* m_table = nullptr;
    QPushButton* m_send = nullptr;
};

} // namespace verdan
