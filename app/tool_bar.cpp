#include "app/tool_bar.h"

#include <commctrl.h>

#include <cwctype>

#include "app/dpi.h"

namespace app {

namespace {

constexpr int kFirstButtonId = 100;

BYTE StyleOf(TButtonKind kind)
{
    switch (kind) {
    case TButtonKind::Check:
        return BTNS_CHECK;
    case TButtonKind::GroupCheck:
        return BTNS_CHECKGROUP;
    case TButtonKind::Separator:
        return BTNS_SEP;
    case TButtonKind::Push:
    default:
        return BTNS_BUTTON;
    }
}

}  // namespace

bool TToolButton::Down() const
{
    return ::SendMessageW(m_toolBar.Handle(), TB_ISBUTTONCHECKED, m_id, 0) != 0;
}

void TToolButton::SetDown(bool down)
{
    ::SendMessageW(m_toolBar.Handle(), TB_CHECKBUTTON, m_id, MAKELPARAM(down ? TRUE : FALSE, 0));
}

void TToolButton::Click()
{
    switch (m_design.Kind) {
    case TButtonKind::Check:
        SetDown(!Down());
        break;
    case TButtonKind::GroupCheck:
        for (auto& other : m_toolBar.Buttons())
            if (other->m_design.Kind == TButtonKind::GroupCheck) other->SetDown(other.get() == this);
        break;
    case TButtonKind::Separator:
        return;
    case TButtonKind::Push:
        break;
    }
    if (OnClick) OnClick(*this);
}

wchar_t TToolButton::AccessKey() const
{
    const std::wstring& caption = m_design.Caption;
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] == L'&') {
            ++i;
            continue;
        }
        return static_cast<wchar_t>(std::towupper(caption[i + 1]));
    }
    return 0;
}

