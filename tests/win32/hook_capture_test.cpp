// quillow.dll on the real desktop: real presses through the X server on the
// controls of another process, captures posted to a window of this test.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "hook/quillow_hook.h"
#include "inspect/hook_control.h"
#include "inspect/hook_library_imported.h"
#include "support/hook_capture_recorder.h"
#include "support/hook_target_process.h"
#include "tests/fixtures/hook_target.h"

namespace {

using testsupport::ClickAt;
using testsupport::MouseButton;
using Captures = std::vector<HWND>;

class CaptureHook : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_target = std::make_unique<testsupport::HookTargetProcess>();
        s_started = s_target->Start();
    }
    static void TearDownTestSuite() { s_target.reset(); }
    void SetUp() override { ASSERT_TRUE(s_started) << "hook_target.exe did not show its window"; }
    void TearDown() override { ::Func_UnInstallMHook(); }

    static HWND Control(int id) { return s_target->Control(id); }
    static POINT CentreOf(int id) { return testsupport::ScreenCentreOf(Control(id)); }
    // Inside the group box, right of and below the check box.
    static POINT BesideCheckBox()
    {
        RECT group{};
        ::GetWindowRect(Control(hook_target::kGroupBoxId), &group);
        return {group.right - 30, group.bottom - 20};
    }

    testsupport::CaptureRecorder recorder;

private:
    static inline std::unique_ptr<testsupport::HookTargetProcess> s_target;
    static inline bool s_started = false;
};

TEST_F(CaptureHook, EachCodeReportsTheControlUnderThePointer)
{
    struct Case {
        const char* name;
        INT code;
        MouseButton button;
        POINT (*where)();
        int expectedId;
    };
    const Case cases[] = {
        {"left on a push button", hook::kLeftButtonCode, MouseButton::Left,
         [] { return CentreOf(hook_target::kChildControlId); }, hook_target::kChildControlId},
        {"middle on the check box, not the group box around it", hook::kMiddleButtonCode, MouseButton::Middle,
         [] { return CentreOf(hook_target::kCheckBoxId); }, hook_target::kCheckBoxId},
        {"right on the disabled button", hook::kRightButtonCode, MouseButton::Right,
         [] { return CentreOf(hook_target::kDisabledControlId); }, hook_target::kDisabledControlId},
        {"left in the group box beside the check box", hook::kLeftButtonCode, MouseButton::Left, BesideCheckBox,
         hook_target::kGroupBoxId},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.Clear();
        ASSERT_TRUE(::Func_InstallMHook(recorder.Window(), c.code));
        ASSERT_TRUE(ClickAt(c.where(), c.button));
        EXPECT_EQ(recorder.WaitFor(1), Captures{Control(c.expectedId)});
        EXPECT_TRUE(::Func_UnInstallMHook());
    }
}

TEST_F(CaptureHook, ThePressGoesOnToThePressedWindow)
{
    HWND checkBox = Control(hook_target::kCheckBoxId);
    const LRESULT before = ::SendMessageW(checkBox, BM_GETCHECK, 0, 0);
    ASSERT_TRUE(::Func_InstallMHook(recorder.Window(), hook::kLeftButtonCode));
    ASSERT_TRUE(ClickAt(CentreOf(hook_target::kCheckBoxId), MouseButton::Left));
    EXPECT_EQ(recorder.WaitFor(1), Captures{checkBox});
    LRESULT after = before;
    for (int i = 0; i < 200 && after == before; ++i) {
        ::Sleep(10);
        after = ::SendMessageW(checkBox, BM_GETCHECK, 0, 0);
    }
    EXPECT_NE(after, before) << "the click did not reach the check box";
}

// Captures come in the order of the presses, so a last press that must be
// captured shows that the presses before it gave nothing.
TEST_F(CaptureHook, PressesOfTheOtherButtonsGiveNothing)
{
    ASSERT_TRUE(::Func_InstallMHook(recorder.Window(), hook::kLeftButtonCode));
    ASSERT_TRUE(ClickAt(CentreOf(hook_target::kChildControlId), MouseButton::Right));
    ASSERT_TRUE(ClickAt(CentreOf(hook_target::kChildControlId), MouseButton::Middle));
    ASSERT_TRUE(ClickAt(CentreOf(hook_target::kDisabledControlId), MouseButton::Left));
    EXPECT_EQ(recorder.WaitFor(1), Captures{Control(hook_target::kDisabledControlId)});
}

TEST_F(CaptureHook, NothingAfterTheRemoval)
{
    ASSERT_TRUE(::Func_InstallMHook(recorder.Window(), hook::kLeftButtonCode));
    EXPECT_TRUE(::Func_UnInstallMHook());
    ASSERT_TRUE(ClickAt(CentreOf(hook_target::kChildControlId), MouseButton::Left));
    ASSERT_TRUE(::Func_InstallMHook(recorder.Window(), hook::kLeftButtonCode));
    ASSERT_TRUE(ClickAt(CentreOf(hook_target::kDisabledControlId), MouseButton::Left));
    EXPECT_EQ(recorder.WaitFor(1), Captures{Control(hook_target::kDisabledControlId)});
}

TEST_F(CaptureHook, RemovalWithoutAHookIsHarmless)
{
    EXPECT_FALSE(::Func_UnInstallMHook());
    EXPECT_FALSE(::Func_UnInstallMHook());
    ASSERT_TRUE(::Func_InstallMHook(recorder.Window(), hook::kLeftButtonCode));
    EXPECT_TRUE(::Func_UnInstallMHook());
    EXPECT_FALSE(::Func_UnInstallMHook());
}

