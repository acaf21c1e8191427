#include <verdan/terrain/TerrainSource.h>

namespace verdan::terrain {

std::vector<double> Profile::modelArray() const {
    if (elevationsM.size() < 2)
        return {};
    std::vector<double> pfl;
    pfl.reserve(elevationsM.size() + 2);
    pfl.push_back(static_cast<double>(elevationsM.size() - 1));
    pfl.push_back(spacingM);
    pfl.insert(pfl.end(), elevationsM.begin(), elevationsM.end());
    return pfl;
}

} // namespace verdan::terrain
