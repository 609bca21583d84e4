// Shared by the component-layer and tray-icon test programs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Dialogs.h"

namespace quell::gui::test {

// Message boxes answered by a function instead of shown.
class TBoxesByFunction final : public TMessageBoxes {
 public:
  using TShow = std::function<int(HWND owner, const std::string& text, const std::string& caption,
                                  UINT flags)>;
  TShow show;
  int Show(HWND owner, const std::string& text, const std::string& caption, UINT flags) override {
    return show(owner, text, caption, flags);
  }
};

// Each test gets a fresh application object; exceptions that reach the
// reporter and message boxes are recorded instead of shown.
class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = std::make_unique<TApplication>();
    app->Initialize();
    app->OnException = [this](TComponent* sender, const std::string& what) {
      reported.push_back({sender, what});
    };
    recordedBoxes.show = [this](HWND owner, const std::string& text, const std::string& caption,
                                UINT flags) {
      boxes.push_back({owner, text, caption, flags});
      return IDOK;
    };
    app->SetMessageBoxes(&recordedBoxes);
  }
  void TearDown() override {
    app.reset();
    // A quit request left by a test must not end the next test's loops.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  struct Report {
    TComponent* sender;
    std::string what;
  };
  struct Box {
    HWND owner;
    std::string text;
    std::string caption;
    UINT flags;
  };
  // The application's boxes: recorded unless a test answers them itself.
  TBoxesByFunction recordedBoxes;
  std::unique_ptr<TApplication> app;
  std::vector<Report> reported;
  std::vector<Box> boxes;
};

// The pixels of an icon drawn on black, for comparing pictures.
inline std::vector<std::uint32_t> IconPixels(HICON icon, int size = 16) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  GdiFlush();
  std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t*>(bits),
                                    static_cast<const std::uint32_t*>(bits) + size * size);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  for (auto& p : pixels) p &= 0x00FFFFFF;
  return pixels;
}

}  // namespace quell::gui::test
