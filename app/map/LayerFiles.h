#pragma once

#include "LayerStack.h"

#include <verdan/geodata/RasterLayer.h>
#include <verdan/geodata/VectorLayer.h>

#include <QHash>
#include <QObject>
#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace verdan {

/// The file of a picture or vector layer, opened.
struct OpenedFile {
    std::shared_ptr<geodata::RasterLayer> raster;
    std::shared_ptr<geodata::VectorLayer> vector;
    /// Why neither could be opened; empty when one was.
    QString problem;
};

/// Opens the files of the map's picture and vector layers on worker threads, a thread a
/// file, so that the window never waits for a slow open (an OpenStreetMap extract is read
/// into its cached GeoPackage the first time). While a file is read its layer tells how far
/// the reading has come; a layer removed meanwhile stops its reading. Lives on the
/// user-interface thread; fileOpened() is emitted there.
class LayerFiles : public QObject {
    Q_OBJECT
public:
    /// `cacheFolder` holds the cached copies of OpenStreetMap extracts.
    LayerFiles(LayerStack& layers, QString cacheFolder, QObject* parent = nullptr);
    /// Stops every reading and waits for its thread.
    ~LayerFiles() override;

    /// The opened file of the picture or vector layer at `index`, handed over once; empty
    /// while it is read, the reading started the first time it is asked for.
    std::optional<OpenedFile> take(int index);
    /// Stops the reading of the layer at `index`: it ends with the problem "cancelled" and
    /// leaves no cached copy.
    void cancel(int index);
    /// Stops every reading under way; true when there was one.
    bool cancelAll();

signals:
    /// A reading ended: take() has the file.
    void fileOpened();

private:
    // The reading of one file; `serial` tells a reading from a later one of the same file.
    struct Job {
        LayerKind kind = LayerKind::Raster;
        QString source;
        quint64 serial = 0;
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> stop = std::make_shared<std::atomic<bool>>(false);
        std::optional<OpenedFile> file;
    };

    void start(const QString& key, const MapLayer& layer);
    Job* running(const QString& key, quint64 serial);
    void setOpening(const Job& job, int percent);
    void progressed(const QString& key, quint64 serial, int percent);
    void finished(const QString& key, quint64 serial, const OpenedFile& file);
    void stopOrphans();

    LayerStack& m_layers;
    QString m_cacheFolder;
    quint64 m_nextSerial = 1;
    /// By layer, a layer's kind and source making its key.
    std::map<QString, Job> m_jobs;
    /// Readings of layers that went, until their threads end.
    std::vector<Job> m_orphans;
};

} // namespace verdan
