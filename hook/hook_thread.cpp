#include "hook/hook_thread.h"

#include "hook/quillow_hook.h"
#include "hook/win32_window_tree.h"
#include "inspect/capture_message.h"

namespace hook {
namespace {

// Thread message from the hook procedure to its own loop: a watched press
// at (wParam, lParam) in screen coordinates.
constexpr UINT kPressedMessage = WM_APP + 1;

// The message the hook procedure watches for. Written before the hook
// thread starts and left alone until it has ended (sessions never overlap),
// so the procedure reads it without a lock.
UINT g_pressMessage = 0;

// Called by the system on the hook thread for every mouse event on the
// desktop. It must answer at once: no allocation, no waiting, no sending.
LRESULT CALLBACK LowLevelMouseProc(int code, WPARAM message, LPARAM event)
{
    if (code == HC_ACTION && message == g_pressMessage) {
        const POINT point = reinterpret_cast<const MSLLHOOKSTRUCT*>(event)->pt;
        // Result not checked: a full queue loses this one capture only.
        ::PostThreadMessageW(::GetCurrentThreadId(), kPressedMessage,
                             static_cast<WPARAM>(static_cast<LONG_PTR>(point.x)),
                             static_cast<LPARAM>(point.y));
    }
    return ::CallNextHookEx(nullptr, code, message, event);
}

struct StartRequest {
    HWND target;
    HANDLE stop;
    HANDLE ready;
    HMODULE library;  // the thread's own reference, released as it ends
    bool hooked;
};

void DeliverCapture(HWND target, POINT point)
{
    const Win32WindowTree tree;
    HWND pressed = DeepestWindowAt(tree, point);
    if (pressed == nullptr) return;
    // Posted, never sent: a busy target must not hold up the next press.
    ::PostMessageW(target, inspect::WM_CAPTUREWINDOW, 0, reinterpret_cast<LPARAM>(pressed));
}

void RunLoop(HWND target, HANDLE stop)
{
    for (;;) {
        // Wakes for sent messages too: that is how the system calls the hook.
        const DWORD woken = ::MsgWaitForMultipleObjectsEx(1, &stop, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken != WAIT_OBJECT_0 + 1) return;  // stopped, or the wait failed
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return;
            if (message.hwnd == nullptr && message.message == kPressedMessage) {
                // Once stopping has begun, no capture goes out any more.
                if (::WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) return;
                const POINT point{static_cast<LONG>(static_cast<LONG_PTR>(message.wParam)),
                                  static_cast<LONG>(message.lParam)};
                DeliverCapture(target, point);
            } else {
                ::DispatchMessageW(&message);
            }
        }
    }
}

DWORD WINAPI HookThreadMain(void* parameter)
{
    // The request lives on the starter's stack until `ready` is set.
    auto& request = *static_cast<StartRequest*>(parameter);
    const HWND target = request.target;
    const HANDLE stop = request.stop;
    const HMODULE library = request.library;

    MSG message;
    // Makes the thread's message queue before the hook can post to it.
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    HHOOK hook = ::SetWindowsHookExW(WH_MOUSE_LL, LowLevelMouseProc, library, 0);
    request.hooked = hook != nullptr;
    ::SetEvent(request.ready);

    if (hook != nullptr) {
        RunLoop(target, stop);
        ::UnhookWindowsHookEx(hook);
    }
    // Drops the thread's reference only once no code of ours runs on it.
    ::FreeLibraryAndExitThread(library, 0);
}

}  // namespace

bool HookThread::Start(HWND target, UINT pressMessage)
{
    desktop::KernelHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    desktop::KernelHandle ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stop || !ready) return false;

    // The thread keeps the library loaded while it runs, so that a
    // FreeLibrary without a removal first cannot unmap the code under it.
    HMODULE library = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&HookThreadMain),
                              &library))
        return false;

    g_pressMessage = pressMessage;
    StartRequest request{target, stop.get(), ready.get(), library, false};
    desktop::KernelHandle thread(::CreateThread(nullptr, 0, HookThreadMain, &request, 0, nullptr));
    if (!thread) {
        ::FreeLibrary(library);
        return false;
    }
    // Left at normal priority: raised, it made each mouse event under Wine
    // several times dearer (bench_hook), and the loop has little to do.

    const HANDLE started[] = {ready.get(), thread.get()};
    ::WaitForMultipleObjects(2, started, FALSE, INFINITE);
    if (::WaitForSingleObject(ready.get(), 0) != WAIT_OBJECT_0 || !request.hooked) {
        ::WaitForSingleObject(thread.get(), INFINITE);
        return false;
    }
    m_thread = std::move(thread);
    m_stop = std::move(stop);
    return true;
}

bool HookThread::Stop()
{
    if (!m_thread) return false;
    ::SetEvent(m_stop.get());
    ::WaitForSingleObject(m_thread.get(), INFINITE);
    m_thread.reset();
    m_stop.reset();
    return true;
}

}  // namespace hook
