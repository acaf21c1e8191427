#pragma once

#include "Prompter.h"
#include "ScreenModel.h"

#include <verdan/coverage/Sites.h>
#include <verdan/radio/AntennaPattern.h>

#include <QStringList>
#include <optional>

namespace verdan {

/// The sites table "frmSites" beside the planning map: the network's sites file, every column
/// of it, edited cell by cell with the sites file's own checks, rows added (also by a click on
/// the map), moved (by dragging on the map) and removed, and saved back as the same CSV,
/// atomically. Closing with unsaved changes asks whether to save them. The selected site's
/// antenna pattern is read for a preview.
class SitesTableModel : public ScreenModel {
    Q_OBJECT
public:
    explicit SitesTableModel(Prompter& prompter, QObject* parent = nullptr);
    QString screenName() const override { return QStringLiteral("frmSites"); }

    // ---- The table ----
    /// The columns shown: every column of a sites file, in the file's order.
    static int columnCount() { return coverage::SiteColumnCount; }
    static QString columnName(int column);
    int rowCount() const { return static_cast<int>(m_file.sites.size()); }
    /// A cell as the file writes it, powers (dBm) and gains (dBi) to a hundredth of a dB;
    /// empty for an empty cell.
    QString cell(int row, int column) const;
    /// The sites as they are now, for the map.
    const std::vector<coverage::Site>& sites() const { return m_file.sites; }
    /// The sites file; empty for a table not yet saved.
    QString filePath() const { return m_path; }
    bool dirty() const { return m_dirty; }
    int selectedRow() const { return m_selected; }
    void setSelectedRow(int row);
    /// The selected site's antenna pattern and how it is mounted; empty without one (or when
    /// the file cannot be read: lblAntenna() says why).
    const std::optional<radio::AntennaPattern>& pattern() const { return m_pattern; }
    radio::AntennaPointing pointing() const;
    QString lblAntenna() const { return m_antennaLine; }

    // ---- Editing ----
    /// Replaces a cell when the row still reads as a site of the file; otherwise tells why
    /// (the column and the fault) and keeps the cell. Returns whether it was replaced.
    bool setCell(int row, int column, const QString& text);
    /// A new site at a point (a click on the map), named "Site N" with the first free N;
    /// returns its row, which becomes the selected one.
    int addSite(double latDeg, double lonDeg);
    /// Moves a site (a drag on the map); a point off the earth is refused.
    bool moveSite(int row, double latDeg, double lonDeg);
    void removeSite(int row);
    /// "Add": a new site at the selected site's position (another sector there), or at 0, 0.
    void cmdAdd_Click();

    // ---- Handlers ----
    /// Opens a sites file (after the unsaved-changes question); a bad file is told and the
    /// table stays as it was.
    void mnuOpen_Click();
    bool openFile(const QString& path);
    /// Saves to the file it came from (asks for a name the first time); false when not saved.
    bool mnuSave_Click();
    bool mnuSaveAs_Click();
    /// Asks about unsaved changes: Yes saves (and closes only when saved), No drops them,
    /// Cancel keeps the table open.
    void closeBoxClicked() override;
    /// The same question for the window that holds the table: true when it may close.
    bool confirmClose() { return maySetAside(); }

signals:
    /// A site was added, moved, removed or edited, or another file was opened.
    void sitesChanged();

private:
    bool saveTo(const QString& path);
    bool maySetAside();
    void edited(int row);
    void loadPattern();

    Prompter& m_prompter;
    coverage::SitesFile m_file;
    QString m_path;
    bool m_dirty = false;
    int m_selected = -1;
    std::optional<radio::AntennaPattern> m_pattern;
    QString m_antennaLine;
};

} // namespace verdan
