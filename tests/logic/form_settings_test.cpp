// The settings step of the window's creation and the close query's writes,
// against a fake window state and settings held in memory.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/form_settings.h"
#include "app/settings_storage.h"
#include "desktop/app_error.h"
#include "support/error_message.h"
#include "support/settings_fakes.h"

using app::FormSettingsState;
using testsupport::MemorySettingsStorage;

namespace {

constexpr wchar_t kPath[] = L"C:\\Users\\u\\AppData\\Roaming\\Morvanta\\quillow\\quillow.ini";
constexpr unsigned kShiftJis = 932;

struct FormValues {
    int top = 0, left = 0, height = 0, width = 0;
    bool maximized = false;
    bool stayOnTop = false;
    int button = 0;
    bool operator==(const FormValues&) const = default;
};

std::string Show(const FormValues& v)
{
    return "top " + std::to_string(v.top) + " left " + std::to_string(v.left) + " height " +
           std::to_string(v.height) + " width " + std::to_string(v.width) + " max " +
           std::to_string(v.maximized) + " ontop " + std::to_string(v.stayOnTop) + " button " +
           std::to_string(v.button);
}

// Where the system puts a new window, at its designed size.
constexpr FormValues kNewWindow{100, 200, 480, 1056, false, false, 0};

// The window as the settings see it; records every change in order.
class FakeForm final : public FormSettingsState {
public:
    explicit FakeForm(FormValues initial) : values(initial) {}
    FormValues values;
    std::vector<std::string> changes;

    int Top() const override { return values.top; }
    int Left() const override { return values.left; }
    int Height() const override { return values.height; }
    int Width() const override { return values.width; }
    void SetTop(int v) override { Change("Top", values.top, v); }
    void SetLeft(int v) override { Change("Left", values.left, v); }
    void SetHeight(int v) override { Change("Height", values.height, v); }
    void SetWidth(int v) override { Change("Width", values.width, v); }
    bool IsMaximized() const override { return values.maximized; }
    void SetMaximized(bool v) override { Change("Maximized", values.maximized, v); }
    bool StayOnTopDown() const override { return values.stayOnTop; }
    void SetStayOnTopDown(bool v) override { Change("StayOnTop", values.stayOnTop, v); }
    int ButtonCode() const override { return values.button; }
    void SetButtonCode(int v) override { Change("Button", values.button, v); }

private:
    template <typename T>
    void Change(const char* what, T& field, T value)
    {
        changes.push_back(std::string(what) + "=" + std::to_string(value));
        field = value;
    }
};

FormValues ReadInto(FormValues initial, const char* file)
{
    MemorySettingsStorage storage;
    if (file) storage.files[kPath] = file;
    FakeForm form(initial);
    app::ReadFormSettings(form, kPath, storage, kShiftJis);
    EXPECT_EQ(storage.saves, 0) << "reading never writes";
    return form.values;
}

std::string Close(MemorySettingsStorage& storage, FormValues state)
{
    FakeForm form(state);
    app::WriteFormSettings(form, kPath, storage, kShiftJis);
    EXPECT_TRUE(form.changes.empty()) << "closing changes nothing in the window";
    return storage.files[kPath];
}

}  // namespace

