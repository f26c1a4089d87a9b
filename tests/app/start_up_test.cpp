// Start-up of the real quillow.exe: the data folder decides whether it
// runs at all, the show command of a shortcut is honoured, the exit code is
// 0 in every case, and the manifest's elements carry the process settings.
#include <gtest/gtest.h>
#include <windows.h>
#include <xmllite.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "desktop/handles.h"
#include "desktop/psapi_binding.h"
#include "support/quillow_process.h"

using namespace testsupport;

namespace {

std::wstring MakerFolder()
{
    std::wstring folder = QuillowDataFolder();  // ...\Morvanta\quillow\ .
    folder.pop_back();
    return folder.substr(0, folder.find_last_of(L'\\'));
}

bool IsDirectory(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveDataFolders()
{
    std::wstring data = QuillowDataFolder();
    ::DeleteFileW((data + L"quillow.ini").c_str());
    data.pop_back();
    ::RemoveDirectoryW(data.c_str());
    ::DeleteFileW(data.c_str());
    ::RemoveDirectoryW(MakerFolder().c_str());
}

enum class TShown { Normal, Maximised, Minimised };

TShown ShownState(HWND form)
{
    return ::IsZoomed(form) ? TShown::Maximised : ::IsIconic(form) ? TShown::Minimised : TShown::Normal;
}

// Runs quillow until its window shows (in the expected state, where one is
// given), closes it and returns the exit code.
DWORD RunAndClose(int showCommand = -1, TShown expected = TShown::Normal)
{
    TProgram program(L"quillow.exe", L"", showCommand);
    HWND form = program.WaitForWindow(L"TMainForm");
    EXPECT_NE(form, nullptr);
    if (!form) return 99;
    // The window shows during creation, before the show command is applied.
    EXPECT_TRUE(WaitUntil([&] { return ShownState(form) == expected; }, 3000)) << "show command " << showCommand;
    ::Sleep(200);
    EXPECT_EQ(ShownState(form), expected) << "show command " << showCommand;
    ::PostMessageW(form, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    EXPECT_TRUE(program.WaitForExit(exitCode));
    return exitCode;
}

class StartUp : public testing::Test {
protected:
    void TearDown() override
    {
        RemoveDataFolders();
        ::CreateDirectoryW(MakerFolder().c_str(), nullptr);
        std::wstring data = QuillowDataFolder();
        data.pop_back();
        ::CreateDirectoryW(data.c_str(), nullptr);
    }
};

TEST_F(StartUp, FirstStartCreatesBothFolders)
{
    RemoveDataFolders();
    ASSERT_FALSE(IsDirectory(MakerFolder()));
    EXPECT_EQ(RunAndClose(), 0u);
    EXPECT_TRUE(IsDirectory(MakerFolder()));
    EXPECT_TRUE(IsDirectory(QuillowDataFolder()));
}

TEST_F(StartUp, MissingProgramFolderIsCreatedInTheExistingMakerFolder)
{
    RemoveDataFolders();
    ASSERT_TRUE(::CreateDirectoryW(MakerFolder().c_str(), nullptr));
    const std::wstring marker = MakerFolder() + L"\\other.txt";
    ::CloseHandle(::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_EQ(RunAndClose(), 0u);
    EXPECT_TRUE(IsDirectory(QuillowDataFolder()));
    EXPECT_NE(::GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing is ever deleted";
    ::DeleteFileW(marker.c_str());
}

TEST_F(StartUp, AFileInTheWayEndsTheProcessSilentlyWithExitCodeZero)
{
    RemoveDataFolders();
    ASSERT_TRUE(::CreateDirectoryW(MakerFolder().c_str(), nullptr));
    std::wstring blocker = QuillowDataFolder();
    blocker.pop_back();
    ::CloseHandle(::CreateFileW(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

    TProgram program(L"quillow.exe");
    DWORD exitCode = 99;
    ASSERT_TRUE(program.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(TopLevelWindowsOf(program.Id(), L"").empty());
    EXPECT_FALSE(IsDirectory(blocker));
    ::DeleteFileW(blocker.c_str());
}

TEST_F(StartUp, ShowCommandOfAShortcutIsHonoured)
{
    EXPECT_EQ(RunAndClose(SW_SHOWMAXIMIZED, TShown::Maximised), 0u);
    EXPECT_EQ(RunAndClose(SW_SHOWMINNOACTIVE, TShown::Minimised), 0u);
    EXPECT_EQ(RunAndClose(SW_SHOWNORMAL, TShown::Normal), 0u);
    EXPECT_EQ(RunAndClose(SW_SHOWMINIMIZED, TShown::Normal), 0u) << "other commands keep the created state";
}

std::string ManifestOf(const std::wstring& path)
{
    HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return {};
    std::string text;
    HRSRC resource = ::FindResourceExW(module, MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1),
                                       MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (resource) {
        HGLOBAL loaded = ::LoadResource(module, resource);
        text.assign(static_cast<const char*>(::LockResource(loaded)), ::SizeofResource(module, resource));
    }
    ::FreeLibrary(module);
    return text;
}

// One element of an XML document as the platform's XML reader reads it.
struct TXmlElement {
    std::wstring Path;       // the local names from the root down, joined by "/"
    std::wstring Namespace;  // the element's namespace URI
    std::map<std::wstring, std::wstring> Attributes;  // by local name; namespace declarations left out
    std::wstring Text;
};

// The elements of the document in document order; empty when it is not
// well-formed XML or the reader is missing.
std::vector<TXmlElement> ReadXmlElements(const std::string& document)
{
    using CreateXmlReaderFunction = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);
    desktop::ModuleHandle library(::LoadLibraryW(L"xmllite.dll"));
    if (!library) return {};
    const auto create =
        desktop::ProcedureAs<CreateXmlReaderFunction>(::GetProcAddress(library.get(), "CreateXmlReader"));
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, document.size());
    if (!create || !memory) return {};
    std::memcpy(::GlobalLock(memory), document.data(), document.size());
    ::GlobalUnlock(memory);
    desktop::ComPointer<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, stream.put()))) {
        ::GlobalFree(memory);
        return {};
    }
    desktop::ComPointer<IXmlReader> reader;
    if (FAILED(create(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.put()), nullptr)) ||
        FAILED(reader->SetInput(stream.get())))
        return {};

    const auto text = [](LPCWSTR value, UINT length) { return std::wstring(value, length); };
    std::vector<TXmlElement> elements;
    std::vector<std::size_t> open;  // the elements whose end is still to come
    XmlNodeType type = XmlNodeType_None;
    HRESULT result = S_OK;
    while ((result = reader->Read(&type)) == S_OK) {
        LPCWSTR value = nullptr;
        UINT length = 0;
        if (type == XmlNodeType_Element) {
            TXmlElement element;
            reader->GetLocalName(&value, &length);
            element.Path = (open.empty() ? L"" : elements[open.back()].Path + L"/") + text(value, length);
            reader->GetNamespaceUri(&value, &length);
            element.Namespace = text(value, length);
            const bool empty = reader->IsEmptyElement() != FALSE;
            for (HRESULT more = reader->MoveToFirstAttribute(); more == S_OK; more = reader->MoveToNextAttribute()) {
                reader->GetNamespaceUri(&value, &length);
                if (text(value, length) == L"http://www.w3.org/2000/xmlns/") continue;
                reader->GetLocalName(&value, &length);
                const std::wstring name = text(value, length);
                reader->GetValue(&value, &length);
                element.Attributes[name] = text(value, length);
            }
            elements.push_back(std::move(element));
            if (!empty) open.push_back(elements.size() - 1);
        } else if (type == XmlNodeType_Text && !open.empty()) {
            reader->GetValue(&value, &length);
            elements[open.back()].Text += text(value, length);
        } else if (type == XmlNodeType_EndElement && !open.empty()) {
            open.pop_back();
        }
    }
    if (FAILED(result)) return {};
    return elements;
}

std::vector<const TXmlElement*> ElementsAt(const std::vector<TXmlElement>& elements, const std::wstring& path)
{
    std::vector<const TXmlElement*> found;
    for (const TXmlElement& element : elements)
        if (element.Path == path) found.push_back(&element);
    return found;
}

TEST(Manifest, EmbeddedAsResource24Id1Language1033WithTheProcessSettings)
{
    const std::string manifest = ManifestOf(BinFolder() + L"quillow.exe");
    ASSERT_FALSE(manifest.empty()) << "no manifest of type 24, id 1, language 1033";
    const std::vector<TXmlElement> elements = ReadXmlElements(manifest);
    ASSERT_FALSE(elements.empty()) << "the manifest is no well-formed XML";
    constexpr wchar_t kAsmV1[] = L"urn:schemas-microsoft-com:asm.v1";
    constexpr wchar_t kAsmV3[] = L"urn:schemas-microsoft-com:asm.v3";
    using TAttributes = std::map<std::wstring, std::wstring>;

    // Exactly one element at each of these places, in its namespace, with
    // exactly these attributes and this text.
    struct Expected {
        const wchar_t* path;
        const wchar_t* ns;
        TAttributes attributes;
        const wchar_t* text;
    };
    const Expected expected[] = {
        {L"assembly", kAsmV1, {{L"manifestVersion", L"1.0"}}, L""},
        {L"assembly/trustInfo/security/requestedPrivileges/requestedExecutionLevel",
         kAsmV3,
         {{L"level", L"requireAdministrator"}, {L"uiAccess", L"false"}},
         L""},
        {L"assembly/application/windowsSettings/dpiAware", L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
         {}, L"true/pm"},
        {L"assembly/application/windowsSettings/dpiAwareness",
         L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", {}, L"PerMonitorV2"},
        {L"assembly/dependency/dependentAssembly/assemblyIdentity",
         kAsmV1,
         {{L"type", L"win32"},
          {L"name", L"Microsoft.Windows.Common-Controls"},
          {L"version", L"6.0.0.0"},
          {L"processorArchitecture", L"*"},
          {L"publicKeyToken", L"6595b64144ccf1df"},
          {L"language", L"*"}},
         L""},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(e.path)));
        const auto found = ElementsAt(elements, e.path);
        EXPECT_EQ(found.size(), 1u);
        if (found.size() != 1) continue;
        EXPECT_EQ(found[0]->Namespace, e.ns);
        EXPECT_EQ(found[0]->Attributes, e.attributes);
        EXPECT_EQ(found[0]->Text, e.text);
    }

    // Every Windows version from Vista to 10 is declared supported.
    std::set<std::wstring> supported;
    for (const TXmlElement* os : ElementsAt(elements, L"assembly/compatibility/application/supportedOS")) {
        EXPECT_EQ(os->Namespace, L"urn:schemas-microsoft-com:compatibility.v1");
        supported.insert(os->Attributes.count(L"Id") ? os->Attributes.at(L"Id") : L"");
    }
    EXPECT_EQ(supported, (std::set<std::wstring>{
                             L"{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
                             L"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
                             L"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
                             L"{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
                             L"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10
                         }));
}

}  // namespace
