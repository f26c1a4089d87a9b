// Owning types for operating-system handles: one small move-only type per
// handle kind, named after what it releases. Copies are deleted so a handle
// is released exactly once.
#pragma once

#include <windows.h>

#include <utility>

namespace desktop {

template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : m_handle(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }

    Handle get() const { return m_handle; }
    explicit operator bool() const { return Traits::IsValid(m_handle); }

    Handle release() { return std::exchange(m_handle, Traits::Invalid()); }
    void reset(Handle handle = Traits::Invalid())
    {
        Handle old = std::exchange(m_handle, handle);
        if (Traits::IsValid(old)) Traits::Close(old);
    }
    // Resets and hands out the address for an out-parameter.
    Handle* put()
    {
        reset();
        return &m_handle;
    }

private:
    Handle m_handle = Traits::Invalid();
};

template <typename Handle, auto CloseFunction>
struct NullIsInvalid {
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { CloseFunction(h); }
};

struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};

inline void CallCloseHandle(HANDLE h) { ::CloseHandle(h); }
inline void CallFreeLibrary(HMODULE h) { ::FreeLibrary(h); }
inline void CallDestroyIcon(HICON h) { ::DestroyIcon(h); }
inline void CallDeleteObject(HGDIOBJ h) { ::DeleteObject(h); }
inline void CallDeleteDC(HDC h) { ::DeleteDC(h); }
inline void CallDestroyWindow(HWND h) { ::DestroyWindow(h); }
inline void CallDeleteFont(HFONT h) { ::DeleteObject(h); }
inline void CallLocalFree(HLOCAL h) { ::LocalFree(h); }

// A process or thread handle (CloseHandle; null when absent).
using KernelHandle = UniqueHandle<HANDLE, NullIsInvalid<HANDLE, CallCloseHandle>>;
// A file handle (CloseHandle; INVALID_HANDLE_VALUE when absent).
using FileHandle = UniqueHandle<HANDLE, FileHandleTraits>;
// A loaded library (FreeLibrary).
using ModuleHandle = UniqueHandle<HMODULE, NullIsInvalid<HMODULE, CallFreeLibrary>>;
// An icon made for us (DestroyIcon).
using IconHandle = UniqueHandle<HICON, NullIsInvalid<HICON, CallDestroyIcon>>;
// A bitmap or other GDI object (DeleteObject).
using GdiObjectHandle = UniqueHandle<HGDIOBJ, NullIsInvalid<HGDIOBJ, CallDeleteObject>>;
using BitmapHandle = UniqueHandle<HBITMAP, NullIsInvalid<HBITMAP, CallDeleteObject>>;
using FontHandle = UniqueHandle<HFONT, NullIsInvalid<HFONT, CallDeleteFont>>;
// A memory device context (DeleteDC).
using MemoryDcHandle = UniqueHandle<HDC, NullIsInvalid<HDC, CallDeleteDC>>;
// A window we created and own (DestroyWindow).
using WindowHandle = UniqueHandle<HWND, NullIsInvalid<HWND, CallDestroyWindow>>;
// Memory from LocalAlloc, e.g. FormatMessage's buffer (LocalFree).
using LocalMemory = UniqueHandle<HLOCAL, NullIsInvalid<HLOCAL, CallLocalFree>>;

}  // namespace desktop

namespace desktop {

// A COM interface pointer we hold a reference to (Release).
template <typename Interface>
class ComPointer {
public:
    ComPointer() = default;
    ~ComPointer()
    {
        if (m_pointer) m_pointer->Release();
    }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    Interface** put() { return &m_pointer; }
    Interface* operator->() const { return m_pointer; }
    Interface* get() const { return m_pointer; }

private:
    Interface* m_pointer = nullptr;
};

}  // namespace desktop
