// Test helper for the Wine test: tells the running demo that the session
// ends, as Windows does at logoff, by sending WM_QUERYENDSESSION and then
// WM_ENDSESSION to its session window. Exits 0 once sent, 1 when no demo
// window was found within ten seconds.
#include <windows.h>

int main() {
    HWND window = nullptr;
    for (int i = 0; i < 100 && window == nullptr; ++i) {
        window = FindWindowW(L"velmorra-session", nullptr);
        Sleep(100);
    }
    if (window == nullptr) {
        return 1;
    }
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000,
                        &answer);
    // The demo answers WM_ENDSESSION only by ending, so it is not waited for.
    SendNotifyMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    return 0;
}
