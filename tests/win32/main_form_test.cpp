// The main window created in the test process: font, DPI changes and the
// default exception handler on the real message path.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <future>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/main_form.h"
#include "desktop/app_error.h"
#include "desktop/data_folder.h"
#include "support/error_message.h"
#include "support/quillow_process.h"
#include "support/hook_target_process.h"
#include "support/save_dialog_driver.h"
#include "support/xdotool.h"

using namespace testsupport;

namespace {

LOGFONTW FontOf(HWND window)
{
    LOGFONTW font{};
    auto handle = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    ::GetObjectW(handle, sizeof font, &font);
    return font;
}

std::wstring MenuFontFace()
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return metrics.lfMenuFont.lfFaceName;
}

void PumpPending()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) app::Application.ProcessMessage(message);
}

// Records the form's calls into the hook library.
class RecordingHookLibrary : public inspect::HookLibrary {
public:
    std::vector<std::wstring> calls;
    std::wstring ProgramPath() override { return L"C:\\Tools\\quillow.exe"; }
    std::uintptr_t Load(const std::wstring& path) override
    {
        calls.push_back(L"load " + path);
        return 0x1000;
    }
    void Free(std::uintptr_t) override { calls.push_back(L"free"); }
    void Install(HWND, std::int32_t code) override { calls.push_back(L"install " + std::to_wstring(code)); }
    void Uninstall() override { calls.push_back(L"uninstall"); }
};

// Handles this thread's messages as the program's loop does until the
// predicate holds; false when it did not within the timeout.
template <typename Predicate>
bool PumpUntil(Predicate predicate, unsigned timeoutMs = 5000)
{
    return WaitUntil(
        [&] {
            PumpPending();
            return predicate();
        },
        timeoutMs);
}

std::string AtCentreOf(HWND window)
{
    const POINT centre = ScreenCentreOf(window);
    return "mousemove " + std::to_string(centre.x) + " " + std::to_string(centre.y);
}

class InProcessMainForm : public testing::Test {
protected:
    static void SetUpTestSuite() { app::Application.Initialize(); }
    static void TearDownTestSuite() { app::Application.Finalize(); }
    void SetUp() override
    {
        // A data folder of the test's own, without a settings file.
        wchar_t temp[MAX_PATH]{};
        ::GetTempPathW(MAX_PATH, temp);
        desktop::UserDataDir = std::wstring(temp) + L"quillow-form-test\\";
        ::CreateDirectoryW(desktop::UserDataDir.c_str(), nullptr);
        ::DeleteFileW((desktop::UserDataDir + L"quillow.ini").c_str());
        form = std::make_unique<app::TMainForm>();
        app::Application.SetMainForm(form.get());
    }
    void TearDown() override
    {
        app::Application.SetMainForm(nullptr);
        form.reset();
        PumpPending();
        ::DeleteFileW((desktop::UserDataDir + L"quillow.ini").c_str());
        desktop::UserDataDir.clear();
    }
    std::unique_ptr<app::TMainForm> form;
};

TEST_F(InProcessMainForm, EveryControlUsesTheMenuFaceAtTheDesignHeight)
{
    const int dpi = static_cast<int>(form->Dpi());
    for (HWND control : {form->Memo->Handle(), form->MemoList->Handle(), form->ToolBar->Handle()}) {
        LOGFONTW font = FontOf(control);
        EXPECT_EQ(std::wstring(font.lfFaceName), MenuFontFace());
        EXPECT_EQ(font.lfHeight, -::MulDiv(16, dpi, 120));
        EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
    }
    // Creation showed the window through the always-on-top step.
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));
}

