#pragma once
#include "ComPtr.h"
#include "CriticalSection.h"
#include <oaidl.h>
#include <objidl.h>

// The channel object whose "value" property the poll worker reads. It is given on the
// control's thread and read from the worker's, so it is kept in the global interface table and
// each read gets a pointer valid on the reading thread.
class CChannelLink {
public:
    CChannelLink();
    ~CChannelLink() { Clear(); }
    CChannelLink(const CChannelLink&) = delete;
    CChannelLink& operator=(const CChannelLink&) = delete;

    // Keeps the channel (nullptr clears it), looks up "value" and reads it once.
    void Set(IDispatch* channel);
    void Clear();
    DISPID ValueId() const;
    // Reads "value" with the given identifier into an empty variant; without a channel, or
    // when the read fails, the variant stays VT_EMPTY.
    void Read(DISPID id, VARIANT* value) const;

private:
    CComPtr<IGlobalInterfaceTable> m_table;
    CComPtr<IDispatch> m_channel;
    mutable CCriticalSection m_lock;
    DWORD m_cookie = 0;
    DISPID m_valueId = DISPID_UNKNOWN;
};
