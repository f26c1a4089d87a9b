// The real quillow.exe, started from the bin folder and driven from
// outside as a user's desktop would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "desktop/handles.h"
#include "support/bin_folder.h"

namespace testsupport {

// The per-user data folder quillow uses in this Wine prefix.
std::wstring QuillowDataFolder();

// A program outside the bin folder, by its full path.
struct TProgramPath {
    std::wstring Value;
};

class TProgram {
public:
    // Starts BinFolder() + name with the given show command (-1: none).
    explicit TProgram(const std::wstring& name, const std::wstring& arguments = L"", int showCommand = -1);
    // Starts the program at that path in its own folder, as Explorer does.
    explicit TProgram(const TProgramPath& path, const std::wstring& arguments = L"", int showCommand = -1);
    ~TProgram();  // ends the process by its id if it still runs
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    DWORD Id() const { return m_id; }
    HANDLE Process() const { return m_process.get(); }
    // Waits for a visible top-level window of this process with the class.
    HWND WaitForWindow(const wchar_t* className, unsigned timeoutMs = 15000) const;
    // Waits for the process to end; true with its exit code when it did.
    bool WaitForExit(DWORD& exitCode, unsigned timeoutMs = 15000) const;
    bool Running() const;
    void Terminate();

private:
    void Start(const std::wstring& path, const std::wstring& arguments, int showCommand, const wchar_t* folder);

    desktop::KernelHandle m_process;
    DWORD m_id = 0;
};

// Top-level windows of a process with the given class ("" for any).
std::vector<HWND> TopLevelWindowsOf(DWORD processId, const wchar_t* className);

// The text of a window (WM_GETTEXT works across processes).
std::wstring WindowText(HWND window);
std::wstring ClassOf(HWND window);
// Child windows of a window in z-order, with the class ("" for any).
std::vector<HWND> ChildrenOf(HWND parent, const wchar_t* className);

// Waits until the predicate holds, checking every 20 ms.
template <typename Predicate>
bool WaitUntil(Predicate predicate, unsigned timeoutMs = 5000)
{
    for (unsigned waited = 0;; waited += 20) {
        if (predicate()) return true;
        if (waited >= timeoutMs) return false;
        ::Sleep(20);
    }
}

// A toolbar button of another process as the toolbar reports it.
struct TRemoteButton {
    int Id;
    std::wstring Text;
    BYTE State;
    BYTE Style;
    RECT Rect;  // in the toolbar's client coordinates
};
std::vector<TRemoteButton> ReadToolbar(HWND toolbar);
// The button with this caption; Text is empty when there is none.
TRemoteButton ToolButton(HWND toolbar, const std::wstring& caption);
bool IsToolButtonDown(HWND toolbar, const std::wstring& caption);
// A real left click on the button's centre; false when there is no such
// button or the click could not be made.
bool ClickToolButton(HWND toolbar, const std::wstring& caption);

// An error box of the process: a dialog captioned "quillow" and its text.
struct TErrorBox {
    HWND Window = nullptr;
    std::wstring Text;
    // The system's error icon (for a box of another process: an icon).
    bool HasErrorIcon = false;
};
TErrorBox WaitForErrorBox(DWORD processId, unsigned timeoutMs = 10000);
void DismissErrorBox(HWND box);

}  // namespace testsupport
