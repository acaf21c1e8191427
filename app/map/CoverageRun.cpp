#include "CoverageRun.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace verdan {

CoverageRun::CoverageRun(CoverageEngine engine, QObject* parent)
    : QObject(parent), m_engine(std::move(engine)) {
    m_control.progress = [this](double fraction) { postProgress(fraction); };
}

CoverageRun::~CoverageRun() {
    m_control.cancel = true;
    if (m_thread.joinable())
        m_thread.join();
}

bool CoverageRun::start(const coverage::CoverageInputs& inputs,
                        std::shared_ptr<const terrain::TerrainSource> terrain) {
    if (m_state == RunState::Running || m_state == RunState::Cancelling || !terrain)
        return false;
    m_networkSites.clear();
    launch(inputs, std::move(terrain));
    return true;
}

bool CoverageRun::startNetwork(std::vector<coverage::CoverageInputs> sites,
                               std::vector<std::string> names,
                               const coverage::ChannelSettings& channel,
                               std::shared_ptr<const terrain::TerrainSource> terrain) {
    if (m_state == RunState::Running || m_state == RunState::Cancelling || !terrain ||
        sites.empty() || sites.size() != names.size())
        return false;
    if (m_thread.joinable())
        m_thread.join();
    const coverage::CoverageInputs first = sites.front();
    m_networkSites = std::move(sites);
    m_networkNames = std::move(names);
    m_channel = channel;
    launch(first, std::move(terrain));
    return true;
}

void CoverageRun::launch(const coverage::CoverageInputs& inputs,
                         std::shared_ptr<const terrain::TerrainSource> terrain) {
    if (m_thread.joinable())
        m_thread.join();
    m_runInputs = inputs;
    m_runTerrain = std::move(terrain);
    m_message.clear();
    m_progress = 0;
    m_workerProgress = 0;
    m_lastPost = {};
    m_control.cancel = false;
    setState(RunState::Running);
    m_thread = std::thread([this] { work(); });
}

// Each site's run in turn, its progress a share of the whole; then the merge. Only the
// power and margin bands of the sites' maps are kept for it.
coverage::CoverageResult CoverageRun::workNetwork(Outcome& outcome) {
    const std::size_t count = m_networkSites.size();
    std::vector<coverage::CoverageGrid> grids(count);
    for (std::size_t i = 0; i < count; ++i) {
        m_control.progress = [this, i, count](double fraction) {
            postProgress((static_cast<double>(i) + fraction) / static_cast<double>(count));
        };
        coverage::CoverageResult site = m_engine(m_networkSites[i], *m_runTerrain, m_control);
        if (!site.ok || site.cancelled || m_control.cancel) {
            site.message = "site " + m_networkNames[i] + ": " + site.message;
            return site;
        }
        grids[i] = std::move(site.grid);
        grids[i].lossDb = {};
        grids[i].fieldDbuvm = {};
    }
    std::vector<coverage::NetworkGridSite> sites;
    for (std::size_t i = 0; i < count; ++i)
        sites.push_back({m_networkNames[i], &grids[i], m_networkSites[i].freqMHz});
    auto merged = std::make_shared<coverage::NetworkGrid>();
    coverage::CoverageResult result;
    const coverage::Status status = coverage::mergeNetwork(sites, m_channel, *merged, &m_control.cancel);
    result.ok = status.ok;
    result.cancelled = status.code == coverage::WriteCancelled;
    result.message = status.message;
    outcome.network = std::move(merged);
    return result;
}

void CoverageRun::work() {
    auto outcome = std::make_unique<Outcome>();
    const auto started = std::chrono::steady_clock::now();
    try {
        outcome->result = m_networkSites.empty() ? m_engine(m_runInputs, *m_runTerrain, m_control)
                                                 : workNetwork(*outcome);
    } catch (const std::exception& e) {
        outcome->result = {};
        outcome->result.message = std::string("The coverage run failed: ") + e.what();
    }
    m_control.progress = [this](double fraction) { postProgress(fraction); };
    outcome->result.cancelled = outcome->result.cancelled || m_control.cancel;
    outcome->elapsedSec =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    m_outcome = std::move(outcome);
    QMetaObject::invokeMethod(this, [this] { finish(); }, Qt::QueuedConnection);
}

void CoverageRun::postProgress(double fraction) {
    m_workerProgress = fraction;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastPost < ProgressInterval || m_progressPosted.exchange(true))
        return;
    m_lastPost = now;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_progressPosted = false;
            if (m_state != RunState::Running)
                return;
            m_progress = m_workerProgress;
            emit progressChanged();
        },
        Qt::QueuedConnection);
}

const coverage::CoverageGrid& CoverageRun::grid() const {
    static const coverage::CoverageGrid none;
    return m_map.result ? m_map.result->grid : none;
}

std::shared_ptr<const coverage::CoverageGrid> CoverageRun::sharedGrid() const {
    if (!m_map.result)
        return nullptr;
    return std::shared_ptr<const coverage::CoverageGrid>(m_map.result, &m_map.result->grid);
}

void CoverageRun::finish() {
    if (!m_outcome)
        return;
    if (m_thread.joinable())
        m_thread.join();
    std::unique_ptr<Outcome> outcome = std::move(m_outcome);
    if (outcome->result.cancelled || !outcome->result.ok) {
        m_progress = 0;
        emit progressChanged();
        if (!outcome->result.cancelled)
            m_message = QString::fromStdString(outcome->result.message);
        setState(outcome->result.cancelled ? RunState::Idle : RunState::Failed);
        return;
    }
    m_terrain = m_runTerrain;
    if (outcome->network) {
        m_network = std::move(outcome->network);
        m_networkCells = m_network->layout.cellCount();
        m_networkElapsedSec = outcome->elapsedSec;
    } else {
        m_map = {m_runInputs, std::move(m_runTerrain),
                 std::make_shared<const coverage::CoverageResult>(std::move(outcome->result)),
                 outcome->elapsedSec};
        ++m_mapSerial;
    }
    m_progress = 1;
    emit progressChanged();
    setState(RunState::Done);
}

void CoverageRun::cancel() {
    if (m_state != RunState::Running)
        return;
    m_control.cancel = true;
    setState(RunState::Cancelling);
}

void CoverageRun::wait() {
    if (m_thread.joinable())
        m_thread.join();
    QCoreApplication::sendPostedEvents(this);
    finish();
}

void CoverageRun::setState(RunState state) {
    m_state = state;
    emit stateChanged();
}

} // namespace verdan
