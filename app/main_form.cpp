#include "app/main_form.h"

#include "app/application.h"
#include "app/form_settings.h"
#include "app/main_form_settings.h"
#include "app/select_all_key.h"
#include "desktop/data_folder.h"
#include "desktop/stay_on_top.h"
#include "desktop/window_geometry.h"
#include "inspect/hook_library_imported.h"
#include "inspect/own_executable_path.h"
#include "inspect/save_icon_command.h"

namespace app {

TMainForm* MainForm = nullptr;

namespace {

constexpr int kDesignClientWidth = 830;
constexpr int kDesignClientHeight = 328;
constexpr int kDesignFontHeight = 16;
constexpr int kDesignButtonHeight = 24;
constexpr int kDesignButtonWidth = 129;
constexpr int kDesignSeparatorWidth = 10;

TFormDesign MainFormDesign()
{
    return TFormDesign{L"TMainForm", L"quillow", kDesignClientWidth, kDesignClientHeight,
                       TFontDesign{L"MS UI Gothic", kDesignFontHeight, SHIFTJIS_CHARSET}};
}

// The face of the system's menu font; the system font when the query fails.
std::wstring MenuFontFace()
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return metrics.lfMenuFont.lfFaceName;
    LOGFONTW system{};
    ::GetObjectW(::GetStockObject(SYSTEM_FONT), sizeof system, &system);
    return system.lfFaceName;
}

inspect::HookLibrary& BoundHookLibrary()
{
    static inspect::ImportedHookLibrary library;
    return library;
}

}  // namespace

TMainForm::TMainForm(inspect::HookLibrary* hookLibrary)
    : TForm(MainFormDesign()), m_hookLibrary(hookLibrary ? *hookLibrary : BoundHookLibrary())
{
    MainForm = this;
    m_ownExecutablePath = inspect::GetOwnExecutablePath();
    CreateComponents();
    m_reportLines = std::make_unique<TReportLines>(*MemoList);
    OnResize = [this](TForm& sender) { FormResize(sender); };
    OnCloseQuery = [this](TForm& sender, bool& canClose) { FormCloseQuery(sender, canClose); };
    OnDestroy = [this](TForm& sender) { FormDestroy(sender); };
    OnAccessKey = [this](wchar_t letter) { return ToolBar->ClickAccessKey(letter); };
    SetMessageHandler(WM_CAPTUREWINDOW, [this](TMessage& message) { WMCaptureWindow(message); });
    FormResize(*this);
    inspect::ShowWindowIcon(Handle(), Icon);

    // An exception in a creation step skips the remaining steps; the window
    // still opens.
    try {
        FormCreate(*this);
    } catch (...) {
        Application.HandleException(this);
    }
    ShowCreatedWindow();
}

void TMainForm::MarkMaximized(bool maximized)
{
    // Only the style: the rectangle stays the restored one, and the on-screen
    // check already counts the window as maximised.
    LONG style = ::GetWindowLongW(Handle(), GWL_STYLE);
    ::SetWindowLongW(Handle(), GWL_STYLE, maximized ? (style | WS_MAXIMIZE) : (style & ~WS_MAXIMIZE));
    m_markedMaximized = maximized;
}

void TMainForm::ShowCreatedWindow()
{
    HWND window = Handle();
    if (m_markedMaximized && ::IsZoomed(window)) {
        // A window only marked maximised still has its restored size: maximise
        // it for real, which keeps that size as the one to restore to.
        ::SetWindowLongW(window, GWL_STYLE, ::GetWindowLongW(window, GWL_STYLE) & ~WS_MAXIMIZE);
        ::ShowWindow(window, SW_SHOWMAXIMIZED);
    }
    m_markedMaximized = false;
    if (!::IsWindowVisible(window)) ::ShowWindow(window, SW_SHOW);
}

