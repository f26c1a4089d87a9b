#include "support/quillow_process.h"

#include <commctrl.h>
#include <shlobj.h>

#include <array>

#include "support/xdotool.h"

namespace testsupport {

std::wstring QuillowDataFolder()
{
    std::array<wchar_t, MAX_PATH> path{};
    ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path.data());
    return std::wstring(path.data()) + L"\\Morvanta\\quillow\\";
}

TProgram::TProgram(const std::wstring& name, const std::wstring& arguments, int showCommand)
{
    Start(BinFolder() + name, arguments, showCommand, nullptr);
}

TProgram::TProgram(const TProgramPath& path, const std::wstring& arguments, int showCommand)
{
    const std::wstring folder = path.Value.substr(0, path.Value.find_last_of(L'\\') + 1);
    Start(path.Value, arguments, showCommand, folder.c_str());
}

void TProgram::Start(const std::wstring& path, const std::wstring& arguments, int showCommand, const wchar_t* folder)
{
    std::wstring commandLine = L"\"" + path + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (showCommand >= 0) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(showCommand);
    }
    PROCESS_INFORMATION process{};
    if (::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                         &process)) {
        m_process.reset(process.hProcess);
        ::CloseHandle(process.hThread);
        m_id = process.dwProcessId;
    }
}

TProgram::~TProgram() { Terminate(); }

bool TProgram::Running() const
{
    return m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT;
}

void TProgram::Terminate()
{
    if (Running()) {
        ::TerminateProcess(m_process.get(), 1);
        ::WaitForSingleObject(m_process.get(), 5000);
    }
}

HWND TProgram::WaitForWindow(const wchar_t* className, unsigned timeoutMs) const
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindowsOf(m_id, className))
                if (::IsWindowVisible(window)) found = window;
            return found != nullptr || !Running();
        },
        timeoutMs);
    return found;
}

bool TProgram::WaitForExit(DWORD& exitCode, unsigned timeoutMs) const
{
    if (!m_process || ::WaitForSingleObject(m_process.get(), timeoutMs) != WAIT_OBJECT_0) return false;
    return ::GetExitCodeProcess(m_process.get(), &exitCode) != 0;
}

namespace {

struct TSearch {
    DWORD ProcessId;
    const wchar_t* ClassName;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<TSearch*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->ProcessId && (!*search->ClassName || ClassOf(window) == search->ClassName))
        search->Found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId, const wchar_t* className)
{
    TSearch search{processId, className, {}};
    ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

std::wstring WindowText(HWND window)
{
    auto length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    auto copied = ::SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::wstring ClassOf(HWND window)
{
    std::array<wchar_t, 260> name{};
    ::GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return name.data();
}

std::vector<HWND> ChildrenOf(HWND parent, const wchar_t* className)
{
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (!*className || ClassOf(child) == className) children.push_back(child);
    return children;
}

namespace {

// Memory in another process for messages whose data the system does not
// carry across processes.
class TRemoteMemory {
public:
    TRemoteMemory(HANDLE process, std::size_t size)
        : m_process(process), m_address(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE))
    {
    }
    ~TRemoteMemory()
    {
        if (m_address) ::VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
    }
    TRemoteMemory(const TRemoteMemory&) = delete;
    TRemoteMemory& operator=(const TRemoteMemory&) = delete;
    LPARAM Address() const { return reinterpret_cast<LPARAM>(m_address); }
    void Read(void* target, std::size_t size) const { ::ReadProcessMemory(m_process, m_address, target, size, nullptr); }
    void Write(const void* source, std::size_t size) const
    {
        ::WriteProcessMemory(m_process, m_address, source, size, nullptr);
    }

private:
    HANDLE m_process;
    void* m_address;
};

}  // namespace

std::vector<TRemoteButton> ReadToolbar(HWND toolbar)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(toolbar, &processId);
    desktop::KernelHandle process(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    std::vector<TRemoteButton> buttons;
    if (!process) return buttons;
    TRemoteMemory memory(process.get(), 4096);
    auto count = ::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        TBBUTTON button{};
        ::SendMessageW(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), memory.Address());
        memory.Read(&button, sizeof button);
        TRemoteButton remote{button.idCommand, L"", button.fsState, button.fsStyle, {}};
        ::SendMessageW(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(i), memory.Address());
        memory.Read(&remote.Rect, sizeof remote.Rect);
        auto length = ::SendMessageW(toolbar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(button.idCommand), 0);
        if (length > 0 && length < 1000) {
            ::SendMessageW(toolbar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(button.idCommand), memory.Address());
            std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
            memory.Read(text.data(), text.size() * sizeof(wchar_t));
            text.resize(static_cast<std::size_t>(length));
            remote.Text = text;
        }
        buttons.push_back(remote);
    }
    return buttons;
}

TRemoteButton ToolButton(HWND toolbar, const std::wstring& caption)
{
    for (const auto& button : ReadToolbar(toolbar))
        if (button.Text == caption) return button;
    return {};
}

bool IsToolButtonDown(HWND toolbar, const std::wstring& caption)
{
    return (ToolButton(toolbar, caption).State & TBSTATE_CHECKED) != 0;
}

bool ClickToolButton(HWND toolbar, const std::wstring& caption)
{
    const TRemoteButton button = ToolButton(toolbar, caption);
    if (button.Text.empty()) return false;
    POINT p{(button.Rect.left + button.Rect.right) / 2, (button.Rect.top + button.Rect.bottom) / 2};
    ::ClientToScreen(toolbar, &p);
    return Xdotool("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " click 1");
}

TErrorBox WaitForErrorBox(DWORD processId, unsigned timeoutMs)
{
    TErrorBox box;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindowsOf(processId, L"#32770")) {
                if (!::IsWindowVisible(window) || WindowText(window) != L"quillow") continue;
                box.Window = window;
                for (HWND child : ChildrenOf(window, L"Static")) {
                    if (::GetWindowLongW(child, GWL_STYLE) & SS_ICON) {
                        auto icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
                        // Within this process the system's error icon is the
                        // very handle; another process's box has an icon of its own.
                        DWORD boxProcess = 0;
                        ::GetWindowThreadProcessId(window, &boxProcess);
                        box.HasErrorIcon = boxProcess == ::GetCurrentProcessId()
                                               ? icon == ::LoadIconW(nullptr, IDI_ERROR)
                                               : icon != nullptr;
                    } else if (!WindowText(child).empty()) {
                        box.Text = WindowText(child);
                    }
                }
                return true;
            }
            return false;
        },
        timeoutMs);
    return box;
}

void DismissErrorBox(HWND box)
{
    HWND ok = ::GetDlgItem(box, IDOK);
    if (ok) ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
}

}  // namespace testsupport
