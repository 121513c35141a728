#include "SoakChecker.h"
#include "Controller.h"
#include "Devsim.h"
#include "Handle.h"
#include "Serial.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
// What one exchange may take beyond its reply delay: the hand-over to the port's thread, the
// framing and the reads with their 1 ms time-outs, under Wine.
constexpr double kExchangeOverheadMs = 10;
// What a pass may take beyond its exchanges: the timer thread, the phases' hand-overs and the
// post, on a machine shared with builds.
constexpr double kPassMarginMs = 150;
// How long the pty pair takes to pass bytes on, and a scheduling slip of devsim's clock.
constexpr LONG kTransitMs = 5;
// devsim's pause between attempts to connect to the pipe again.
constexpr LONG kReconnectMs = 50;

std::vector<unsigned> HexBytes(const std::string& text)
{
    std::vector<unsigned> bytes;
    for (const std::string& hex : Split(text, ' '))
        if (!hex.empty())
            bytes.push_back(unsigned(std::strtoul(hex.c_str(), nullptr, 16)));
    return bytes;
}

// A DCON line of the log without its carriage return and checksum; false when it has no end.
bool DconText(const std::string& logged, bool lrc, std::string& text)
{
    if (logged.size() < 2 || logged.compare(logged.size() - 2, 2, "\\r") != 0)
        return false;
    text = logged.substr(0, logged.size() - 2);
    if (lrc) {
        if (text.size() < 2)
            return false;
        text.resize(text.size() - 2);
    }
    return true;
}

bool After(DWORD tick, DWORD limit) { return LONG(tick - limit) > 0; }

std::string Values(const std::vector<double>& values)
{
    std::string text;
    for (double value : values) {
        char number[32];
        _snprintf(number, sizeof number, "%s%g", text.empty() ? "" : " ", value);
        number[sizeof number - 1] = 0;
        text += number;
    }
    return text;
}
}  // namespace

void CSimLogTail::Poll(std::deque<SimExchange>& into)
{
    CHandle file(::CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.IsValid())
        return;
    LARGE_INTEGER at;
    at.QuadPart = m_offset;
    ::SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
    char buffer[16384];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        m_offset += got;
        m_partial.append(buffer, got);
    }
    size_t start = 0;
    for (size_t end; (end = m_partial.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = m_partial.substr(start, end - start);
        if (line.compare(0, 8, "# clock ") == 0)
            m_clock = DWORD(std::strtoul(line.c_str() + 8, nullptr, 10));
        std::vector<std::string> fields = Split(line, '\t');
        if (line.empty() || line[0] == '#' || fields.size() < 3)
            continue;
        SimExchange exchange;
        exchange.tick = m_clock + DWORD(std::atof(fields[0].c_str()) * 1000.0 + 0.5);
        exchange.request = fields[1];
        exchange.reply = fields[2];
        exchange.waited = fields.size() > 3 ? std::atof(fields[3].c_str()) : 0.0;
        exchange.fault = fields.size() > 4 ? fields[4] : "";
        into.push_back(exchange);
    }
    m_partial.erase(0, start);
}

CSoakChecker::CSoakChecker(std::vector<SoakSegment> segments, const std::vector<std::wstring>& logs)
{
    for (size_t s = 0; s < segments.size(); ++s) {
        m_segments.push_back({segments[s], CSimLogTail(logs[s]), {}, {}, {}, {}});
        Segment& segment = m_segments.back();
        for (const auto& config : segment.config.devices) {
            const SoakDeviceKind& kind = SoakKind(config.first);
            int index = int(m_devices.size());
            m_devices.push_back({config.first, config.second, s, kind.inputs, {std::vector<double>(kind.inputs, 0.0)}, {}});
            if (segment.config.modbus) {
                segment.link.push_back({-1, Role::Link, false});
                segment.link.push_back({index, Role::Read, false});
            }
            for (int i = 0; i < kind.linkCommands; ++i)
                segment.link.push_back({index, Role::Link, false});
            if (kind.inputs > 0)
                segment.reads.push_back({index, Role::Read, false});
            if (kind.outputs > 0)  // the RRG-12 sends its set point at most every 5 s
                segment.writes.push_back({index, Role::Write, segment.config.modbus});
        }
    }
}

void CSoakChecker::LinkChecked(bool ok) { m_events.push_back({false, ok, ::GetTickCount(), 0}); }

void CSoakChecker::PassEnded(bool ok, DWORD postTick) { m_events.push_back({true, ok, postTick, ++m_passNumber}); }

