/* Opens the common file dialog once and closes it as soon as it has started. On a new machine
 * and prefix its first start is slow (more than 30 s on 2 busy cores, about a second later on):
 * the rig runs this when it has made a prefix, so that no test meets that first start (see
 * session.sh). Exits with 0 when the dialog came up and went. */
#include <windows.h>
#include <commdlg.h>

static UINT_PTR CALLBACK Hook(HWND child, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    if (message == WM_NOTIFY && ((OFNOTIFYW*)lParam)->hdr.code == CDN_INITDONE)
        PostMessageW(GetParent(child), WM_COMMAND, IDCANCEL, 0);
    return 0;
}

int main(void)
{
    wchar_t path[MAX_PATH] = L"";
    OPENFILENAMEW dialog = {0};
    dialog.lStructSize = sizeof dialog;
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_HIDEREADONLY;
    dialog.lpfnHook = Hook;
    return !GetOpenFileNameW(&dialog) && CommDlgExtendedError() == 0 ? 0 : 1;
}
