#include "tools/modemsim/ScenarioPlayer.h"

#include "tools/modemsim/LteStick.h"

#include <QDir>
#include <QFileInfo>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace modemsim
{

namespace
{
template <class... Ts> struct Overloaded : Ts... {
    using Ts::operator()...;
};
// clang 14 does not deduce an aggregate's template arguments by itself.
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;
} // namespace

QString applyAction(ModemSimulator& sim, const ScenarioAction& action)
{
    using namespace action;
    QString problem;
    std::visit(Overloaded{
                   [&](const Rssi& a) { sim.setRssi(a.value); },
                   [&](const Operator& a) { sim.setOperator(a.longName, a.shortName, a.numeric); },
                   [&](const NoOperator&) { sim.clearOperator(); },
                   [&](const Tech& a) { sim.setTechnology(a.technology); },
                   [&](const RegistrationStatus& a) { sim.setRegistration(a.status); },
                   [&](const Lac& a) { sim.setLac(a.value); },
                   [&](const Cell& a) { sim.setCellId(a.value); },
                   [&](const CopsFormat& a) { sim.setCopsFormat(a.format); },
                   [&](const QuotedRegistration& a) { sim.setQuotedRegistration(a.on); },
                   [&](const Echo& a) { sim.setEcho(a.on); },
                   [&](const Latency& a) { sim.setLatency(a.value); },
                   [&](const CopsLatency& a) { sim.setCopsLatency(a.value); },
                   [&](const Split& a) { sim.setReplySplit(a.split, a.pause); },
                   [&](const Silent& a) {
                       if (a.duration)
                           sim.silenceFor(*a.duration);
                       else
                           sim.silenceForever();
                   },
                   [&](const Speak&) { sim.endSilence(); },
                   [&](const Garbage& a) { sim.sendGarbage(a.bytes); },
                   [&](const Flood& a) {
                       if (a.bytes == 0)
                           sim.stopFlood();
                       else
                           sim.flood(a.bytes, a.bytesPerSecond);
                   },
                   [&](const Unplug&) { sim.unplug(); },
                   [&](const Replug& a) {
                       const QString link = sim.linkPath();
                       if (!a.linkName.isEmpty() && link.isEmpty())
                           problem = QStringLiteral("replug %1 needs a link path").arg(a.linkName);
                       else if (!(a.linkName.isEmpty()
                                      ? sim.replug()
                                      : sim.replug(QFileInfo(link).dir().filePath(a.linkName))))
                           problem = QStringLiteral("replug failed: %1").arg(sim.errorString());
                   },
                   [&](const Report& a) { sim.setUnsolicited(a.kind, a.on, a.period); },
                   [&](const Quit&) {},
                   [&](const LteNetwork& a) { sim.modifyState(a.nsa ? useNsaStick : useLteStick); },
                   [&](const CellFigure& a) {
                       sim.modifyState([a](ModemState& s) {
                           // Through a reference: g++ 12 applies .* to a copy of a ?: result.
                           CellQuality& cell = a.nr ? s.nrQuality : s.lteQuality;
                           cell.*a.figure = a.value;
                       });
                   },
                   [&](const RefuseHcsq& a) {
                       sim.modifyState([a](ModemState& s) { s.refuseHcsq = a.on; });
                   },
                   [&](const Hilink& a) {
                       sim.modifyState([a](ModemState& s) {
                           if (a.expireSession)
                               ++s.hilinkSessionEpoch;
                           else
                               s.hilinkPassword = a.password;
                       });
                   },
               },
               action);
    return problem;
}

struct ScenarioPlayer::Impl {
    ModemSimulator& simulator;
    Clock::time_point origin;
    std::mutex mutex;
    std::condition_variable changed;
    std::multimap<Clock::time_point, ScenarioAction> due;
    int running = 0; // steps taken off the queue, not yet applied
    bool stopping = false;
    std::function<void(const ScenarioAction&, const QString&)> afterStep;
    std::thread thread;

    Impl(ModemSimulator& sim, Clock::time_point from) : simulator(sim), origin(from) {}

    void run()
    {
        std::unique_lock lock(mutex);
        while (!stopping) {
            if (due.empty()) {
                changed.wait(lock);
                continue;
            }
            const auto next = due.begin();
            if (Clock::now() < next->first) {
                changed.wait_until(lock, next->first);
                continue;
            }
            const ScenarioAction action = next->second;
            due.erase(next);
            ++running;
            const auto handler = afterStep;
            lock.unlock();
            const QString problem = applyAction(simulator, action);
            if (handler)
                handler(action, problem);
            lock.lock();
            --running;
            changed.notify_all();
        }
    }
};

ScenarioPlayer::ScenarioPlayer(ModemSimulator& simulator, Clock::time_point origin)
    : d(std::make_unique<Impl>(simulator, origin))
{
    d->thread = std::thread([impl = d.get()] { impl->run(); });
}

ScenarioPlayer::~ScenarioPlayer()
{
    {
        std::lock_guard lock(d->mutex);
        d->stopping = true;
        d->changed.notify_all();
    }
    d->thread.join();
}

void ScenarioPlayer::setAfterStep(
    std::function<void(const ScenarioAction&, const QString&)> handler)
{
    std::lock_guard lock(d->mutex);
    d->afterStep = std::move(handler);
}

void ScenarioPlayer::add(const ScenarioStep& step)
{
    std::lock_guard lock(d->mutex);
    // A step without a time, or one already past, joins the steps due now, after them.
    const auto now = Clock::now();
    const auto when = step.at ? std::max(d->origin + *step.at, now) : now;
    d->due.emplace(when, step.action);
    d->changed.notify_all();
}

bool ScenarioPlayer::waitUntilDone(int timeoutMs)
{
    std::unique_lock lock(d->mutex);
    return d->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [this] { return d->due.empty() && d->running == 0; });
}

} // namespace modemsim
