#include "AreaViews.h"

#include "FieldFocus.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace verdan {

namespace {

const FrmUAMModel::FieldInfo& infoOf(const QString& name) {
    for (const FrmUAMModel::FieldInfo& info : FrmUAMModel::fieldInfos()) {
        if (info.name == name)
            return info;
    }
    throw std::out_of_range("no field " + name.toStdString());
}

QGroupBox* group(const QString& title, QWidget* parent) {
    return new QGroupBox(title, parent);
}

QPushButton* button(const QString& name, const QString& caption, const QString& toolTip,
                    QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(toolTip);
    b->setAutoDefault(false);
    return b;
}

} // namespace

// ---- FrmUAMView ----

FrmUAMView::FrmUAMView(FrmUAMModel& model, QWidget* parent) : QDialog(parent), m_model(model) {
    bindDialogToModel(*this, model);
    markAsModeForm(*this);
    setObjectName(QStringLiteral("FrmUAM"));
    auto* top = new QVBoxLayout(this);
    auto* bar = new QMenuBar(this);
    top->setMenuBar(bar);

    // Input Parameters: frequency, antenna heights, siting, polarization.
    auto* input = group(QStringLiteral("Input Parameters"), this);
    auto* inputGrid = new QGridLayout(input);
    addField(inputGrid, 0, QStringLiteral("txtFrq"),
             new QLabel(QStringLiteral("Frequency"), input));
    auto* heights = group(QStringLiteral("Antenna Heights"), input);
    auto* heightsGrid = new QGridLayout(heights);
    addField(heightsGrid, 0, QStringLiteral("txtH1"), new QLabel(QStringLiteral("Trans"), heights));
    addField(heightsGrid, 1, QStringLiteral("txtH2"), new QLabel(QStringLiteral("Rec"), heights));
    inputGrid->addWidget(heights, 1, 0, 1, 3);
    auto* siting = group(QStringLiteral("Site Criteria"), input);
    auto* sitingGrid = new QGridLayout(siting);
    sitingGrid->addWidget(new QLabel(QStringLiteral("Transmitter"), siting), 0, 0);
    sitingGrid->addWidget(makeCombo(QStringLiteral("cmbSit1"), model.cmbSit1()), 0, 1);
    sitingGrid->addWidget(new QLabel(QStringLiteral("Receiver"), siting), 1, 0);
    sitingGrid->addWidget(makeCombo(QStringLiteral("cmbSit2"), model.cmbSit2()), 1, 1);
    inputGrid->addWidget(siting, 2, 0, 1, 3);
    auto* polarization = group(QStringLiteral("Polarization"), input);
    auto* polLayout = new QHBoxLayout(polarization);
    auto* polGroup = new QButtonGroup(this);
    const QStringList polCaptions{QStringLiteral("Horizontal"), QStringLiteral("Vertical")};
    const QStringList polTips{QStringLiteral("Horizontal Polarization"),
                              QStringLiteral("Vertical Polarization")};
    for (int i = 0; i < 2; ++i) {
        m_optPol[i] = new QRadioButton(polCaptions[i], polarization);
        m_optPol[i]->setObjectName(QStringLiteral("optPol_%1").arg(i));
        m_optPol[i]->setToolTip(polTips[i]);
        polGroup->addButton(m_optPol[i], i);
        polLayout->addWidget(m_optPol[i]);
    }
    connect(polGroup, &QButtonGroup::idClicked, &m_model, &FrmUAMModel::optPol_Click);
    inputGrid->addWidget(polarization, 3, 0, 1, 3);
    inputGrid->setRowStretch(4, 1);

    // Environmental Parameters: the four fields with pick-lists, and the climate.
    auto* environment = group(QStringLiteral("Environmental Parameters"), this);
    auto* envGrid = new QGridLayout(environment);
    struct Pick {
        const char* field;
        const char* button;
        const char* toolTip;
        void (FrmUAMModel::*click)();
    };
    const Pick picks[] = {
        {"txtDH", "cmdDeltaH", "Select delta h from a list", &FrmUAMModel::cmdDeltaH_Click},
        {"txtNs", "cmdSurfRef", "Select Surface Refractivity from a list",
         &FrmUAMModel::cmdSurfRef_Click},
        {"txteps", "cmdDielectric", "Select Dielectric Constant of Ground from a list",
         &FrmUAMModel::cmdDielectric_Click},
        {"txtsgm", "cmdConductGround", "Select Conductivity of Ground from a list",
         &FrmUAMModel::cmdConductGround_Click},
    };
    int row = 0;
    for (const Pick& pick : picks) {
        const QString fieldName = QString::fromLatin1(pick.field);
        auto* b = button(QString::fromLatin1(pick.button), infoOf(fieldName).label,
                         QString::fromLatin1(pick.toolTip), environment);
        connect(b, &QPushButton::clicked, &m_model, pick.click);
        addField(envGrid, row++, fieldName, b);
    }
    envGrid->addWidget(new QLabel(QStringLiteral("Radio Climate"), environment), row, 0);
    envGrid->addWidget(makeCombo(QStringLiteral("cmbClim"), model.cmbClim()), row, 1, 1, 2);
    envGrid->setRowStretch(row + 1, 1);

    // Statistical Parameters: variability, time, locations, confidence levels.
    auto* statistics = group(QStringLiteral("Statistical Parameters"), this);
    auto* statGrid = new QGridLayout(statistics);
    statGrid->addWidget(new QLabel(QStringLiteral("Mode of Variability"), statistics), 0, 0);
    statGrid->addWidget(makeCombo(QStringLiteral("cmbVAR"), model.cmbVAR()), 0, 1, 1, 2);
    addField(statGrid, 1, QStringLiteral("txtQT"),
             new QLabel(QStringLiteral("Percent of time"), statistics));
    addField(statGrid, 2, QStringLiteral("txtQL"),
             new QLabel(QStringLiteral("Percent of Locations"), statistics));
    auto* confidence = group(QStringLiteral("Confidence Levels"), statistics);
    auto* confGrid = new QGridLayout(confidence);
    for (int i = 0; i < 4; ++i) {
        const QString name = QStringLiteral("txtQC%1").arg(i + 1);
        auto* label = new QLabel(infoOf(name).label, confidence);
        confGrid->addWidget(label, i / 2, (i % 2) * 2);
        QLineEdit* e = makeEdit(infoOf(name));
        label->setBuddy(e);
        confGrid->addWidget(e, i / 2, (i % 2) * 2 + 1);
        m_fields[name] = FieldWidgets{e, label, nullptr};
    }
    statGrid->addWidget(confidence, 3, 0, 1, 3);
    statGrid->setRowStretch(4, 1);

    // Tabulation Parameters: the distance grid, or the loss level of an inverse run.
    auto* tabulation = group(QStringLiteral("Tabulation Parameters"), this);
    auto* tabGrid = new QGridLayout(tabulation);
    row = 0;
    for (const char* name : {"txtd0", "txtd1", "txtds1", "txtd2", "txtds2", "txtdBLossLevel"}) {
        const QString fieldName = QString::fromLatin1(name);
        addField(tabGrid, row++, fieldName, new QLabel(infoOf(fieldName).label, tabulation));
    }
    tabGrid->setRowStretch(row, 1);

    auto* groups = new QGridLayout;
    groups->addWidget(input, 0, 0);
    groups->addWidget(environment, 0, 1);
    groups->addWidget(statistics, 1, 0);
    groups->addWidget(tabulation, 1, 1);
    top->addLayout(groups);

    auto* buttons = new QHBoxLayout;
    m_cmdCalc = button(QStringLiteral("cmdCalc"), QStringLiteral("Calculate"),
                       QStringLiteral("Calculate Verdan Area Mode using entered values"), this);
    m_cmdReport = button(QStringLiteral("cmdReport"), QStringLiteral("View Report"),
                         QStringLiteral("Display Results Window"), this);
    m_cmdGraph = button(QStringLiteral("cmdGraph"), QStringLiteral("View Graph"),
                        QStringLiteral("View Results of Calculations Graphically"), this);
    m_cmdSaveData =
        button(QStringLiteral("cmdSaveData"), QStringLiteral("Save"),
               QStringLiteral("Save Results for View Archive Data (Ombrel use only)"), this);
    buttons->addStretch();
    for (QPushButton* b : {m_cmdCalc, m_cmdReport, m_cmdGraph, m_cmdSaveData})
        buttons->addWidget(b);
    top->addLayout(buttons);
    connect(m_cmdCalc, &QPushButton::clicked, &m_model, &FrmUAMModel::cmdCalc_Click);
    connect(m_cmdReport, &QPushButton::clicked, &m_model, &FrmUAMModel::cmdReport_Click);
    connect(m_cmdGraph, &QPushButton::clicked, &m_model, &FrmUAMModel::cmdGraph_Click);
    connect(m_cmdSaveData, &QPushButton::clicked, &m_model, &FrmUAMModel::cmdSaveData_Click);

    buildMenus(bar);

    // Tab order: group by group, as the screen reads.
    QWidget* previous = nullptr;
    const auto chain = [&previous, this](QWidget* next) {
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    };
    chain(edit(QStringLiteral("txtFrq")));
    chain(edit(QStringLiteral("txtH1")));
    chain(edit(QStringLiteral("txtH2")));
    chain(m_combos.at(QStringLiteral("cmbSit1")));
    chain(m_combos.at(QStringLiteral("cmbSit2")));
    chain(m_optPol[0]);
    chain(m_optPol[1]);
    for (const Pick& pick : picks) {
        chain(findChild<QPushButton*>(QString::fromLatin1(pick.button)));
        chain(edit(QString::fromLatin1(pick.field)));
    }
    chain(m_combos.at(QStringLiteral("cmbClim")));
    chain(m_combos.at(QStringLiteral("cmbVAR")));
    for (const char* name : {"txtQT", "txtQL", "txtQC1", "txtQC2", "txtQC3", "txtQC4", "txtd0",
                             "txtd1", "txtds1", "txtd2", "txtds2", "txtdBLossLevel"})
        chain(edit(QString::fromLatin1(name)));
    for (QPushButton* b : {m_cmdCalc, m_cmdReport, m_cmdGraph, m_cmdSaveData})
        chain(b);

    connect(&m_model, &ScreenModel::changed, this, &FrmUAMView::refresh);
    refresh();
    edit(QStringLiteral("txtFrq"))->setFocus(Qt::OtherFocusReason);
}