TToolBar::TToolBar(HWND parent, int buttonHeight) : m_designButtonHeight(buttonHeight)
{
    // Not TBSTYLE_WRAPABLE: that would drop the designed row ends; Arrange
    // wraps by itself.
    m_handle = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_TOP |
                                     CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE,
                                 0, 0, 0, 0, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(Handle(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageW(Handle(), TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    ::SendMessageW(Handle(), TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
}

TToolButton& TToolBar::AddButton(TToolButtonDesign design)
{
    const int id = kFirstButtonId + static_cast<int>(m_buttons.size());
    auto button = std::make_unique<TToolButton>(*this, id, std::move(design));
    const TToolButtonDesign& d = button->Design();

    TBBUTTON item{};
    item.idCommand = id;
    item.fsStyle = StyleOf(d.Kind);
    if (d.Kind != TButtonKind::Separator) item.fsStyle |= BTNS_SHOWTEXT | (d.Width == 0 ? BTNS_AUTOSIZE : 0);
    item.fsState = TBSTATE_ENABLED;
    if (d.Down) item.fsState |= TBSTATE_CHECKED;
    if (d.RowEndsAfter) item.fsState |= TBSTATE_WRAP;
    item.iBitmap = d.Kind == TButtonKind::Separator ? ScaleForDpi(d.Width, m_dpi) : I_IMAGENONE;
    item.iString = d.Kind == TButtonKind::Separator ? 0 : reinterpret_cast<INT_PTR>(d.Caption.c_str());
    ::SendMessageW(Handle(), TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&item));
    m_buttons.push_back(std::move(button));
    ApplySizes();
    return *m_buttons.back();
}

void TToolBar::ApplySizes()
{
    ::SendMessageW(Handle(), TB_SETBUTTONSIZE, 0, MAKELPARAM(0, ScaleForDpi(m_designButtonHeight, m_dpi)));
    for (auto& button : m_buttons) {
        const TToolButtonDesign& d = button->Design();
        if (d.Width == 0) continue;
        TBBUTTONINFOW info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_SIZE;
        info.cx = static_cast<WORD>(ScaleForDpi(d.Width, m_dpi));
        ::SendMessageW(Handle(), TB_SETBUTTONINFOW, button->Id(), reinterpret_cast<LPARAM>(&info));
    }
}

int TToolBar::Arrange(int width)
{
    RECT current{};
    ::GetWindowRect(Handle(), &current);
    ::SetWindowPos(Handle(), nullptr, 0, 0, width, std::max<LONG>(current.bottom - current.top, 1),
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    // Rows as designed, and further rows where the width is too small.
    for (auto& button : m_buttons) {
        TBBUTTONINFOW info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_STATE;
        ::SendMessageW(Handle(), TB_GETBUTTONINFOW, button->Id(), reinterpret_cast<LPARAM>(&info));
        BYTE state = info.fsState;
        state = button->Design().RowEndsAfter ? (state | TBSTATE_WRAP) : (state & ~TBSTATE_WRAP);
        info.fsState = state;
        ::SendMessageW(Handle(), TB_SETBUTTONINFOW, button->Id(), reinterpret_cast<LPARAM>(&info));
    }
    int rowRight = 0;
    std::size_t rowStart = 0;
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        RECT item{};
        ::SendMessageW(Handle(), TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
        int itemWidth = item.right - item.left;
        if (i > rowStart && rowRight + itemWidth > width) {
            // This button starts a further row.
            TBBUTTONINFOW info{};
            info.cbSize = sizeof info;
            info.dwMask = TBIF_STATE;
            ::SendMessageW(Handle(), TB_GETBUTTONINFOW, m_buttons[i - 1]->Id(), reinterpret_cast<LPARAM>(&info));
            info.fsState |= TBSTATE_WRAP;
            ::SendMessageW(Handle(), TB_SETBUTTONINFOW, m_buttons[i - 1]->Id(), reinterpret_cast<LPARAM>(&info));
            rowStart = i;
            rowRight = 0;
        }
        rowRight += itemWidth;
        if (m_buttons[i]->Design().RowEndsAfter) {
            rowStart = i + 1;
            rowRight = 0;
        }
    }
    int height = Height();
    ::SetWindowPos(Handle(), nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    // Changed row ends move buttons inside the part that a resize keeps, and
    // the toolbar does not repaint that part by itself.
    ::InvalidateRect(Handle(), nullptr, TRUE);
    return height;
}

int TToolBar::Height() const
{
    int bottom = 0;
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        RECT item{};
        if (::SendMessageW(Handle(), TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item)))
            bottom = std::max<int>(bottom, item.bottom);
    }
    return bottom;
}

bool TToolBar::ClickAccessKey(wchar_t letter)
{
    const auto upper = static_cast<wchar_t>(std::towupper(letter));
    for (auto& button : m_buttons) {
        if (button->Design().Kind == TButtonKind::Separator || button->AccessKey() != upper) continue;
        button->Click();
        return true;
    }
    return false;
}

bool TToolBar::HandleCommand(HWND from, WORD id, WORD)
{
    if (from != Handle()) return false;
    for (auto& button : m_buttons) {
        if (button->Id() != id) continue;
        // The toolbar has already changed the state as a click does.
        if (button->OnClick) button->OnClick(*button);
        return true;
    }
    return false;
}

void TToolBar::ApplyFont(HFONT font)
{
    ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ApplySizes();
}

void TToolBar::ApplyDpi(UINT dpi)
{
    m_dpi = dpi;
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i]->Design().Kind != TButtonKind::Separator) continue;
        TBBUTTONINFOW info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_SIZE;
        info.cx = static_cast<WORD>(ScaleForDpi(m_buttons[i]->Design().Width, dpi));
        ::SendMessageW(Handle(), TB_SETBUTTONINFOW, m_buttons[i]->Id(), reinterpret_cast<LPARAM>(&info));
    }
    ApplySizes();
}

}  // namespace app