TEST(FormSettingsRead, ValuesTakenFromTheFile)
{
    FormValues maximisedOnTop = kNewWindow;
    maximisedOnTop.maximized = true;
    maximisedOnTop.stayOnTop = true;
    struct Case {
        const char* name;
        const char* file;  // null: no settings file
        FormValues initial;
        FormValues expected;
    } cases[] = {
        {"no settings file: where the system placed it, left button", nullptr, kNewWindow,
         kNewWindow},
        {"only the button code", "[Form]\r\nButton=1\r\n", kNewWindow,
         {100, 200, 480, 1056, false, false, 1}},
        {"every key", "[Form]\r\nMAX=0\r\nTop=80\r\nLeft=120\r\nHeight=440\r\nWidth=1040\r\nMostTop=1\r\nButton=2\r\n",
         kNewWindow, {80, 120, 440, 1040, false, true, 2}},
        {"maximised with its restored rectangle", "[Form]\r\nMAX=1\r\nTop=-30\r\nLeft=-1900\r\nHeight=500\r\nWidth=700\r\n",
         kNewWindow, {-30, -1900, 500, 700, true, false, 0}},
        {"[FORM] with top=50", "[FORM]\r\ntop=50\r\n", kNewWindow,
         {50, 200, 480, 1056, false, false, 0}},
        {"blanks around the equals sign", "[Form]\r\nTop = 50 \r\n", kNewWindow,
         {50, 200, 480, 1056, false, false, 0}},
        {"MostTop=2 is true", "[Form]\r\nMostTop=2\r\n", kNewWindow,
         {100, 200, 480, 1056, false, true, 0}},
        {"MostTop=true gives the current state (up)", "[Form]\r\nMostTop=true\r\n", kNewWindow,
         kNewWindow},
        {"MostTop=true gives the current state (down)", "[Form]\r\nMostTop=true\r\n",
         maximisedOnTop, {100, 200, 480, 1056, false, true, 0}},
        {"MAX missing is normal, also for a window marked maximised", "[Form]\r\n",
         maximisedOnTop, {100, 200, 480, 1056, false, true, 0}},
        {"unreadable values keep the current ones, button 0",
         "[Form]\r\nTop=abc\r\nLeft=\r\nHeight=99999999999\r\nWidth\r\nMAX=yes\r\nButton=left\r\n",
         {1, 2, 3, 4, false, false, 2}, {1, 2, 3, 4, false, false, 0}},
        {"out-of-range values are applied as read", "[Form]\r\nWidth=-5\r\nButton=7\r\n",
         kNewWindow, {100, 200, 480, -5, false, false, 7}},
        {"second [Form] block never read",
         "[Form]\r\nTop=1\r\n[Form]\r\nTop=2\r\nLeft=3\r\n", kNewWindow,
         {1, 200, 480, 1056, false, false, 0}},
        {"other section with the same keys", "[Other]\r\nTop=9\r\n[Form]\r\nLeft=8\r\n",
         kNewWindow, {100, 8, 480, 1056, false, false, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Show(ReadInto(c.initial, c.file)), Show(c.expected)) << c.name;
    }
}

// Each value is applied as it is read, in the order of the keys, so the
// rectangle is set before the maximised state marks it as the restored one.
TEST(FormSettingsRead, AppliesInTheOrderOfTheKeys)
{
    MemorySettingsStorage storage;
    storage.files[kPath] = "[Form]\r\nButton=1\r\nMAX=1\r\nWidth=4\r\nHeight=3\r\nLeft=2\r\nTop=1\r\nMostTop=1\r\n";
    FakeForm form(kNewWindow);
    app::ReadFormSettings(form, kPath, storage, kShiftJis);
    const std::vector<std::string> expected{"StayOnTop=1", "Top=1",       "Left=2",  "Height=3",
                                            "Width=4",     "Maximized=1", "Button=1"};
    EXPECT_EQ(form.changes, expected);
}

TEST(FormSettingsRead, FileThatCannotBeOpenedChangesNothing)
{
    MemorySettingsStorage storage;
    storage.loadError = ERROR_SHARING_VIOLATION;
    FakeForm form(kNewWindow);
    try {
        app::ReadFormSettings(form, kPath, storage, kShiftJis);
        FAIL() << "no error";
    } catch (const desktop::EAppError& error) {
        EXPECT_EQ(error.Message(), app::CannotOpenMessage(kPath, ERROR_SHARING_VIOLATION));
    }
    EXPECT_TRUE(form.changes.empty());
}

TEST(FormSettingsRead, FileTooLargeForMemoryCannotBeOpened)
{
    MemorySettingsStorage storage;
    storage.loadOutOfMemory = true;
    FakeForm form(kNewWindow);
    EXPECT_EQ(testsupport::ErrorMessageOf([&] { app::ReadFormSettings(form, kPath, storage, kShiftJis); }),
              app::CannotOpenMessage(kPath, ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_TRUE(form.changes.empty());
}

TEST(FormSettingsWrite, FromNothing)
{
    struct Case {
        const char* name;
        FormValues state;
        std::string expected;
    } cases[] = {
        {"normal window: 80 bytes", {80, 120, 440, 1040, false, false, 0},
         "[Form]\r\nMAX=0\r\nTop=80\r\nLeft=120\r\nHeight=440\r\nWidth=1040\r\nMostTop=0\r\nButton=0\r\n\r\n"},
        {"maximised, on top, right button: 38 bytes", {80, 120, 440, 1040, true, true, 2},
         "[Form]\r\nMAX=1\r\nMostTop=1\r\nButton=2\r\n\r\n"},
        {"negative values and any button code", {-1080, -1920, 10, 20, false, true, 7},
         "[Form]\r\nMAX=0\r\nTop=-1080\r\nLeft=-1920\r\nHeight=10\r\nWidth=20\r\nMostTop=1\r\nButton=7\r\n\r\n"},
    };
    for (const Case& c : cases) {
        MemorySettingsStorage storage;
        EXPECT_EQ(Close(storage, c.state), c.expected) << c.name;
    }
    MemorySettingsStorage storage;
    EXPECT_EQ(Close(storage, {80, 120, 440, 1040, false, false, 0}).size(), 80u);
    MemorySettingsStorage maximised;
    EXPECT_EQ(Close(maximised, {80, 120, 440, 1040, true, true, 2}).size(), 38u);
}

// Successive closes over the same file, each reading what the last wrote.
TEST(FormSettingsWrite, SuccessiveCloses)
{
    struct Step {
        FormValues state;
        std::string expected;
    };
    struct Case {
        const char* name;
        const char* initialFile;
        std::vector<Step> steps;
    } cases[] = {
        {"maximised after normal: MAX changes in place, the rectangle stays",
         nullptr,
         {{{80, 120, 440, 1040, false, false, 0},
           "[Form]\r\nMAX=0\r\nTop=80\r\nLeft=120\r\nHeight=440\r\nWidth=1040\r\nMostTop=0\r\nButton=0\r\n\r\n"},
          {{0, 0, 1080, 1920, true, true, 1},
           "[Form]\r\nMAX=1\r\nTop=80\r\nLeft=120\r\nHeight=440\r\nWidth=1040\r\nMostTop=1\r\nButton=1\r\n\r\n"}}},
        {"first close maximised, then normal: rectangle keys appended",
         nullptr,
         {{{0, 0, 1080, 1920, true, false, 2}, "[Form]\r\nMAX=1\r\nMostTop=0\r\nButton=2\r\n\r\n"},
          {{80, 120, 440, 1040, false, false, 2},
           "[Form]\r\nMAX=0\r\nMostTop=0\r\nButton=2\r\nTop=80\r\nLeft=120\r\nHeight=440\r\nWidth=1040\r\n\r\n"}}},
        // A minimised window reports its restored rectangle and is not
        // maximised, also when it was maximised before it was minimised.
        {"minimised after maximised writes MAX=0 and the restored rectangle",
         "[Form]\r\nMAX=1\r\nTop=1\r\nLeft=2\r\nHeight=3\r\nWidth=4\r\nMostTop=0\r\nButton=0\r\n",
         {{{50, 60, 300, 400, false, false, 0},
           "[Form]\r\nMAX=0\r\nTop=50\r\nLeft=60\r\nHeight=300\r\nWidth=400\r\nMostTop=0\r\nButton=0\r\n\r\n"}}},
        {"[FORM] and top=50 keep their spelling", "[FORM]\r\ntop=50\r\n",
         {{{80, 120, 440, 1040, false, false, 0},
           "[FORM]\r\ntop=80\r\nMAX=0\r\nLeft=120\r\nHeight=440\r\nWidth=1040\r\nMostTop=0\r\nButton=0\r\n\r\n"}}},
        {"Top = 50 written without blanks", "[Form]\r\nTop = 50 \r\n",
         {{{50, 1, 2, 3, true, false, 0}, "[Form]\r\nTop=50\r\nMAX=1\r\nMostTop=0\r\nButton=0\r\n\r\n"}}},
        {"MostTop=2 written back as 1", "[Form]\r\nMostTop=2\r\n",
         {{{1, 2, 3, 4, true, true, 0}, "[Form]\r\nMostTop=1\r\nMAX=1\r\nButton=0\r\n\r\n"}}},
        {"comment, blank line, line before the header, second block: all gone",
         "before=1\r\n[Form]\r\n; note\r\n\r\nButton=1\r\n[Form]\r\nButton=2\r\n",
         {{{1, 2, 3, 4, true, false, 1}, "[Form]\r\nButton=1\r\nMAX=1\r\nMostTop=0\r\n\r\n"}}},
        {"other sections kept in their places",
         "[Before]\r\na=1\r\n[Form]\r\nMAX=0\r\n[After]\r\nb\r\n",
         {{{1, 2, 3, 4, true, false, 0},
           "[Before]\r\na=1\r\n\r\n[Form]\r\nMAX=1\r\nMostTop=0\r\nButton=0\r\n\r\n[After]\r\nb\r\n\r\n"},
          {{1, 2, 3, 4, false, false, 0},
           "[Before]\r\na=1\r\n\r\n[Form]\r\nMAX=0\r\nMostTop=0\r\nButton=0\r\nTop=1\r\nLeft=2\r\nHeight=3\r\nWidth=4\r\n\r\n[After]\r\nb\r\n\r\n"}}},
    };
    for (const Case& c : cases) {
        MemorySettingsStorage storage;
        if (c.initialFile) storage.files[kPath] = c.initialFile;
        int step = 0;
        for (const Step& s : c.steps) {
            EXPECT_EQ(Close(storage, s.state), s.expected) << c.name << ", close " << ++step;
        }
    }
}

TEST(FormSettingsWrite, ReadsTheFileAsItIsNowAndFailsBeforeWriting)
{
    MemorySettingsStorage storage;
    storage.files[kPath] = "[Form]\r\nTop=1\r\n";
    FakeForm form({1, 2, 3, 4, true, false, 0});
    storage.files[kPath] = "[Form]\r\nTop=5\r\nOther=changed by another copy\r\n";
    app::WriteFormSettings(form, kPath, storage, kShiftJis);
    EXPECT_EQ(storage.files[kPath],
              "[Form]\r\nTop=5\r\nOther=changed by another copy\r\nMAX=1\r\nMostTop=0\r\nButton=0\r\n\r\n");

    storage.loadError = ERROR_ACCESS_DENIED;
    const int saves = storage.saves;
    EXPECT_THROW(app::WriteFormSettings(form, kPath, storage, kShiftJis), desktop::EAppError);
    EXPECT_EQ(storage.saves, saves);
}

TEST(FormSettings, PathInTheDataFolder)
{
    EXPECT_EQ(app::SettingsFilePath(L"C:\\Users\\u\\AppData\\Roaming\\Morvanta\\quillow\\"),
              L"C:\\Users\\u\\AppData\\Roaming\\Morvanta\\quillow\\quillow.ini");
}

// Random bytes as a settings file: never a crash or an error. Plain noise
// gives the defaults; noise made of INI pieces may set values, and then
// what a close writes reads back as the same values.
TEST(FormSettings, RandomBytesAsASettingsFile)
{
    std::mt19937 random(20240607);
    const std::string pieces[] = {"[", "]", "=", "\r", "\n", ";", " ", "\t", "Form", "FORM",
                                  "Top", "MAX", "Button", "MostTop", "$", "0x", "-", "1",
                                  "7", "F", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF", "\x81",
                                  std::string(1, '\0')};
    const char* marks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
    for (int round = 0; round < 600; ++round) {
        std::string bytes = marks[round % 4];
        const int length = static_cast<int>(random() % 300);
        const bool noise = round % 2 == 0;
        for (int i = 0; i < length; ++i) {
            if (noise)
                bytes += static_cast<char>(random() & 0xFF);
            else
                bytes += pieces[random() % std::size(pieces)];
        }
        MemorySettingsStorage storage;
        storage.files[kPath] = bytes;
        FakeForm form(kNewWindow);
        ASSERT_NO_THROW(app::ReadFormSettings(form, kPath, storage, kShiftJis)) << round;
        if (noise) {
            EXPECT_EQ(Show(form.values), Show(kNewWindow)) << "round " << round;
        }

        ASSERT_NO_THROW(app::WriteFormSettings(form, kPath, storage, kShiftJis)) << round;
        FakeForm again(FormValues{-1, -1, -1, -1, !form.values.maximized, false, -1});
        app::ReadFormSettings(again, kPath, storage, kShiftJis);
        FormValues expected = form.values;
        if (form.values.maximized) {
            // The rectangle is not written for a maximised window.
            expected.top = expected.left = expected.height = expected.width = -1;
            again.values.top = again.values.left = again.values.height = again.values.width = -1;
        }
        EXPECT_EQ(Show(again.values), Show(expected)) << "round " << round;
    }
}
