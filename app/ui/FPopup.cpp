#include "FPopup.h"

#include <algorithm>

#include "gui/Application.h"
#include "gui/DisplayDpi.h"
#include "NoticeLook.h"
#include "PopupGraphics.h"

namespace quell::ui {

namespace {

TFormPopup* thePopup = nullptr;

// The form's inner border: the parts sit this far inside the client area.
int Inset() { return gui::Scaled(kPopupBorderWidth); }

RECT Offset(const Rect& r) {
  const int inset = Inset();
  return {r.left + inset, r.top + inset, r.right + inset, r.bottom + inset};
}

// A rectangle of the design (96 DPI) in pixels of the display, by its edges.
Rect ScaledDesign(const Rect& r) {
  return {gui::Scaled(r.left), gui::Scaled(r.top), gui::Scaled(r.right), gui::Scaled(r.bottom)};
}

// Icons are shown at the system's small-icon size, the tray's own.
int SmallIconSize() {
  const int size = GetSystemMetrics(SM_CXSMICON);
  return size > 0 ? size : gui::Scaled(kPopupImageSize);
}

SIZE TextExtent(HDC dc, const std::string& text) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

PlatformVersion RunningVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return {};
  return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

NoticeColors CurrentNoticeColors() {
  return NoticeColorsFor(gui::HighContrastOn(), gui::TheSystemColors());
}

// The placeholder until the first notice: the system's application icon.
HICON PlaceholderIcon() {
  return static_cast<HICON>(LoadImageA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION),
                                       IMAGE_ICON, SmallIconSize(), SmallIconSize(), LR_SHARED));
}

}  // namespace

TFormPopup* FormPopup() { return thePopup; }

