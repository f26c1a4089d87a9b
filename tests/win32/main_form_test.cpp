// The main window created in the test process: font, DPI changes and the
// default exception handler on the real message path.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <future>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/main_form.h"
#include "desktop/app_error.h"
#include "desktop/data_folder.h"
#include "support/quillow_process.h"

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
