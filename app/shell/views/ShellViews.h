#pragma once

#include "FrmAboutModel.h"
#include "FrmVerdanHeaderModel.h"
#include "FrmVerdanModel.h"
#include "ViewRegistry.h"

#include <QDialog>
#include <QMainWindow>

class QCheckBox;
class QLabel;
class QPlainTextEdit;

namespace verdan {

/// The mode selector window.
class FrmVerdanView : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmVerdanView(FrmVerdanModel& model, QWidget* parent = nullptr);

signals:
    /// The selector was closed (Exit or the close box); the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    FrmVerdanModel& m_model;
};

/// The intro screen.
class FrmVerdanHeaderView : public QDialog {
    Q_OBJECT
public:
    explicit FrmVerdanHeaderView(FrmVerdanHeaderModel& model, QWidget* parent = nullptr);

private:
    FrmVerdanHeaderModel& m_model;
    QPlainTextEdit* m_text;
    QCheckBox* m_show;
};

/// The about box.
class FrmAboutView : public QDialog {
    Q_OBJECT
public:
    explicit FrmAboutView(FrmAboutModel& model, QWidget* parent = nullptr);

private:
    FrmAboutModel& m_model;
    QLabel* m_version;
};

/// Registers the views of the application shell's dialogs.
void registerShellViews(ViewRegistry& views);

} // namespace verdan
