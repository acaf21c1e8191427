#include "LayerStack.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <utility>

namespace verdan {
namespace {

const QString App = QStringLiteral("Verdan");
const QString Section = QStringLiteral("Planning Map");

MapLayer fileLayer(LayerKind kind, const QString& path) {
    MapLayer layer;
    layer.kind = kind;
    layer.source = path;
    return layer;
}

MapLayer resultLayer(const QString& id, bool visible = true) {
    MapLayer layer = fileLayer(LayerKind::Result, id);
    layer.visible = visible;
    layer.legendTitle = QStringLiteral("Received power (dBm)");
    return layer;
}

QStringList sources(const LayerStack& stack) {
    QStringList out;
    for (const MapLayer& layer : stack.layers())
        out << (layer.kind == LayerKind::Hillshade ? QStringLiteral("<hillshade>") : layer.source);
    return out;
}

TEST(LayerStack, NewLayersGoOnTopTheSameSourceIsReplacedInPlaceTheTopVisibleResultGivesTheLegend) {
    LayerStack stack;
    EXPECT_EQ(stack.legendLayer(), -1);
    stack.add(resultLayer("loss"));
    stack.add(resultLayer("power", false));
    stack.add(fileLayer(LayerKind::Raster, "/maps/ortho.tif"));
    stack.add(fileLayer(LayerKind::Vector, "/maps/roads.gpkg"));
    EXPECT_EQ(sources(stack),
              QStringList({"/maps/roads.gpkg", "/maps/ortho.tif", "power", "loss", "<hillshade>"}));
    EXPECT_EQ(stack.at(0).name, "roads.gpkg");
    EXPECT_EQ(stack.legendLayer(), 3);
    stack.setVisible(2, true);
    EXPECT_EQ(stack.legendLayer(), 2);

    stack.setOpacity(1, 40);
    stack.setVisible(1, false);
    MapLayer again = fileLayer(LayerKind::Raster, "/maps/ortho.tif");
    again.name = QStringLiteral("Orthophoto");
    EXPECT_EQ(stack.add(again), 1);
    EXPECT_EQ(stack.count(), 5);
    EXPECT_EQ(stack.at(1).name, "Orthophoto");
    EXPECT_EQ(stack.at(1).opacityPct, 40) << "a layer added again keeps the user's settings";
    EXPECT_FALSE(stack.at(1).visible);
}

TEST(LayerStack, MovesClampsAndRefusesIndicesOutOfRange) {
    struct Row {
        int from, to;
        bool ok;
        QStringList order;
    };
    const Row rows[] = {
        {0, 2, true, {"b", "<hillshade>", "a"}},
        {2, 0, true, {"<hillshade>", "a", "b"}},
        {1, 1, true, {"a", "b", "<hillshade>"}},
        {0, 3, false, {"a", "b", "<hillshade>"}},
        {-1, 0, false, {"a", "b", "<hillshade>"}},
    };
    for (const Row& row : rows) {
        LayerStack stack;
        stack.add(fileLayer(LayerKind::Vector, "b"));
        stack.add(fileLayer(LayerKind::Raster, "a"));
        EXPECT_EQ(stack.move(row.from, row.to), row.ok) << row.from << "->" << row.to;
        EXPECT_EQ(sources(stack), row.order) << row.from << "->" << row.to;
    }
    LayerStack stack;
    stack.setOpacity(0, 250);
    EXPECT_EQ(stack.at(0).opacityPct, 100);
    stack.setOpacity(0, -5);
    EXPECT_EQ(stack.at(0).opacityPct, 0);
    EXPECT_FALSE(stack.remove(1));
}

TEST(LayerStack, FileLayersAreRememberedWithOrderVisibilityAndOpacityResultsAreNot) {
    MemorySettingsStore store;
    LayerStack stack;
    QSignalSpy changes(&stack, &LayerStack::changed);
    stack.add(fileLayer(LayerKind::Raster, "/maps/ortho,1.tif"));
    stack.add(resultLayer("run-1"));
    stack.add(fileLayer(LayerKind::Vector, "/maps/roads.gpkg"));
    stack.setOpacity(0, 35);
    stack.setVisible(2, false);
    EXPECT_EQ(changes.count(), 5);
    stack.save(store, App, Section);

    LayerStack again;
    again.add(resultLayer("run-2"));
    again.load(store, App, Section);
    EXPECT_EQ(sources(again),
              QStringList({"run-2", "/maps/roads.gpkg", "/maps/ortho,1.tif", "<hillshade>"}));
    EXPECT_EQ(again.at(1).opacityPct, 35);
    EXPECT_FALSE(again.at(2).visible);
    EXPECT_TRUE(again.at(3).visible);

    // Fewer layers saved later leave nothing of the longer list behind.
    again.remove(1);
    again.remove(1);
    again.save(store, App, Section);
    EXPECT_EQ(store.get(App, Section, "Layer2"), "");
    EXPECT_EQ(store.get(App, Section, "Layer2Source"), "");
}

TEST(LayerStack, DamagedSettingsGiveTheLayersThatCanBeRead) {
    MemorySettingsStore store;
    const std::pair<const char*, const char*> damaged[] = {
        {"LayerCount", "4"},  {"Layer1", "teapot"},        {"Layer1Source", "/x"},
        {"Layer2", "vector"}, {"Layer3", "result"},        {"Layer3Source", "run-9"},
        {"Layer4", "raster"}, {"Layer4Source", "/maps/a.tif"}, {"Layer4Opacity", "lots"}};
    for (const auto& [key, value] : damaged)
        store.save(App, Section, QLatin1String(key), QLatin1String(value));
    LayerStack stack;
    stack.load(store, App, Section);
    EXPECT_EQ(sources(stack), QStringList({"/maps/a.tif"}));
    EXPECT_EQ(stack.at(0).opacityPct, 100);

    // Settings without layers leave only the relief, whatever was shown before.
    MemorySettingsStore empty;
    stack.load(empty, App, Section);
    EXPECT_EQ(sources(stack), QStringList({"<hillshade>"}));
}

} // namespace
} // namespace verdan
