#include "FrmPtoPView.h"

#include "FieldFocus.h"
#include "FrmLinkBudgetView.h"
#include "FrmListEditView.h"
#include "ProfilePicture.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

namespace verdan {

namespace {

void setTextKeepingCursor(QLineEdit* edit, const QString& text) {
    if (edit->text() != text)
        edit->setText(text);
}

} // namespace

FrmPtoPView::FrmPtoPView(FrmPtoPModel& model, QWidget* parent) : QDialog(parent), m_model(model) {
    bindDialogToModel(*this, model);
    markAsModeForm(*this);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    auto* menuBar = new QMenuBar(this);
    auto* file = menuBar->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Load Profile..."), this,
                    [this] { m_model.mnuFileLoadProfile_Click(); });
    file->addAction(QStringLiteral("&Save Profile..."), this,
                    [this] { m_model.mnuFileSaveProfile_Click(); });
    file->addSeparator();
    file->addAction(QStringLiteral("&Close"), this, [this] { m_model.mnuFileClose_Click(); });
    auto* report = menuBar->addMenu(QStringLiteral("&Report"));
    m_reportView = report->addAction(QStringLiteral("View&Report"), this,
                                     [this] { afterFieldCheck(&FrmPtoPModel::cmdReport_Click); });
    report->addAction(QStringLiteral("Run &Calculations"), this, [this] {
        if (checkFocusedField())
            m_model.mnuReportCalculations_Click();
    });
    report->addAction(QStringLiteral("&Link Budget..."), this, [this] {
        if (checkFocusedField())
            m_model.mnuReportLinkBudget_Click();
    });
    report->addSeparator();
    report->addAction(QStringLiteral("Planning &Map..."), QKeySequence(Qt::CTRL | Qt::Key_M), this,
                      [this] { m_model.mnuCoverageMap_Click(); });
    auto* view = menuBar->addMenu(QStringLiteral("&View"));
    m_viewFresnel = view->addAction(QStringLiteral("Line of Sight and &Fresnel Zone"), this,
                                    [this] { m_model.mnuViewFresnel_Click(); });
    m_viewFresnel->setCheckable(true);
    auto* help = menuBar->addMenu(QStringLiteral("&Help"));
    QAction* helpSystem = help->addAction(QStringLiteral("&Help System"), this,
                                          [this] { m_model.mnuHelpHelpSystem_Click(); });
    helpSystem->setShortcut(QKeySequence::HelpContents);
    help->addAction(QStringLiteral("&About"), this, [this] { m_model.mnuHelpAbout_Click(); });

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    auto* columns = new QHBoxLayout;
    layout->addLayout(columns);

    // Radio parameters.
    auto* radio = new QGridLayout;
    columns->addLayout(radio);
    int row = 0;
    radio->addWidget(new QLabel(QStringLiteral("Frequency"), this), row, 0);
    radio->addWidget(addField(QStringLiteral("txtFrq"), QStringLiteral("20 MHz ot 20000 MHz")), row,
                     1);
    radio->addWidget(new QLabel(QStringLiteral("MHz"), this), row++, 2);

    auto* heights = new QGroupBox(QStringLiteral("Antenna Heights"), this);
    auto* heightsLayout = new QGridLayout(heights);
    heightsLayout->addWidget(new QLabel(QStringLiteral("Trans"), heights), 0, 0);
    heightsLayout->addWidget(addField(QStringLiteral("txtH1"), QStringLiteral("0.5 m to 3000 m")),
                             0, 1);
    heightsLayout->addWidget(new QLabel(QStringLiteral("m"), heights), 0, 2);
    heightsLayout->addWidget(new QLabel(QStringLiteral("Rec"), heights), 1, 0);
    heightsLayout->addWidget(addField(QStringLiteral("txtH2"), QStringLiteral("0.5 m to 3000 m")),
                             1, 1);
    heightsLayout->addWidget(new QLabel(QStringLiteral("m"), heights), 1, 2);
    radio->addWidget(heights, row++, 0, 1, 3);

