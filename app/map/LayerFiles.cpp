#include "LayerFiles.h"

#include <QFile>
#include <algorithm>

namespace verdan {

namespace {

QString keyOf(const MapLayer& layer) {
    return QString::number(static_cast<int>(layer.kind)) + u'|' + layer.source;
}

OpenedFile openFile(LayerKind kind, const std::string& path, const std::string& cacheFolder,
                    const geodata::OpenProgress& progress) {
    OpenedFile file;
    terrain::Status status = terrain::Status::success();
    if (kind == LayerKind::Raster) {
        std::unique_ptr<geodata::RasterLayer> raster;
        status = geodata::RasterLayer::open(path, raster);
        file.raster = std::move(raster);
    } else {
        std::unique_ptr<geodata::VectorLayer> vector;
        status = geodata::VectorLayer::open(path, cacheFolder, vector, progress);
        file.vector = std::move(vector);
    }
    if (!status.ok)
        file.problem = QString::fromStdString(status.message);
    return file;
}

} // namespace

LayerFiles::LayerFiles(LayerStack& layers, QString cacheFolder, QObject* parent)
    : QObject(parent), m_layers(layers), m_cacheFolder(std::move(cacheFolder)) {
    connect(&m_layers, &LayerStack::changed, this, &LayerFiles::stopOrphans);
}

LayerFiles::~LayerFiles() {
    cancelAll();
    for (Job& job : m_orphans)
        *job.stop = true;
    for (auto& [key, job] : m_jobs)
        if (job.thread.joinable())
            job.thread.join();
    for (Job& job : m_orphans)
        job.thread.join();
}

std::optional<OpenedFile> LayerFiles::take(int index) {
    const MapLayer& layer = m_layers.at(index);
    const QString key = keyOf(layer);
    const auto it = m_jobs.find(key);
    if (it == m_jobs.end()) {
        start(key, layer);
        return std::nullopt;
    }
    std::optional<OpenedFile> file = std::move(it->second.file);
    if (file)
        m_jobs.erase(it);
    return file;
}

void LayerFiles::cancel(int index) {
    if (index < 0 || index >= m_layers.count())
        return;
    if (const auto it = m_jobs.find(keyOf(m_layers.at(index))); it != m_jobs.end())
        *it->second.stop = true;
}

bool LayerFiles::cancelAll() {
    bool any = false;
    for (auto& [key, job] : m_jobs) {
        any = any || (!job.file && !*job.stop);
        *job.stop = true;
    }
    return any;
}

void LayerFiles::start(const QString& key, const MapLayer& layer) {
    Job& job = m_jobs[key];
    job.kind = layer.kind;
    job.source = layer.source;
    job.serial = m_nextSerial++;
    // The layer says it is being read from the next turn of the event loop on.
    QMetaObject::invokeMethod(
        this, [this, key, serial = job.serial] { progressed(key, serial, 0); },
        Qt::QueuedConnection);
    job.thread = std::thread([this, key, serial = job.serial, stop = job.stop, kind = layer.kind,
                              path = QFile::encodeName(layer.source).toStdString(),
                              cache = QFile::encodeName(m_cacheFolder).toStdString()] {
        int shownPct = 0;
        const geodata::OpenProgress progress = [&](double fraction) {
            const int percent = std::clamp(static_cast<int>(fraction * 100), 0, 100);
            if (percent != shownPct) {
                shownPct = percent;
                QMetaObject::invokeMethod(
                    this, [this, key, serial, percent] { progressed(key, serial, percent); },
                    Qt::QueuedConnection);
            }
            return !*stop;
        };
        const OpenedFile file = openFile(kind, path, cache, progress);
        QMetaObject::invokeMethod(
            this, [this, key, serial, file] { finished(key, serial, file); },
            Qt::QueuedConnection);
    });
}

LayerFiles::Job* LayerFiles::running(const QString& key, quint64 serial) {
    const auto it = m_jobs.find(key);
    return it != m_jobs.end() && it->second.serial == serial ? &it->second : nullptr;
}

void LayerFiles::setOpening(const Job& job, int percent) {
    if (const int index = m_layers.find(job.kind, job.source); index >= 0)
        m_layers.setOpening(index, percent);
}

void LayerFiles::progressed(const QString& key, quint64 serial, int percent) {
    if (const Job* job = running(key, serial); job != nullptr && !job->file)
        setOpening(*job, percent);
}

void LayerFiles::finished(const QString& key, quint64 serial, const OpenedFile& file) {
    const auto orphan = std::find_if(m_orphans.begin(), m_orphans.end(),
                                     [serial](const Job& job) { return job.serial == serial; });
    if (orphan != m_orphans.end()) {
        orphan->thread.join();
        m_orphans.erase(orphan);
        return;
    }
    Job* job = running(key, serial);
    if (job == nullptr)
        return;
    job->thread.join();
    job->file = file;
    setOpening(*job, -1);
    emit fileOpened();
}

void LayerFiles::stopOrphans() {
    for (auto it = m_jobs.begin(); it != m_jobs.end();) {
        const bool kept = std::any_of(m_layers.layers().begin(), m_layers.layers().end(),
                                      [&](const MapLayer& layer) { return keyOf(layer) == it->first; });
        if (kept) {
            ++it;
            continue;
        }
        *it->second.stop = true;
        if (it->second.thread.joinable() && !it->second.file)
            m_orphans.push_back(std::move(it->second));
        it = m_jobs.erase(it);
    }
}

} // namespace verdan
