#pragma once

#include "FrmLinkBudgetModel.h"

#include <QDialog>

namespace verdan {

class LinkBudgetGroupView;

/// The "Link Budget..." dialog of the point-to-point form: the link budget group above "&OK"
/// and "&Cancel". Escape and the close box cancel.
class FrmLinkBudgetView : public QDialog {
    Q_OBJECT
public:
    explicit FrmLinkBudgetView(FrmLinkBudgetModel& model, QWidget* parent = nullptr);

    /// The link budget group, whose controls the tests reach by name.
    LinkBudgetGroupView* group() const { return m_group; }

private:
    LinkBudgetGroupView* m_group = nullptr;
};

} // namespace verdan
