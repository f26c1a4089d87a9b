// A multi-line text area: both scroll bars always shown, no wrapping, no
// text limit short of the platform's largest. A view over its window: the
// parent destroys the window, never this object.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/form.h"

namespace app {

class TMemo : public TControl {
public:
    TMemo(HWND parent, bool readOnly);
    ~TMemo() override;

    HWND Handle() const { return m_handle; }
    void SetBounds(int x, int y, int width, int height);

    std::wstring Text() const { return TextOf(Handle()); }
    static std::wstring TextOf(HWND area);
    void Clear();
    // Appends one line at the end; the line ends at its first NUL.
    void AppendLine(const std::wstring& line);
    void SelectAll();
    // No repainting between BeginUpdate and EndUpdate.
    void BeginUpdate();
    void EndUpdate();

    // A character typed into the area; set it to 0 to swallow it.
    std::function<void(TMemo& sender, wchar_t& key)> OnKeyPress;

    bool HandleCommand(HWND, WORD, WORD) override { return false; }
    void ApplyFont(HFONT font) override;
    void ApplyDpi(UINT) override {}

private:
    static LRESULT CALLBACK SubclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR id, DWORD_PTR data);
    HWND m_handle = nullptr;  // null once the window is gone
    int m_updateDepth = 0;
};

}  // namespace app