TMainForm::~TMainForm()
{
    // The window goes first, while its controls and handlers still exist.
    if (::IsWindow(Handle())) ::DestroyWindow(Handle());
    StopDispatching();
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::CreateComponents()
{
    HWND form = Handle();
    // Creation order is the tab order: the memo first, then the panel's
    // contents, of which the toolbar takes no focus.
    Memo = std::make_unique<TMemo>(form, false);
    Panel1 = std::make_unique<TPanel>(form);
    ToolBar = std::make_unique<TToolBar>(Panel1->Handle(), kDesignButtonHeight);
    MemoList = std::make_unique<TMemo>(Panel1->Handle(), true);

    TBProc = &ToolBar->AddButton({L"処理", TButtonKind::Check, kDesignButtonWidth, true, false});
    TBTop = &ToolBar->AddButton({L"常に手前に表示", TButtonKind::Check, kDesignButtonWidth, false, false});
    TBInfoClear = &ToolBar->AddButton({L"情報表示をクリア(&I)", TButtonKind::Push, 0, false, true});
    TBMemoClear = &ToolBar->AddButton({L"メモをクリア(&M)", TButtonKind::Push, 0, false, false});
    TBSaveIcon = &ToolBar->AddButton({L"アイコンを保存(&C)", TButtonKind::Push, 0, false, false});
    ToolButton1 = &ToolBar->AddButton({L"", TButtonKind::Separator, kDesignSeparatorWidth, false, false});
    TBLButton = &ToolBar->AddButton({L"左ボタン", TButtonKind::GroupCheck, 0, false, false});
    TBMButton = &ToolBar->AddButton({L"中ボタン", TButtonKind::GroupCheck, 0, false, false});
    TBRButton = &ToolBar->AddButton({L"右ボタン", TButtonKind::GroupCheck, 0, false, false});

    TBProc->OnClick = [this](TToolButton& sender) { TBProcClick(sender); };
    TBTop->OnClick = [this](TToolButton&) { TBTopClick(*this); };
    TBInfoClear->OnClick = [this](TToolButton& sender) { TBInfoClearClick(sender); };
    TBMemoClear->OnClick = [this](TToolButton& sender) { TBMemoClearClick(sender); };
    TBSaveIcon->OnClick = [this](TToolButton& sender) { TBSaveIconClick(sender); };
    for (TToolButton* choice : {TBLButton, TBMButton, TBRButton})
        choice->OnClick = [this](TToolButton& sender) { TBButtonClick(sender); };
    Memo->OnKeyPress = [this](TMemo& sender, wchar_t& key) { MemoKeyPress(sender, key); };
    MemoList->OnKeyPress = [this](TMemo& sender, wchar_t& key) { MemoListKeyPress(sender, key); };

    AddControl(*Memo);
    AddControl(*ToolBar);
    AddControl(*MemoList);
}

void TMainForm::FormCreate(TForm&)
{
    // 1. Font face from the system's menu font; height and character set stay.
    SetFontFace(MenuFontFace());
    // 2. Settings restored from the settings file.
    TMainFormSettings settings(*this);
    ReadFormSettings(settings, SettingsFilePath(desktop::UserDataDir));
    // 3. A restored rectangle on no monitor is centred.
    desktop::EnsureWindowOnScreen(Handle());
    // 4. Hook library loaded at run time and the hook installed.
    inspect::HookControlState hook = HookState();
    inspect::HookFormCreate(hook, m_hookLibrary, Handle());
    // 5. Button choice from the stored code.
    inspect::HookShowButtonChoice(hook);
    TakeHookState(hook);
    // 6. Always on top; this also shows the window.
    TBTopClick(*this);
}

inspect::HookControlState TMainForm::HookState() const
{
    return inspect::HookControlState{MButtonC,          MDll,
                                     TBProc->Down(),    TBLButton->Down(),
                                     TBMButton->Down(), TBRButton->Down()};
}

void TMainForm::TakeHookState(const inspect::HookControlState& state)
{
    MButtonC = state.MButtonC;
    MDll = state.MDll;
    TBLButton->SetDown(state.TBLButtonDown);
    TBMButton->SetDown(state.TBMButtonDown);
    TBRButton->SetDown(state.TBRButtonDown);
}

void TMainForm::FormCloseQuery(TForm&, bool&)
{
    // An error leaves the handler: the close does not happen.
    TMainFormSettings settings(*this);
    WriteFormSettings(settings, SettingsFilePath(desktop::UserDataDir));
}

void TMainForm::FormDestroy(TForm&)
{
    inspect::HookControlState hook = HookState();
    inspect::HookFormDestroy(hook, m_hookLibrary);
    TakeHookState(hook);
}

void TMainForm::FormResize(TForm&)
{
    RECT outer{}, client{};
    ::GetWindowRect(Handle(), &outer);
    ::GetClientRect(Handle(), &client);
    const int memoWidth = (outer.right - outer.left) / 2;
    const int clientWidth = client.right, clientHeight = client.bottom;
    const int panelWidth = std::max(clientWidth - memoWidth, 0);
    Memo->SetBounds(clientWidth - memoWidth, 0, memoWidth, clientHeight);
    Panel1->SetBounds(0, 0, panelWidth, clientHeight);
    const int toolBarHeight = ToolBar->Arrange(panelWidth);
    MemoList->SetBounds(0, toolBarHeight, panelWidth, std::max(clientHeight - toolBarHeight, 0));
}

void TMainForm::TBProcClick(TToolButton&)
{
    inspect::HookControlState hook = HookState();
    inspect::HookTBProcClick(hook, m_hookLibrary, Handle());
    TakeHookState(hook);
}

void TMainForm::TBTopClick(TForm&)
{
    // Result not checked: on failure the window keeps its topmost state.
    desktop::SetStayOnTop(Handle(), TBTop->Down());
}

void TMainForm::TBInfoClearClick(TToolButton&) { MemoList->Clear(); }

void TMainForm::TBMemoClearClick(TToolButton&) { Memo->Clear(); }

void TMainForm::TBSaveIconClick(TToolButton&)
{
    inspect::TSaveIconCommandSteps steps = inspect::Win32SaveIconCommandSteps();
    // The dialog opens on the desktop folder with an empty name every time.
    steps.runDialog = [this](HWND owner, const std::wstring& desktopFolder) -> std::optional<std::wstring> {
        SavePictureDialog.InitialDir = desktopFolder;
        SavePictureDialog.FileName.clear();
        if (!SavePictureDialog.Execute(owner)) return std::nullopt;
        return SavePictureDialog.FileName;
    };
    inspect::RunSaveIconCommand(Handle(), Icon, steps);
}

void TMainForm::TBButtonClick(TToolButton&)
{
    inspect::HookControlState hook = HookState();
    inspect::HookTBButtonClick(hook, m_hookLibrary, Handle());
    TakeHookState(hook);
}

void TMainForm::SelectAllOnKey(TMemo& area, wchar_t& key)
{
    TKeyboardState keys{};
    ::GetKeyboardState(keys.data());
    if (!IsSelectAllKey(keys, key)) return;
    area.SelectAll();
    key = L'\0';
}

void TMainForm::MemoKeyPress(TMemo&, wchar_t& key) { SelectAllOnKey(*Memo, key); }

void TMainForm::MemoListKeyPress(TMemo&, wchar_t& key) { SelectAllOnKey(*MemoList, key); }

inspect::TCaptureContext TMainForm::CaptureContext()
{
    return inspect::TCaptureContext{m_windowQueries,
                                    *m_reportLines,
                                    [this](const std::wstring& path) { inspect::ShowProgramIcon(Handle(), Icon, path); },
                                    m_ownExecutablePath,
                                    inspect::AsHandleValue(Handle()),
                                    inspect::AsHandleValue(Application.Handle())};
}

void TMainForm::WMCaptureWindow(TMessage& message)
{
    // One repaint for the whole report instead of one per line.
    MemoList->BeginUpdate();
    try {
        inspect::WMCaptureWindow(CaptureContext(), MHandle, message.LParam);
    } catch (...) {
        MemoList->EndUpdate();
        throw;
    }
    MemoList->EndUpdate();
    message.Result = 0;
}

void TMainForm::ShowWindowInfo() { inspect::ShowWindowInfo(CaptureContext(), MHandle); }

std::wstring TMainForm::GetWindowTextOf(HWND window)
{
    return inspect::GetWindowTextOf(m_windowQueries, inspect::AsHandleValue(window));
}

}  // namespace app
