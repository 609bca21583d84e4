#include "ImageList.h"

#include <stdexcept>

#include "Application.h"

namespace quell::gui {

TImageList::TImageList(TComponent* owner, int width, int height)
    : TCustomImageList(owner),
      FWidth(width),
      FHeight(height),
      FList(ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 4, 4)) {
  if (!FList) throw std::runtime_error("ImageList_Create failed");
}

int TImageList::Count() const { return ImageList_GetImageCount(FList.get()); }

int TImageList::AddIcon(HICON icon) {
  if (!icon) return -1;
  const int index = ImageList_AddIcon(FList.get(), icon);
  if (index >= 0) Changed();
  return index;
}

int TImageList::AddMasked(HBITMAP strip, COLORREF maskColor) {
  const int index = ImageList_AddMasked(FList.get(), strip, maskColor);
  if (index >= 0) Changed();
  return index;
}

int TImageList::AddIconResource(HINSTANCE module, LPCSTR name) {
  base::IconHandle icon(
      static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, FWidth, FHeight, 0)));
  return AddIcon(icon.get());
}

void TImageList::Clear() {
  ImageList_RemoveAll(FList.get());
  Changed();
}

bool TImageList::GetIcon(int index, TIcon& icon) const {
  if (index < 0 || index >= Count()) return false;
  HICON copy = ImageList_GetIcon(FList.get(), index, ILD_TRANSPARENT);
  if (!copy) return false;
  icon.SetHandle(copy);
  return true;
}

void TImageList::Draw(HDC dc, int x, int y, int index, bool enabled) const {
  if (index < 0 || index >= Count()) return;
  if (enabled) {
    ImageList_Draw(FList.get(), index, dc, x, y, ILD_TRANSPARENT);
  } else {
    IMAGELISTDRAWPARAMS p{};
    p.cbSize = sizeof p;
    p.himl = FList.get();
    p.i = index;
    p.hdcDst = dc;
    p.x = x;
    p.y = y;
    p.rgbBk = CLR_NONE;
    p.rgbFg = CLR_DEFAULT;
    p.fStyle = ILD_TRANSPARENT;
    p.fState = ILS_SATURATE;
    ImageList_DrawIndirect(&p);
  }
}

void TImageList::Changed() {
  if (!OnChange) return;
  if (TApplication* app = Application()) {
    app->Guard(this, [&] { OnChange(this); });
  } else {
    OnChange(this);
  }
}

}  // namespace quell::gui
