// The main window's settings: restored while it is created, written at every
// request to close it. Both go through a fresh settings copy of the file.
#pragma once

#include <string>

#include "app/settings_storage.h"

namespace app {

inline constexpr wchar_t kSettingsFileName[] = L"quillow.ini";
inline constexpr wchar_t kFormSection[] = L"Form";

// What the settings need of the main window.
class FormSettingsState {
public:
    virtual ~FormSettingsState() = default;

    // The outer rectangle (frame included) in screen coordinates, physical
    // pixels. For a minimised or maximised window these are its restored
    // rectangle (GetWindowPlacement gives that one in workspace coordinates,
    // offset by the work area of the window's monitor). Each setter changes
    // its one value and keeps the other three.
    virtual int Top() const = 0;
    virtual int Left() const = 0;
    virtual int Height() const = 0;
    virtual int Width() const = 0;
    virtual void SetTop(int top) = 0;
    virtual void SetLeft(int left) = 0;
    virtual void SetHeight(int height) = 0;
    virtual void SetWidth(int width) = 0;

    // True only while the window is maximised: a minimised window is not,
    // also when it would be restored to maximised.
    virtual bool IsMaximized() const = 0;
    // Maximised, or the normal state. On the hidden window being created
    // this marks it maximised and keeps the rectangle as its restored one.
    virtual void SetMaximized(bool maximized) = 0;

    // The down state of TBTop; setting it does not run its click handler.
    virtual bool StayOnTopDown() const = 0;
    virtual void SetStayOnTopDown(bool down) = 0;

    // MButtonC, the capture button code, passed on unchanged.
    virtual int ButtonCode() const = 0;
    virtual void SetButtonCode(int code) = 0;
};

// UserDataDir (ending with a backslash) + "quillow.ini".
std::wstring SettingsFilePath(const std::wstring& userDataDir);

// The settings step of the window's creation: reads MostTop, Top, Left,
// Height, Width, MAX and Button in this order and applies each as it is
// read. Throws EAppError when the file exists but cannot be read, before
// any value is applied.
void ReadFormSettings(FormSettingsState& form, const std::wstring& path);
void ReadFormSettings(FormSettingsState& form, const std::wstring& path,
                      SettingsStorage& storage, unsigned ansiCodePage);

// The close query's writes: MAX, then Top, Left, Height and Width only when
// the window is not maximised, MostTop, Button, and the file written. Throws
// EAppError when the file cannot be read, created or written; the close
// must then not happen.
void WriteFormSettings(const FormSettingsState& form, const std::wstring& path);
void WriteFormSettings(const FormSettingsState& form, const std::wstring& path,
                       SettingsStorage& storage, unsigned ansiCodePage);

}  // namespace app
