#pragma once
#include "Transport.h"

// A segment served through a named pipe, so that another process can stand in for it.
class CPipe : public virtual CTransport {
public:
    explicit CPipe(const std::wstring& path);
    ~CPipe() override;

    bool Open() override { return true; }
    bool Transact(std::wstring& request, std::wstring& reply) override;
    bool TransactBinary(CFrameRecord& request, CFrameRecord& reply) override;
    bool SetPortId(const std::wstring&) override { return true; }
    std::wstring GetPortId() override { return m_path; }

private:
    std::wstring m_path;
};