QLineEdit* FrmUAMView::makeEdit(const FrmUAMModel::FieldInfo& info) {
    auto* e = new QLineEdit(this);
    e->setObjectName(info.name);
    e->setToolTip(info.toolTip);
    e->setMaxLength(40);
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000000.000")));
    e->setAlignment(Qt::AlignRight);
    e->installEventFilter(this);
    const QString name = info.name;
    connect(e, &QLineEdit::textEdited, &m_model,
            [this, name](const QString& text) { m_model.setText(name, text); });
    return e;
}

QComboBox* FrmUAMView::makeCombo(const QString& name, const ComboField& list) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(name);
    combo->addItems(list.items);
    combo->setToolTip(list.toolTip);
    connect(combo, &QComboBox::activated, &m_model,
            [this, name](int index) { m_model.selectListItem(name, index); });
    m_combos[name] = combo;
    return combo;
}

void FrmUAMView::addField(QGridLayout* grid, int row, const QString& name, QWidget* label) {
    const FrmUAMModel::FieldInfo& info = infoOf(name);
    QLineEdit* e = makeEdit(info);
    if (auto* l = qobject_cast<QLabel*>(label))
        l->setBuddy(e);
    grid->addWidget(label, row, 0);
    grid->addWidget(e, row, 1);
    QLabel* unit = nullptr;
    if (!info.unit.isEmpty()) {
        unit = new QLabel(info.unit, label->parentWidget());
        grid->addWidget(unit, row, 2);
    }
    grid->setColumnStretch(1, 1);
    m_fields[name] = FieldWidgets{e, label, unit};
}

