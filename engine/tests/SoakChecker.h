#pragma once
#include "SoakInstallation.h"
#include <windows.h>
#include <cstdio>
#include <deque>
#include <map>
#include <string>
#include <vector>

class CController;

// One request as devsim logged it, its time laid on the tick count.
struct SimExchange {
    DWORD tick = 0;      // when devsim took the request
    double waited = 0;   // how long before that the request may have come
    std::string request, reply, fault;  // fault: the one injected into the reply, "" for none
    DWORD Came() const { return tick - DWORD(waited + 0.5); }
};

// Reads a devsim log as it grows.
class CSimLogTail {
public:
    explicit CSimLogTail(std::wstring path) : m_path(std::move(path)) {}
    void Poll(std::deque<SimExchange>& into);

private:
    std::wstring m_path;
    LONGLONG m_offset = 0;
    std::string m_partial;
    DWORD m_clock = 0;
};

// Holds the engine, pass by pass and link check by link check, to devsim's own log of what each
// segment was asked and what it injected:
// - a request that got no good answer is asked once more at once, and only then: the repeat is
//   the same request, next in the log; an exchange fails when both tries did;
// - a pass or link check fails only when an exchange may have failed both its tries: a fault
//   injected, a reply that devsim itself sent too late (the machine kept it from answering within
//   the delay), or a late reply of an earlier request that was still on its way when the engine
//   asked;
// - a pass or link check with both tries of an exchange of a DCON module faulted does not succeed
//   (nor a link check with both tries of an addressed request faulted), unless a late reply may
//   still have come in time;
// - after a pass, every device that answered it cleanly holds the values of its reply, and every
//   other device the values it held (or, with late replies about, one of its own recent replies);
// - no pass lasts longer than its exchanges may: on a serial line the reply delay each, on the
//   pipe its time limit for a request that went unanswered, plus a margin for Wine.
// The driver reports what it saw in the order it happened; Analyze matches it against the logs
// as far as they go, and keeps no more than it has not matched yet.
class CSoakChecker {
public:
    CSoakChecker(std::vector<SoakSegment> segments, const std::vector<std::wstring>& logs);

    void LinkChecked(bool ok);
    void PassEnded(bool ok, DWORD postTick);
    // The input values of every device after pass number `pass` (counted over the whole run).
    void ValuesAfter(long pass, const CController& engine);
    // final: every request has been logged.
    void Analyze(bool final);
    void Print(FILE* out) const;
    // The longest a pass may take: every exchange waiting as long as its line allows.
    double LongestPassAllowedMs() const;
    // Counts a mismatch the driver found (and prints the first ones).
    void Mismatch(const std::string& what);

    long passes = 0, failedPasses = 0, linkChecks = 0, failedLinkChecks = 0, faults = 0, repeats = 0, mismatches = 0;
    // Replies devsim sent after the engine had stopped waiting, not counted against the engine: those
    // it could send only after a late reply, and those a busy machine held up.
    long queuedLate = 0, machineLate = 0;
    double longestPassMs = 0, tightestMarginMs = 1e9;

private:
    enum class Role { Read, Write, Link };
    struct Expected {
        int device;  // index into m_devices; -1 for the Modbus broadcast
        Role role;
        bool optional;
    };
    struct Taken {
        Expected expected;
        bool delivered;
        SimExchange exchange;
        bool repeat;  // the second try of the request before it
    };
    // What one try may have done: failed (a fault in it, or its answer may have missed it), or
    // failed for sure.
    struct Try {
        bool mayFail;
        bool failed;
    };
    struct Device {
        std::string keyword, address;
        size_t segment;
        int inputs;
        std::vector<std::vector<double>> candidates;  // the values it may hold now
        std::deque<std::pair<DWORD, std::vector<double>>> recent;  // its replies still on the line
    };
    struct Segment {
        SoakSegment config;
        CSimLogTail log;
        std::deque<SimExchange> queue;
        std::vector<Expected> link, reads, writes;
        DWORD strayUntil = 0;  // a reply that missed its exchange may reach one asked before then
        bool straySeen = false;
    };
    struct Event {
        bool pass;
        bool ok;
        DWORD tick;  // the pass's result was posted / the link check ended
        long number;
    };

    bool Ready(const Event& event, bool final) const;
    void Check(const Event& event);
    std::vector<Taken> Take(Segment& segment, const std::vector<Expected>& expected, const Event& event);
    bool Classify(const Segment& segment, const SimExchange& exchange, Expected& found) const;
    bool IsRepeat(const Segment& segment, const Expected& x, const SimExchange& first, const Event& event) const;
    bool TakeOne(Segment& segment, const Expected& x, const Event& event, bool repeat, std::vector<Taken>& taken);
    bool Decode(const Device& device, const std::string& reply, std::vector<double>& values) const;
    Try Account(Segment& segment, const Taken& taken, const Event& event, double& phaseMs);
    // Whether the exchange of one or two tries may have failed (fault) or failed for sure (dconFault).
    void Judge(const Segment& segment, const Expected& x, const std::vector<Try>& tries, const Event& event,
               bool& fault, bool& dconFault);
    void CheckValues(long pass, const std::vector<std::vector<double>>& values, const std::string& trace);

    std::vector<Segment> m_segments;
    std::vector<Device> m_devices;
    std::deque<Event> m_events;
    std::map<long, std::vector<std::vector<double>>> m_values;
    long m_passNumber = 0;
    bool m_desynchronised = false;
};
