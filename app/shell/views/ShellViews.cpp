#include "ShellViews.h"

#include "FrmReportView.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

// The icons are compiled into this static library; they must be registered explicitly.
static void initShellResources() {
    Q_INIT_RESOURCE(icons);
}

namespace verdan {

namespace {

QToolButton* modeButton(const QString& icon, const QString& toolTip, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setIcon(QIcon(icon));
    button->setIconSize(QSize(96, 96));
    button->setToolTip(toolTip);
    button->setAutoRaise(false);
    return button;
}

} // namespace

FrmVerdanView::FrmVerdanView(FrmVerdanModel& model, QWidget* parent)
    : QMainWindow(parent), m_model(model) {
    setWindowTitle(model.caption());
    setWindowIcon(QIcon(QStringLiteral(":/icons/verdan.svg")));

    auto* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Planning Map..."), QKeySequence(Qt::CTRL | Qt::Key_M), this,
                    [this] { m_model.mnuFilePlanningMap_Click(); });
    file->addSeparator();
    file->addAction(QStringLiteral("E&xit"), this, [this] { close(); });
    auto* help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* helpSystem = help->addAction(QStringLiteral("&Help System"), this,
                                          [this] { m_model.mnuHelpHelpSystem_Click(); });
    helpSystem->setShortcut(QKeySequence::HelpContents);
    help->addAction(QStringLiteral("&Overview"), this,
                    [this] { m_model.mnuHelpUserGuide_Click(); });
    help->addAction(QStringLiteral("&User Guide"), this,
                    [this] { m_model.mnuHelpProgramGuide_Click(); });
    help->addAction(QStringLiteral("&About"), this, [this] { m_model.mnuHelpAbout_Click(); });
    help->addAction(QStringLiteral("&Show Intro Screen"), this,
                    [this] { m_model.mnuHelpShowIntro_Click(); });

    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(32, 24, 32, 24);
    grid->setHorizontalSpacing(48);
    auto* area = modeButton(QStringLiteral(":/icons/area-mode.svg"),
                            FrmVerdanModel::cmdAreaModeToolTip(), central);
    area->setObjectName(QStringLiteral("cmdAreaMode"));
    auto* ptp = modeButton(QStringLiteral(":/icons/point-to-point.svg"),
                           FrmVerdanModel::cmdPointToPointToolTip(), central);
    ptp->setObjectName(QStringLiteral("cmdPointToPoint"));
    auto* label1 = new QLabel(QStringLiteral("&Area Prediction Mode"), central);
    label1->setBuddy(area);
    auto* label2 = new QLabel(QStringLiteral("&Point - To - Point Mode"), central);
    label2->setBuddy(ptp);
    grid->addWidget(area, 0, 0, Qt::AlignHCenter);
    grid->addWidget(ptp, 0, 1, Qt::AlignHCenter);
    grid->addWidget(label1, 1, 0, Qt::AlignHCenter);
    grid->addWidget(label2, 1, 1, Qt::AlignHCenter);
    setCentralWidget(central);
    connect(area, &QToolButton::clicked, this, [this] { m_model.cmdAreaMode_Click(); });
    connect(ptp, &QToolButton::clicked, this, [this] { m_model.cmdPointToPoint_Click(); });
    connect(&m_model, &ScreenModel::closing, this, &QWidget::close);
    area->setFocus();
}

void FrmVerdanView::closeEvent(QCloseEvent* event) {
    m_model.Form_Unload();
    event->accept();
    emit closed();
}

FrmVerdanHeaderView::FrmVerdanHeaderView(FrmVerdanHeaderModel& model, QWidget* parent)
    : QDialog(parent), m_model(model), m_text(new QPlainTextEdit(this)),
      m_show(new QCheckBox(QStringLiteral("&Show Next Time"), this)) {
    bindDialogToModel(*this, model);
    resize(640, 460);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(model.Label1(), this);
    QFont big = title->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    title->setFont(big);
    layout->addWidget(title);
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setPlainText(model.txtIntro());
    layout->addWidget(m_text);
    auto* row = new QHBoxLayout;
    m_show->setChecked(model.chkShow());
    row->addWidget(m_show);
    row->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    row->addWidget(ok);
    layout->addLayout(row);
    connect(m_show, &QCheckBox::toggled, &m_model, &FrmVerdanHeaderModel::setChkShow);
    connect(ok, &QPushButton::clicked, &m_model, &FrmVerdanHeaderModel::cmdOK_Click);
    ok->setFocus();
}

FrmAboutView::FrmAboutView(FrmAboutModel& model, QWidget* parent)
    : QDialog(parent), m_model(model), m_version(new QLabel(model.lblVersion(), this)) {
    bindDialogToModel(*this, model);
    auto* layout = new QGridLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/verdan.svg")).pixmap(64, 64));
    layout->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    auto* title = new QLabel(model.lblTitle(), this);
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    title->setFont(big);
    layout->addWidget(title, 0, 1);
    layout->addWidget(m_version, 1, 1);
    auto* description = new QLabel(FrmAboutModel::lblDescription(), this);
    description->setWordWrap(true);
    layout->addWidget(description, 2, 1);
    auto* credits = new QLabel(FrmAboutModel::Label1(), this);
    credits->setWordWrap(true);
    layout->addWidget(credits, 3, 1);
    auto* disclaimer = new QLabel(FrmAboutModel::lblDisclaimer(), this);
    disclaimer->setWordWrap(true);
    layout->addWidget(disclaimer, 4, 1);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* sysInfo =
        buttons->addButton(QStringLiteral("&System Info..."), QDialogButtonBox::ActionRole);
    layout->addWidget(buttons, 5, 0, 1, 2);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, &m_model, &FrmAboutModel::cmdOK_Click);
    connect(sysInfo, &QPushButton::clicked, &m_model, &FrmAboutModel::cmdSysInfo_Click);
    setMinimumWidth(480);
}

void registerShellViews(ViewRegistry& views) {
    initShellResources();
    views.add(QStringLiteral("frmVerdanHeader"), [](ScreenModel& model, QWidget* parent) {
        return new FrmVerdanHeaderView(static_cast<FrmVerdanHeaderModel&>(model), parent);
    });
    views.add(QStringLiteral("frmAbout"), [](ScreenModel& model, QWidget* parent) {
        return new FrmAboutView(static_cast<FrmAboutModel&>(model), parent);
    });
    views.add(QStringLiteral("FrmReport"), [](ScreenModel& model, QWidget* parent) {
        return new FrmReportView(static_cast<FrmReportModel&>(model), parent);
    });
}

} // namespace verdan