    auto* polarization = new QGroupBox(QStringLiteral("Polarization"), this);
    auto* polLayout = new QHBoxLayout(polarization);
    m_pol[0] = new QRadioButton(QStringLiteral("Horizontal"), polarization);
    m_pol[0]->setToolTip(QStringLiteral("Horizontal Polarization"));
    m_pol[1] = new QRadioButton(QStringLiteral("Vertical"), polarization);
    m_pol[1]->setToolTip(QStringLiteral("Vertical Polarization"));
    for (int i = 0; i < 2; ++i) {
        polLayout->addWidget(m_pol[static_cast<std::size_t>(i)]);
        connect(m_pol[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { m_model.optPol_Click(i); });
    }
    radio->addWidget(polarization, row++, 0, 1, 3);

    radio->addWidget(addButton(QStringLiteral("cmdconduct"),
                               QStringLiteral("Conductivity of Ground"),
                               QStringLiteral("Predefined Conductivity Selections")),
                     row, 0);
    radio->addWidget(addField(QStringLiteral("txtsgm"), QStringLiteral("Conductivity of Ground")),
                     row, 1);
    radio->addWidget(new QLabel(QStringLiteral("S/m"), this), row++, 2);
    radio->addWidget(addButton(QStringLiteral("cmddielect"),
                               QStringLiteral("Dielectric Constant of Ground"),
                               QStringLiteral("Predefined Dielectric Constant Selections")),
                     row, 0);
    radio->addWidget(addField(QStringLiteral("txteps"), QStringLiteral("Relative Permittivity")),
                     row++, 1);
    radio->addWidget(addButton(QStringLiteral("cmdSurfRef"), QStringLiteral("Surface Refractivity"),
                               QStringLiteral("Predefined Surface Refractivity Selections")),
                     row, 0);
    radio->addWidget(addField(QStringLiteral("txtns"), QStringLiteral("250 to 400 N-units")), row,
                     1);
    radio->addWidget(new QLabel(QStringLiteral("N-units"), this), row++, 2);
    radio->addWidget(new QLabel(QStringLiteral("Radio Climate"), this), row, 0);
    m_climate = new QComboBox(this);
    m_climate->addItems(FrmPtoPModel::cmbClimItems());
    m_climate->setToolTip(QStringLiteral("Characterizes atmosphere and it's variability in time"));
    m_controls.insert(QStringLiteral("cmbClim"), m_climate);
    connect(m_climate, &QComboBox::textActivated, &m_model, &FrmPtoPModel::setCmbClim);
    radio->addWidget(m_climate, row++, 1, 1, 2);
    radio->setRowStretch(row, 1);

    // The two value lists.
    const std::array<QString, 2> frameCaptions = {QStringLiteral("Reliability"),
                                                  QStringLiteral("Confidence")};
    for (int i = 0; i < 2; ++i) {
        const auto n = static_cast<std::size_t>(i);
        auto* frame = new QGroupBox(frameCaptions[n], this);
        auto* frameLayout = new QVBoxLayout(frame);
        m_newVal[n] = new QLineEdit(frame);
        m_newVal[n]->setToolTip(QStringLiteral("0.1% to 99.9%"));
        m_newVal[n]->installEventFilter(this);
        m_fieldNames.insert(m_newVal[n], QStringLiteral("txtNewVal%1").arg(i));
        m_controls.insert(QStringLiteral("txtNewVal%1").arg(i), m_newVal[n]);
        connect(m_newVal[n], &QLineEdit::textEdited, this,
                [this, i](const QString& text) { m_model.setTxtNewVal(i, text); });
        connect(m_newVal[n], &QLineEdit::returnPressed, this, [this, i] {
            m_model.txtNewVal_Enter(i);
            m_newVal[static_cast<std::size_t>(i)]->selectAll();
        });
        auto* add = new QPushButton(QStringLiteral("Add to List"), frame);
        add->setAutoDefault(false);
        add->setToolTip(QStringLiteral("Add entered value to list"));
        m_controls.insert(QStringLiteral("cmdAddToList%1").arg(i), add);
        connect(add, &QPushButton::clicked, this, [this, i] { m_model.cmdAddToList_Click(i); });
        m_lists[n] = new QListWidget(frame);
        m_controls.insert(QStringLiteral("LstValues%1").arg(i), m_lists[n]);
        connect(m_lists[n], &QListWidget::currentRowChanged, this, [this, i](int index) {
            if (!m_refreshing)
                m_model.setLstValuesIndex(i, index);
        });
        m_remove[n] = new QPushButton(QStringLiteral("Remove From List"), frame);
        m_remove[n]->setAutoDefault(false);
        m_remove[n]->setToolTip(QStringLiteral("Remove highlighted value from list"));
        m_controls.insert(QStringLiteral("cmdRemFromList%1").arg(i), m_remove[n]);
        connect(m_remove[n], &QPushButton::clicked, this,
                [this, i] { m_model.cmdRemFromList_Click(i); });
        frameLayout->addWidget(m_newVal[n]);
        frameLayout->addWidget(add);
        frameLayout->addWidget(m_lists[n]);
        frameLayout->addWidget(m_remove[n]);
        columns->addWidget(frame);
    }

    // Profile picture and commands.
    auto* bottom = new QHBoxLayout;
    layout->addLayout(bottom);
    auto* pathColumn = new QVBoxLayout;
    bottom->addLayout(pathColumn);
    pathColumn->addWidget(addButton(QStringLiteral("cmdProfile"),
                                    QStringLiteral("Path Coordinates"),
                                    QStringLiteral("Enter Latitudes & Longitudes of Path")));
    m_dorvex = new QLabel(this);
    m_dorvex->setAlignment(Qt::AlignCenter);
    m_controls.insert(QStringLiteral("lblDorvex"), m_dorvex);
    pathColumn->addWidget(m_dorvex);
    m_editProfile = addButton(QStringLiteral("cmdEditProfile"), QStringLiteral("Edit Profile"),
                              QStringLiteral("Edit Distance-Elevation Values"));
    pathColumn->addWidget(m_editProfile);
    pathColumn->addStretch();
    m_picture = new QLabel(this);
    m_picture->setToolTip(QStringLiteral("Terrain Profile"));
    m_picture->setFixedSize(FrmPtoPModel::picProfileWidthPx, FrmPtoPModel::picProfileHeightPx);
    m_picture->setFrameShape(QFrame::Box);
    m_controls.insert(QStringLiteral("picProfile"), m_picture);
    bottom->addWidget(m_picture);
    auto* commands = new QVBoxLayout;
    bottom->addLayout(commands);
    commands->addWidget(addButton(QStringLiteral("cmdCalc"), QStringLiteral("Calculate"),
                                  QStringLiteral("Calculate Loss Based on Values Entered")));
    m_report = addButton(QStringLiteral("cmdReport"), QStringLiteral("View Report"),
                         QStringLiteral("View Results of Calculation"));
    commands->addWidget(m_report);
    commands->addStretch();

    connect(qobject_cast<QPushButton*>(control(QStringLiteral("cmdCalc"))), &QPushButton::clicked,
            this, [this] { afterFieldCheck(&FrmPtoPModel::cmdCalc_Click); });
    connect(m_report, &QPushButton::clicked, this,
            [this] { afterFieldCheck(&FrmPtoPModel::cmdReport_Click); });
    connect(qobject_cast<QPushButton*>(control(QStringLiteral("cmdconduct"))),
            &QPushButton::clicked, &m_model, &FrmPtoPModel::cmdconduct_Click);
    connect(qobject_cast<QPushButton*>(control(QStringLiteral("cmddielect"))),
            &QPushButton::clicked, &m_model, &FrmPtoPModel::cmddielect_Click);
    connect(qobject_cast<QPushButton*>(control(QStringLiteral("cmdSurfRef"))),
            &QPushButton::clicked, &m_model, &FrmPtoPModel::cmdSurfRef_Click);
    connect(qobject_cast<QPushButton*>(control(QStringLiteral("cmdProfile"))),
            &QPushButton::clicked, &m_model, &FrmPtoPModel::cmdProfile_Click);
    connect(m_editProfile, &QPushButton::clicked, &m_model, &FrmPtoPModel::cmdEditProfile_Click);

    connect(&m_model, &ScreenModel::changed, this, &FrmPtoPView::refresh);
    connect(&m_model, &FrmPtoPModel::selectAllRequested, this, [this](const QString& name) {
        QLineEdit* edit = name == QLatin1String("txtNewVal")
                              ? (m_newVal[1]->hasFocus() ? m_newVal[1] : m_newVal[0])
                              : qobject_cast<QLineEdit*>(control(name));
        if (edit)
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    });
    refresh();
}

QLineEdit* FrmPtoPView::addField(const QString& name, const QString& toolTip) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setToolTip(toolTip);
    edit->installEventFilter(this);
    m_controls.insert(name, edit);
    m_fieldNames.insert(edit, name);
    connect(edit, &QLineEdit::textEdited, this, [this, name](const QString& text) {
        if (name == QLatin1String("txtFrq"))
            m_model.setTxtFrq(text);
        else if (name == QLatin1String("txtH1"))
            m_model.setTxtH1(text);
        else if (name == QLatin1String("txtH2"))
            m_model.setTxtH2(text);
        else if (name == QLatin1String("txtsgm"))
            m_model.setTxtsgm(text);
        else if (name == QLatin1String("txteps"))
            m_model.setTxteps(text);
        else if (name == QLatin1String("txtns"))
            m_model.setTxtns(text);
    });
    return edit;
}