void CSoakChecker::ValuesAfter(long pass, const CController& engine)
{
    std::vector<std::vector<double>> values;
    for (size_t d = 0; d < m_devices.size() && d < engine.Devices().size(); ++d) {
        values.emplace_back();
        for (const CValue& input : engine.Devices()[d]->inputs)
            values.back().push_back(input.AsNumber());
    }
    m_values[pass] = values;
}

void CSoakChecker::Analyze(bool final)
{
    for (Segment& segment : m_segments)
        segment.log.Poll(segment.queue);
    while (!m_events.empty() && !m_desynchronised && Ready(m_events.front(), final)) {
        Check(m_events.front());
        m_events.pop_front();
    }
}

// An event is matched once every log holds more than it can need, so that what follows it is
// there to tell where it ends.
bool CSoakChecker::Ready(const Event& event, bool final) const
{
    if (final)
        return true;
    for (const Segment& segment : m_segments) {
        // Every request may have been asked twice.
        size_t need = 2 * (event.pass ? segment.reads.size() + segment.writes.size() : segment.link.size());
        if (segment.queue.size() <= need)
            return false;
    }
    return true;
}

bool CSoakChecker::Classify(const Segment& segment, const SimExchange& exchange, Expected& found) const
{
    found = {-1, Role::Link, false};
    if (segment.config.modbus) {
        std::vector<unsigned> bytes = HexBytes(exchange.request);
        if (bytes.size() < 4)
            return false;
        if (bytes[0] == 0 && bytes[1] == 0x08)
            return true;
        for (size_t d = 0; d < m_devices.size(); ++d) {
            const Device& device = m_devices[d];
            if (&m_segments[device.segment] != &segment)
                continue;
            found.device = int(d);
            if (device.keyword == "IVA8" && bytes[1] == 0x19)
                return found.role = Role::Read, true;
            if (device.keyword == "RRG12" && bytes[0] == unsigned(std::atoi(device.address.c_str())) &&
                (bytes[1] == 0x03 || bytes[1] == 0x06))
                return found.role = bytes[1] == 0x03 ? Role::Read : Role::Write, true;
        }
        return false;
    }
    std::string text;
    if (!DconText(exchange.request, segment.config.lrc, text) || text.size() < 3)
        return false;
    for (size_t d = 0; d < m_devices.size(); ++d)
        if (&m_segments[m_devices[d].segment] == &segment && m_devices[d].address == text.substr(1, 2))
            found.device = int(d);
    bool body = text.size() > 3;
    switch (text[0]) {
    case '#': found.role = Role::Read; break;
    case '@': found.role = body ? Role::Write : Role::Read; break;
    case '$':
    case '~': found.role = Role::Link; break;
    default: return false;
    }
    return found.device >= 0;
}

// Takes an event's requests from the front of a segment's log. A request on the pipe that no
// client took (the client was away after a late reply) is missing; the pipe's requests are its own
// when devsim took them before the event ended or, after a late reply kept it busy, soon after.
std::vector<CSoakChecker::Taken> CSoakChecker::Take(Segment& segment, const std::vector<Expected>& expected,
                                                    const Event& event)
{
    std::vector<Taken> taken;
    for (const Expected& x : expected) {
        if (TakeOne(segment, x, event, false, taken)) {
            if (IsRepeat(segment, x, taken.back().exchange, event))
                TakeOne(segment, x, event, true, taken);
        } else if (!x.optional) {
            if (!segment.config.Pipe()) {
                Mismatch("segment " + segment.config.name + ": the log has " +
                         (segment.queue.empty() ? std::string("no request") : segment.queue.front().request) +
                         " where the engine's next request was due");
                m_desynchronised = true;
                return taken;
            }
            taken.push_back({x, false, {}, false});
        }
    }
    return taken;
}

// The same request again, next in the log, and sent before the event ended (the next event may
// begin with the same request); the two clocks may read a few ms apart. The broadcast's answer is
// not looked at, so it is never asked again.
bool CSoakChecker::IsRepeat(const Segment& segment, const Expected& x, const SimExchange& first, const Event& event) const
{
    if (x.device < 0 || segment.queue.empty() || segment.queue.front().request != first.request)
        return false;
    const SimExchange& next = segment.queue.front();
    return !After(segment.config.Pipe() ? next.tick : next.Came(), event.tick + kTransitMs);
}

