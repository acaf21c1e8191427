#include "LayerStack.h"

#include <QFileInfo>
#include <algorithm>
#include <array>

namespace verdan {

namespace {

// The names the settings store keeps the kinds under, in LayerKind order.
constexpr std::array<const char*, 4> KindNames = {"hillshade", "raster", "vector", "result"};

// The layers are remembered as "LayerCount" and, per layer N from 1 (the top), "LayerN"
// (its kind), "LayerNSource", "LayerNVisible" (1 or 0) and "LayerNOpacity" (percent).
QString key(int number, const char* part) {
    return QStringLiteral("Layer") + QString::number(number) + QLatin1String(part);
}

bool remembered(const MapLayer& layer) {
    return layer.kind != LayerKind::Result;
}

int kindOf(const QString& name) {
    for (std::size_t k = 0; k < KindNames.size(); ++k)
        if (name == QLatin1String(KindNames[k]))
            return static_cast<int>(k);
    return -1;
}

} // namespace

LayerStack::LayerStack(QObject* parent) : QObject(parent) {
    m_layers.push_back(hillshade());
}

MapLayer LayerStack::hillshade() {
    MapLayer layer;
    layer.kind = LayerKind::Hillshade;
    layer.name = QStringLiteral("Hillshade of the terrain");
    return layer;
}

int LayerStack::add(MapLayer layer) {
    const int existing = find(layer.kind, layer.source);
    if (existing >= 0) {
        MapLayer& old = m_layers[static_cast<std::size_t>(existing)];
        layer.visible = old.visible;
        layer.opacityPct = old.opacityPct;
        old = std::move(layer);
        emit changed();
        return existing;
    }
    if (layer.name.isEmpty())
        layer.name = QFileInfo(layer.source).fileName();
    layer.opacityPct = std::clamp(layer.opacityPct, 0, 100);
    m_layers.insert(m_layers.begin(), std::move(layer));
    emit changed();
    return 0;
}

bool LayerStack::remove(int index) {
    if (!valid(index))
        return false;
    m_layers.erase(m_layers.begin() + index);
    emit changed();
    return true;
}

int LayerStack::find(LayerKind kind, const QString& source) const {
    for (int i = 0; i < count(); ++i)
        if (at(i).kind == kind && at(i).source == source)
            return i;
    return -1;
}

void LayerStack::setVisible(int index, bool visible) {
    if (!valid(index) || at(index).visible == visible)
        return;
    m_layers[static_cast<std::size_t>(index)].visible = visible;
    emit changed();
}

void LayerStack::setOpacity(int index, int opacityPct) {
    opacityPct = std::clamp(opacityPct, 0, 100);
    if (!valid(index) || at(index).opacityPct == opacityPct)
        return;
    m_layers[static_cast<std::size_t>(index)].opacityPct = opacityPct;
    emit changed();
}

void LayerStack::setProblem(int index, const QString& problem) {
    if (!valid(index) || at(index).problem == problem)
        return;
    m_layers[static_cast<std::size_t>(index)].problem = problem;
    emit changed();
}

void LayerStack::setOpening(int index, int percent) {
    if (!valid(index) || at(index).openingPct == percent)
        return;
    m_layers[static_cast<std::size_t>(index)].openingPct = percent;
    emit changed();
}

bool LayerStack::move(int from, int to) {
    if (!valid(from) || !valid(to))
        return false;
    if (from == to)
        return true;
    MapLayer layer = std::move(m_layers[static_cast<std::size_t>(from)]);
    m_layers.erase(m_layers.begin() + from);
    m_layers.insert(m_layers.begin() + to, std::move(layer));
    emit changed();
    return true;
}

int LayerStack::legendLayer() const {
    for (int i = 0; i < count(); ++i)
        if (at(i).kind == LayerKind::Result && at(i).visible)
            return i;
    return -1;
}

void LayerStack::save(SettingsStore& store, const QString& app, const QString& section) const {
    const int before = store.get(app, section, QStringLiteral("LayerCount")).toInt();
    int number = 0;
    for (const MapLayer& layer : m_layers) {
        if (!remembered(layer))
            continue;
        ++number;
        store.save(app, section, key(number, ""),
                   QLatin1String(KindNames[static_cast<std::size_t>(layer.kind)]));
        store.save(app, section, key(number, "Source"), layer.source);
        store.save(app, section, key(number, "Visible"), layer.visible ? QStringLiteral("1")
                                                                      : QStringLiteral("0"));
        store.save(app, section, key(number, "Opacity"), QString::number(layer.opacityPct));
    }
    for (int gone = number + 1; gone <= before; ++gone)
        for (const char* part : {"", "Source", "Visible", "Opacity"})
            store.remove(app, section, key(gone, part));
    store.save(app, section, QStringLiteral("LayerCount"), QString::number(number));
}

void LayerStack::load(SettingsStore& store, const QString& app, const QString& section) {
    std::vector<MapLayer> loaded;
    const int stored = store.get(app, section, QStringLiteral("LayerCount")).toInt();
    for (int number = 1; number <= stored; ++number) {
        const int kind = kindOf(store.get(app, section, key(number, "")));
        MapLayer layer;
        layer.source = store.get(app, section, key(number, "Source"));
        if (kind < 0 || static_cast<LayerKind>(kind) == LayerKind::Result)
            continue;
        layer.kind = static_cast<LayerKind>(kind);
        if (layer.kind == LayerKind::Hillshade) {
            layer = hillshade();
        } else if (layer.source.isEmpty()) {
            continue;
        } else {
            layer.name = QFileInfo(layer.source).fileName();
        }
        layer.visible = store.get(app, section, key(number, "Visible")) != QLatin1String("0");
        bool ok = false;
        const int opacity = store.get(app, section, key(number, "Opacity")).toInt(&ok);
        layer.opacityPct = ok ? std::clamp(opacity, 0, 100) : 100;
        loaded.push_back(std::move(layer));
    }
    if (stored <= 0)
        loaded.push_back(hillshade());
    std::vector<MapLayer> results;
    std::copy_if(m_layers.begin(), m_layers.end(), std::back_inserter(results),
                 [](const MapLayer& layer) { return !remembered(layer); });
    results.insert(results.end(), loaded.begin(), loaded.end());
    m_layers = std::move(results);
    emit changed();
}

} // namespace verdan
