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
    return true;
}

void CoverageRun::work() {
    auto outcome = std::make_unique<Outcome>();
    const auto started = std::chrono::steady_clock::now();
    try {
        outcome->result = m_engine(m_runInputs, *m_runTerrain, m_control);
    } catch (const std::exception& e) {
        outcome->result = {};
        outcome->result.message = std::string("The coverage run failed: ") + e.what();
    }
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
    m_map = {m_runInputs, std::move(m_runTerrain),
             std::make_shared<const coverage::CoverageResult>(std::move(outcome->result)),
             outcome->elapsedSec};
    ++m_mapSerial;
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
