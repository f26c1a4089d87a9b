// The form: a top-level window of our GUI layer. It is created hidden,
// scales its design sizes and font by the DPI of its monitor / 120, routes
// notifications to its controls and every exception that leaves a handler
// to the application's default handler.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "desktop/handles.h"

namespace app {

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

struct TFontDesign {
    std::wstring Face;
    int Height;  // character height at the design DPI
    BYTE Charset;
};

struct TFormDesign {
    const wchar_t* ClassName;
    const wchar_t* Caption;
    int ClientWidth;   // at the design DPI
    int ClientHeight;  // at the design DPI
    TFontDesign Font;
};

// A child control that the form scales and notifies.
class TControl {
public:
    virtual ~TControl() = default;
    // A WM_COMMAND or WM_NOTIFY for this control; true when handled.
    virtual bool HandleCommand(HWND from, WORD id, WORD code) = 0;
    virtual void ApplyFont(HFONT font) = 0;
    virtual void ApplyDpi(UINT dpi) = 0;
};

class TForm {
public:
    // Throws EAppError when the platform window cannot be created.
    explicit TForm(const TFormDesign& design);
    virtual ~TForm();
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    HWND Handle() const { return m_handle.get(); }
    UINT Dpi() const { return m_dpi; }
    int Scale(int designPixels) const;
    HFONT Font() const { return m_font.get(); }
    const TFontDesign& FontDesign() const { return m_fontDesign; }
    void SetFontFace(const std::wstring& face);

    void AddControl(TControl& control);
    void SetMessageHandler(UINT message, std::function<void(TMessage&)> handler);

    // Events of the form.
    std::function<void(TForm& sender)> OnResize;
    std::function<void(TForm& sender, bool& canClose)> OnCloseQuery;
    std::function<void(TForm& sender)> OnDestroy;
    // Alt + letter: true when a control took it as its access key.
    std::function<bool(wchar_t letter)> OnAccessKey;

    // A request to close, as the close button makes it.
    void Close();
    // Edge snapping of moves made by the user.
    bool ScreenSnap = true;

    // Stops all dispatching to handlers and controls. A derived form calls
    // this first in its destructor: destroying its controls sends the form
    // notifications, which must not reach controls already gone.
    void StopDispatching();

    // Keyboard handling before dispatch: access keys and tab navigation.
    bool PreTranslateMessage(MSG& message);

    // True while the form handles the system's question whether the
    // session may end; the answer is whether the close went through.
    bool CloseQueryForEndSession();

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool RunCloseQuery();
    void ChangeDpi(UINT dpi, const RECT* suggested);
    void RebuildFont();
    void SnapMove(WINDOWPOS& position);

    desktop::WindowHandle m_handle;
    TFontDesign m_fontDesign;
    desktop::FontHandle m_font;
    UINT m_dpi = 96;
    int m_designClientWidth;
    int m_designClientHeight;
    bool m_inSizeMove = false;
    HWND m_lastFocus = nullptr;
    std::vector<TControl*> m_controls;
    std::map<UINT, std::function<void(TMessage&)>> m_messageHandlers;
};

}  // namespace app
