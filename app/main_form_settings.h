// The main window as the settings file sees it: its outer rectangle (the
// restored one while it is minimised or maximised), its maximised state, the
// down state of TBTop and the capture button code.
#pragma once

#include <windows.h>

#include "app/form_settings.h"

namespace app {

class TMainForm;

class TMainFormSettings : public FormSettingsState {
public:
    explicit TMainFormSettings(TMainForm& form) : m_form(form) {}

    int Top() const override { return RestoredRect().top; }
    int Left() const override { return RestoredRect().left; }
    int Height() const override;
    int Width() const override;
    void SetTop(int top) override;
    void SetLeft(int left) override;
    void SetHeight(int height) override;
    void SetWidth(int width) override;
    bool IsMaximized() const override;
    void SetMaximized(bool maximized) override;
    bool StayOnTopDown() const override;
    void SetStayOnTopDown(bool down) override;
    int ButtonCode() const override;
    void SetButtonCode(int code) override;

private:
    RECT RestoredRect() const;
    void SetRect(const RECT& rect);
    TMainForm& m_form;
};

}  // namespace app
