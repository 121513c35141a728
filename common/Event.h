#pragma once
#include "Handle.h"

// A Win32 event, created at construction (auto-reset and non-signalled unless asked otherwise).
class CEvent : public CHandle {
public:
    explicit CEvent(bool manualReset = false, bool signalled = false)
        : CHandle(::CreateEventW(nullptr, manualReset, signalled, nullptr)) {}
    bool Set() { return ::SetEvent(*this) != FALSE; }
    bool Reset() { return ::ResetEvent(*this) != FALSE; }
};
