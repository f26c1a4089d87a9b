// The application layer: its hidden application window, its title, the
// default exception handler and the message loop.
#pragma once

#include <windows.h>

#include <string>

namespace app {

class TForm;

class TApplication {
public:
    // Enters the GUI thread's single-threaded COM apartment and creates the
    // hidden application window.
    void Initialize();
    void Finalize();

    const std::wstring& Title() const { return m_title; }
    void SetTitle(const std::wstring& title);

    // The hidden top-level window besides the main window.
    HWND Handle() const { return m_handle; }

    // The main window gets the taskbar button; the application window
    // becomes a tool window without text and gets none.
    void SetMainFormOnTaskBar();

    void SetMainForm(TForm* form) { m_mainForm = form; }
    TForm* MainForm() const { return m_mainForm; }

    // The default exception handler: shows the exception being handled in
    // the error box, owned by the main window. Before there is one (while the
    // main window is created), the box is owned by the form whose code
    // raised the exception, when it has a window. Call from a catch block.
    void HandleException(const TForm* raisedIn = nullptr);

    // Runs the message loop until the main window has been destroyed.
    void Run();
    // Handles one message the way Run does (shortcuts, dialog keys, an
    // exception leaving a handler shown); false once the loop should end.
    bool ProcessMessage(MSG& message);

private:
    HWND m_handle = nullptr;
    std::wstring m_title;
    TForm* m_mainForm = nullptr;
    bool m_comInitialized = false;
};

extern TApplication Application;

}  // namespace app
