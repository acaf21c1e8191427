#pragma once

#include "AreaResults.h"
#include "Prompter.h"
#include "ResultsGraph.h"
#include "ScreenModel.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace verdan {

/// The file formats the graph can be saved in.
enum class GraphImageFormat { Png, Svg, Pdf };

/// What only the view can do with the drawn chart: print it and write it as an image.
class GraphOutput {
public:
    virtual ~GraphOutput() = default;
    /// Asks for a printer with the print dialog and prints the chart on it; the printer's
    /// settings are those of a fresh printer each time, so nothing of them is kept.
    virtual void print() = 0;
    /// Writes the chart to `path` in `format`; false with `error` set when that failed.
    virtual bool saveImage(const QString& path, GraphImageFormat format, QString& error) = 0;
};

/// The results graph window "frmGraph": one line per active confidence level and one for the
/// free-space loss of the last normal area run, with axis titles, three title lines and a
/// legend in series order. The chart itself (`CTWXGraph`) is drawn by the view from this
/// model's state.
class FrmGraphModel : public ScreenModel {
    Q_OBJECT
public:
    /// `results` and `prompter` must outlive the window.
    FrmGraphModel(const AreaResults& results, Prompter& prompter, QObject* parent = nullptr);

    QString screenName() const override { return QStringLiteral("frmGraph"); }

    /// Builds the lines, titles and legend from the results.
    void Form_Load();

    /// The lines, in series order (levels, then free space).
    const std::vector<GraphSeries>& series() const { return m_series; }
    /// Axis 0 is the distance axis, axis 1 the loss axis.
    static QString axisTitle(int axis);
    /// The three title lines: the two summaries of the run, then "Verdan User Area Mode".
    QStringList titleLines() const { return m_titleLines; }
    /// The legend text: every series name followed by a line break, in series order.
    QString legendText() const { return m_legendText; }
    /// What the pointer is on: a series with its distance and loss, or empty.
    QString lblHover() const { return m_hover; }

    /// The view that prints and writes images; nullptr when none is attached.
    void setOutput(GraphOutput* output) { m_output = output; }

    /// "OK": closes the window.
    void cmdOK_Click() { requestClose(); }
    /// "&Close": closes the window.
    void mnuFileClose_Click() { requestClose(); }
    /// "&Print": prints the chart through the print dialog.
    void mnuFilePrint_Click();
    /// "Save Image...": asks for a file (PNG, SVG or PDF) and writes the chart there. The
    /// format is that of the file name's suffix when it names one, else that of the chosen
    /// filter, whose suffix is then appended. A failure is shown with the file and the reason.
    void mnuFileSaveImage_Click();
    /// The pointer entered (`entered` true) or left a line: `series` index, at `distKm` (km).
    /// The read-out gives the line's loss at that distance, not the pointer's height; a
    /// distance outside the line's points reads as its first or last point.
    void CTWXGraph_Hover(int series, double distKm, bool entered);

    /// The filters of the "Save Image..." dialog, in GraphImageFormat order.
    static QStringList imageFilters();

private:
    const AreaResults& m_results;
    Prompter& m_prompter;
    GraphOutput* m_output = nullptr;
    std::vector<GraphSeries> m_series;
    QStringList m_titleLines;
    QString m_legendText;
    QString m_hover;
};

} // namespace verdan
