#pragma once
#include <windows.h>
#include <utility>

// Owners for Win32 handles: each releases its handle when it goes out of scope, so no
// code path has to release one by hand.
template <typename T, typename Traits> class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(T handle) : value(handle) {}
    ~ScopedHandle() { Close(); }
    ScopedHandle(ScopedHandle&& other) noexcept : value(other.Detach()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    T Get() const { return value; }
    explicit operator bool() const { return Traits::IsValid(value); }
    // For out-parameters: closes what is held and hands out the slot.
    T* Receive() {
        Close();
        return &value;
    }
    void Attach(T handle) {
        Close();
        value = handle;
    }
    T Detach() { return std::exchange(value, Traits::Empty()); }
    void Close() {
        if (Traits::IsValid(value))
            Traits::Close(value);
        value = Traits::Empty();
    }

private:
    T value = Traits::Empty();
};

struct KernelHandleTraits {
    static HANDLE Empty() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FindHandleTraits {
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
// A handle type whose empty value is null, closed by one Win32 call.
template <typename T, auto CloseFunction> struct NullHandleTraits {
    static T Empty() { return nullptr; }
    static bool IsValid(T h) { return h != nullptr; }
    static void Close(T h) { CloseFunction(h); }
};

using AutoCloseHandle = ScopedHandle<HANDLE, KernelHandleTraits>;
using ScopedFindHandle = ScopedHandle<HANDLE, FindHandleTraits>;
using ScopedRegKey = ScopedHandle<HKEY, NullHandleTraits<HKEY, ::RegCloseKey>>;
template <typename G> using ScopedGdiObj = ScopedHandle<G, NullHandleTraits<G, ::DeleteObject>>;
using ScopedIcon = ScopedHandle<HICON, NullHandleTraits<HICON, ::DestroyIcon>>;
using ScopedWindow = ScopedHandle<HWND, NullHandleTraits<HWND, ::DestroyWindow>>;
using ScopedModule = ScopedHandle<HMODULE, NullHandleTraits<HMODULE, ::FreeLibrary>>;
using ScopedMenu = ScopedHandle<HMENU, NullHandleTraits<HMENU, ::DestroyMenu>>;
using ScopedGlobal = ScopedHandle<HGLOBAL, NullHandleTraits<HGLOBAL, ::GlobalFree>>;
// What the system allocated for the caller with LocalAlloc (FormatMessage's buffer).
using ScopedLocal = ScopedHandle<HLOCAL, NullHandleTraits<HLOCAL, ::LocalFree>>;
// The block from GetEnvironmentStringsW.
using ScopedEnvironmentStrings =
    ScopedHandle<wchar_t*, NullHandleTraits<wchar_t*, ::FreeEnvironmentStringsW>>;
// A device context from CreateCompatibleDC.
using ScopedMemoryDC = ScopedHandle<HDC, NullHandleTraits<HDC, ::DeleteDC>>;

// The screen's (or a window's) device context, released on scope exit.
class ScopedGetDC {
public:
    explicit ScopedGetDC(HWND window) : window(window), dc(::GetDC(window)) {}
    ~ScopedGetDC() {
        if (dc)
            ::ReleaseDC(window, dc);
    }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    HDC Get() const { return dc; }

private:
    HWND window;
    HDC dc;
};

// An object selected into a device context for one scope; the previous one goes back.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) : dc(dc), previous(::SelectObject(dc, object)) {}
    ~ScopedSelectObject() {
        if (previous)
            ::SelectObject(dc, previous);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC dc;
    HGDIOBJ previous;
};

// A movable block's memory, unlocked again on every path.
class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL block) : block(block), memory(::GlobalLock(block)) {}
    ~LockedGlobal() {
        if (memory)
            ::GlobalUnlock(block);
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    void* Get() const { return memory; }

private:
    HGLOBAL block;
    void* memory;
};

// The wait cursor for one scope of work; the previous cursor comes back at the end. Work
// that dispatches messages meanwhile keeps it by answering WM_SETCURSOR.
class ScopedWaitCursor {
public:
    ScopedWaitCursor() : previous(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~ScopedWaitCursor() { ::SetCursor(previous); }
    ScopedWaitCursor(const ScopedWaitCursor&) = delete;
    ScopedWaitCursor& operator=(const ScopedWaitCursor&) = delete;

private:
    HCURSOR previous;
};

// The platform's critical section, and a guard that holds it for one scope.
class CriticalSection {
public:
    CriticalSection() { ::InitializeCriticalSection(&section); }
    ~CriticalSection() { ::DeleteCriticalSection(&section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void Enter() { ::EnterCriticalSection(&section); }
    void Leave() { ::LeaveCriticalSection(&section); }

private:
    CRITICAL_SECTION section;
};

class ScopedLock {
public:
    explicit ScopedLock(CriticalSection& lock) : lock(lock) { lock.Enter(); }
    ~ScopedLock() { lock.Leave(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CriticalSection& lock;
};