TEST_F(InProcessMainForm, CtrlAIsKeptFromTheAreaOnlyWhenItSelectsAll)
{
    // What each area's key handler leaves for the edit control. The edit
    // control drops U+0001 by itself, so only here can a test see whether
    // the character reached it.
    std::vector<wchar_t> passedOn;
    form->Memo->OnKeyPress = [&](app::TMemo& sender, wchar_t& key) {
        form->MemoKeyPress(sender, key);
        passedOn.push_back(key);
    };
    form->MemoList->OnKeyPress = [&](app::TMemo& sender, wchar_t& key) {
        form->MemoListKeyPress(sender, key);
        passedOn.push_back(key);
    };
    ::SetWindowTextW(form->Memo->Handle(), L"memo text");
    ::SetWindowTextW(form->MemoList->Handle(), L"report line");
    struct Case {
        const char* label;
        const char* input;  // with the pointer over the area
        wchar_t passedOn;
        bool selectsAll;
    };
    const Case cases[] = {
        {"Ctrl+A", "key ctrl+a", L'\0', true},
        {"Ctrl+Shift+A", "key ctrl+shift+a", L'\x01', false},
        {"Ctrl+A with the left button held", "mousedown 1 key ctrl+a mouseup 1", L'\x01', false},
    };
    for (app::TMemo* area : {form->Memo.get(), form->MemoList.get()}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.label << (area == form->Memo.get() ? " in Memo" : " in MemoList"));
            ASSERT_TRUE(Xdotool(AtCentreOf(area->Handle()) + " click 1"));
            ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == area->Handle(); })) << "the area took no focus";
            ::SendMessageW(area->Handle(), EM_SETSEL, 1, 1);
            passedOn.clear();
            ASSERT_TRUE(Xdotool(AtCentreOf(area->Handle()) + " " + c.input));
            EXPECT_TRUE(PumpUntil([&] { return !passedOn.empty(); })) << "no character was typed";
            PumpUntil([] { return false; }, 200);
            EXPECT_EQ(passedOn, std::vector<wchar_t>{c.passedOn});
            const auto length = static_cast<DWORD>(app::TMemo::TextOf(area->Handle()).size());
            DWORD start = 0, end = 0;
            ::SendMessageW(area->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(start == 0 && end == length, c.selectsAll) << "selection " << start << " to " << end;
        }
    }
}

TEST_F(InProcessMainForm, DpiChangeTakesTheSuggestedRectangleAndRescales)
{
    const UINT newDpi = 240;
    RECT suggested{100, 120, 100 + 1700, 120 + 700};
    ::SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&suggested));

    RECT outer{};
    ::GetWindowRect(form->Handle(), &outer);
    EXPECT_EQ(outer.left, 100);
    EXPECT_EQ(outer.top, 120);
    EXPECT_EQ(outer.right - outer.left, 1700);
    EXPECT_EQ(FontOf(form->Memo->Handle()).lfHeight, -32);
    RECT procRect{};
    ::SendMessageW(form->ToolBar->Handle(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&procRect));
    EXPECT_EQ(procRect.right - procRect.left, 258);
    EXPECT_EQ(procRect.bottom - procRect.top, 48);
    RECT memoRect{};
    ::GetWindowRect(form->Memo->Handle(), &memoRect);
    EXPECT_EQ(memoRect.right - memoRect.left, 850);
}

TEST_F(InProcessMainForm, ButtonChoiceCodesOnTheToolbar)
{
    EXPECT_EQ(form->ButtonCode(), 0);
    EXPECT_TRUE(form->TBLButton->Down());
    form->TBRButton->Click();
    EXPECT_EQ(form->ButtonCode(), 2);
    EXPECT_TRUE(form->TBRButton->Down());
    EXPECT_FALSE(form->TBLButton->Down());
    form->TBRButton->Click();
    EXPECT_EQ(form->ButtonCode(), 2);
    EXPECT_TRUE(form->TBRButton->Down());
    form->TBMButton->Click();
    EXPECT_EQ(form->ButtonCode(), 1);
}

