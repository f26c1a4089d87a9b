// The window icon's three states, the sharing and ownership of its image,
// its file bytes and the program-icon step, over a fake platform.
#include "inspect/window_icon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/error_message.h"
#include "desktop/app_error.h"
#include "inspect/design_icon.h"

namespace {

HICON Icon(std::uintptr_t value) { return reinterpret_cast<HICON>(value); }
HWND Window(std::uintptr_t value) { return reinterpret_cast<HWND>(value); }
std::string Number(const void* value) { return std::to_string(reinterpret_cast<std::uintptr_t>(value)); }

const HICON kApplicationIcon = Icon(0xA99);
const HICON kFromStoredBytes = Icon(0x5B);
const HWND kMainWindow = Window(0x777);

class FakeIconPlatform final : public inspect::TIconPlatform {
public:
    std::vector<std::string> log;
    std::map<std::wstring, HICON> programIcons;  // what ExtractIconW answers
    bool encodeFails = false;
    std::vector<std::uint8_t> lastWritten;

    void DestroyIcon(HICON icon) override { log.push_back("destroy " + Number(icon)); }
    HICON IconFromFileBytes(std::span<const std::uint8_t> bytes) override
    {
        log.push_back("from bytes " + std::to_string(bytes.size()));
        return kFromStoredBytes;
    }
    std::vector<std::uint8_t> EncodeIconFile(HICON icon) override
    {
        log.push_back("encode " + Number(icon));
        if (encodeFails) throw desktop::EAppError(L"ビットマップ画像が無効です");
        return std::vector<std::uint8_t>(3, static_cast<std::uint8_t>(reinterpret_cast<std::uintptr_t>(icon)));
    }
    void WriteNewFile(const std::wstring& path, std::span<const std::uint8_t> bytes) override
    {
        log.push_back("write " + std::string(path.begin(), path.end()) + " " + std::to_string(bytes.size()));
        lastWritten.assign(bytes.begin(), bytes.end());
    }
    HICON ExtractProgramIcon(const std::wstring& path, UINT index) override
    {
        log.push_back("extract " + std::string(path.begin(), path.end()) + " " + std::to_string(index));
        auto found = programIcons.find(path);
        return found == programIcons.end() ? nullptr : found->second;
    }
    HICON ApplicationIcon() override { return kApplicationIcon; }
    void SetBigIcon(HWND window, HICON icon) override { log.push_back("big icon " + Number(window) + " " + Number(icon)); }

