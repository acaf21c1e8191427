#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace verdan {

/// Largest number of values in each of the reliability and confidence lists.
inline constexpr int MaxListValues = 7;

/// What a point-to-point run reads from the point-to-point form, taken when the run starts:
/// the numbers the fields' texts read by the leading-number rule, the climate text, the two
/// value lists in list order (at most MaxListValues each are used) and the profile picture.
struct PointToPointInputs {
    double frequencyMHz = 20; ///< model range 20..20000
    double h1M = 3.3;         ///< transmitter antenna height, 0.5..3000
    double h2M = 1.3;         ///< receiver antenna height, 0.5..3000
    bool horizontal = false;  ///< "Horizontal" selected (else "Vertical")
    double eps = 15;          ///< relative permittivity of the ground
    double sgmSPerM = 0.001;  ///< ground conductivity, S/m
    double nsNUnits = 301;    ///< surface refractivity, 250..400 N-units
    QString climateText = QStringLiteral("Continental Temperate");
    std::vector<double> reliabilityPct{1, 10, 50, 90, 99};
    std::vector<double> confidencePct{50, 90, 10};
    /// The profile picture (PNG) inserted into the report, with its size in pixels; an
    /// empty picture inserts nothing.
    QByteArray picturePng;
    int pictureWidthPx = 0;
    int pictureHeightPx = 0;
};

} // namespace verdan
