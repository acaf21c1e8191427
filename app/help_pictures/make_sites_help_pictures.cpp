// make-sites-help-pictures OUT_FOLDER DATA_FOLDER: draws the help's pictures of the link
// budget group, the sites table and the path profile tool offscreen, from the demo raster and the synthetic
// demo antennas in DATA_FOLDER, as the program shows them. Run by the build.
#include "LinkBudgetGroupView.h"
#include "PathLossService.h"
#include "PathProfileView.h"
#include "SitesTableView.h"

#include <verdan/terrain/RasterSource.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using namespace verdan;

/// A prompter for a program that shows nothing and asks nothing.
class SilentPrompter : public Prompter {
public:
    MsgAnswer message(const QString& text, const QString&, MsgButtons, MsgIcon) override {
        std::fprintf(stderr, "make-sites-help-pictures: %s\n", qPrintable(text));
        return MsgAnswer::Cancel;
    }
    bool input(const QString&, const QString&, QString&) override { return false; }
    FileAnswer saveFile(const FileRequest&) override { return {}; }
    FileAnswer openFile(const FileRequest&) override { return {}; }
    void runModal(ScreenModel&) override {}
    void setBusy(bool) override {}
    void showHelp(const QString&, int) override {}
    bool openDocument(const QString&) override { return false; }
    bool startProgram(const QString&) override { return false; }
};

bool save(QWidget& widget, const QSize& size, const QString& path) {
    widget.resize(size);
    widget.show();
    QImage image(size, QImage::Format_RGB32);
    widget.render(&image);
    if (image.save(path))
        return true;
    std::fprintf(stderr, "make-sites-help-pictures: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-sites-help-pictures OUT_FOLDER DATA_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QDir data(QString::fromLocal8Bit(argv[2]));
    if (!QDir().mkpath(out.path()))
        return 1;
    MemorySettingsStore store;
    SilentPrompter prompter;

    LinkBudgetModel budget(store, prompter, QStringLiteral("Verdan"));
    budget.setText(LinkBudgetModel::txtPower, QStringLiteral("50"));
    budget.setText(LinkBudgetModel::txtTxLoss, QStringLiteral("2"));
    budget.setText(LinkBudgetModel::txtAntennaFile, data.filePath(QStringLiteral("demo-antennas-synthetic/panel-65-synthetic.msi")));
    budget.setOptAntennaFile(true);
    budget.setText(LinkBudgetModel::txtAzimuth, QStringLiteral("250"));
    budget.setText(LinkBudgetModel::txtTilt, QStringLiteral("3"));
    budget.setText(LinkBudgetModel::txtRxLoss, QStringLiteral("1"));
    budget.setText(LinkBudgetModel::txtThreshold, QStringLiteral("-95"));
    if (!budget.inputs())
        return 1;
    LinkBudgetGroupView budgetView(budget);

    terrain::Status opened;
    std::shared_ptr<const terrain::TerrainSource> raster = terrain::openRaster(
        data.filePath(QStringLiteral("demo-raster-synthetic.tif")).toStdString(), {}, opened);
    if (!raster) {
        std::fprintf(stderr, "make-sites-help-pictures: %s\n", opened.message.c_str());
        return 1;
    }
    ProgramState state;
    PathProfileServices services;
    services.terrain = [&](QString&) { return raster; };
    services.budget = [&] { return budget.inputs(); };
    PropagationModel model(prompter);
    services.model = pathLossService(model, [] {
        PointToPointInputs radio;
        radio.horizontal = false;
        radio.eps = 15;
        radio.sgmSPerM = 0.005;
        return radio;
    });
    PathProfileModel profile(state, prompter, services);
    profile.useSite(PathProfileModel::EndA, QStringLiteral("Plains"), 40.05, -105.26, 40);
    profile.useSite(PathProfileModel::EndB, QStringLiteral("Ridge"), 39.97, -105.47, 10);
    if (!profile.cmdProfile_Click())
        return 1;
    PathProfileView profileView(profile);

    // A small network around the demo path: a two-sector mast on the plains and a site in
    // the hills, the sectors with the demo panel.
    QTemporaryDir folder;
    const QString sitesPath = folder.filePath(QStringLiteral("network.csv"));
    QFile sitesFile(sitesPath);
    const QString panelName = QStringLiteral("panel-65-synthetic.msi");
    if (!folder.isValid() || !sitesFile.open(QIODevice::WriteOnly) ||
        !QFile::copy(data.filePath(QStringLiteral("demo-antennas-synthetic/") + panelName), folder.filePath(panelName)))
        return 1;
    const QByteArray panel = panelName.toUtf8();
    sitesFile.write("name,lat,lon,height_m,power,tx_loss,antenna,azimuth,tilt,freq_mhz\n"
                    "Plains_W,40.05,-105.26,40,50W,2," + panel + ",250,3,450\n"
                    "Plains_N,40.05,-105.26,40,50W,2," + panel + ",10,3,450\n"
                    "Ridge,39.97,-105.47,10,20W,1,,,,450\n");
    sitesFile.close();
    SitesTableModel sites(prompter);
    if (!sites.openFile(sitesPath))
        return 1;
    sites.setSelectedRow(0);
    SitesTableView sitesView(sites);

    const bool ok = save(sitesView, {760, 480}, out.filePath(QStringLiteral("sites-table.png"))) &&
                    save(budgetView, {380, 480}, out.filePath(QStringLiteral("link-budget.png"))) &&
                    save(profileView, {1000, 560}, out.filePath(QStringLiteral("path-profile.png")));
    return ok ? 0 : 1;
}
