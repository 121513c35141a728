#pragma once
#include <windows.h>

// How a benchmark reads the refresh figures out of a running orvex: it sends this registered
// message to the main dialog; wParam RefreshCount answers how many refreshes have run since
// the start, RefreshMicroseconds how long the latest one took. Nothing of it reaches the operator.
enum ERefreshFigure { RefreshCount = 0, RefreshMicroseconds = 1 };

inline UINT RefreshFiguresMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"orvex.RefreshFigures");
    return message;
}