TFormPopup::TFormPopup(gui::TComponent* owner) : TForm(owner) {
  SetName("FormPopup");
  SetBorderStyle(gui::TFormBorderStyle::Dialog);
  SetStayOnTop(true);
  SetClientSize(kPopupClientWidth + 2 * kPopupBorderWidth,
                kPopupClientHeight + 2 * kPopupBorderWidth);
  FClientWidth = gui::Scaled(kPopupClientWidth);
  FFont = base::FontHandle(CreateFontA(-gui::Scaled(10), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif"));

  GroupBoxTitle.Bounds = {0, 0, FClientWidth, gui::Scaled(kPopupClientHeight)};
  LayoutParts();
  Image.Picture = IconToBitmap(PlaceholderIcon(), kPopupBackground, SmallIconSize());
  ImageClose.Picture = CreateCloseGlyphBitmap();

  TimerClose = gui::Create<gui::TTimer>(this);
  TimerClose->SetName("TimerClose");
  TimerClose->SetEnabled(false);
  TimerClose->OnTimer = [this](gui::TComponent* sender) { TimerCloseTimer(sender); };

  if (!thePopup) thePopup = this;
}

TFormPopup::~TFormPopup() {
  if (thePopup == this) thePopup = nullptr;
}

void TFormPopup::ShowPopup(const std::string& title, const std::string& message, unsigned interval,
                           const gui::TIcon& icon) {
  ShowPopup(title, message, interval, icon.Handle());
}

void TFormPopup::ShowPopup(const std::string& title, const std::string& message, unsigned interval,
                           HICON icon) {
  if (!thePopup) {
    gui::TApplication* app = gui::Application();
    gui::TComponent* owner =
        app && app->MainForm() ? static_cast<gui::TComponent*>(app->MainForm()) : app;
    gui::Create<TFormPopup>(owner);
  }
  thePopup->Show(title, message, interval, icon);
}

void TFormPopup::Show(const std::string& title, const std::string& message, unsigned interval,
                      HICON icon) {
  const HWND window = Handle();
  const bool announce = AnnouncesNotice(IsWindowVisible(window), GroupBoxTitle.Caption, title);
  GroupBoxTitle.Caption = title;
  LabelMessage.Caption = message;
  // The window's own text carries the notice for screen readers (their
  // proxy's name for the window) and other programs; the pop-up draws its
  // parts itself.
  SetCaption(title + ": " + message);
  Image.Picture = IconToBitmap(icon, CurrentNoticeColors().background, SmallIconSize());
  FitTexts();
  LayoutAndPlace();
  InvalidateRect(window, nullptr, FALSE);
  SetWindowPos(window, HWND_TOPMOST, Left(), Top(), 0, 0,
               SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  UpdateWindow(window);
  // A screen reader reads out the window's text at the system's alert event.
  if (announce) NotifyWinEvent(EVENT_SYSTEM_ALERT, window, OBJID_CLIENT, CHILDID_SELF);
  // The countdown starts again on every call.
  TimerClose->SetEnabled(false);
  TimerClose->SetEnabled(true);
  TimerClose->SetInterval(interval);
}

void TFormPopup::FitTexts() {
  // The designed width, or wider where the font makes the message or the
  // title longer than it has room for: a notice is never cut.
  base::ScreenDc screen;
  base::MemoryDc dc(CreateCompatibleDC(screen.get()));
  base::Selection useFont(dc.get(), FFont.get());
  const int forMessage = gui::Scaled(kPopupMessageAt.x) +
                         TextExtent(dc.get(), LabelMessage.Caption).cx + gui::Scaled(4);
  const int forTitle = gui::Scaled(10) + TextExtent(dc.get(), GroupBoxTitle.Caption).cx +
                       gui::Scaled(2) + gui::Scaled(18);
  FClientWidth = std::max({gui::Scaled(kPopupClientWidth), forMessage, forTitle});
}

void TFormPopup::LayoutParts() {
  // The design's layout, scaled by its edges; a wider pop-up moves the
  // close glyph along with its right edge.
  const PopupLayout layout = LayoutPopup(kPopupClientWidth);
  const int extra = FClientWidth - gui::Scaled(kPopupClientWidth);
  ImageClose.Bounds = ScaledDesign(layout.closeImage);
  ImageClose.Bounds.left += extra;
  ImageClose.Bounds.right += extra;
  const Rect image = ScaledDesign(layout.image);
  Image.Bounds = {image.left, image.top, image.left + SmallIconSize(), image.top + SmallIconSize()};
  GroupBoxTitle.Bounds.right = GroupBoxTitle.Bounds.left + FClientWidth;
  GroupBoxTitle.Bounds.bottom =
      GroupBoxTitle.Bounds.top +
      std::max(gui::Scaled(layout.groupBoxHeight), Image.Bounds.bottom + gui::Scaled(5));
  const Rect at = ScaledDesign({kPopupMessageAt.x, kPopupMessageAt.y, 0, kPopupMessageAt.y + 16});
  LabelMessage.Bounds = {at.left, at.top, FClientWidth - gui::Scaled(4), at.bottom};
}

void TFormPopup::LayoutAndPlace() {
  const HWND window = Handle();
  RECT area{};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) {
    area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  RECT outer{0, 0, FClientWidth + 2 * Inset(), gui::Scaled(kPopupClientHeight) + 2 * Inset()};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  const Point at = PopupPosition({area.left, area.top, area.right, area.bottom}, width, height);
  SetBounds(at.x, at.y, width, height);
  LayoutParts();
}

void TFormPopup::AdjustCreationParams(gui::TCreateParams& params) {
  TForm::AdjustCreationParams(params);
  // A class of its own, for its class style; the form paints its background.
  params.windowClass = "TFormPopup";
  params.background = nullptr;
  const CreationParams adjusted =
      PopupCreationParams({params.style, params.exStyle, params.classStyle}, RunningVersion());
  params.style = adjusted.style;
  params.exStyle = adjusted.exStyle;
  params.classStyle = adjusted.classStyle;
  RECT r{0, 0, FClientWidth + 2 * Inset(), gui::Scaled(kPopupClientHeight) + 2 * Inset()};
  AdjustWindowRectEx(&r, params.style, FALSE, params.exStyle);
  params.width = r.right - r.left;
  params.height = r.bottom - r.top;
}

void TFormPopup::ClosePopup() {
  TimerClose->SetEnabled(false);
  if (HandleAllocated() && IsWindowVisible(Handle())) Close();
}

void TFormPopup::ImageCloseClick(gui::TComponent*) { ClosePopup(); }

void TFormPopup::FormMouseUp(gui::TComponent*, gui::TMouseButton, gui::TShiftState, int, int) {
  ClosePopup();
}

void TFormPopup::FormDeactivate(gui::TComponent*) {
  if (HandleAllocated() && IsWindowVisible(Handle())) ClosePopup();
}

void TFormPopup::ImageContextPopup(gui::TComponent*, POINT, bool& handled) {
  ClosePopup();
  handled = true;
  if (OnOptionsRequest) OnOptionsRequest();
}

void TFormPopup::TimerCloseTimer(gui::TComponent*) {
  TimerClose->SetEnabled(false);
  ClosePopup();
}

void TFormPopup::WndProc(gui::TMessage& message) {
  const auto x = static_cast<short>(LOWORD(message.LParam));
  const auto y = static_cast<short>(HIWORD(message.LParam));
  switch (message.Msg) {
    case WM_ERASEBKGND: message.Result = 1; return;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(Handle(), &ps);
      Paint(dc);
      EndPaint(Handle(), &ps);
      message.Result = 0;
      return;
    }
    case WM_MOUSEACTIVATE: message.Result = MA_NOACTIVATE; return;
    case WM_LBUTTONUP:
      ImageCloseClick(this);
      FormMouseUp(this, gui::TMouseButton::Left, 0, x, y);
      message.Result = 0;
      return;
    case WM_MBUTTONUP:
      FormMouseUp(this, gui::TMouseButton::Middle, 0, x, y);
      message.Result = 0;
      return;
    case WM_RBUTTONUP: {
      FormMouseUp(this, gui::TMouseButton::Right, 0, x, y);
      POINT screen{x, y};
      ClientToScreen(Handle(), &screen);
      SendMessageA(Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()),
                   MAKELPARAM(screen.x, screen.y));
      message.Result = 0;
      return;
    }
    case WM_CONTEXTMENU: {
      bool handled = false;
      ImageContextPopup(this, POINT{x, y}, handled);
      if (handled) {
        message.Result = 0;
        return;
      }
      break;
    }
    case WM_ACTIVATE:
      if (LOWORD(message.WParam) == WA_INACTIVE) FormDeactivate(this);
      break;
    default: break;
  }
  TForm::WndProc(message);
}

void TFormPopup::Paint(HDC target) {
  RECT client{};
  GetClientRect(Handle(), &client);
  const int width = client.right, height = client.bottom;
  base::MemoryDc dc(CreateCompatibleDC(target));
  base::BitmapHandle buffer(CreateCompatibleBitmap(target, width, height));
  base::Selection useBuffer(dc.get(), buffer.get());
  base::Selection useFont(dc.get(), FFont.get());
  const NoticeColors colors = CurrentNoticeColors();
  {
    base::BrushHandle back(CreateSolidBrush(colors.background));
    FillRect(dc.get(), &client, back.get());
  }
  SetBkMode(dc.get(), TRANSPARENT);
  SetTextColor(dc.get(), colors.text);

  // The group box: an etched frame whose top line runs through the title.
  SIZE title{};
  GetTextExtentPoint32A(dc.get(), GroupBoxTitle.Caption.data(),
                        static_cast<int>(GroupBoxTitle.Caption.size()), &title);
  RECT frame = Offset(GroupBoxTitle.Bounds);
  frame.top += title.cy / 2;
  DrawEdge(dc.get(), &frame, EDGE_ETCHED, BF_RECT);
  if (!GroupBoxTitle.Caption.empty()) {
    const RECT box = Offset(GroupBoxTitle.Bounds);
    RECT caption{box.left + 6, box.top, box.left + 8 + title.cx + 2, box.top + title.cy};
    caption.right = std::min(caption.right, static_cast<LONG>(Offset(ImageClose.Bounds).left - 2));
    {
      base::BrushHandle back(CreateSolidBrush(colors.background));
      FillRect(dc.get(), &caption, back.get());
    }
    caption.left += 2;
    DrawTextA(dc.get(), GroupBoxTitle.Caption.c_str(), -1, &caption,
              DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }

  RECT message = Offset(LabelMessage.Bounds);
  DrawTextA(dc.get(), LabelMessage.Caption.c_str(), -1, &message,
            DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);

  // The icon at its own size, no larger than its 16 x 16 frame.
  if (Image.Picture) {
    base::MemoryDc source(CreateCompatibleDC(target));
    base::Selection use(source.get(), Image.Picture.get());
    const RECT at = Offset(Image.Bounds);
    BitBlt(dc.get(), at.left, at.top, at.right - at.left, at.bottom - at.top, source.get(), 0, 0,
           SRCCOPY);
  }

  // The close glyph, without its transparent corners, enlarged pixel by
  // pixel on a denser display.
  if (ImageClose.Picture) {
    base::MemoryDc source(CreateCompatibleDC(target));
    base::Selection use(source.get(), ImageClose.Picture.get());
    const RECT at = Offset(ImageClose.Bounds);
    const int size = gui::Scaled(kCloseGlyphSize);
    for (int py = 0; py < size; ++py) {
      for (int px = 0; px < size; ++px) {
        const COLORREF c = GlyphPixelIn(
            GetPixel(source.get(), px * kCloseGlyphSize / size, py * kCloseGlyphSize / size),
            colors);
        if (c != kCloseGlyphTransparent) SetPixel(dc.get(), at.left + px, at.top + py, c);
      }
    }
  }
  BitBlt(target, 0, 0, width, height, dc.get(), 0, 0, SRCCOPY);
}

}  // namespace quell::ui
