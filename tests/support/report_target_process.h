// Starts the report_target fixture (a second process with a window tree at
// known places) and stops it again by its process handle.
#pragma once

#include <windows.h>

#include <string>

#include "desktop/handles.h"
#include "support/bin_folder.h"

namespace testsupport {

class TReportTargetProcess {
public:
    // Serve answers messages; Hang stops answering them; Unlisted also
    // hides its modules from other processes, so that its main module's file
    // name cannot be read.
    enum class TMode { Serve, Hang, Unlisted };

    // Starts the fixture and waits until its windows exist; Started() tells
    // whether that worked. With an owner, the top window is owned by it.
    explicit TReportTargetProcess(TMode mode, HWND owner = nullptr);
    ~TReportTargetProcess();
    TReportTargetProcess(const TReportTargetProcess&) = delete;
    TReportTargetProcess& operator=(const TReportTargetProcess&) = delete;

    bool Started() const { return m_button != nullptr; }
    const std::wstring& ProgramPath() const { return m_programPath; }
    HANDLE Process() const { return m_process.get(); }
    DWORD ProcessId() const { return m_processId; }

    // The borderless top-level window at -30, 40, 400 x 300, its panel at
    // 10, 20 (300 x 200) inside it, and the "OK" button at 5, 6 (80 x 25)
    // inside the panel.
    HWND Top() const { return m_top; }
    HWND Panel() const { return m_panel; }
    HWND Button() const { return m_button; }
    std::wstring TopCaption() const { return m_caption; }

private:
    std::wstring m_programPath;
    std::wstring m_caption;
    desktop::KernelHandle m_process;
    DWORD m_processId = 0;
    HWND m_top = nullptr;
    HWND m_panel = nullptr;
    HWND m_button = nullptr;
};

}  // namespace testsupport
