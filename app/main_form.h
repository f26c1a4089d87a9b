// The main window: toolbar and report area on the left, memo on the right.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "app/form.h"
#include "app/memo.h"
#include "app/panel.h"
#include "app/save_picture_dialog.h"
#include "app/tool_bar.h"
#include "inspect/capture_message.h"
#include "inspect/hook_control.h"
#include "inspect/window_icon.h"
#include "inspect/win32_window_queries.h"
#include "inspect/window_report.h"

namespace app {

using NativeUInt = std::uintptr_t;

// The capture message the hook library delivers; lParam is the window.
using inspect::WM_CAPTUREWINDOW;

class TMainForm : public TForm {
public:
    // The hook library is the one bound to the program unless a test gives
    // another.
    explicit TMainForm(inspect::HookLibrary* hookLibrary = nullptr);
    ~TMainForm() override;

    // Components, in the order of the design.
    std::unique_ptr<TMemo> Memo;
    std::unique_ptr<TPanel> Panel1;
    std::unique_ptr<TToolBar> ToolBar;
    TToolButton* TBProc = nullptr;
    TToolButton* TBTop = nullptr;
    TToolButton* ToolButton1 = nullptr;
    TToolButton* TBInfoClear = nullptr;
    std::unique_ptr<TMemo> MemoList;
    TToolButton* TBLButton = nullptr;
    TToolButton* TBMButton = nullptr;
    TToolButton* TBMemoClear = nullptr;
    TToolButton* TBRButton = nullptr;
    TToolButton* TBSaveIcon = nullptr;
    TSavePictureDialog SavePictureDialog;
    // The window icon: the design icon until a capture brings a program's.
    inspect::TIcon Icon = inspect::TIcon::DesignIcon();

    // Event handlers.
    void FormCreate(TForm& sender);
    void FormCloseQuery(TForm& sender, bool& canClose);
    void FormDestroy(TForm& sender);
    void FormResize(TForm& sender);
    void TBProcClick(TToolButton& sender);
    void TBTopClick(TForm& sender);
    void TBInfoClearClick(TToolButton& sender);
    void TBMemoClearClick(TToolButton& sender);
    void TBSaveIconClick(TToolButton& sender);
    void TBButtonClick(TToolButton& sender);
    void MemoKeyPress(TMemo& sender, wchar_t& key);
    void MemoListKeyPress(TMemo& sender, wchar_t& key);
    void WMCaptureWindow(TMessage& message);

    // The report on the window in MHandle, and the text of a window.
    void ShowWindowInfo();
    std::wstring GetWindowTextOf(HWND window);

    NativeUInt CaptureHandle() const { return MHandle; }
    int ButtonCode() const { return MButtonC; }
    NativeUInt HookLibraryModule() const { return MDll; }

private:
    friend class TMainFormSettings;
    // Marks the hidden window maximised (or not); it is shown maximised
    // once creation has finished.
    void MarkMaximized(bool maximized);
    void ShowCreatedWindow();
    void SelectAllOnKey(TMemo& area, wchar_t& key);
    void CreateComponents();
    // The hook control works on the fields and the buttons' states.
    inspect::HookControlState HookState() const;
    void TakeHookState(const inspect::HookControlState& state);
    inspect::TCaptureContext CaptureContext();

    // MemoList as the report's target.
    class TReportLines : public inspect::TReportArea {
    public:
        explicit TReportLines(TMemo& area) : m_area(area) {}
        void Clear() override { m_area.Clear(); }
        void AppendLine(const std::wstring& line) override { m_area.AppendLine(line); }

    private:
        TMemo& m_area;
    };

    inspect::HookLibrary& m_hookLibrary;
    inspect::TWin32WindowQueries m_windowQueries;
    std::unique_ptr<TReportLines> m_reportLines;
    std::wstring m_ownExecutablePath;

    bool m_markedMaximized = false;
    int MButtonC = 0;
    NativeUInt MDll = 0;
    NativeUInt MHandle = 0;
};

extern TMainForm* MainForm;

}  // namespace app
