#pragma once

#include <verdan/radio/AntennaPattern.h>

#include <QWidget>
#include <optional>

namespace verdan {

/// The two cuts of an antenna pattern side by side as polar plots: the horizontal cut seen
/// from above with north up, the vertical cut seen from the side with the front to the
/// right, gain rings every 10 dB labelled in dBi, as the antenna is mounted (azimuth and
/// mechanical downtilt applied). Empty with a note when there is no pattern.
class AntennaPolarWidget : public QWidget {
    Q_OBJECT
public:
    explicit AntennaPolarWidget(QWidget* parent = nullptr);

    /// Shows `pattern` mounted as `pointing`; no pattern clears the plots.
    void setPattern(const std::optional<radio::AntennaPattern>& pattern,
                    const radio::AntennaPointing& pointing);
    QSize sizeHint() const override { return {360, 190}; }

    /// The depth of the plots below the peak, dB.
    static constexpr double RangeDb = 40;
    static constexpr double RingStepDb = 10;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawPlot(QPainter& painter, const QRectF& box, const QString& title, bool horizontal);

    std::optional<radio::AntennaPattern> m_pattern;
    radio::AntennaPointing m_pointing;
};

} // namespace verdan