bool CSoakChecker::TakeOne(Segment& segment, const Expected& x, const Event& event, bool repeat,
                           std::vector<Taken>& taken)
{
    Expected found;
    bool present = !segment.queue.empty() && Classify(segment, segment.queue.front(), found) &&
                   found.device == x.device && found.role == x.role;
    if (present && segment.config.Pipe())
        present = !After(segment.queue.front().tick, event.tick + DWORD(segment.config.lateMs + kReconnectMs));
    if (!present)
        return false;
    taken.push_back({x, true, segment.queue.front(), repeat});
    segment.queue.pop_front();
    return true;
}

// Counts what a taken request brings to its event: whether a fault was in it, whether it failed
// for sure, how long it may take; and what its device may hold after it.
CSoakChecker::Try CSoakChecker::Account(Segment& segment, const Taken& taken, const Event& event, double& phaseMs)
{
    const SimExchange& e = taken.exchange;
    const SoakSegment& config = segment.config;
    bool injected = taken.delivered && !e.fault.empty();
    bool late = injected && e.fault.compare(0, 4, "late") == 0;
    // When the reply went out; a late one lateMs after devsim took the request.
    DWORD replied = e.tick + DWORD(late ? config.lateMs : 0);
    // Whether the engine can have had the reply in time although devsim did not answer at once
    // (then it may also have missed it): on a serial line the request may have waited for devsim
    // longer than the delay allows; a late reply may have come before the engine gave up when the
    // engine's next request on the line, or the end of the pass, came after it. On the pipe
    // devsim took the request only after the engine had given up.
    bool uncertain = false;
    if (!taken.delivered) {
        uncertain = true;
    } else if (!config.Pipe()) {
        bool nextCameFirst = !segment.queue.empty() && After(replied, segment.queue.front().Came());
        uncertain = late ? !nextCameFirst && !After(replied, event.tick) : e.waited > config.delayMs - kTransitMs;
    } else {
        uncertain = After(replied, event.tick) && !late;
    }
    // A reply that may have missed its exchange can reach any exchange asked before it arrived.
    bool stray = taken.delivered && segment.straySeen &&
                 After(segment.strayUntil, !config.Pipe() ? e.Came() : e.tick);
    if (uncertain && !late && taken.delivered)
        ++(stray ? queuedLate : machineLate);
    bool tainted = uncertain || stray;
    if (injected)
        ++faults;
    // On the pipe the engine lets a client go that did not answer in time: until devsim is back,
    // the pipe's exchanges may fail.
    if (taken.delivered && (late || uncertain || (config.Pipe() && e.fault == "silent"))) {
        DWORD until = replied + DWORD(config.Pipe() ? config.limitMs : kTransitMs);
        if (!segment.straySeen || After(until, segment.strayUntil))
            segment.strayUntil = until;
        segment.straySeen = true;
    }
    // A stray reply on the line can stand in for one that never came: the line ends an exchange at
    // the first whole reply, and a device's answer to an earlier try of the same command is one.
    // What it brought is held to the device's replies (tainted) instead.
    Try result{injected || tainted, injected && !(late && uncertain) && !stray};

    double waitMs = kExchangeOverheadMs;
    // After a try without a whole reply a serial line waits until it is quiet before it asks
    // another device.
    if (!config.Pipe())
        waitMs += (result.mayFail ? 1 + CSerial::kQuietDelays : 1) * config.delayMs;
    else if (tainted || e.fault == "silent")
        waitMs += config.limitMs;
    else if (late)
        waitMs += std::min(config.lateMs, config.limitMs);
    phaseMs += waitMs;

    if (taken.expected.role != Role::Read || taken.expected.device < 0)
        return result;
    Device& device = m_devices[size_t(taken.expected.device)];
    std::vector<double> values;
    bool decoded = taken.delivered && Decode(device, e.reply, values);
    // Only a reply that left whole can reach the engine, at its own exchange or a later one.
    if (decoded && (!injected || late))
        device.recent.push_back({replied, values});
    while (device.recent.size() > 8)
        device.recent.pop_front();
    if (!event.pass)
        return result;
    if (tainted) {
        DWORD came = taken.delivered ? e.Came() : event.tick;
        for (const auto& reply : device.recent)
            if (!After(came, reply.first + kTransitMs) &&
                std::find(device.candidates.begin(), device.candidates.end(), reply.second) == device.candidates.end())
                device.candidates.push_back(reply.second);
        if (decoded && (!injected || late) &&
            std::find(device.candidates.begin(), device.candidates.end(), values) == device.candidates.end())
            device.candidates.push_back(values);
        if (device.candidates.size() > 16)
            device.candidates.erase(device.candidates.begin(), device.candidates.end() - 16);
    } else if (!injected) {
        if (decoded)
            device.candidates = {values};
        else
            Mismatch("devsim's reply " + e.reply + " to " + e.request + " cannot be read");
    }
    return result;
}

