#pragma once
#include "Handle.h"
#include "SerialPort.h"
#include <string>

// The simulator's end of a serial line.
class CSimPort {
public:
    bool Open(const std::wstring& portId, const std::wstring& settings);
    // What has arrived, waiting at most about 1 ms for a first byte.
    std::string Read();
    bool Write(const std::string& bytes);
    // The speed the line runs at now. The rig's cable gives this end the speed the host set at
    // the other, so that bytes sent at another speed than a device's are noise to it.
    unsigned Baud();

private:
    CSerialPort m_port;
};

// The simulator as the client of an engine's named pipe: one message per request, one per reply.
class CSimPipeClient {
public:
    // Waits until the server has an instance free and connects to it.
    bool Connect(const std::wstring& path);
    bool ReadMessage(std::string& message);
    bool Write(const std::string& bytes);
    void Disconnect() { m_pipe.Close(); }

private:
    CHandle m_pipe;
};
