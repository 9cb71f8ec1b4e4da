// Owning wrappers for every handle kind the program must release. Child-control HWNDs are views
// and are never owned.
#pragma once

#include <windows.h>

#include <utility>

#include "app/Wow64_win.h"

template <typename T, auto Close, auto Invalid>
class UniqueAny {
public:
    UniqueAny() = default;
    explicit UniqueAny(T value) : value_(value) {}
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueAny() { reset(); }

    T get() const { return value_; }
    explicit operator bool() const { return value_ != InvalidValue(); }
    T release() { return std::exchange(value_, InvalidValue()); }
    void reset(T value = InvalidValue()) {
        T old = std::exchange(value_, value);
        if (old != InvalidValue()) Close(old);
    }
    // For out-parameters: releases what is held and hands out the slot.
    T* put() {
        reset();
        return &value_;
    }

private:
    static T InvalidValue() { return reinterpret_cast<T>(Invalid); }
    T value_ = InvalidValue();
};

namespace handles_detail {
inline void CloseKernel(HANDLE h) { CloseHandle(h); }
inline void CloseKey(HKEY h) { RegCloseKey(h); }
inline void CloseGdi(HGDIOBJ h) { DeleteObject(h); }
inline void CloseDc(HDC h) { DeleteDC(h); }
inline void CloseModule(HMODULE h) { FreeLibrary(h); }
inline void CloseFind(HANDLE h) { FindClose(h); }
inline void CloseIcon(HICON h) { DestroyIcon(h); }
}  // namespace handles_detail

using UniqueHandle = UniqueAny<HANDLE, handles_detail::CloseKernel, intptr_t{0}>;
using UniqueFile = UniqueAny<HANDLE, handles_detail::CloseKernel, intptr_t{-1}>;
using UniqueFind = UniqueAny<HANDLE, handles_detail::CloseFind, intptr_t{-1}>;
using UniqueHKey = UniqueAny<HKEY, handles_detail::CloseKey, intptr_t{0}>;
using UniqueHFont = UniqueAny<HFONT, handles_detail::CloseGdi, intptr_t{0}>;
using UniqueHPen = UniqueAny<HPEN, handles_detail::CloseGdi, intptr_t{0}>;
using UniqueHBitmap = UniqueAny<HBITMAP, handles_detail::CloseGdi, intptr_t{0}>;
using UniqueHRgn = UniqueAny<HRGN, handles_detail::CloseGdi, intptr_t{0}>;
using UniqueHdc = UniqueAny<HDC, handles_detail::CloseDc, intptr_t{0}>;
using UniqueModule = UniqueAny<HMODULE, handles_detail::CloseModule, intptr_t{0}>;
using UniqueHIcon = UniqueAny<HICON, handles_detail::CloseIcon, intptr_t{0}>;

// A started child process: its handle and id. Dropping an owner whose child still runs ends the
// child, so an error path cannot leave a full-screen screensaver behind; a child meant to outlive
// its starter (a preview) is let go with Leave.
class UniqueChildProcess {
public:
    UniqueChildProcess() = default;
    UniqueChildProcess(HANDLE process, DWORD id) : process_(process), id_(id) {}
    UniqueChildProcess(UniqueChildProcess&& other) noexcept
        : process_(std::move(other.process_)), id_(std::exchange(other.id_, 0)) {}
    UniqueChildProcess& operator=(UniqueChildProcess&& other) noexcept {
        if (this != &other) {
            End();
            process_ = std::move(other.process_);
            id_ = std::exchange(other.id_, 0);
        }
        return *this;
    }
    ~UniqueChildProcess() { End(); }

    explicit operator bool() const { return static_cast<bool>(process_); }
    HANDLE Handle() const { return process_.get(); }
    DWORD Id() const { return id_; }
    bool Running() const {
        DWORD code = 0;
        return process_ && GetExitCodeProcess(process_.get(), &code) && code == STILL_ACTIVE;
    }
    // Terminates the child when it still runs (exit code 0) and closes the handle.
    void End() {
        if (Running()) TerminateProcess(process_.get(), 0);
        Leave();
    }
    // Closes the handle and leaves the child running.
    void Leave() {
        process_.reset();
        id_ = 0;
    }

private:
    UniqueHandle process_;
    DWORD id_ = 0;
};

