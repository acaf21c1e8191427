#include "FrmLinkBudgetView.h"

#include "LinkBudgetGroupView.h"
#include "ViewRegistry.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace verdan {

FrmLinkBudgetView::FrmLinkBudgetView(FrmLinkBudgetModel& model, QWidget* parent) : QDialog(parent) {
    bindDialogToModel(*this, model);
    auto* layout = new QVBoxLayout(this);
    m_group = new LinkBudgetGroupView(model.group(), this);
    layout->addWidget(m_group);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(ok, &QPushButton::clicked, this, [&model] { model.cmdOK_Click(); });
    connect(cancel, &QPushButton::clicked, this, [&model] { model.cmdCancel_Click(); });
    layout->addWidget(buttons);
}

} // namespace verdan
