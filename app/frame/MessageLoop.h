#pragma once
#include <windows.h>
#include <vector>

// Takes a message before it is translated and dispatched; true means it was handled.
class CMessageFilter {
public:
    virtual bool PreTranslateMessage(MSG& msg) = 0;

protected:
    ~CMessageFilter() = default;
};

// Called when the queue runs empty; true asks for more idle calls before the next message.
class CIdleHandler {
public:
    virtual bool OnIdle() = 0;

protected:
    ~CIdleHandler() = default;
};

// The message loop of one thread, with its message filters and idle handlers.
class CMessageLoop {
public:
    void AddMessageFilter(CMessageFilter* filter) { m_filters.push_back(filter); }
    void RemoveMessageFilter(CMessageFilter* filter);
    void AddIdleHandler(CIdleHandler* handler) { m_idleHandlers.push_back(handler); }
    void RemoveIdleHandler(CIdleHandler* handler);

    // Runs until WM_QUIT and returns its code.
    int Run();

private:
    bool PreTranslateMessage(MSG& msg);
    bool OnIdle();
    static bool IsIdleMessage(const MSG& msg);

    std::vector<CMessageFilter*> m_filters;
    std::vector<CIdleHandler*> m_idleHandlers;
};
