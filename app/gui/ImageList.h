// A list of same-sized images with masks (comctl32 image list).
#pragma once

#include <functional>

#include "gui/core/CustomImageList.h"
#include "gui/core/Events.h"
#include "Graphics.h"
#include "base/Handles.h"

namespace quell::gui {

class TImageList : public TCustomImageList {
 public:
  explicit TImageList(TComponent* owner, int width = 16, int height = 16);

  HIMAGELIST Handle() const { return FList.get(); }
  int Count() const override;
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }

  // Each answers the new image's index, or -1.
  int AddIcon(HICON icon);
  int AddIcon(const TIcon& icon) { return AddIcon(icon.Handle()); }
  // A strip of images side by side; `maskColor` marks the transparent pixels.
  int AddMasked(HBITMAP strip, COLORREF maskColor);
  // An icon resource of the module at the list's size.
  int AddIconResource(HINSTANCE module, LPCSTR name);
  void Clear();

  // Copies image `index` into `icon`; false (and `icon` unchanged) when out of range.
  bool GetIcon(int index, TIcon& icon) const;
  void Draw(HDC dc, int x, int y, int index, bool enabled = true) const;

  TNotifyEvent OnChange;

 private:
  void Changed();
  int FWidth;
  int FHeight;
  base::ImageListHandle FList;
};

}  // namespace quell::gui