TEST_F(InProcessMainForm, HandlersDriveTheHookLibrary)
{
    // Under test the library beside win32_tests.exe does not exist: no calls.
    EXPECT_EQ(form->HookLibraryModule(), 0u);
    app::Application.SetMainForm(nullptr);
    form.reset();

    RecordingHookLibrary library;
    form = std::make_unique<app::TMainForm>(&library);
    EXPECT_EQ(library.calls, (std::vector<std::wstring>{L"load C:\\Tools\\quillow.dll", L"install 0"}));
    library.calls.clear();
    form->TBRButton->Click();
    form->TBRButton->Click();
    form->TBProc->Click();
    form->TBMButton->Click();  // while idle: stored, nothing called
    form->TBProc->Click();
    form.reset();
    EXPECT_EQ(library.calls, (std::vector<std::wstring>{L"uninstall", L"install 2", L"uninstall", L"install 2",
                                                        L"uninstall", L"install 1", L"uninstall", L"free"}));
}

TEST_F(InProcessMainForm, RealClicksOnTheButtonChoiceRunItsHandlerAlsoOnTheButtonAlreadyDown)
{
    app::Application.SetMainForm(nullptr);
    form.reset();
    RecordingHookLibrary library;
    form = std::make_unique<app::TMainForm>(&library);
    app::Application.SetMainForm(form.get());
    struct Step {
        const wchar_t* caption;
        int code;
    };
    // The left button is down from the start; each click, through the
    // toolbar itself, removes the hook and installs it for the chosen code.
    const Step steps[] = {{L"左ボタン", 0}, {L"右ボタン", 2}, {L"右ボタン", 2}, {L"中ボタン", 1}};
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(step.caption)));
        library.calls.clear();
        ASSERT_TRUE(ClickToolButton(form->ToolBar->Handle(), step.caption));
        EXPECT_TRUE(PumpUntil([&] { return library.calls.size() >= 2; })) << "the handler did not run";
        PumpUntil([] { return false; }, 200);
        EXPECT_EQ(library.calls, (std::vector<std::wstring>{L"uninstall", L"install " + std::to_wstring(step.code)}));
        EXPECT_EQ(form->ButtonCode(), step.code);
        EXPECT_EQ(form->TBLButton->Down(), step.code == 0);
        EXPECT_EQ(form->TBMButton->Down(), step.code == 1);
        EXPECT_EQ(form->TBRButton->Down(), step.code == 2);
    }
    app::Application.SetMainForm(nullptr);
    form.reset();
}

TEST_F(InProcessMainForm, ACaptureMakesTheProgramsIconTheWindowIcon)
{
    EXPECT_EQ(form->Icon.State(), inspect::TIcon::TState::Stored);
    TProgram target(L"icon_target.exe", L"window");
    HWND window = target.WaitForWindow(L"QuillowIconFixture");
    ASSERT_NE(window, nullptr);
    ::SendMessageW(form->Handle(), app::WM_CAPTUREWINDOW, 0, reinterpret_cast<LPARAM>(window));
    ASSERT_EQ(form->Icon.State(), inspect::TIcon::TState::Handle);
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(form->Handle(), WM_GETICON, ICON_BIG, 0)), form->Icon.Handle());
    EXPECT_EQ(form->CaptureHandle(), reinterpret_cast<app::NativeUInt>(window));
    EXPECT_NE(app::TMemo::TextOf(form->MemoList->Handle()).find(L"icon_target.exe"), std::wstring::npos);

    // A window whose program cannot be found leaves the icon as it was.
    const HICON before = form->Icon.Handle();
    ::SendMessageW(form->Handle(), app::WM_CAPTUREWINDOW, 0, static_cast<LPARAM>(0x7FFF0000));
    EXPECT_EQ(form->Icon.Handle(), before);
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(form->Handle(), WM_GETICON, ICON_BIG, 0)), before);
}

