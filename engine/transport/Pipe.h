#pragma once
#include "CriticalSection.h"
#include "Event.h"
#include "Thread.h"
#include "Transport.h"

class CPipeInstance;

// A segment served through a named pipe, so that another process can stand in for it. A server
// thread keeps one pipe instance for one client at a time. Each exchange goes to the client as one
// message, the bytes a serial line would carry, and the client's next message is the reply. An exchange
// fails when no client answers within max(500 ms, 4 x the reply delay), and at once while another
// process holds the pipe's name. A client that did not answer in time is disconnected, so that
// its late answer cannot become the reply to a later request. Once an exchange has waited out its
// time with no client connected, the next ones fail at once until a client connects: a segment
// whose peer is gone costs one time limit, not one per exchange.
class CPipe : public virtual CTransport {
public:
    explicit CPipe(const std::wstring& path);
    ~CPipe() override;
    CPipe(const CPipe&) = delete;
    CPipe& operator=(const CPipe&) = delete;

    bool Open() override;
    bool Exchange(const std::string& request, std::string& reply, const CReplyRule& rule) override;
    bool SetPortId(const std::wstring&) override { return true; }
    std::wstring GetPortId() override { return m_path; }
    std::wstring LinkFailure() override;

    void SetDelay(int ms);
    int TimeLimit();

private:
    enum class Wake { Quit, Io, Request, Timeout };

    bool HandOver();
    void Serve();
    void ServeClient(CPipeInstance& pipe);
    bool AwaitClient(CPipeInstance& pipe);
    void PauseBeforeRetry(bool noInstance);
    void Converse(CPipeInstance& pipe);
    bool Send(CPipeInstance& pipe);
    bool Receive(CPipeInstance& pipe);
    Wake Wait(HANDLE io, DWORD timeout);
    bool Quitting();
    DWORD Remaining();
    void TakeRequest();
    void Answer(const std::string& message);
    void FailPending();
    void SetPeerGone(bool gone);
    // Fails the exchange in hand when its time is up; true when it did.
    bool ExpireIfDue();

    std::wstring m_path;
    CCriticalSection m_lock;
    CEvent m_requestEvent;
    CEvent m_doneEvent;
    CEvent m_quitEvent{true};  // manual reset: every wait of the server thread must see it
    CEvent m_tried{true};      // set once the server thread has tried to make its first instance
    CThread m_thread;

    // The request slot, under m_lock.
    std::string m_request;
    std::string m_reply;
    CReplyRule m_rule{};
    bool m_answered = false;
    bool m_nameTaken = false;
    bool m_peerGone = false;
    int m_delay = 0;

    // The server thread's own state: whether a client is connected, and the exchange in hand.
    bool m_connected = false;
    bool m_pending = false;
    bool m_sent = false;
    DWORD m_start = 0;
    DWORD m_limit = 0;
    std::string m_outgoing;
};