// On a serial line every request reaches devsim, so one try means the engine took its answer and
// two mean it did not take the first. On the pipe a repeat may not reach devsim at all.
void CSoakChecker::Judge(const Segment& segment, const Expected& x, const std::vector<Try>& tries, const Event& event,
                         bool& fault, bool& dconFault)
{
    bool counts = x.device >= 0 && (!event.pass || m_devices[size_t(x.device)].keyword.compare(0, 3, "ICP") == 0);
    const Try& last = tries.back();
    if (tries.size() == 2) {
        ++repeats;
        fault = fault || last.mayFail;
        dconFault = dconFault || (counts && last.failed);
        if (!tries.front().mayFail)
            Mismatch("segment " + segment.config.name + ": a request answered cleanly was asked again");
    } else if (x.device < 0 || segment.config.Pipe()) {
        fault = fault || last.mayFail;
    } else if (last.failed) {
        Mismatch("segment " + segment.config.name + ": a request that got no good answer was not asked again");
    }
}

bool CSoakChecker::Decode(const Device& device, const std::string& reply, std::vector<double>& values) const
{
    values.assign(size_t(device.inputs), 0.0);
    if (device.keyword == "IVA8" || device.keyword == "RRG12") {
        std::vector<unsigned> b = HexBytes(reply);
        if (device.keyword == "IVA8" && b.size() >= 12)
            values[0] = double(int16_t(uint16_t((b[8] | 0x40) << 8 | b[9]))) / 100.0;
        else if (device.keyword == "RRG12" && b.size() >= 9)
            values = {double(b[3] << 8 | b[4]) / 100.0, double(b[5] << 8 | b[6]) / 100.0};
        else
            return false;
        return true;
    }
    std::string text;
    if (!DconText(reply, m_segments[device.segment].config.lrc, text) || text.empty() || text[0] != '>')
        return false;
    if (device.keyword == "ICP7017" || device.keyword == "ICP7018" || device.keyword == "ICP7033") {
        if (text.size() < size_t(1 + 7 * device.inputs))
            return false;
        for (int i = 0; i < device.inputs; ++i)
            values[size_t(i)] = std::strtod(text.substr(size_t(1 + 7 * i), 7).c_str(), nullptr);
        return true;
    }
    if (text.size() < 2 || text.find_first_not_of("0123456789ABCDEFabcdef", 1) != std::string::npos)
        return false;
    unsigned long status = std::strtoul(text.c_str() + 1, nullptr, 16);
    bool inverted = device.keyword == "ICP7041D" || device.keyword == "ICP7044D";
    for (int i = 0; i < device.inputs; ++i)
        values[size_t(i)] = double((status >> i & 1) ^ (inverted ? 1 : 0));
    return true;
}

