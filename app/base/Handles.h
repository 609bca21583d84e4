// One small owner per kind of Win32 handle, for every layer: each releases
// its handle with the one call that kind needs, and none can be copied.
#pragma once

#include <windows.h>
#include <bcrypt.h>
#include <commctrl.h>
#include <uxtheme.h>

#include <utility>

namespace quell::base {

template <class H, class Release>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(H handle) : FHandle(handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : FHandle(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  H get() const { return FHandle; }
  // For the calls that hand a new handle back through a pointer: releases
  // the one held first.
  H* out() {
    reset();
    return &FHandle;
  }
  explicit operator bool() const { return FHandle != nullptr; }
  H release() { return std::exchange(FHandle, nullptr); }
  void reset(H handle = nullptr) {
    H old = std::exchange(FHandle, handle);
    if (old) Release{}(old);
  }

 private:
  H FHandle = nullptr;
};

struct IconRelease {
  void operator()(HICON h) const { DestroyIcon(h); }
};
struct GdiRelease {
  void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct MenuRelease {
  void operator()(HMENU h) const { DestroyMenu(h); }
};
struct MemoryDcRelease {
  void operator()(HDC h) const { DeleteDC(h); }
};
struct ModuleRelease {
  void operator()(HMODULE h) const { FreeLibrary(h); }
};
struct WindowRelease {
  void operator()(HWND h) const {
    if (IsWindow(h)) DestroyWindow(h);
  }
};
struct ImageListRelease {
  void operator()(HIMAGELIST h) const { ImageList_Destroy(h); }
};
// Processes, threads, events, mutexes: every kernel object closed by
// CloseHandle. The calls that make them answer nullptr on failure.
struct KernelRelease {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
struct RegistryKeyRelease {
  void operator()(HKEY h) const { RegCloseKey(h); }
};
struct ThemeRelease {
  void operator()(HTHEME h) const { CloseThemeData(h); }
};
struct AlgorithmRelease {
  void operator()(BCRYPT_ALG_HANDLE h) const { BCryptCloseAlgorithmProvider(h, 0); }
};

using IconHandle = UniqueHandle<HICON, IconRelease>;
using BitmapHandle = UniqueHandle<HBITMAP, GdiRelease>;
using FontHandle = UniqueHandle<HFONT, GdiRelease>;
using BrushHandle = UniqueHandle<HBRUSH, GdiRelease>;
using PenHandle = UniqueHandle<HPEN, GdiRelease>;
using MenuHandle = UniqueHandle<HMENU, MenuRelease>;
using MemoryDc = UniqueHandle<HDC, MemoryDcRelease>;
using ModuleHandle = UniqueHandle<HMODULE, ModuleRelease>;
using WindowHandle = UniqueHandle<HWND, WindowRelease>;
using ImageListHandle = UniqueHandle<HIMAGELIST, ImageListRelease>;
using KernelHandle = UniqueHandle<HANDLE, KernelRelease>;
using RegistryKey = UniqueHandle<HKEY, RegistryKeyRelease>;
using ThemeHandle = UniqueHandle<HTHEME, ThemeRelease>;
using AlgorithmHandle = UniqueHandle<BCRYPT_ALG_HANDLE, AlgorithmRelease>;

// A device context borrowed from a window (GetDC / ReleaseDC).
class WindowDc {
 public:
  explicit WindowDc(HWND window) : FWindow(window), FDc(GetDC(window)) {}
  ~WindowDc() {
    if (FDc) ReleaseDC(FWindow, FDc);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return FDc; }

 private:
  HWND FWindow;
  HDC FDc;
};

// The screen's device context for one scope.
class ScreenDc : public WindowDc {
 public:
  ScreenDc() : WindowDc(nullptr) {}
};

// An object selected into a device context for one scope.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object)
      : FDc(dc), FPrevious(object ? SelectObject(dc, object) : nullptr) {}
  ~Selection() {
    if (FPrevious) SelectObject(FDc, FPrevious);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC FDc;
  HGDIOBJ FPrevious;
};

}  // namespace quell::base
