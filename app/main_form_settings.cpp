#include "app/main_form_settings.h"

#include "app/main_form.h"
#include "desktop/restored_window_rect.h"

namespace app {

RECT TMainFormSettings::RestoredRect() const { return desktop::GetRestoredWindowRect(m_form.Handle()); }

int TMainFormSettings::Height() const
{
    RECT rect = RestoredRect();
    return rect.bottom - rect.top;
}

int TMainFormSettings::Width() const
{
    RECT rect = RestoredRect();
    return rect.right - rect.left;
}

void TMainFormSettings::SetRect(const RECT& rect)
{
    ::SetWindowPos(m_form.Handle(), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMainFormSettings::SetTop(int top)
{
    RECT rect = RestoredRect();
    ::OffsetRect(&rect, 0, top - rect.top);
    SetRect(rect);
}

void TMainFormSettings::SetLeft(int left)
{
    RECT rect = RestoredRect();
    ::OffsetRect(&rect, left - rect.left, 0);
    SetRect(rect);
}

void TMainFormSettings::SetHeight(int height)
{
    RECT rect = RestoredRect();
    rect.bottom = rect.top + height;
    SetRect(rect);
}

void TMainFormSettings::SetWidth(int width)
{
    RECT rect = RestoredRect();
    rect.right = rect.left + width;
    SetRect(rect);
}

bool TMainFormSettings::IsMaximized() const
{
    return ::IsZoomed(m_form.Handle()) && !::IsIconic(m_form.Handle());
}

void TMainFormSettings::SetMaximized(bool maximized) { m_form.MarkMaximized(maximized); }

bool TMainFormSettings::StayOnTopDown() const { return m_form.TBTop->Down(); }

void TMainFormSettings::SetStayOnTopDown(bool down) { m_form.TBTop->SetDown(down); }

int TMainFormSettings::ButtonCode() const { return m_form.MButtonC; }

void TMainFormSettings::SetButtonCode(int code) { m_form.MButtonC = code; }

}  // namespace app
