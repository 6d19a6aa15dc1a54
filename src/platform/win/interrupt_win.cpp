// Ending cleanly on Windows. What a signal is on Linux arrives here as a
// console control event (Ctrl-C, Ctrl-Break, the console closed) or, for a
// program with windows, as the end of the session (logoff, shutdown). Each
// becomes the request to stop that the main loop and the capture watch, under
// the number of the nearest POSIX signal, so the exit code follows the same
// table of 128 + signal number:
//
//   Ctrl-C            SIGINT   2  -> 130
//   Ctrl-Break        SIGQUIT  3  -> 131  (the keyboard's other interrupt)
//   console closed    SIGHUP   1  -> 129  (the terminal went away)
//   logoff, shutdown  SIGTERM 15  -> 143  (the system asks every program to end)
//
// For the last two Windows ends the process as soon as the handler returns,
// so the handler holds on while the main thread gives the display mode back
// and exits (which ends this thread too); Windows allows a few seconds.
#include <SDL.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "platform/interrupt.h"

namespace {

constexpr int hangupSignal = 1;
constexpr int interruptSignal = 2;
constexpr int quitSignal = 3;
constexpr int terminateSignal = 15;

std::atomic<int> firstSignal{0};
std::atomic<int> signalCount{0};

void record(int number) {
    int none = 0;
    firstSignal.compare_exchange_strong(none, number);
    signalCount.fetch_add(1);
}

[[noreturn]] void waitForTheProcessToEnd() {
    for (;;) {
        Sleep(INFINITE);
    }
}

BOOL WINAPI onConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
            record(interruptSignal);
            return TRUE;
        case CTRL_BREAK_EVENT:
            record(quitSignal);
            return TRUE;
        case CTRL_CLOSE_EVENT:
            record(hangupSignal);
            waitForTheProcessToEnd();
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            record(terminateSignal);
            waitForTheProcessToEnd();
        default:
            return FALSE;
    }
}

// A program that has windows hears of logoff and shutdown through
// WM_QUERYENDSESSION and WM_ENDSESSION, sent to every top-level window. A
// hidden window on a thread of its own hears them even while the main thread
// is busy starting up or capturing.
LRESULT CALLBACK sessionWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wParam != FALSE) {
                record(terminateSignal);
                waitForTheProcessToEnd();
            }
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void watchTheSession() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = sessionWindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"velmorra-session";
    if (RegisterClassW(&windowClass) == 0) {
        return;
    }
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"velmorra", WS_OVERLAPPED, 0, 0, 0,
                                  0, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) {
        return;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
}

}  // namespace

void catchEndingSignals() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    std::thread(watchTheSession).detach();
}

int caughtSignal() {
    return firstSignal.load();
}

int caughtSignalCount() {
    return signalCount.load();
}
