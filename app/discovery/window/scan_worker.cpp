#include "scan_worker.h"

#include "config_codes.h"

#include <contract/records.h>
#include <contract/request_codes.h>
#include <contract/window_records.h>

#include <algorithm>
#include <cstring>

namespace tamsel::discovery {

namespace req = contract::req;

namespace {

template <std::size_t N> void copyName(char (&to)[N], const std::string& from) {
    const std::size_t n = std::min(from.size(), N - 1);
    std::memcpy(to, from.data(), n);
    to[n] = '\0';
}

NameList namesOf(const contract::TagList& list) {
    NameList out;
    for (const QString& item : list.items) {
        out.names.push_back(item.toStdString());
    }
    out.selected = std::clamp(list.selected, 0, std::max(0, out.size() - 1));
    return out;
}

} // namespace

TScanWorker::TScanWorker(contract::TRequestSink& app, QObject& owner, ScanTable& table)
    : m_app(app), m_table(table), m_gate(owner) {}

TScanWorker::~TScanWorker() {
    m_stop = true;
    m_gate.shut();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void TScanWorker::start(ScanJob job) {
    m_stop = false;
    m_finished = false;
    {
        const std::lock_guard lock(m_mutex);
        m_gauge = GaugeState{};
    }
    m_thread = std::thread([this, job = std::move(job)] {
        ScanEngine engine(*this, *this, *this, m_table);
        m_end = job(engine);
        m_finished = true;
    });
}

ScanEnd TScanWorker::collect() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
    m_finished = false;
    return m_end;
}

GaugeState TScanWorker::gauge() const {
    const std::lock_guard lock(m_mutex);
    return m_gauge;
}

ProbeTry TScanWorker::lastTry() const {
    const std::lock_guard lock(m_mutex);
    return m_last;
}

void TScanWorker::request(std::uint16_t code, void* record) {
    m_gate.run([this, code, record] { m_app.request(code, kConfigDialog, record); });
}

std::optional<std::string> TScanWorker::probe(const ProbeTry& t) {
    contract::TagProbe record;
    copyName(record.target, t.target);
    copyName(record.port, t.port);
    copyName(record.baud, t.baud);
    copyName(record.protocol, t.protocol);
    record.openFirst = t.openFirst ? 1 : 0;
    record.closeAfter = t.closeAfter ? 1 : 0;
    record.address = t.address;
    record.step = contract::kProbeAnswered;
    bool ran = false;
    m_gate.run([this, &record, &ran] {
        m_app.request(req::kProbeAsk, kConfigDialog, &record);
        ran = true;
    });
    if (!ran || record.step != contract::kProbeAnswered) {
        return std::nullopt;
    }
    record.result[sizeof record.result - 1] = '\0';
    return std::string(record.result);
}

NameList TScanWorker::protocolsOf(const std::string& target) {
    contract::TagList list;
    list.target = QString::fromStdString(target);
    request(req::kListProtocolsAll, &list);
    return namesOf(list);
}

NameList TScanWorker::baudsOf(const std::string& target, const std::string& protocol) {
    contract::TagList list;
    list.target = QString::fromStdString(target);
    list.protocol = QString::fromStdString(protocol);
    request(req::kListBaudsAll, &list);
    return namesOf(list);
}

bool TScanWorker::stopRequested() {
    return m_stop || m_gate.isShut();
}

void TScanWorker::gaugeRange(int low, int high) {
    const std::lock_guard lock(m_mutex);
    m_gauge.low = low;
    m_gauge.high = high;
}

void TScanWorker::gaugePosition(int position) {
    const std::lock_guard lock(m_mutex);
    m_gauge.position = position;
}

void TScanWorker::gaugeCaption(const std::string& caption) {
    const std::lock_guard lock(m_mutex);
    m_gauge.caption = caption;
}

void TScanWorker::gaugeShown(bool shown) {
    const std::lock_guard lock(m_mutex);
    m_gauge.shown = shown;
}

void TScanWorker::trace(const std::string& text) {
    char buffer[contract::kTextSize] = {};
    copyName(buffer, text);
    request(req::kDiagnostic, buffer);
}

void TScanWorker::trying(const ProbeTry& t) {
    const std::lock_guard lock(m_mutex);
    m_last = t;
}

void TScanWorker::remainingTime(std::chrono::milliseconds left) {
    const std::lock_guard lock(m_mutex);
    m_gauge.remaining = left;
}

} // namespace tamsel::discovery
