#include "FrmDriveSelectView.h"

#include "ViewRegistry.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace verdan {

FrmDriveSelectView::FrmDriveSelectView(FrmDriveSelectModel& model, QWidget* parent)
    : QDialog(parent), m_model(model), m_drives(new QComboBox(this)) {
    bindDialogToModel(*this, model);
    setWindowTitle(model.caption());
    m_drives->setObjectName(QStringLiteral("drvQuarn"));
    m_drives->addItems(model.drvQuarn());
    m_drives->setCurrentIndex(model.drvQuarnIndex());
    m_drives->setMinimumContentsLength(24);
    connect(m_drives, &QComboBox::currentIndexChanged, &m_model,
            &FrmDriveSelectModel::setDrvQuarnIndex);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(FrmDriveSelectModel::lblQuarnDrive(), this), 0, 0);
    layout->addWidget(m_drives, 0, 1, 1, 2);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(ok, 1, 1);
    layout->addWidget(cancel, 1, 2);
    connect(ok, &QPushButton::clicked, &m_model, &FrmDriveSelectModel::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, &m_model, &FrmDriveSelectModel::cmdCancel_Click);
}

} // namespace verdan
