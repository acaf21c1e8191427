#pragma once

#include <verdan/terrain/TerrainSource.h>

#include <vector>

namespace verdan::test {

/// A terrain of fixed elevations every kilometre, whatever the ends.
class TableTerrain : public terrain::TerrainSource {
public:
    explicit TableTerrain(std::vector<double> elevationsM) : m_elevationsM(std::move(elevationsM)) {}
    std::string displayName() const override { return "Table"; }
    int pointCountFor(terrain::GeoPoint, terrain::GeoPoint) const override {
        return static_cast<int>(m_elevationsM.size());
    }
    terrain::Status profile(terrain::GeoPoint, terrain::GeoPoint, int, terrain::Profile& out) const override {
        out.elevationsM = m_elevationsM;
        out.spacingM = 1000;
        return terrain::Status::success();
    }
    terrain::Status elevationAt(terrain::GeoPoint, double& elevationM) const override {
        elevationM = m_elevationsM.front();
        return terrain::Status::success();
    }

private:
    std::vector<double> m_elevationsM;
};

} // namespace verdan::test
