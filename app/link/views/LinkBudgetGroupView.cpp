#include "LinkBudgetGroupView.h"

#include "AntennaPolarWidget.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace verdan {

LinkBudgetGroupView::LinkBudgetGroupView(LinkBudgetModel& model, QWidget* parent)
    : QGroupBox(QStringLiteral("Link budget"), parent), m_model(model) {
    auto* column = new QVBoxLayout(this);
    column->addWidget(buildTransmitter());
    column->addWidget(buildReceiver());
    connect(&m_model, &ScreenModel::changed, this, &LinkBudgetGroupView::refresh);
    refresh();
}

QWidget* LinkBudgetGroupView::edit(LinkBudgetModel::Field field, const QString& tip) {
    auto* line = new QLineEdit(this);
    line->setToolTip(tip);
    line->installEventFilter(this);
    m_fields.insert(line, field);
    m_controls.insert(LinkBudgetModel::controlName(field), line);
    connect(line, &QLineEdit::textEdited, this,
            [this, field](const QString& text) { m_model.setText(field, text); });
    return line;
}

QComboBox* LinkBudgetGroupView::units(const QString& name, const QStringList& items,
                                      void (LinkBudgetModel::*set)(int)) {
    auto* box = new QComboBox(this);
    box->addItems(items);
    m_controls.insert(name, box);
    connect(box, &QComboBox::activated, &m_model, set);
    return box;
}

QWidget* LinkBudgetGroupView::buildTransmitter() {
    auto* panel = new QWidget(this);
    auto* form = new QFormLayout(panel);
    form->setContentsMargins(0, 0, 0, 0);
    const auto withUnit = [&](QWidget* field, QComboBox* unit) {
        auto* row = new QHBoxLayout;
        row->addWidget(field, 1);
        row->addWidget(unit);
        return row;
    };
    m_powerUnit = units(QStringLiteral("cmbPowerUnit"), LinkBudgetModel::powerUnits(), &LinkBudgetModel::setCmbPowerUnit);
    form->addRow(QStringLiteral("Tx power"),
                 withUnit(edit(LinkBudgetModel::txtPower, QStringLiteral("Transmitter output; empty for a map of loss only")), m_powerUnit));
    form->addRow(QStringLiteral("Tx line loss (dB)"),
                 edit(LinkBudgetModel::txtTxLoss, QStringLiteral("Feeder, connectors and combiner, 0 to 100 dB")));

    m_fixedGain = new QRadioButton(QStringLiteral("&Gain"), panel);
    m_antennaFile = new QRadioButton(QStringLiteral("A&ntenna file"), panel);
    m_controls.insert(QStringLiteral("optFixedGain"), m_fixedGain);
    m_controls.insert(QStringLiteral("optAntennaFile"), m_antennaFile);
    connect(m_antennaFile, &QRadioButton::toggled, &m_model, &LinkBudgetModel::setOptAntennaFile);
    m_gainUnit = units(QStringLiteral("cmbGainUnit"), LinkBudgetModel::gainUnits(), &LinkBudgetModel::setCmbGainUnit);
    form->addRow(m_fixedGain, withUnit(edit(LinkBudgetModel::txtGain, QStringLiteral("Antenna gain in the main beam, -50 to 60 dBi")), m_gainUnit));

    auto* browse = new QPushButton(QStringLiteral("&Browse..."), panel);
    m_controls.insert(QStringLiteral("cmdBrowseAntenna"), browse);
    connect(browse, &QPushButton::clicked, &m_model, &LinkBudgetModel::cmdBrowseAntenna_Click);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(edit(LinkBudgetModel::txtAntennaFile, QStringLiteral("A pattern file in the Planet/MSI format (.msi, .pln)")), 1);
    fileRow->addWidget(browse);
    form->addRow(m_antennaFile, fileRow);
    auto* mount = new QHBoxLayout;
    mount->addWidget(new QLabel(QStringLiteral("Azimuth (°)"), panel));
    mount->addWidget(edit(LinkBudgetModel::txtAzimuth, QStringLiteral("Bearing of the boresight, 0 to 360 degrees from true north")));
    mount->addWidget(new QLabel(QStringLiteral("Downtilt (°)"), panel));
    mount->addWidget(edit(LinkBudgetModel::txtTilt, QStringLiteral("Mechanical downtilt, -90 to 90 degrees, positive down")));
    form->addRow(QString(), mount);
    m_antenna = new QLabel(panel);
    m_antenna->setWordWrap(true);
    m_controls.insert(QStringLiteral("lblAntenna"), m_antenna);
    form->addRow(m_antenna);
    m_polar = new AntennaPolarWidget(panel);
    m_controls.insert(QStringLiteral("polAntenna"), m_polar);
    form->addRow(m_polar);
    return panel;
}

QWidget* LinkBudgetGroupView::buildReceiver() {
    auto* panel = new QWidget(this);
    auto* form = new QFormLayout(panel);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QStringLiteral("Rx gain (dBi)"),
                 edit(LinkBudgetModel::txtRxGain, QStringLiteral("Receiving antenna gain, -50 to 60 dBi")));
    form->addRow(QStringLiteral("Rx line loss (dB)"),
                 edit(LinkBudgetModel::txtRxLoss, QStringLiteral("Receiver feeder and connectors, 0 to 100 dB")));
    m_thresholdUnit = units(QStringLiteral("cmbThresholdUnit"), LinkBudgetModel::thresholdUnits(), &LinkBudgetModel::setCmbThresholdUnit);
    auto* row = new QHBoxLayout;
    row->addWidget(edit(LinkBudgetModel::txtThreshold, QStringLiteral("Receiver sensitivity or protected field strength; empty for none")), 1);
    row->addWidget(m_thresholdUnit);
    form->addRow(QStringLiteral("Threshold"), row);
    return panel;
}

bool LinkBudgetGroupView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && m_fields.contains(watched))
        m_model.lostFocus(m_fields.value(watched));
    return QGroupBox::eventFilter(watched, event);
}

void LinkBudgetGroupView::refresh() {
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it) {
        auto* line = static_cast<QLineEdit*>(it.key());
        if (line->text() != m_model.text(it.value()))
            line->setText(m_model.text(it.value()));
    }
    m_powerUnit->setCurrentIndex(m_model.cmbPowerUnit());
    m_gainUnit->setCurrentIndex(m_model.cmbGainUnit());
    m_thresholdUnit->setCurrentIndex(m_model.cmbThresholdUnit());
    const QSignalBlocker blockFixed(m_fixedGain);
    const QSignalBlocker blockFile(m_antennaFile);
    m_fixedGain->setChecked(!m_model.optAntennaFile());
    m_antennaFile->setChecked(m_model.optAntennaFile());
    m_controls.value(LinkBudgetModel::controlName(LinkBudgetModel::txtGain))->setEnabled(m_model.txtGainEnabled());
    m_gainUnit->setEnabled(m_model.txtGainEnabled());
    for (const auto field : {LinkBudgetModel::txtAntennaFile, LinkBudgetModel::txtAzimuth, LinkBudgetModel::txtTilt})
        m_controls.value(LinkBudgetModel::controlName(field))->setEnabled(m_model.antennaFieldsEnabled());
    m_antenna->setText(m_model.lblAntenna());
    m_polar->setPattern(m_model.optAntennaFile() ? m_model.pattern() : std::nullopt, m_model.pointing());
}

} // namespace verdan