TEST_F(CaptureHook, ASecondInstallReplacesTheFirst)
{
    ASSERT_TRUE(::Func_InstallMHook(recorder.Window(), hook::kLeftButtonCode));
    ASSERT_TRUE(::Func_InstallMHook(recorder.Window(), hook::kLeftButtonCode));
    ASSERT_TRUE(ClickAt(CentreOf(hook_target::kChildControlId), MouseButton::Left));
    ASSERT_TRUE(ClickAt(CentreOf(hook_target::kDisabledControlId), MouseButton::Left));
    EXPECT_EQ(recorder.WaitFor(2),
              (Captures{Control(hook_target::kChildControlId), Control(hook_target::kDisabledControlId)}))
        << "one capture per press";

    // The replaced hook's button is no longer watched; one removal ends all.
    recorder.Clear();
    ASSERT_TRUE(::Func_InstallMHook(recorder.Window(), hook::kRightButtonCode));
    ASSERT_TRUE(::Func_InstallMHook(recorder.Window(), hook::kMiddleButtonCode));
    ASSERT_TRUE(ClickAt(CentreOf(hook_target::kChildControlId), MouseButton::Right));
    ASSERT_TRUE(ClickAt(CentreOf(hook_target::kDisabledControlId), MouseButton::Middle));
    EXPECT_EQ(recorder.WaitFor(1), Captures{Control(hook_target::kDisabledControlId)});
    EXPECT_TRUE(::Func_UnInstallMHook());
    EXPECT_FALSE(::Func_UnInstallMHook());
}

TEST_F(CaptureHook, CodesOutsideTheThreeCaptureNothing)
{
    for (INT code : {3, -1}) {
        SCOPED_TRACE(code);
        recorder.Clear();
        ASSERT_TRUE(::Func_InstallMHook(recorder.Window(), hook::kLeftButtonCode));
        EXPECT_FALSE(::Func_InstallMHook(recorder.Window(), code));
        for (MouseButton button : {MouseButton::Left, MouseButton::Middle, MouseButton::Right})
            ASSERT_TRUE(ClickAt(CentreOf(hook_target::kChildControlId), button));
        ASSERT_TRUE(::Func_InstallMHook(recorder.Window(), hook::kLeftButtonCode));
        ASSERT_TRUE(ClickAt(CentreOf(hook_target::kDisabledControlId), MouseButton::Left));
        EXPECT_EQ(recorder.WaitFor(1), Captures{Control(hook_target::kDisabledControlId)});
    }
}

// The library of the program as the utility loads it: beside the program,
// by the program's own base name. This test program is named otherwise,
// so it stands in for quillow.exe beside quillow.dll.
class LibraryBesideQuillowExe final : public inspect::ImportedHookLibrary {
public:
    std::wstring ProgramPath() override { return testsupport::BinFolder() + L"quillow.exe"; }
};

TEST_F(CaptureHook, HookControlOnTheRealLibrary)
{
    LibraryBesideQuillowExe library;
    inspect::HookControlState state;
    state.MButtonC = hook::kLeftButtonCode;
    inspect::HookFormCreate(state, library, recorder.Window());
    // The run-time load finds the library bound at load time.
    ASSERT_EQ(state.MDll, reinterpret_cast<std::uintptr_t>(::GetModuleHandleW(L"quillow.dll")));
    ASSERT_NE(state.MDll, 0u);
    ASSERT_TRUE(ClickAt(CentreOf(hook_target::kChildControlId), MouseButton::Left));
    EXPECT_EQ(recorder.WaitFor(1), Captures{Control(hook_target::kChildControlId)});

    // Switched off: nothing; a choice while off takes effect at switch-on.
    recorder.Clear();
    state.TBProcDown = false;
    inspect::HookTBProcClick(state, library, recorder.Window());
    ASSERT_TRUE(ClickAt(CentreOf(hook_target::kChildControlId), MouseButton::Left));
    state.TBLButtonDown = false;
    state.TBRButtonDown = true;
    inspect::HookTBButtonClick(state, library, recorder.Window());
    state.TBProcDown = true;
    inspect::HookTBProcClick(state, library, recorder.Window());
    ASSERT_TRUE(ClickAt(CentreOf(hook_target::kChildControlId), MouseButton::Left));
    ASSERT_TRUE(ClickAt(CentreOf(hook_target::kCheckBoxId), MouseButton::Right));
    EXPECT_EQ(recorder.WaitFor(1), Captures{Control(hook_target::kCheckBoxId)});

    // Destruction removes the hook and drops the run-time reference only.
    inspect::HookFormDestroy(state, library);
    EXPECT_EQ(state.MDll, 0u);
    EXPECT_NE(::GetModuleHandleW(L"quillow.dll"), nullptr);
    EXPECT_FALSE(::Func_UnInstallMHook()) << "the hook outlived FormDestroy";
}

TEST(HookLibraryLoad, ByTheProgramsOwnBaseNameOnly)
{
    inspect::ImportedHookLibrary library;
    const std::wstring program = library.ProgramPath();
    EXPECT_EQ(program.substr(program.find_last_of(L'\\') + 1), L"win32_tests.exe");
    // win32_tests.dll does not exist: the utility would run unavailable.
    EXPECT_EQ(library.Load(inspect::LibraryPathForProgram(program)), 0u);

    const std::uintptr_t module = library.Load(testsupport::BinFolder() + L"quillow.dll");
    EXPECT_EQ(module, reinterpret_cast<std::uintptr_t>(::GetModuleHandleW(L"quillow.dll")));
    library.Free(module);
    EXPECT_NE(::GetModuleHandleW(L"quillow.dll"), nullptr) << "the load-time binding keeps it";
}

}  // namespace
