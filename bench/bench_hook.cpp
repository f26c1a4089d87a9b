// The cost that quillow.dll's installed hook adds to each mouse event:
// rounds of N injected mouse moves (SendInput), timed alternately without
// a hook, with the hook installed for the left button, and with the barest
// low-level hook there can be (a thread of this program whose procedure only
// passes the event on), which shows what the platform charges for any such
// hook. Prints the median time per event of each and the library's ratio.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "hook/quillow_hook.h"

namespace {

constexpr int kEventsPerRound = 500;
constexpr int kRoundsPerMode = 15;

// Microseconds per event for one round of moves one pixel right and back.
double TimeOneRound()
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kEventsPerRound; ++i) {
        input.mi.dx = i % 2 == 0 ? 1 : -1;
        ::SendInput(1, &input, sizeof input);
    }
    const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
    // The moves leave nothing for this thread, but keep its queue empty anyway.
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    return elapsed.count() / kEventsPerRound;
}

LRESULT CALLBACK PassEventOn(int code, WPARAM message, LPARAM event)
{
    return ::CallNextHookEx(nullptr, code, message, event);
}

DWORD WINAPI BareHookThread(void* ready)
{
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    HHOOK hook = ::SetWindowsHookExW(WH_MOUSE_LL, PassEventOn, ::GetModuleHandleW(nullptr), 0);
    ::SetEvent(static_cast<HANDLE>(ready));
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    if (hook != nullptr) ::UnhookWindowsHookEx(hook);
    return 0;
}

double TimeOneRoundWithBareHook()
{
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD threadId = 0;
    HANDLE thread = ::CreateThread(nullptr, 0, BareHookThread, ready, 0, &threadId);
    ::WaitForSingleObject(ready, INFINITE);
    const double perEvent = TimeOneRound();
    ::PostThreadMessageW(threadId, WM_QUIT, 0, 0);
    ::WaitForSingleObject(thread, INFINITE);
    ::CloseHandle(thread);
    ::CloseHandle(ready);
    return perEvent;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main()
{
    // The hook's target: a message-only window of this thread.
    HWND target = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    if (target == nullptr) {
        std::printf("could not create the target window\n");
        return 1;
    }
    TimeOneRound();  // warm-up: first input, first pointer moves

    std::vector<double> without, with, bare;
    for (int round = 0; round < kRoundsPerMode; ++round) {
        without.push_back(TimeOneRound());
        if (!::Func_InstallMHook(target, hook::kLeftButtonCode)) {
            std::printf("the hook could not be installed\n");
            return 1;
        }
        with.push_back(TimeOneRound());
        ::Func_UnInstallMHook();
        bare.push_back(TimeOneRoundWithBareHook());
    }
    ::DestroyWindow(target);

    const double withoutHook = Median(without);
    const double withHook = Median(with);
    std::printf("mouse events per round: %d, rounds per mode: %d (medians)\n", kEventsPerRound, kRoundsPerMode);
    std::printf("without hook: %.2f us/event\n", withoutHook);
    std::printf("with hook:    %.2f us/event\n", withHook);
    std::printf("bare hook:    %.2f us/event (ratio %.2f)\n", Median(bare), Median(bare) / withoutHook);
    std::printf("ratio: %.2f\n", withHook / withoutHook);
    return 0;
}
