#pragma once
#include "Event.h"
#include <string>

// One instance of the server end of a message-mode named pipe. Connect, read and write are
// overlapped so that the server thread can wait on them together with its other events.
// Everything must be called from one thread, the one that destroys the instance.
class CPipeInstance {
public:
    static const DWORD kMessageSize = 16380;
    // How long a client's WaitNamedPipe waits for a free instance when it names no time.
    static const DWORD kClientWaitMs = 500;

    explicit CPipeInstance(const std::wstring& path);
    ~CPipeInstance();
    CPipeInstance(const CPipeInstance&) = delete;
    CPipeInstance& operator=(const CPipeInstance&) = delete;

    bool IsValid() const { return m_pipe.IsValid(); }
    // Another process serves the name already; no instance was made.
    bool NameTaken() const { return m_nameTaken; }

    // Starts waiting for a client; ConnectEvent() is signalled when one comes (or the wait fails).
    bool BeginConnect();
    HANDLE ConnectEvent() const { return m_connectEvent; }
    bool EndConnect();

    // Starts reading one message; ReadEvent() is signalled when it has come (or the client left).
    bool BeginRead();
    HANDLE ReadEvent() const { return m_readEvent; }
    // False when the client has gone. A message longer than kMessageSize is cut; its rest is dropped.
    bool EndRead(std::string& message);

    // Writes one message; false when it failed, or did not complete within `timeout` ms or before
    // `quit` was signalled.
    bool Write(const std::string& message, HANDLE quit, DWORD timeout);

private:
    void DropRestOfMessage();

    CHandle m_pipe;
    CEvent m_connectEvent{true};
    CEvent m_readEvent{true};
    CEvent m_writeEvent{true};
    OVERLAPPED m_connect = {};
    OVERLAPPED m_read = {};
    OVERLAPPED m_write = {};
    bool m_nameTaken = false;
    bool m_connectPending = false;
    bool m_readPending = false;
    bool m_writePending = false;
    char m_buffer[kMessageSize];
};
