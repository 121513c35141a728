#include "ChannelLink.h"

namespace {
const LCID kUserDefault = 0x400;

HRESULT GetValue(IDispatch* channel, DISPID id, VARIANT* value)
{
    DISPPARAMS none{};
    return channel->Invoke(id, IID_NULL, kUserDefault, DISPATCH_PROPERTYGET, &none, value, nullptr, nullptr);
}
}  // namespace

CChannelLink::CChannelLink()
{
    ::CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER, IID_IGlobalInterfaceTable,
                       reinterpret_cast<void**>(&m_table));
}

void CChannelLink::Clear()
{
    DWORD cookie;
    {
        CScopedLock lock(m_lock);
        cookie = m_cookie;
        m_cookie = 0;
    }
    if (cookie && m_table)
        m_table->RevokeInterfaceFromGlobal(cookie);
    m_channel.Release();
}

void CChannelLink::Set(IDispatch* channel)
{
    Clear();
    if (!channel)
        return;
    m_channel = channel;
    LPOLESTR name = const_cast<LPOLESTR>(L"value");
    DISPID id = DISPID_UNKNOWN;
    channel->GetIDsOfNames(IID_NULL, &name, 1, kUserDefault, &id);
    CVariant discarded;
    GetValue(channel, id, &discarded);
    DWORD cookie = 0;
    if (m_table)
        m_table->RegisterInterfaceInGlobal(channel, IID_IDispatch, &cookie);
    CScopedLock lock(m_lock);
    m_valueId = id;
    m_cookie = cookie;
}

DISPID CChannelLink::ValueId() const
{
    CScopedLock lock(m_lock);
    return m_valueId;
}

void CChannelLink::Read(DISPID id, VARIANT* value) const
{
    DWORD cookie;
    {
        CScopedLock lock(m_lock);
        cookie = m_cookie;
    }
    CComPtr<IDispatch> channel;
    if (!cookie || !m_table ||
        FAILED(m_table->GetInterfaceFromGlobal(cookie, IID_IDispatch, reinterpret_cast<void**>(&channel))))
        return;
    if (FAILED(GetValue(channel, id, value)))
        ::VariantClear(value);
}
