#include "FrmProfileView.h"

#include "FrmDriveSelectView.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace verdan {

namespace {

using Coordinate = FrmProfileModel::Coordinate;

const std::array<const char*, FrmProfileModel::CoordinateCount> BoxNames = {
    "txtTransLat", "txtTransLon", "txtRecLat", "txtRecLon"};
const std::array<const char*, FrmProfileModel::CoordinateCount> DdNames = {"txtTLat", "txtTLon",
                                                                           "txtRLat", "txtRLon"};
const std::array<const char*, 4> BoxHeadings = {"Deg", "Min", "Sec", "Hem"};

/// What box `index` of a latitude (row 0) or longitude (row 1) holds.
QString boxToolTip(int row, int index) {
    switch (index) {
    case 0:
        return QStringLiteral("Degrees");
    case 1:
        return QStringLiteral("Minutes");
    case 2:
        return QStringLiteral("Seconds");
    default:
        return row == 0 ? QStringLiteral("Hemisphere: N or S")
                        : QStringLiteral("Hemisphere: E or W");
    }
}

} // namespace

FrmProfileView::FrmProfileView(FrmProfileModel& model, QWidget* parent)
    : QDialog(parent), m_model(model) {
    bindDialogToModel(*this, model);
    setWindowTitle(model.caption());

    auto* menuBar = new QMenuBar(this);
    auto* file = menuBar->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Close"), this, [this] { m_model.mnuFileExit_Click(); });
    auto* edit = menuBar->addMenu(QStringLiteral("&Edit"));
    edit->addAction(QStringLiteral("&DMS"), this, [this] { m_model.mnuEditDMS_Click(); });
    edit->addAction(QStringLiteral("&DD"), this, [this] { m_model.mnuEditDD_Click(); });
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, &m_model, &FrmProfileModel::showHelp);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    const std::array<QString, 2> frames = {QStringLiteral("Transmitter"),
                                           QStringLiteral("Receiver")};
    for (int f = 0; f < 2; ++f) {
        auto* frame = new QGroupBox(frames.at(static_cast<std::size_t>(f)), this);
        frame->setObjectName(QStringLiteral("Frame%1").arg(f + 1));
        auto* grid = new QGridLayout(frame);
        // Degrees, minutes and seconds share their columns with the decimal box; the
        // hemisphere stays in view in both views.
        for (int i = 0; i < 4; ++i) {
            auto* heading = new QLabel(QString::fromLatin1(BoxHeadings.at(std::size_t(i))), frame);
            heading->setAlignment(Qt::AlignCenter);
            grid->addWidget(heading, 0, 1 + i);
            if (i < 3)
                m_dmsHeadings.push_back(heading);
        }
        for (int row = 0; row < 2; ++row) {
            const int c = f * 2 + row;
            auto* label = new QLabel(
                row == 0 ? QStringLiteral("Latitude") : QStringLiteral("Longitude"), frame);
            grid->addWidget(label, row + 1, 0);
            const QString name = QString::fromLatin1(BoxNames.at(static_cast<std::size_t>(c)));
            for (int i = 0; i < 4; ++i) {
                QLineEdit* box = addBox(name + QString::number(i), i == 3 ? 32 : 52);
                box->setParent(frame);
                box->setToolTip(boxToolTip(row, i));
                m_boxes.at(static_cast<std::size_t>(c)).at(static_cast<std::size_t>(i)) = box;
                grid->addWidget(box, row + 1, 1 + i);
            }
            QLineEdit* dd =
                addBox(QString::fromLatin1(DdNames.at(static_cast<std::size_t>(c))), 110);
            dd->setParent(frame);
            dd->setToolTip(QStringLiteral("Decimal degrees"));
            m_dd.at(static_cast<std::size_t>(c)) = dd;
            grid->addWidget(dd, row + 1, 1, 1, 3);
        }
        grid->setColumnStretch(5, 1);
        layout->addWidget(frame);
    }

    auto* bottom = new QHBoxLayout;
    auto* terrain = new QGroupBox(QStringLiteral("Terrain Handler"), this);
    terrain->setObjectName(QStringLiteral("Frame3"));
    auto* terrainLayout = new QVBoxLayout(terrain);
    const std::array<QString, 3> options = {QStringLiteral("Quarn"), QStringLiteral("Globe"),
                                            QStringLiteral("Raster")};
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(options.at(static_cast<std::size_t>(i)), terrain);
        option->setObjectName(QStringLiteral("optDorvex%1").arg(i));
        m_controls.insert(option->objectName(), option);
        m_dorvex.at(static_cast<std::size_t>(i)) = option;
        terrainLayout->addWidget(option);
        // Only a change of the choice counts as a click.
        connect(option, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on && !m_refreshing)
                m_model.optDorvex_Click(i);
        });
    }
    addRasterChooser(*terrainLayout, *terrain);
    bottom->addWidget(terrain);
    bottom->addStretch();
    auto* buttons = new QVBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdCalc"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_controls.insert(ok->objectName(), ok);
    m_controls.insert(cancel->objectName(), cancel);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    bottom->addLayout(buttons);
    layout->addLayout(bottom);
    connect(ok, &QPushButton::clicked, this, [this] {
        // The box being edited loses its focus first, as when the user clicks the button.
        if (QWidget* focused = focusWidget())
            focused->clearFocus();
        m_model.cmdCalc_Click();
    });
    connect(cancel, &QPushButton::clicked, this, [this] { m_model.cmdCancel_Click(); });
    connect(&m_model, &ScreenModel::changed, this, &FrmProfileView::refresh);
    refresh();
}