void FrmUAMView::buildMenus(QMenuBar* bar) {
    auto* file = bar->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Close"), &m_model, &FrmUAMModel::mnuFileExit_Click);
    auto* mode = bar->addMenu(QStringLiteral("&Mode"));
    mode->addAction(QStringLiteral("&Normal Caluclation"), &m_model,
                    &FrmUAMModel::mnuModeNormal_Click);
    mode->addAction(QStringLiteral("&Inverse Calculation"), &m_model,
                    &FrmUAMModel::mnuModeInverse_Click);
    auto* report = bar->addMenu(QStringLiteral("&Report"));
    m_mnuReportView = report->addAction(QStringLiteral("&View Report"), &m_model,
                                        &FrmUAMModel::mnuReportView_Click);
    m_mnuGraphView = report->addAction(QStringLiteral("&View Graph"), &m_model,
                                       &FrmUAMModel::mnuGraphView_Click);
    report->addAction(QStringLiteral("&Run Calculations"), &m_model,
                      &FrmUAMModel::mnuReportRun_Click);
    report->addAction(QStringLiteral("&Enable Database Save"), &m_model,
                      &FrmUAMModel::mnuReportEnableSave_Click);
    auto* help = bar->addMenu(QStringLiteral("&Help"));
    QAction* helpSystem = help->addAction(QStringLiteral("&Help System"), &m_model,
                                          &FrmUAMModel::mnuHelpHelpSystem_Click);
    helpSystem->setShortcut(QKeySequence::HelpContents);
    help->addAction(QStringLiteral("&About"), &m_model, &FrmUAMModel::mnuHelpAbout_Click);
}

