#include "MapColours.h"

#include "NumberFormat.h"

#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cmath>

namespace verdan {

namespace {

constexpr double LowestLevel = -100;
constexpr double HighestLevel = 400;

// Green for the best reception through yellow and red to violet for the weakest.
constexpr std::array<Rgb, MaxMapLevels> Palette = {{{0, 140, 0},
                                                    {110, 200, 0},
                                                    {230, 230, 0},
                                                    {255, 170, 0},
                                                    {255, 90, 0},
                                                    {220, 0, 0},
                                                    {170, 0, 120},
                                                    {100, 0, 170}}};

bool bestFirst(MapQuantity quantity, double a, double b) {
    return coverage::higherIsBetter(quantity) ? a > b : a < b;
}

} // namespace

MapColours::MapColours(MapQuantity quantity, std::vector<double> levels, bool hatchWarnings)
    : m_quantity(quantity), m_levels(std::move(levels)), m_hatchWarnings(hatchWarnings) {}

int MapColours::bandOf(double value) const {
    if (std::isnan(value))
        return -1;
    for (std::size_t i = 0; i < m_levels.size(); ++i) {
        if (value == m_levels[i] || bestFirst(m_quantity, value, m_levels[i]))
            return static_cast<int>(i);
    }
    return -1;
}

Rgb MapColours::bandColour(int band) {
    return Palette.at(static_cast<std::size_t>(std::clamp(band, 0, MaxMapLevels - 1)));
}

QString MapColours::unit() const {
    return QString::fromStdString(coverage::quantityUnit(m_quantity));
}

QString MapColours::title() const {
    return QString::fromStdString(coverage::quantityTitle(m_quantity));
}

QStringList MapColours::legendLabels() const {
    const QString first =
        coverage::higherIsBetter(m_quantity) ? QStringLiteral(">= ") : QStringLiteral("<= ");
    QStringList labels;
    for (std::size_t i = 0; i < m_levels.size(); ++i) {
        const QString level = numfmt::generalNumber(m_levels[i]);
        labels << (i == 0
                       ? first + level
                       : numfmt::generalNumber(m_levels[i - 1]) + QStringLiteral(" - ") + level) +
                      u' ' + unit();
    }
    return labels;
}

QString defaultLevelsText(MapQuantity quantity) {
    return QString::fromStdString(coverage::levelsText(coverage::defaultLevels(quantity)));
}

bool parseLevels(const QString& text, MapQuantity quantity, std::vector<double>& levels) {
    static const QRegularExpression number(
        QStringLiteral(R"(^\s*[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?\s*$)"));
    std::vector<double> read;
    for (const QString& part : text.split(u',')) {
        if (!number.match(part).hasMatch())
            return false;
        const double value = numfmt::leadingNumber(part);
        if (value < LowestLevel || value > HighestLevel)
            return false;
        read.push_back(value);
    }
    std::sort(read.begin(), read.end(),
              [quantity](double a, double b) { return bestFirst(quantity, a, b); });
    read.erase(std::unique(read.begin(), read.end()), read.end());
    if (read.empty() || read.size() > static_cast<std::size_t>(MaxMapLevels))
        return false;
    levels = std::move(read);
    return true;
}

QString levelsText(const std::vector<double>& levels) {
    QStringList parts;
    for (double level : levels)
        parts << numfmt::generalNumber(level);
    return parts.join(u',');
}

} // namespace verdan
