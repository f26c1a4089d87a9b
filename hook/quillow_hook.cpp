// The exports of quillow.dll. Calls are serialised; each waits for the hook
// thread to have set or removed its hook. Nothing here runs from DllMain
// beyond noting the module: threads are stopped by Func_UnInstallMHook, never
// joined under the loader lock.
#include "hook/quillow_hook.h"

#include <iterator>

#include "hook/hook_thread.h"

namespace {

SRWLOCK g_lock = SRWLOCK_INIT;
hook::HookThread g_session;

// The button-down message of each capture code.
constexpr UINT kPressMessageOfCode[] = {WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN};

class ExclusiveLock {
public:
    ExclusiveLock() { ::AcquireSRWLockExclusive(&g_lock); }
    ~ExclusiveLock() { ::ReleaseSRWLockExclusive(&g_lock); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;
};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) ::DisableThreadLibraryCalls(instance);
    return TRUE;
}

extern "C" BOOL WINAPI Func_InstallMHook(HWND target, INT code)
{
    ExclusiveLock lock;
    // A new install replaces the hook of the previous one.
    g_session.Stop();
    if (code < 0 || code >= static_cast<INT>(std::size(kPressMessageOfCode))) return FALSE;
    return g_session.Start(target, kPressMessageOfCode[code]) ? TRUE : FALSE;
}

extern "C" BOOL WINAPI Func_UnInstallMHook()
{
    ExclusiveLock lock;
    return g_session.Stop() ? TRUE : FALSE;
}