void FrmProfileView::addRasterChooser(QVBoxLayout& layout, QWidget& frame) {
    m_raster = new QLabel(&frame);
    m_raster->setObjectName(QStringLiteral("lblRaster"));
    m_raster->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_controls.insert(m_raster->objectName(), m_raster);
    layout.addWidget(m_raster);
    auto* row = new QHBoxLayout;
    auto* file = new QPushButton(QStringLiteral("Raster &File..."), &frame);
    file->setObjectName(QStringLiteral("cmdRasterFile"));
    auto* folder = new QPushButton(QStringLiteral("Raster F&older..."), &frame);
    folder->setObjectName(QStringLiteral("cmdRasterFolder"));
    for (QPushButton* button : {file, folder}) {
        m_controls.insert(button->objectName(), button);
        row->addWidget(button);
    }
    layout.addLayout(row);
    connect(file, &QPushButton::clicked, this, [this] { m_model.cmdRasterFile_Click(); });
    connect(folder, &QPushButton::clicked, this, [this] { m_model.cmdRasterFolder_Click(); });
}

QLineEdit* FrmProfileView::addBox(const QString& name, int width) {
    auto* box = new QLineEdit(this);
    box->setObjectName(name);
    box->setFixedWidth(width);
    box->installEventFilter(this);
    m_controls.insert(name, box);
    connect(box, &QLineEdit::textEdited, this, [this, box](const QString& text) {
        for (int c = 0; c < FrmProfileModel::CoordinateCount; ++c) {
            const auto coordinate = static_cast<Coordinate>(c);
            if (m_dd.at(static_cast<std::size_t>(c)) == box)
                m_model.setDdBox(coordinate, text);
            for (int i = 0; i < 4; ++i) {
                if (m_boxes.at(static_cast<std::size_t>(c)).at(static_cast<std::size_t>(i)) == box)
                    m_model.setBox(coordinate, i, text);
            }
        }
    });
    return box;
}

bool FrmProfileView::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && event->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, box, &QLineEdit::selectAll);
    } else if (box && event->type() == QEvent::FocusOut) {
        for (int c = 0; c < FrmProfileModel::CoordinateCount; ++c) {
            const auto coordinate = static_cast<Coordinate>(c);
            if (m_dd.at(static_cast<std::size_t>(c)) == box)
                m_model.ddBox_LostFocus(coordinate);
            for (int i = 0; i < 4; ++i) {
                if (m_boxes.at(static_cast<std::size_t>(c)).at(static_cast<std::size_t>(i)) == box)
                    m_model.box_LostFocus(coordinate, i);
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmProfileView::refresh() {
    m_refreshing = true;
    const bool switched = m_dd.front()->isVisibleTo(this) != m_model.ddVisible();
    setWindowTitle(m_model.caption());
    for (int c = 0; c < FrmProfileModel::CoordinateCount; ++c) {
        const auto coordinate = static_cast<Coordinate>(c);
        for (int i = 0; i < 4; ++i) {
            QLineEdit* box =
                m_boxes.at(static_cast<std::size_t>(c)).at(static_cast<std::size_t>(i));
            if (box->text() != m_model.box(coordinate, i))
                box->setText(m_model.box(coordinate, i));
            box->setVisible(i == 3 || m_model.dmsVisible());
        }
        QLineEdit* dd = m_dd.at(static_cast<std::size_t>(c));
        if (dd->text() != m_model.ddBox(coordinate))
            dd->setText(m_model.ddBox(coordinate));
        dd->setVisible(m_model.ddVisible());
    }
    for (QLabel* heading : m_dmsHeadings)
        heading->setVisible(m_model.dmsVisible());
    m_dorvex.at(static_cast<std::size_t>(std::clamp(m_model.optDorvex(), 0, 2)))->setChecked(true);
    m_raster->setText(m_model.lblRaster().isEmpty() ? QStringLiteral("(no raster chosen)")
                                                    : m_model.lblRaster());
    m_refreshing = false;
    // The dialog takes the size of the view shown, also smaller again.
    if (switched && isVisible())
        resize(sizeHint());
}

void registerProfileViews(ViewRegistry& views) {
    views.add(QStringLiteral("frmProfile"), [](ScreenModel& model, QWidget* parent) {
        return new FrmProfileView(static_cast<FrmProfileModel&>(model), parent);
    });
    views.add(QStringLiteral("frmDriveSelect"), [](ScreenModel& model, QWidget* parent) {
        return new FrmDriveSelectView(static_cast<FrmDriveSelectModel&>(model), parent);
    });
}

} // namespace verdan