QLineEdit* FrmUAMView::edit(const QString& name) const {
    const auto it = m_fields.find(name);
    return it == m_fields.end() ? nullptr : it->second.edit;
}

bool FrmUAMView::eventFilter(QObject* watched, QEvent* event) {
    auto* e = qobject_cast<QLineEdit*>(watched);
    if (e && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        const QString name = e->objectName();
        const FieldFocusStep step =
            fieldFocusStep(m_model.focusedField(), name, *static_cast<QFocusEvent*>(event));
        if (step.leave)
            m_model.fieldLostFocus();
        if (step.enter) {
            m_model.fieldGotFocus(name);
            // A mouse press places the cursor after the focus arrives: select afterwards.
            QTimer::singleShot(0, e, [this, e, name] {
                const TextField& f = m_model.field(name);
                if (e->hasFocus() && f.selLength > 0)
                    e->setSelection(f.selStart, f.selLength);
            });
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmUAMView::refresh() {
    setWindowTitle(m_model.caption());
    for (auto& [name, widgets] : m_fields) {
        const TextField& f = m_model.field(name);
        if (widgets.edit->text() != f.text)
            widgets.edit->setText(f.text);
        if (widgets.edit->hasFocus() && f.selLength > 0)
            widgets.edit->setSelection(f.selStart, f.selLength);
        widgets.edit->setVisible(f.visible);
        widgets.label->setVisible(f.visible);
        if (widgets.unit)
            widgets.unit->setVisible(f.visible);
    }
    const std::map<QString, const ComboField*> lists{
        {QStringLiteral("cmbClim"), &m_model.cmbClim()},
        {QStringLiteral("cmbVAR"), &m_model.cmbVAR()},
        {QStringLiteral("cmbSit1"), &m_model.cmbSit1()},
        {QStringLiteral("cmbSit2"), &m_model.cmbSit2()}};
    for (const auto& [name, list] : lists)
        m_combos.at(name)->setCurrentIndex(list->listIndex);
    for (int i = 0; i < 2; ++i)
        m_optPol[i]->setChecked(m_model.optPol(i));
    m_cmdReport->setEnabled(m_model.cmdReport().enabled);
    m_mnuReportView->setEnabled(m_model.mnuReportView().enabled);
    m_cmdGraph->setEnabled(m_model.cmdGraph().enabled);
    m_mnuGraphView->setEnabled(m_model.mnuGraphView().enabled);
    m_cmdSaveData->setEnabled(m_model.cmdSaveData().enabled);
    m_cmdSaveData->setVisible(m_model.cmdSaveData().visible);
}

// ---- Pick-lists ----

namespace {

/// Option buttons in a frame, one per caption, in an exclusive group whose ids are the
/// option indices.
QButtonGroup* options(QDialog& dialog, QVBoxLayout& layout, const QString& frameCaption,
                      const QString& arrayName, const QStringList& captions, int selected) {
    auto* box = new QGroupBox(frameCaption, &dialog);
    auto* column = new QVBoxLayout(box);
    auto* buttons = new QButtonGroup(&dialog);
    for (int i = 0; i < captions.size(); ++i) {
        auto* option = new QRadioButton(captions[i], box);
        option->setObjectName(arrayName + QStringLiteral("_%1").arg(i));
        option->setChecked(i == selected);
        buttons->addButton(option, i);
        column->addWidget(option);
    }
    layout.addWidget(box);
    return buttons;
}

/// OK and Cancel under the options.
QDialogButtonBox* okCancel(QDialog& dialog, QVBoxLayout& layout) {
    auto* box = new QDialogButtonBox(&dialog);
    QPushButton* ok = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    QPushButton* cancel = box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    layout.addWidget(box);
    return box;
}

} // namespace

FrmDeltaHView::FrmDeltaHView(FrmDeltaHModel& model, QWidget* parent)
    : QDialog(parent), m_model(model) {
    bindDialogToModel(*this, model);
    auto* layout = new QVBoxLayout(this);
    QButtonGroup* group =
        options(*this, *layout, FrmDeltaHModel::frameCaption(), QStringLiteral("Option1"),
                FrmDeltaHModel::optionCaptions(), model.Option1());
    connect(group, &QButtonGroup::idClicked, &m_model, &FrmDeltaHModel::Option1_Click);
    QDialogButtonBox* buttons = okCancel(*this, *layout);
    connect(buttons->findChild<QPushButton*>(QStringLiteral("cmdOK")), &QPushButton::clicked,
            &m_model, &FrmDeltaHModel::cmdOK_Click);
    connect(buttons->findChild<QPushButton*>(QStringLiteral("cmdCancel")), &QPushButton::clicked,
            &m_model, &FrmDeltaHModel::cmdCancel_Click);
}

FrmDC_CondView::FrmDC_CondView(FrmDC_CondModel& model, QWidget* parent)
    : QDialog(parent), m_model(model) {
    bindDialogToModel(*this, model);
    auto* layout = new QVBoxLayout(this);
    QButtonGroup* group =
        options(*this, *layout, FrmDC_CondModel::frameCaption(), QStringLiteral("optChartSelect"),
                model.optChartSelectCaptions(), model.optChartSelect());
    // The captions end in their values, aligned by blanks: a fixed-pitch font keeps them so.
    QFont fixed(QStringLiteral("Monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    for (QAbstractButton* option : group->buttons())
        option->setFont(fixed);
    connect(group, &QButtonGroup::idClicked, &m_model, &FrmDC_CondModel::optChartSelect_Click);
    layout->addWidget(new QLabel(FrmDC_CondModel::labelText(), this));
    QDialogButtonBox* buttons = okCancel(*this, *layout);
    connect(buttons->findChild<QPushButton*>(QStringLiteral("cmdOK")), &QPushButton::clicked,
            &m_model, &FrmDC_CondModel::cmdOK_Click);
    connect(buttons->findChild<QPushButton*>(QStringLiteral("cmdCancel")), &QPushButton::clicked,
            &m_model, &FrmDC_CondModel::cmdCancel_Click);
}

FrmSurfRefView::FrmSurfRefView(FrmSurfRefModel& model, QWidget* parent)
    : QDialog(parent), m_model(model) {
    bindDialogToModel(*this, model);
    auto* layout = new QVBoxLayout(this);
    QButtonGroup* group =
        options(*this, *layout, FrmSurfRefModel::frameCaption(), QStringLiteral("Option1"),
                FrmSurfRefModel::optionCaptions(), model.Option1());
    connect(group, &QButtonGroup::idClicked, &m_model, &FrmSurfRefModel::Option1_Click);
    QDialogButtonBox* buttons = okCancel(*this, *layout);
    connect(buttons->findChild<QPushButton*>(QStringLiteral("cmdOK")), &QPushButton::clicked,
            &m_model, &FrmSurfRefModel::cmdOK_Click);
    connect(buttons->findChild<QPushButton*>(QStringLiteral("cmdCancel")), &QPushButton::clicked,
            &m_model, &FrmSurfRefModel::cmdCancel_Click);
}

FrmConfLevelView::FrmConfLevelView(FrmConfLevelModel& model, QWidget* parent)
    : QDialog(parent), m_model(model) {
    bindDialogToModel(*this, model);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(FrmConfLevelModel::labelText(), this));
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        const FrmConfLevelModel::Option& option = model.optConfLev(i);
        auto* radio = new QRadioButton(option.caption, this);
        radio->setObjectName(QStringLiteral("optConfLev_%1").arg(i));
        radio->setVisible(option.visible);
        group->addButton(radio, i);
        layout->addWidget(radio);
    }
    connect(group, &QButtonGroup::idClicked, &m_model, &FrmConfLevelModel::optConfLev_Click);
    // A larger window keeps the options under their label and the buttons at the bottom.
    layout->addStretch(1);
    QDialogButtonBox* buttons = okCancel(*this, *layout);
    auto* ok = buttons->findChild<QPushButton*>(QStringLiteral("cmdOK"));
    connect(ok, &QPushButton::clicked, &m_model, &FrmConfLevelModel::cmdOK_Click);
    connect(buttons->findChild<QPushButton*>(QStringLiteral("cmdCancel")), &QPushButton::clicked,
            &m_model, &FrmConfLevelModel::cmdCancel_Click);
    // OK needs a level: it is enabled once an option is selected.
    const auto enableOk = [this, ok] { ok->setEnabled(m_model.cmdOKEnabled()); };
    connect(&m_model, &ScreenModel::changed, this, enableOk);
    enableOk();
}

void registerAreaViews(ViewRegistry& views) {
    views.add(QStringLiteral("FrmUAM"), [](ScreenModel& model, QWidget* parent) {
        return new FrmUAMView(static_cast<FrmUAMModel&>(model), parent);
    });
    views.add(QStringLiteral("frmDeltaH"), [](ScreenModel& model, QWidget* parent) {
        return new FrmDeltaHView(static_cast<FrmDeltaHModel&>(model), parent);
    });
    views.add(QStringLiteral("frmDC_Cond"), [](ScreenModel& model, QWidget* parent) {
        return new FrmDC_CondView(static_cast<FrmDC_CondModel&>(model), parent);
    });
    views.add(QStringLiteral("frmSurfRef"), [](ScreenModel& model, QWidget* parent) {
        return new FrmSurfRefView(static_cast<FrmSurfRefModel&>(model), parent);
    });
    views.add(QStringLiteral("frmConfLevel"), [](ScreenModel& model, QWidget* parent) {
        return new FrmConfLevelView(static_cast<FrmConfLevelModel&>(model), parent);
    });
}

} // namespace verdan