void CSoakChecker::Check(const Event& event)
{
    bool fault = false, dconFault = false, writePhase = false;
    double boundMs = 0;
    DWORD start = 0;
    bool started = false;
    std::string faultText, trace;
    auto phase = [&](std::vector<Expected> Segment::*list) {
        double slowest = 0;
        for (Segment& segment : m_segments) {
            double phaseMs = 0;
            std::vector<Taken> takens = Take(segment, segment.*list, event);
            std::vector<Try> tries;
            for (size_t i = 0; i < takens.size(); ++i) {
                const Taken& taken = takens[i];
                tries.push_back(Account(segment, taken, event, phaseMs));
                if (i + 1 == takens.size() || !takens[i + 1].repeat) {
                    Judge(segment, taken.expected, tries, event, fault, dconFault);
                    tries.clear();
                }
                if (taken.delivered && (!started || After(start, taken.exchange.tick)))
                    start = taken.exchange.tick, started = true;
                if (taken.delivered && !taken.exchange.fault.empty())
                    faultText += " " + taken.exchange.fault + " on " + taken.exchange.request;
                trace += "\n    " + segment.config.name + " " +
                         (taken.delivered ? std::to_string(taken.exchange.tick % 100000) + " " + taken.exchange.request +
                                                " -> " + taken.exchange.reply + " " + taken.exchange.fault
                                          : std::string("(not delivered)"));
            }
            slowest = std::max(slowest, phaseMs);
        }
        boundMs += slowest;
    };
    if (!event.pass) {
        ++linkChecks;
        failedLinkChecks += event.ok ? 0 : 1;
        phase(&Segment::link);
    } else {
        ++passes;
        failedPasses += event.ok ? 0 : 1;
        phase(&Segment::reads);
        // The write phase ran when a segment's next request is a write.
        for (const Segment& segment : m_segments) {
            Expected found;
            writePhase = writePhase || (!segment.queue.empty() && Classify(segment, segment.queue.front(), found) &&
                                        found.role == Role::Write);
        }
        if (writePhase)
            phase(&Segment::writes);
    }
    if (m_desynchronised)
        return;
    std::string what = event.pass ? "pass " + std::to_string(event.number) : "link check " + std::to_string(linkChecks);
    if (!event.ok && !fault)
        Mismatch(what + " failed with no fault in it, ended " + std::to_string(event.tick % 100000) + ":" + trace);
    if (event.ok && dconFault)
        Mismatch(what + " succeeded although devsim injected" + faultText);
    if (event.pass && event.ok && !writePhase)
        Mismatch(what + " succeeded without a write phase");
    if (!event.pass)
        return;
    if (started) {
        double passMs = double(LONG(event.tick - start));
        longestPassMs = std::max(longestPassMs, passMs);
        tightestMarginMs = std::min(tightestMarginMs, boundMs + kPassMarginMs - passMs);
        if (passMs > boundMs + kPassMarginMs)
            Mismatch(what + " took " + std::to_string(int(passMs)) + " ms; its exchanges allow " +
                     std::to_string(int(boundMs)) + " ms and the margin " + std::to_string(int(kPassMarginMs)));
    }
    auto values = m_values.find(event.number);
    if (values != m_values.end())
        CheckValues(event.number, values->second, trace);
    m_values.erase(m_values.begin(), m_values.upper_bound(event.number));
}

void CSoakChecker::CheckValues(long pass, const std::vector<std::vector<double>>& values, const std::string& trace)
{
    for (size_t d = 0; d < m_devices.size() && d < values.size(); ++d) {
        const Device& device = m_devices[d];
        auto same = [&](const std::vector<double>& expected) {
            for (size_t i = 0; i < expected.size(); ++i)
                if (i >= values[d].size() || std::fabs(expected[i] - values[d][i]) > 2e-4 + 1e-6 * std::fabs(expected[i]))
                    return false;
            return true;
        };
        if (std::none_of(device.candidates.begin(), device.candidates.end(), same))
            Mismatch("after pass " + std::to_string(pass) + " " + device.keyword + ":" + device.address + " holds " +
                     Values(values[d]) + "; devsim's log allows " + Values(device.candidates.front()) +
                     (device.candidates.size() > 1 ? " (or " + std::to_string(device.candidates.size() - 1) + " more)" : "") +
                     trace);
    }
}

void CSoakChecker::Mismatch(const std::string& what)
{
    if (++mismatches <= 20) {
        std::printf("MISMATCH: %s\n", what.c_str());
        std::fflush(stdout);
    }
}

double CSoakChecker::LongestPassAllowedMs() const
{
    double reads = 0, writes = 0;
    for (const Segment& segment : m_segments) {
        // A try, its repeat, and on a serial line the wait for a quiet line before the next device.
        double tries = segment.config.Pipe() ? 2 : 2 + CSerial::kQuietDelays;
        double exchangeMs = tries * (segment.config.limitMs + kExchangeOverheadMs);
        reads = std::max(reads, double(segment.reads.size()) * exchangeMs);
        writes = std::max(writes, double(segment.writes.size()) * exchangeMs);
    }
    return reads + writes + kPassMarginMs;
}

void CSoakChecker::Print(FILE* out) const
{
    std::fprintf(out, "passes %ld, failed %ld (%.1f %%); link checks %ld, failed %ld; faults injected %ld; "
                 "exchanges asked twice %ld\n",
                 passes, failedPasses, passes ? 100.0 * double(failedPasses) / double(passes) : 0.0, linkChecks,
                 failedLinkChecks, faults, repeats);
    std::fprintf(out, "replies devsim sent after the engine stopped waiting: %ld behind a late one, %ld on a busy machine\n",
                 queuedLate, machineLate);
    std::fprintf(out, "longest pass %.0f ms; least room left under a pass's bound %.0f ms\n", longestPassMs,
                 tightestMarginMs);
    std::fprintf(out, "mismatches %ld%s\n", mismatches, m_desynchronised ? " (the logs lost step; matching stopped)" : "");
}
