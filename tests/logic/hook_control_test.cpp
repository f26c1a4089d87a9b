// The hook control's calls to the library, event by event, against a
// library fake that records them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "inspect/hook_control.h"

namespace {

const HWND kMainWindow = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x1A2B));
constexpr std::uintptr_t kModule = 0x7000;

class RecordingLibrary final : public inspect::HookLibrary {
public:
    explicit RecordingLibrary(std::uintptr_t loadResult) : m_loadResult(loadResult) {}

    std::wstring ProgramPath() override { return L"C:\\Tools\\quillow.exe"; }
    std::uintptr_t Load(const std::wstring& path) override
    {
        calls.push_back(L"load " + path);
        return m_loadResult;
    }
    void Free(std::uintptr_t module) override { calls.push_back(L"free " + std::to_wstring(module)); }
    void Install(HWND target, std::int32_t code) override
    {
        const std::wstring to = target == kMainWindow ? L"main" : L"other window";
        calls.push_back(L"install " + to + L" " + std::to_wstring(code));
    }
    void Uninstall() override { calls.push_back(L"uninstall"); }

    std::vector<std::wstring> calls;

private:
    std::uintptr_t m_loadResult;
};

enum class Event { Create, ProcClick, LeftClick, MiddleClick, RightClick, Destroy };

// Each event as the main window raises it: the toolbar changes its buttons
// first, then the handler runs.
void Raise(Event event, inspect::HookControlState& state, RecordingLibrary& library)
{
    auto choose = [&](bool left, bool middle, bool right) {
        // The group puts the clicked button down and the others up (a click
        // on the button already down leaves them as they are: the same).
        state.TBLButtonDown = left;
        state.TBMButtonDown = middle;
        state.TBRButtonDown = right;
        inspect::HookTBButtonClick(state, library, kMainWindow);
    };
    switch (event) {
    case Event::Create:
        inspect::HookFormCreate(state, library, kMainWindow);
        inspect::HookShowButtonChoice(state);
        break;
    case Event::ProcClick:
        state.TBProcDown = !state.TBProcDown;
        inspect::HookTBProcClick(state, library, kMainWindow);
        break;
    case Event::LeftClick: choose(true, false, false); break;
    case Event::MiddleClick: choose(false, true, false); break;
    case Event::RightClick: choose(false, false, true); break;
    case Event::Destroy: inspect::HookFormDestroy(state, library); break;
    }
}

struct Buttons {
    bool proc, left, middle, right;
};

struct TransitionCase {
    const char* name;
    std::int32_t storedCode;
    std::uintptr_t loadResult;
    std::vector<Event> events;
    std::vector<std::wstring> calls;
    std::int32_t finalCode;
    std::uintptr_t finalMDll;
    Buttons finalButtons;
};

const std::wstring kLoad = L"load C:\\Tools\\quillow.dll";
const std::wstring kFree = L"free " + std::to_wstring(kModule);

TEST(HookControl, CallsTheLibraryAsEachTransitionSays)
{
    using enum Event;
    const TransitionCase cases[] = {
        {"load failed: nothing is called, buttons and code still follow the user", 1, 0,
         {Create, ProcClick, ProcClick, RightClick, ProcClick, Destroy},
         {kLoad},
         2, 0, {false, false, false, true}},
        {"load succeeded: installs the stored code with the main window", 1, kModule,
         {Create},
         {kLoad, L"install main 1"},
         1, kModule, {true, false, true, false}},
        {"switch off removes, switch on installs again", 0, kModule,
         {Create, ProcClick, ProcClick},
         {kLoad, L"install main 0", L"uninstall", L"install main 0"},
         0, kModule, {true, true, false, false}},
        {"choice while capturing removes, then installs the new code", 0, kModule,
         {Create, RightClick},
         {kLoad, L"install main 0", L"uninstall", L"install main 2"},
         2, kModule, {true, false, false, true}},
        {"click on the choice already down removes and installs the same code", 1, kModule,
         {Create, MiddleClick},
         {kLoad, L"install main 1", L"uninstall", L"install main 1"},
         1, kModule, {true, false, true, false}},
        {"choice while idle calls nothing; the next switch-on installs it", 0, kModule,
         {Create, ProcClick, MiddleClick, ProcClick},
         {kLoad, L"install main 0", L"uninstall", L"install main 1"},
         1, kModule, {true, false, true, false}},
        {"switch off, then close: the removal twice in all", 0, kModule,
         {Create, ProcClick, Destroy},
         {kLoad, L"install main 0", L"uninstall", L"uninstall", kFree},
         0, 0, {false, true, false, false}},
        {"close while capturing removes and releases", 2, kModule,
         {Create, Destroy},
         {kLoad, L"install main 2", L"uninstall", kFree},
         2, 0, {true, false, false, true}},
        {"stored code 7 is installed as it is and shows no choice down", 7, kModule,
         {Create},
         {kLoad, L"install main 7"},
         7, kModule, {true, false, false, false}},
        {"after code 7 the first choice sets 0, 1 or 2 and installs again", 7, kModule,
         {Create, LeftClick},
         {kLoad, L"install main 7", L"uninstall", L"install main 0"},
         0, kModule, {true, true, false, false}},
        {"stored code -1 shows no choice down either", -1, kModule,
         {Create},
         {kLoad, L"install main -1"},
         -1, kModule, {true, false, false, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        inspect::HookControlState state;
        state.MButtonC = c.storedCode;
        RecordingLibrary library(c.loadResult);
        for (Event event : c.events) Raise(event, state, library);
        EXPECT_EQ(library.calls, c.calls);
        EXPECT_EQ(state.MButtonC, c.finalCode);
        EXPECT_EQ(state.MDll, c.finalMDll);
        EXPECT_EQ(state.TBProcDown, c.finalButtons.proc);
        EXPECT_EQ(state.TBLButtonDown, c.finalButtons.left);
        EXPECT_EQ(state.TBMButtonDown, c.finalButtons.middle);
        EXPECT_EQ(state.TBRButtonDown, c.finalButtons.right);
    }
}

TEST(HookControl, LibraryPathChangesTheFileNamesExtension)
{
    struct Case {
        const wchar_t* program;
        const wchar_t* library;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\quillow\\quillow.exe", L"C:\\Program Files\\quillow\\quillow.dll"},
        {L"C:\\Tools\\quillow", L"C:\\Tools\\quillow.dll"},
        {L"C:\\my.tools\\quillow", L"C:\\my.tools\\quillow.dll"},
        {L"C:\\Tools\\quillow.backup.exe", L"C:\\Tools\\quillow.backup.dll"},
        {L"C:\\Tools\\quillow.", L"C:\\Tools\\quillow.dll"},
        {L"C:\\Tools\\.exe", L"C:\\Tools\\.dll"},
        {L"C:quillow.exe", L"C:quillow.dll"},
        {L"C:", L"C:.dll"},
        {L"C:\\Tools\\", L"C:\\Tools\\.dll"},
        {L"\\\\server\\share.x\\quillow.EXE", L"\\\\server\\share.x\\quillow.dll"},
        // "/" separates nothing here: the last "." lies in "/a.b/quillow".
        {L"C:/a.b/quillow", L"C:/a.dll"},
        {L"", L".dll"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(inspect::LibraryPathForProgram(c.program), c.library) << "program path: " << testing::PrintToString(std::wstring(c.program));
    }
}

}  // namespace
