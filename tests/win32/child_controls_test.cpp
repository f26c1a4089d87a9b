// The form's controls are views over their windows: only the owner of a
// window destroys it, and a control whose window went with its parent makes
// no call on the destroyed handle.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <utility>

#include "app/memo.h"
#include "app/panel.h"
#include "app/tool_bar.h"
#include "desktop/handles.h"

namespace {

constexpr int kButtonHeight = 24;

desktop::WindowHandle MakeParent()
{
    return desktop::WindowHandle(::CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                                   nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

TEST(ChildControls, AreViewsThatNeverDestroyTheirWindow)
{
    // A control of each kind and its window, made on the given parent.
    using TMade = std::pair<std::shared_ptr<void>, HWND>;
    struct Case {
        const char* kind;
        std::function<TMade(HWND parent)> make;
    };
    const Case cases[] = {
        {"TMemo",
         [](HWND parent) {
             auto memo = std::make_shared<app::TMemo>(parent, false);
             return TMade{memo, memo->Handle()};
         }},
        {"TToolBar",
         [](HWND parent) {
             auto toolBar = std::make_shared<app::TToolBar>(parent, kButtonHeight);
             toolBar->AddButton({L"処理", app::TButtonKind::Check, 129, true, false});
             return TMade{toolBar, toolBar->Handle()};
         }},
        {"TPanel",
         [](HWND parent) {
             auto panel = std::make_shared<app::TPanel>(parent);
             return TMade{panel, panel->Handle()};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        {
            // Dropped while its window lives: the window stays for its owner.
            desktop::WindowHandle parent = MakeParent();
            auto [control, window] = c.make(parent.get());
            ASSERT_TRUE(::IsWindow(window));
            control.reset();
            EXPECT_TRUE(::IsWindow(window)) << "the control destroyed its window";
            // The window still works without the control.
            ::SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x"));
            ::SendMessageW(window, WM_CHAR, L'y', 0);
        }
        {
            // Its window destroyed with the parent first, as the form does it.
            desktop::WindowHandle parent = MakeParent();
            auto [control, window] = c.make(parent.get());
            parent.reset();
            ASSERT_FALSE(::IsWindow(window));
            ::SetLastError(0xdeadbeef);
            control.reset();
            EXPECT_EQ(::GetLastError(), 0xdeadbeefu) << "a call on the destroyed window";
        }
    }
}

}  // namespace