// Restores the process error mode on scope exit.
class ScopedErrorMode {
public:
    explicit ScopedErrorMode(UINT mode) : previous_(SetErrorMode(mode)) {}
    ~ScopedErrorMode() { SetErrorMode(previous_); }
    ScopedErrorMode(const ScopedErrorMode&) = delete;
    ScopedErrorMode& operator=(const ScopedErrorMode&) = delete;

private:
    UINT previous_;
};

// Selects a GDI object into a DC and puts the old one back on scope exit.
class ScopedSelect {
public:
    ScopedSelect(HDC hdc, HGDIOBJ obj) : hdc_(hdc), old_(SelectObject(hdc, obj)) {}
    ~ScopedSelect() { SelectObject(hdc_, old_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC hdc_;
    HGDIOBJ old_;
};

// Switches the WOW64 file-system redirection off for the scope; nothing happens outside WOW64.
class ScopedRedirectionOff {
public:
    ScopedRedirectionOff() : active_(IsWow64()) {
        if (active_) SetFsRedirection(true);
    }
    ~ScopedRedirectionOff() {
        if (active_) SetFsRedirection(false);
    }
    ScopedRedirectionOff(const ScopedRedirectionOff&) = delete;
    ScopedRedirectionOff& operator=(const ScopedRedirectionOff&) = delete;

private:
    bool active_;
};

// Runs the current thread at `priority` for the scope, then at its previous priority again.
class ScopedThreadPriority {
public:
    explicit ScopedThreadPriority(int priority) : previous_(GetThreadPriority(GetCurrentThread())) {
        if (previous_ != THREAD_PRIORITY_ERROR_RETURN) SetThreadPriority(GetCurrentThread(), priority);
    }
    ~ScopedThreadPriority() {
        if (previous_ != THREAD_PRIORITY_ERROR_RETURN) SetThreadPriority(GetCurrentThread(), previous_);
    }
    ScopedThreadPriority(const ScopedThreadPriority&) = delete;
    ScopedThreadPriority& operator=(const ScopedThreadPriority&) = delete;

private:
    int previous_;
};

// A window's DC from GetDC, released with ReleaseDC on scope exit.
class ScopedGetDc {
public:
    explicit ScopedGetDc(HWND hwnd) : hwnd_(hwnd), hdc_(GetDC(hwnd)) {}
    ~ScopedGetDc() {
        if (hdc_) ReleaseDC(hwnd_, hdc_);
    }
    ScopedGetDc(const ScopedGetDc&) = delete;
    ScopedGetDc& operator=(const ScopedGetDc&) = delete;
    HDC get() const { return hdc_; }

private:
    HWND hwnd_;
    HDC hdc_;
};

// BeginPaint on construction, EndPaint on scope exit.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND hwnd) : hwnd_(hwnd) { BeginPaint(hwnd_, &ps_); }
    ~ScopedPaint() { EndPaint(hwnd_, &ps_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC hdc() const { return ps_.hdc; }
    const PAINTSTRUCT& info() const { return ps_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_ = {};
};

// Keeps the DC's clip region (or its absence) and puts it back on scope exit, so a caller may clip
// freely inside the scope.
class ScopedClipRegion {
public:
    explicit ScopedClipRegion(HDC hdc) : hdc_(hdc), saved_(CreateRectRgn(0, 0, 0, 0)) {
        hadClip_ = saved_ && GetClipRgn(hdc_, saved_.get()) == 1;
    }
    ~ScopedClipRegion() { SelectClipRgn(hdc_, hadClip_ ? saved_.get() : nullptr); }
    ScopedClipRegion(const ScopedClipRegion&) = delete;
    ScopedClipRegion& operator=(const ScopedClipRegion&) = delete;

private:
    HDC hdc_;
    UniqueHRgn saved_;
    bool hadClip_ = false;
};
