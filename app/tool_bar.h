// A toolbar of flat buttons with captions and no images. Check buttons
// change between down and up at each click; the buttons of a group behave
// like option buttons (a click on the one already down keeps it down); push
// buttons just click. Click handlers run after the state has changed. A view
// over its window: the parent destroys the window, never this object.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/form.h"

namespace app {

enum class TButtonKind { Check, GroupCheck, Push, Separator };

struct TToolButtonDesign {
    std::wstring Caption;  // "&" marks the access key
    TButtonKind Kind;
    int Width;  // at the design DPI; 0: as wide as the caption needs
    bool Down;
    bool RowEndsAfter;
};

class TToolBar;

class TToolButton {
public:
    TToolButton(TToolBar& toolBar, int id, TToolButtonDesign design) : m_toolBar(toolBar), m_id(id), m_design(std::move(design)) {}

    int Id() const { return m_id; }
    const TToolButtonDesign& Design() const { return m_design; }
    bool Down() const;
    // Sets the state without running the click handler.
    void SetDown(bool down);
    // A click as the user makes it: state change first, then the handler.
    void Click();
    // The letter after "&" in the caption, upper-cased; 0 when none.
    wchar_t AccessKey() const;

    std::function<void(TToolButton& sender)> OnClick;

private:
    friend class TToolBar;
    TToolBar& m_toolBar;
    int m_id;
    TToolButtonDesign m_design;
};

class TToolBar : public TControl {
public:
    TToolBar(HWND parent, int buttonHeight);

    HWND Handle() const { return m_handle; }
    TToolButton& AddButton(TToolButtonDesign design);
    const std::vector<std::unique_ptr<TToolButton>>& Buttons() const { return m_buttons; }

    // Lays the toolbar out over the given width; returns its height.
    int Arrange(int width);
    int Height() const;
    // Clicks the push button whose access key this is; true when one did.
    bool ClickAccessKey(wchar_t letter);

    bool HandleCommand(HWND from, WORD id, WORD code) override;
    void ApplyFont(HFONT font) override;
    void ApplyDpi(UINT dpi) override;

private:
    void ApplySizes();
    HWND m_handle = nullptr;
    std::vector<std::unique_ptr<TToolButton>> m_buttons;
    int m_designButtonHeight;
    UINT m_dpi = 96;
};

}  // namespace app