TEST_F(InProcessMainForm, SaveCommandRunsTheDialogComponentOnTheDesktop)
{
    wchar_t desktop[MAX_PATH]{};
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop);
    const std::wstring expected = std::wstring(desktop) + L"\\quillow-form-save.ico";
    ::DeleteFileW(expected.c_str());
    form->SavePictureDialog.FileName = L"C:\\elsewhere\\old.ico";

    auto user = std::async(std::launch::async, [&] {
        HWND dialog = WaitForOwnedDialog(form->Handle());
        return dialog && TypeNameAndConfirm(dialog, "quillow-form-save");
    });
    form->TBSaveIcon->Click();
    EXPECT_TRUE(user.get());
    EXPECT_EQ(form->SavePictureDialog.InitialDir, desktop);
    EXPECT_EQ(form->SavePictureDialog.FileName, expected);
    EXPECT_NE(::GetFileAttributesW(expected.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(app::TSavePictureDialog::Filter(), L"アイコン(*.ico)|*.ico");
    EXPECT_EQ(std::wstring(app::TSavePictureDialog::DefaultExt), L"ico");
    ::DeleteFileW(expected.c_str());
}

LRESULT CALLBACK RefuseCreation(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_NCCREATE ? FALSE : ::DefWindowProcW(window, message, wParam, lParam);
}

TEST(FormCreation, AWindowThatCannotBeCreatedIsReportedInJapanese)
{
    // The form's class is already registered, by a procedure whose windows
    // refuse to be created.
    WNDCLASSEXW refusing{};
    refusing.cbSize = sizeof refusing;
    refusing.lpfnWndProc = RefuseCreation;
    refusing.hInstance = ::GetModuleHandleW(nullptr);
    refusing.lpszClassName = L"QuillowRefusedForm";
    ASSERT_NE(::RegisterClassExW(&refusing), 0);
    const app::TFormDesign design{refusing.lpszClassName, L"quillow", 830, 328,
                                  {L"MS UI Gothic", 16, SHIFTJIS_CHARSET}};
    const std::wstring message = ErrorMessageOf([&] { app::TForm form(design); });
    EXPECT_EQ(message.rfind(L"メインウィンドウを作成できません。", 0), 0u) << testing::PrintToString(message);
}

// Dismisses the next error box of this process and tells what it showed.
std::future<TErrorBox> DismissNextErrorBox()
{
    return std::async(std::launch::async, [] {
        TErrorBox box = WaitForErrorBox(::GetCurrentProcessId());
        if (box.Window) DismissErrorBox(box.Window);
        return box;
    });
}

TEST_F(InProcessMainForm, AnExceptionLeavingAHandlerIsShownAndTheLoopGoesOn)
{
    int handled = 0;
    form->SetMessageHandler(WM_APP + 1, [](app::TMessage&) { throw desktop::EAppError(L"ファイルが壊れています"); });
    form->SetMessageHandler(WM_APP + 2, [&](app::TMessage&) { ++handled; });

    auto watcher = DismissNextErrorBox();
    ::PostMessageW(form->Handle(), WM_APP + 1, 0, 0);
    ::PostMessageW(form->Handle(), WM_APP + 2, 0, 0);
    MSG message;
    while (handled == 0 && ::GetMessageW(&message, nullptr, 0, 0) > 0) app::Application.ProcessMessage(message);

    TErrorBox box = watcher.get();
    ASSERT_NE(box.Window, nullptr) << "no error box appeared";
    EXPECT_EQ(box.Text, L"ファイルが壊れています.");
    EXPECT_TRUE(box.HasErrorIcon);
    EXPECT_EQ(handled, 1) << "the loop must go on after the error box";
    EXPECT_TRUE(::IsWindow(form->Handle()));
}

TEST_F(InProcessMainForm, AnExceptionInAKeyHandlerReachesTheDefaultHandlerToo)
{
    form->Memo->OnKeyPress = [](app::TMemo&, wchar_t&) { throw desktop::EAppError(L"ends in )"); };
    auto watcher = DismissNextErrorBox();
    ::SendMessageW(form->Memo->Handle(), WM_CHAR, L'x', 0);
    TErrorBox box = watcher.get();
    EXPECT_EQ(box.Text, L"ends in )");
    EXPECT_EQ(app::TMemo::TextOf(form->Memo->Handle()), L"");
}

}  // namespace