QPushButton* FrmPtoPView::addButton(const QString& name, const QString& caption,
                                    const QString& toolTip) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    // No button of the form is a default button: Enter in a text box presses nothing.
    button->setAutoDefault(false);
    button->setToolTip(toolTip);
    m_controls.insert(name, button);
    return button;
}

bool FrmPtoPView::eventFilter(QObject* watched, QEvent* event) {
    const auto it = m_fieldNames.constFind(watched);
    if (it != m_fieldNames.cend() &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        const FieldFocusStep step =
            fieldFocusStep(m_focusedField, *it, *static_cast<QFocusEvent*>(event));
        if (step.leave)
            leaveField(std::exchange(m_focusedField, QString()));
        if (step.enter) {
            m_focusedField = *it;
            QTimer::singleShot(0, static_cast<QLineEdit*>(watched), &QLineEdit::selectAll);
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool FrmPtoPView::leaveField(const QString& name) {
    using Step = bool (FrmPtoPModel::*)();
    static const QHash<QString, Step> steps{
        {QStringLiteral("txtFrq"), &FrmPtoPModel::txtFrq_LostFocus},
        {QStringLiteral("txtH1"), &FrmPtoPModel::txtH1_LostFocus},
        {QStringLiteral("txtH2"), &FrmPtoPModel::txtH2_LostFocus},
        {QStringLiteral("txtsgm"), &FrmPtoPModel::txtsgm_LostFocus},
        {QStringLiteral("txteps"), &FrmPtoPModel::txteps_LostFocus},
        {QStringLiteral("txtns"), &FrmPtoPModel::txtns_LostFocus},
    };
    if (const auto step = steps.constFind(name); step != steps.cend())
        return (m_model.*step.value())();
    if (name == QLatin1String("txtNewVal0"))
        return m_model.txtNewVal_LostFocus(0);
    if (name == QLatin1String("txtNewVal1"))
        return m_model.txtNewVal_LostFocus(1);
    return true;
}

bool FrmPtoPView::checkFocusedField() {
    // A menu, a shortcut or a button that takes no focus leaves the field focused: its check
    // runs before the command, which goes on only when the field passed.
    return m_focusedField.isEmpty() || leaveField(m_focusedField);
}

void FrmPtoPView::afterFieldCheck(void (FrmPtoPModel::*command)()) {
    if (checkFocusedField())
        (m_model.*command)();
}

void FrmPtoPView::refresh() {
    m_refreshing = true;
    setTextKeepingCursor(qobject_cast<QLineEdit*>(control(QStringLiteral("txtFrq"))),
                         m_model.txtFrq());
    setTextKeepingCursor(qobject_cast<QLineEdit*>(control(QStringLiteral("txtH1"))),
                         m_model.txtH1());
    setTextKeepingCursor(qobject_cast<QLineEdit*>(control(QStringLiteral("txtH2"))),
                         m_model.txtH2());
    setTextKeepingCursor(qobject_cast<QLineEdit*>(control(QStringLiteral("txtsgm"))),
                         m_model.txtsgm());
    setTextKeepingCursor(qobject_cast<QLineEdit*>(control(QStringLiteral("txteps"))),
                         m_model.txteps());
    setTextKeepingCursor(qobject_cast<QLineEdit*>(control(QStringLiteral("txtns"))),
                         m_model.txtns());
    m_pol[0]->setChecked(m_model.optPol() == 0);
    m_pol[1]->setChecked(m_model.optPol() == 1);
    m_climate->setCurrentText(m_model.cmbClim());
    for (int i = 0; i < 2; ++i) {
        const auto n = static_cast<std::size_t>(i);
        setTextKeepingCursor(m_newVal[n], m_model.txtNewVal(i));
        const QStringList items = m_model.LstValues(i);
        QStringList shown;
        for (int r = 0; r < m_lists[n]->count(); ++r)
            shown << m_lists[n]->item(r)->text();
        if (shown != items) {
            m_lists[n]->clear();
            m_lists[n]->addItems(items);
        }
        m_lists[n]->setCurrentRow(m_model.LstValuesIndex(i));
        m_remove[n]->setEnabled(m_model.cmdRemFromListEnabled(i));
    }
    m_dorvex->setText(m_model.lblDorvex());
    m_editProfile->setEnabled(m_model.cmdEditProfileEnabled());
    m_report->setEnabled(m_model.cmdReportEnabled());
    m_reportView->setEnabled(m_model.mnuReportViewEnabled());
    m_viewFresnel->setChecked(m_model.mnuViewFresnelChecked());
    refreshPicture();
    m_refreshing = false;
}

void FrmPtoPView::refreshPicture() {
    const bool background = m_model.picProfileShowsBackground();
    if (m_pictureShown && background == m_backgroundShown &&
        (background || (m_shownElevations == m_model.picProfileElevations() &&
                        m_shownOverlay == m_model.picProfileOverlay())))
        return;
    m_pictureShown = true;
    m_backgroundShown = background;
    if (background) {
        m_shownElevations.clear();
        const QString file = m_model.backgroundPicturePath();
        m_picture->setPixmap(QFileInfo::exists(file) ? QPixmap(file).scaled(m_picture->size())
                                                     : QPixmap());
        return;
    }
    m_shownElevations = m_model.picProfileElevations();
    m_shownOverlay = m_model.picProfileOverlay();
    m_picture->setPixmap(
        QPixmap::fromImage(renderProfilePicture(m_shownElevations, FrmPtoPModel::picProfileWidthPx,
                                                FrmPtoPModel::picProfileHeightPx, m_shownOverlay)));
}

void registerPtpViews(ViewRegistry& views) {
    views.add(QStringLiteral("frmPtoP"), [](ScreenModel& model, QWidget* parent) {
        return new FrmPtoPView(static_cast<FrmPtoPModel&>(model), parent);
    });
    views.add(QStringLiteral("frmLinkBudget"), [](ScreenModel& model, QWidget* parent) {
        return new FrmLinkBudgetView(static_cast<FrmLinkBudgetModel&>(model), parent);
    });
    views.add(QStringLiteral("frmListEdit"), [](ScreenModel& model, QWidget* parent) {
        return new FrmListEditView(static_cast<FrmListEditModel&>(model), parent);
    });
}

} // namespace verdan