    std::vector<std::string> TakeLog() { return std::exchange(log, {}); }
};

using Log = std::vector<std::string>;
using State = inspect::TIcon::TState;

TEST(WindowIcon, DesignIconIsStoredAndSavesItsBytesUnchanged)
{
    FakeIconPlatform platform;
    inspect::TIcon icon = inspect::TIcon::DesignIcon(platform);
    EXPECT_EQ(icon.State(), State::Stored);
    EXPECT_EQ(icon.Handle(), nullptr);
    icon.SaveToFile(L"a.ico");
    const auto design = inspect::DesignIconBytes();
    EXPECT_EQ(platform.lastWritten, std::vector<std::uint8_t>(design.begin(), design.end()));
    EXPECT_EQ(platform.TakeLog(), (Log{"write a.ico 1078"}));
}

TEST(WindowIcon, StoredIconMakesItsDisplayHandleOnceAndDestroysItWithTheImage)
{
    FakeIconPlatform platform;
    {
        inspect::TIcon icon = inspect::TIcon::DesignIcon(platform);
        EXPECT_EQ(platform.TakeLog(), Log{}) << "no handle before it is needed";
        inspect::ShowWindowIcon(kMainWindow, icon);
        inspect::ShowWindowIcon(kMainWindow, icon);
        EXPECT_EQ(platform.TakeLog(), (Log{"from bytes 1078", "big icon 1911 91", "big icon 1911 91"}));
    }
    EXPECT_EQ(platform.TakeLog(), (Log{"destroy 91"}));
}

TEST(WindowIcon, ImageIsSharedAndItsHandleDestroyedWhenTheLastHolderLetsGo)
{
    FakeIconPlatform platform;
    auto* first = new inspect::TIcon(platform);
    first->SetHandle(Icon(0x10));
    EXPECT_EQ(first->State(), State::Handle);
    inspect::TIcon second(platform);
    second.Assign(*first);
    EXPECT_EQ(second.Handle(), Icon(0x10));
    delete first;
    EXPECT_EQ(platform.TakeLog(), Log{}) << "the second holder still refers to it";

    second.SetHandle(Icon(0x20));
    EXPECT_EQ(platform.TakeLog(), (Log{"destroy 16"}));
    second.SetHandle(nullptr);
    EXPECT_EQ(second.State(), State::Empty);
    EXPECT_EQ(platform.TakeLog(), (Log{"destroy 32"}));
}

TEST(WindowIcon, EncodedBytesAreMadeOnceAndKeptWithTheImage)
{
    FakeIconPlatform platform;
    inspect::TIcon icon(platform);
    icon.SetHandle(Icon(0x42));
    icon.SaveToFile(L"one.ico");
    inspect::TIcon copy = icon;
    copy.SaveToFile(L"two.ico");
    EXPECT_EQ(platform.TakeLog(), (Log{"encode 66", "write one.ico 3", "write two.ico 3"}));

    icon.SetHandle(Icon(0x43));  // a new image: encoded anew
    icon.SaveToFile(L"three.ico");
    EXPECT_EQ(platform.TakeLog(), (Log{"encode 67", "write three.ico 3"}));
    EXPECT_EQ(platform.lastWritten, (std::vector<std::uint8_t>{0x43, 0x43, 0x43}));
}

TEST(WindowIcon, SavesThatCannotProduceBytesCreateNoFile)
{
    struct Case {
        const char* label;
        HICON handle;  // null: empty
        bool encodeFails;
        const wchar_t* message;
        Log log;
    };
    const Case cases[] = {
        {"empty icon", nullptr, false, L"アイコン画像が無効です", {}},
        {"ExtractIconW's answer for a file of no icon kind", Icon(1), false, L"アイコン画像が無効です", {}},
        {"bitmaps cannot be read", Icon(0x50), true, L"ビットマップ画像が無効です", {"encode 80"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FakeIconPlatform platform;
        platform.encodeFails = c.encodeFails;
        inspect::TIcon icon(platform);
        icon.SetHandle(c.handle);
        EXPECT_EQ(testsupport::ErrorMessageOf([&] { icon.SaveToFile(L"x.ico"); }), c.message);
        EXPECT_EQ(platform.TakeLog(), c.log);
    }
}

TEST(WindowIcon, FailedEncodingKeepsNothingSoALaterSaveTriesAgain)
{
    FakeIconPlatform platform;
    inspect::TIcon icon(platform);
    icon.SetHandle(Icon(0x50));
    platform.encodeFails = true;
    EXPECT_EQ(testsupport::ErrorMessageOf([&] { icon.SaveToFile(L"x.ico"); }), L"ビットマップ画像が無効です");
    platform.encodeFails = false;
    icon.SaveToFile(L"x.ico");
    EXPECT_EQ(platform.TakeLog(), (Log{"encode 80", "encode 80", "write x.ico 3"}));
}

TEST(WindowIcon, NotAnIconFileAnswerShowsTheApplicationIconAndIsNeverDestroyed)
{
    FakeIconPlatform platform;
    {
        inspect::TIcon icon(platform);
        icon.SetHandle(Icon(1));
        EXPECT_EQ(icon.State(), State::Handle);
        inspect::ShowWindowIcon(kMainWindow, icon);
    }
    EXPECT_EQ(platform.TakeLog(), (Log{"big icon 1911 2713"}));
}

TEST(ProgramIconStep, ShowsWhatTheExecutableHoldsAndLetsThePreviousImageGoAfterwards)
{
    struct Case {
        const char* label;
        HICON extracted;
        Log log;
        State state;
    };
    const Case cases[] = {
        {"an icon", Icon(0x31), {"extract C:\\p.exe 0", "big icon 1911 49", "destroy 16"}, State::Handle},
        {"no icon: application icon", nullptr, {"extract C:\\p.exe 0", "big icon 1911 2713", "destroy 16"},
         State::Empty},
        {"no icon kind: application icon", Icon(1), {"extract C:\\p.exe 0", "big icon 1911 2713", "destroy 16"},
         State::Handle},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FakeIconPlatform platform;
        platform.programIcons[L"C:\\p.exe"] = c.extracted;
        inspect::TIcon windowIcon(platform);
        windowIcon.SetHandle(Icon(0x10));
        inspect::ShowProgramIcon(kMainWindow, windowIcon, L"C:\\p.exe");
        EXPECT_EQ(platform.TakeLog(), c.log);
        EXPECT_EQ(windowIcon.State(), c.state);
    }
}

TEST(ProgramIconStep, WindowIconBecomesTheOnlyHolderOfTheExtractedHandle)
{
    FakeIconPlatform platform;
    platform.programIcons[L"a.exe"] = Icon(0x31);
    platform.programIcons[L"b.exe"] = Icon(0x32);
    {
        inspect::TIcon windowIcon = inspect::TIcon::DesignIcon(platform);
        inspect::ShowProgramIcon(kMainWindow, windowIcon, L"a.exe");
        EXPECT_EQ(platform.TakeLog(), (Log{"extract a.exe 0", "big icon 1911 49"})) << "stored icon had no handle";
        inspect::ShowProgramIcon(kMainWindow, windowIcon, L"b.exe");
        EXPECT_EQ(platform.TakeLog(), (Log{"extract b.exe 0", "big icon 1911 50", "destroy 49"}));
    }
    EXPECT_EQ(platform.TakeLog(), (Log{"destroy 50"})) << "at exit";
}

TEST(ProgramIconStep, EmptyPathLeavesTheIconAsItWas)
{
    FakeIconPlatform platform;
    inspect::TIcon windowIcon = inspect::TIcon::DesignIcon(platform);
    inspect::ShowProgramIcon(kMainWindow, windowIcon, L"");
    EXPECT_EQ(windowIcon.State(), State::Stored);
    EXPECT_EQ(platform.TakeLog(), Log{});
}

}  // namespace
