#include "FrmGraphModel.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace verdan {

namespace {

const QString kSaveImageTitle = QStringLiteral("Save Image");

struct FormatInfo {
    GraphImageFormat format;
    const char* suffix;
};

constexpr FormatInfo kFormats[] = {
    {GraphImageFormat::Png, "png"}, {GraphImageFormat::Svg, "svg"}, {GraphImageFormat::Pdf, "pdf"}};

} // namespace

FrmGraphModel::FrmGraphModel(const AreaResults& results, Prompter& prompter, QObject* parent)
    : ScreenModel(parent), m_results(results), m_prompter(prompter) {
    setCaption(QStringLiteral("User Area Model"));
}

void FrmGraphModel::Form_Load() {
    m_series = graphSeries(m_results);
    m_titleLines = {m_results.graphTitle1, m_results.graphTitle2,
                    QStringLiteral("Verdan User Area Mode")};
    m_legendText.clear();
    for (const GraphSeries& line : m_series)
        m_legendText += line.name + QStringLiteral("\r\n");
    m_hover.clear();
    emit changed();
}

QString FrmGraphModel::axisTitle(int axis) {
    return axis == 0 ? QStringLiteral("Distance, Km") : QStringLiteral("Transmission Loss (dB)");
}

QStringList FrmGraphModel::imageFilters() {
    return {QStringLiteral("PNG Image (*.png)"), QStringLiteral("SVG Image (*.svg)"),
            QStringLiteral("PDF Document (*.pdf)")};
}

void FrmGraphModel::mnuFilePrint_Click() {
    if (m_output)
        m_output->print();
}

void FrmGraphModel::mnuFileSaveImage_Click() {
    FileRequest request;
    request.caption = kSaveImageTitle;
    request.startFolder = QDir::homePath();
    request.filters = imageFilters();
    request.filterIndex = 0;
    request.proposedName = QStringLiteral("verdan-graph.png");
    const FileAnswer answer = m_prompter.saveFile(request);
    if (answer.path.isEmpty())
        return;

    QString path = answer.path;
    const QString suffix = QFileInfo(path).suffix().toLower();
    const FormatInfo* chosen = nullptr;
    for (const FormatInfo& info : kFormats) {
        if (suffix == QLatin1String(info.suffix))
            chosen = &info;
    }
    if (!chosen) {
        const int index =
            answer.filterIndex >= 0 && answer.filterIndex < 3 ? answer.filterIndex : 0;
        chosen = &kFormats[index];
        path += QLatin1Char('.') + QLatin1String(chosen->suffix);
        if (!mayReplace(m_prompter, path, kSaveImageTitle))
            return;
    }
    if (!m_output) {
        inform(m_prompter, QStringLiteral("The graph cannot be saved: it is not drawn."),
               kSaveImageTitle, MsgIcon::Warning);
        return;
    }
    QString error;
    if (!m_output->saveImage(path, chosen->format, error))
        inform(m_prompter,
               QStringLiteral("Cannot save the graph to \"") + path + QStringLiteral("\": ") +
                   error,
               kSaveImageTitle, MsgIcon::Warning);
}

void FrmGraphModel::CTWXGraph_Hover(int series, double distKm, bool entered) {
    if (!entered || series < 0 || static_cast<std::size_t>(series) >= m_series.size()) {
        m_hover.clear();
    } else {
        const GraphSeries& line = m_series[static_cast<std::size_t>(series)];
        if (!line.distKm.empty())
            distKm = std::clamp(distKm, line.distKm.front(), line.distKm.back());
        m_hover = line.name + QStringLiteral(": ") + QString::number(distKm, 'f', 1) +
                  QStringLiteral(" km, ") +
                  QString::number(lossAtDistanceDb(line, distKm), 'f', 1) + QStringLiteral(" dB");
    }
    emit changed();
}

} // namespace verdan
