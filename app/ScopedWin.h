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
struct RegKeyTraits {
    static HKEY Empty() { return nullptr; }
    static bool IsValid(HKEY h) { return h != nullptr; }
    static void Close(HKEY h) { ::RegCloseKey(h); }
};
template <typename G> struct GdiObjectTraits {
    static G Empty() { return nullptr; }
    static bool IsValid(G h) { return h != nullptr; }
    static void Close(G h) { ::DeleteObject(h); }
};
struct IconTraits {
    static HICON Empty() { return nullptr; }
    static bool IsValid(HICON h) { return h != nullptr; }
    static void Close(HICON h) { ::DestroyIcon(h); }
};
struct ModuleTraits {
    static HMODULE Empty() { return nullptr; }
    static bool IsValid(HMODULE h) { return h != nullptr; }
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};
struct MemoryDcTraits {
    static HDC Empty() { return nullptr; }
    static bool IsValid(HDC h) { return h != nullptr; }
    static void Close(HDC h) { ::DeleteDC(h); }
};
struct WindowTraits {
    static HWND Empty() { return nullptr; }
    static bool IsValid(HWND h) { return h != nullptr; }
    static void Close(HWND h) { ::DestroyWindow(h); }
};

using AutoCloseHandle = ScopedHandle<HANDLE, KernelHandleTraits>;
using ScopedFindHandle = ScopedHandle<HANDLE, FindHandleTraits>;
using ScopedRegKey = ScopedHandle<HKEY, RegKeyTraits>;
template <typename G> using ScopedGdiObj = ScopedHandle<G, GdiObjectTraits<G>>;
using ScopedIcon = ScopedHandle<HICON, IconTraits>;
using ScopedWindow = ScopedHandle<HWND, WindowTraits>;
using ScopedModule = ScopedHandle<HMODULE, ModuleTraits>;
// A device context from CreateCompatibleDC.
using ScopedMemoryDC = ScopedHandle<HDC, MemoryDcTraits>;

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
