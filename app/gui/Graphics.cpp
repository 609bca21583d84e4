#include "Graphics.h"

namespace quell::gui {

ColorRef Win32SystemColors::SysColor(int index) const { return GetSysColor(index); }

const SystemColors& TheSystemColors() {
  static const Win32SystemColors colors;
  return colors;
}

bool HighContrastOn() {
  wchar_t forced[2] = {};
  if (GetEnvironmentVariableW(L"QUELL_TEST_HIGH_CONTRAST", forced, 2) == 1 && forced[0] == L'1') {
    return true;
  }
  HIGHCONTRASTW state{};
  state.cbSize = sizeof state;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof state, &state, 0) &&
         (state.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void TIcon::SetHandle(HICON icon) {
  if (icon == FHandle.get()) return;
  FHandle.reset(icon);
  if (OnChange) OnChange(*this);
}

void TIcon::Assign(const TIcon& source) {
  if (&source == this) return;
  AssignHandle(source.Handle());
}

void TIcon::AssignHandle(HICON borrowed) { SetHandle(borrowed ? CopyIcon(borrowed) : nullptr); }

bool TIcon::LoadFromResource(HINSTANCE module, LPCSTR name, int size) {
  auto* icon = static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, size, size,
                                             size ? 0u : static_cast<UINT>(LR_DEFAULTSIZE)));
  if (!icon) return false;
  SetHandle(icon);
  return true;
}

namespace {
SIZE IconSize(HICON icon) {
  SIZE size{0, 0};
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return size;
  // The call made copies of the icon's bitmaps for the caller.
  const base::BitmapHandle colour(info.hbmColor), mask(info.hbmMask);
  BITMAP bm{};
  if (info.hbmColor && GetObjectA(info.hbmColor, sizeof bm, &bm)) {
    size = {bm.bmWidth, bm.bmHeight};
  } else if (info.hbmMask && GetObjectA(info.hbmMask, sizeof bm, &bm)) {
    size = {bm.bmWidth, bm.bmHeight / 2};  // a monochrome icon: mask over picture
  }
  return size;
}
}  // namespace

int TIcon::Width() const { return IconSize(Handle()).cx; }
int TIcon::Height() const { return IconSize(Handle()).cy; }

BITMAPINFO TopDownRgb32Info(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

void TBitmap::SetSize(int width, int height, COLORREF fill) {
  BITMAPINFO info = TopDownRgb32Info(width, height);
  void* bits = nullptr;
  FHandle.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  FWidth = FHandle ? width : 0;
  FHeight = FHandle ? height : 0;
  if (FHandle) {
    BitmapCanvas canvas(*this);
    const RECT all{0, 0, width, height};
    base::BrushHandle brush(CreateSolidBrush(fill));
    ::FillRect(canvas.Handle(), &all, brush.get());
  }
}

TCanvas::~TCanvas() {
  if (FOldFont) SelectObject(FDc, FOldFont);
}

void TCanvas::SetFont(HFONT font) {
  HGDIOBJ previous = SelectObject(FDc, font);
  if (!FOldFont) FOldFont = previous;
}

int TCanvas::TextWidth(const std::string& text) const {
  SIZE size{};
  GetTextExtentPoint32A(FDc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

int TCanvas::TextHeight(const std::string& text) const {
  SIZE size{};
  const std::string probe = text.empty() ? std::string("W") : text;
  GetTextExtentPoint32A(FDc, probe.c_str(), static_cast<int>(probe.size()), &size);
  return size.cy;
}

void TCanvas::FillRect(const RECT& rect, TColor color) {
  base::BrushHandle brush(CreateSolidBrush(ResolveColor(color, TheSystemColors())));
  ::FillRect(FDc, &rect, brush.get());
}

void TCanvas::FrameRect(const RECT& rect, TColor color) {
  base::BrushHandle brush(CreateSolidBrush(ResolveColor(color, TheSystemColors())));
  ::FrameRect(FDc, &rect, brush.get());
}

void TCanvas::DrawText(const std::string& text, RECT rect, UINT format, TColor color) {
  const COLORREF oldColor = SetTextColor(FDc, ResolveColor(color, TheSystemColors()));
  const int oldMode = SetBkMode(FDc, TRANSPARENT);
  ::DrawTextA(FDc, text.c_str(), static_cast<int>(text.size()), &rect, format);
  SetBkMode(FDc, oldMode);
  SetTextColor(FDc, oldColor);
}

BitmapCanvas::BitmapCanvas(TBitmap& bitmap)
    : FDc(CreateCompatibleDC(nullptr)), FSelection(FDc.get(), bitmap.Handle()) {}

}  // namespace quell::gui
