// The options dialog, the notice pop-up and the tray menu's painter on the
// display they run on: the design's 96-DPI places scaled to the display's
// density, no control overlapping a sibling or cut by its parent, no caption
// or notice cut by its window, icons at the system's small-icon size. The
// same program runs at 96 DPI and, in a Wine prefix of that density, at 144
// DPI (QUELL_EXPECT_DPI names the density the session was made with).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/win/gui/GuiTestSupport.h"
#include "gui/DisplayDpi.h"
#include "ui/FOptions.h"
#include "ui/FPopup.h"
#include "ui/MenuPainter.h"
#include "tests/win/support/ProgramImages.h"
#include "tests/win/support/RecordedProgramMenu.h"
#include "tests/win/support/LayoutCheck.h"
#include "tests/win/support/MenuItemRequests.h"
#include "tests/win/support/WinTestSupport.h"
#include "res/resource.h"

namespace quell::ui {
namespace {

using gui::Create;
using gui::Scaled;
using gui::TComponent;
using wintest::PumpFor;

int ExpectedDpi() {
  const char* value = std::getenv("QUELL_EXPECT_DPI");
  return value && *value ? std::atoi(value) : 96;
}

SIZE TextExtent(HWND w, const std::string& text, HFONT font = nullptr) {
  HDC dc = GetDC(w);
  const HGDIOBJ old =
      SelectObject(dc, font ? font : reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(w, dc);
  return size;
}

class HighDpi : public gui::test::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    images = gui::test::ProgramImages(app.get(), GetSystemMetrics(SM_CXSMICON),
                                      GetSystemMetrics(SM_CYSMICON));
  }
  TFormOptions* MakeDialog() {
    TOptionsHost host;
    host.Settings = &settings;
    host.IdleLock = &idle;
    host.MinimizeOnLock = &minimizeOnLock;
    host.Images = images;
    return Create<TFormOptions>(app.get(), host);
  }
  settings::TLockSettings settings;
  rules::TIdleLock idle;
  bool minimizeOnLock = false;
  gui::TImageList* images = nullptr;
};

TEST_F(HighDpi, TheProgramDrawsAtTheDensityOfTheDisplayItWasStartedOn) {
  // Declared DPI-aware by its manifest, the program sees the display's own
  // density; an unaware one would be told 96 and stretched.
  const int dpi = ExpectedDpi();
  EXPECT_EQ(gui::DisplayDpi(), dpi);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), dpi);
  ReleaseDC(nullptr, screen);
  std::printf("display: %d DPI, small icons %d x %d\n", gui::DisplayDpi(),
              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
}

TEST_F(HighDpi, TheManifestDeclaresThePerSystemDpiAwareness) {
  // Windows stretches, and blurs, a program that does not declare it; Wine
  // hands every program the display's density, so this is read from the
  // manifest the test program shares with Quellane.exe.
  const HMODULE self = GetModuleHandleA(nullptr);
  const HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(found, nullptr) << "no manifest";
  const char* data = static_cast<const char*>(LockResource(LoadResource(self, found)));
  const std::string manifest(data, SizeofResource(self, found));
  const auto at = manifest.find("<dpiAware");
  ASSERT_NE(at, std::string::npos) << manifest;
  const auto value = manifest.find('>', at);
  EXPECT_EQ(manifest.substr(value + 1, 4), "true");
  EXPECT_NE(manifest.find("http://schemas.microsoft.com/SMI/2005/WindowsSettings", at),
            std::string::npos);
}

TEST_F(HighDpi, TheOptionsDialogIsItsDesignScaledToTheDisplay) {
  TFormOptions* form = MakeDialog();
  const double factor = gui::DisplayDpi() / 96.0;
  RECT client;
  GetClientRect(form->Handle(), &client);
  EXPECT_NEAR(client.right, 471 * factor, 2.0);
  EXPECT_NEAR(client.bottom, 254 * factor, 2.0);
  EXPECT_EQ(client.right, Scaled(471));
  EXPECT_EQ(client.bottom, Scaled(254));
  // Controls of a fixed size sit exactly at their scaled places; labels and
  // check boxes only grow to the right.
  struct Place {
    gui::TWinControl* control;
    int left, top, width, height;
  };
  const std::vector<Place> places = {
      {form->PanelButtons, 0, 0, 471, 67},   {form->BitBtnLockNow, 5, 4, 60, 58},
      {form->BitBtnApply, 73, 4, 60, 58},    {form->BitBtnCancel, 141, 4, 60, 58},
      {form->PageControl, 0, 80, 471, 155},  {form->HotKeyUnLock, 18, 28, 98, 19},
      {form->HotKeyLock, 18, 79, 98, 19},    {form->Label1, 176, 24, 245, 26},
      {form->spIdle, 263, 69, 49, 22},       {form->StatusBar, 0, 235, 471, 19},
      {form->lHotKeyUnLock, 18, 12, 85, 13}, {form->cbKeyboard, 13, 14, 116, 14},
      {form->cbMini, 234, 40, 169, 17},      {form->Label4, 312, 78, 42, 13},
      {form->cbIdle, 356, 74, 99, 17},       {form->ImageUnlocked, 32, 104, 25, 25},
  };
  for (const Place& p : places) {
    SCOPED_TRACE(p.control->Name());
    const RECT expected = gui::ScaledRect(p.left, p.top, p.width, p.height);
    const RECT r = wintest::PlaceInParent(p.control->Handle());
    EXPECT_EQ(r.left, expected.left);
    EXPECT_EQ(r.top, expected.top);
    EXPECT_EQ(r.bottom, expected.bottom);
    const bool grows = dynamic_cast<gui::TLabel*>(p.control) && p.control != form->Label1;
    if (grows || dynamic_cast<gui::TCheckBox*>(p.control)) {
      EXPECT_GE(r.right, expected.right);
    } else {
      EXPECT_EQ(r.right, expected.right);
    }
  }
  // The font by its character height, the buttons' glyphs by theirs.
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(form->cbKeyboard->Handle(), WM_GETFONT, 0, 0)),
             sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -Scaled(10));
  EXPECT_EQ(form->BitBtnApply->Glyph().Width(), Scaled(32));
  TComponent::Free(form);
}

TEST_F(HighDpi, NoControlOfTheOptionsDialogOverlapsAnotherOrIsCut) {
  TFormOptions* form = MakeDialog();
  form->Show();
  PumpFor(100);
  const wintest::LayoutCheck layout = wintest::CheckLayout(form->Handle());
  EXPECT_EQ(layout.faults, std::vector<std::string>{});
  EXPECT_GT(layout.pairsCompared, 40) << "both pages' controls were compared";
  // Every caption fits its control in the font the mapper really chose.
  for (std::size_t i = 0; i < form->ComponentCount(); ++i) {
    auto* c = dynamic_cast<gui::TWinControl*>(form->Components(i));
    const bool box = dynamic_cast<gui::TCheckBox*>(c) != nullptr;
    if (!c || c == form->Label1 || !(box || dynamic_cast<gui::TLabel*>(c))) continue;
    SCOPED_TRACE(c->Name());
    const SIZE text = TextExtent(c->Handle(), c->Caption());
    RECT client;
    GetClientRect(c->Handle(), &client);
    EXPECT_GE(client.right, text.cx + (box ? GetSystemMetrics(SM_CXMENUCHECK) : 0));
    EXPECT_GE(client.bottom + 1, text.cy) << "a caption is not cut at the bottom";
  }
  // The word-wrapped hint needs no more lines than its height holds.
  RECT wrapped{0, 0, form->Label1->Width(), 0};
  HDC dc = GetDC(form->Label1->Handle());
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(form->Label1->Handle(), WM_GETFONT, 0, 0)));
  DrawTextA(dc, form->Label1->Caption().c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK);
  ReleaseDC(form->Label1->Handle(), dc);
  EXPECT_LE(wrapped.bottom, form->Label1->Height() + 1) << "the hint below the hot keys is cut";
  TComponent::Free(form);
}

TEST_F(HighDpi, ALabelThatGrowsIntoItsNeighbourPushesItAside) {
  // A label and a check box designed side by side with too little room for
  // the label's caption in any font: the box moves right, the label is whole.
  auto* form = Create<gui::TForm>(app.get());
  form->SetClientSize(300, 60);
  form->SetFont("MS Sans Serif", 10);
  auto place = [&](auto* control, int left, int width, const char* caption) {
    control->SetParent(form);
    control->SetDesignBounds(left, 10, width, 17);
    control->SetCaption(caption);
    control->SetVisible(true);
    return control;
  };
  auto* label = place(Create<gui::TLabel>(form), 10, 10, "Seconds to wait");
  auto* box = place(Create<gui::TCheckBox>(form), 20, 100, "On resume,lock");
  auto* after = place(Create<gui::TCheckBox>(form), 130, 100, "Beep");
  form->ArrangeGrownControls();
  const wintest::LayoutCheck layout = wintest::CheckLayout(form->Handle());
  EXPECT_EQ(layout.faults, std::vector<std::string>{});
  EXPECT_EQ(layout.pairsCompared, 3);
  EXPECT_EQ(box->Left(), label->Left() + label->Width());
  EXPECT_EQ(box->Top(), Scaled(10)) << "on its row";
  EXPECT_GE(after->Left(), box->Left() + box->Width());
  EXPECT_GE(label->Width(), TextExtent(label->Handle(), label->Caption()).cx);
  TComponent::Free(form);
}

class HighDpiPopup : public HighDpi {
 protected:
  void SetUp() override {
    HighDpi::SetUp();
    mainForm = app->CreateForm<gui::TForm>();
    icon = static_cast<HICON>(LoadImageA(app->Instance(), MAKEINTRESOURCEA(IDI_LOCKED), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), 0));
  }
  void TearDown() override {
    if (icon) DestroyIcon(icon);
    HighDpi::TearDown();
  }
  // The message is drawn in full inside the pop-up's client area.
  void ExpectMessageFits(const std::string& message) {
    SCOPED_TRACE(message);
    TFormPopup::ShowPopup("Quellane", message, 5000, icon);
    PumpFor(50);
    ASSERT_NE(FormPopup(), nullptr);
    const HWND w = FormPopup()->Handle();
    RECT client;
    GetClientRect(w, &client);
    const Rect label = FormPopup()->LabelMessage.Bounds;
    const SIZE text = TextExtent(w, message, FormPopup()->Font());
    EXPECT_LE(label.left + text.cx, label.right) << "the message is cut";
    const int inset = Scaled(5);
    EXPECT_LE(label.right + 2 * inset, client.right) << "the label runs out of the window";
    EXPECT_LE(label.top + text.cy, label.bottom + 1);
    EXPECT_LE(label.bottom + 2 * inset, client.bottom);
    // The icon and the close glyph do not cover the text.
    EXPECT_LE(FormPopup()->Image.Bounds.right, label.left);
    EXPECT_LE(FormPopup()->ImageClose.Bounds.bottom, label.top);
    EXPECT_LE(FormPopup()->ImageClose.Bounds.right + 2 * inset, client.right);
  }
  gui::TForm* mainForm = nullptr;
  HICON icon = nullptr;
};

TEST_F(HighDpiPopup, TheNoticeIsItsDesignScaledWithTheIconAtTheSmallIconSize) {
  TFormPopup::ShowPopup("Computer is Locked", "Computer is Locked", 5000, icon);
  PumpFor(50);
  ASSERT_NE(FormPopup(), nullptr);
  RECT client;
  GetClientRect(FormPopup()->Handle(), &client);
  const double factor = gui::DisplayDpi() / 96.0;
  EXPECT_NEAR(client.right, 222 * factor, 2.0);
  EXPECT_NEAR(client.bottom, 47 * factor, 2.0);
  const int small = GetSystemMetrics(SM_CXSMICON);
  EXPECT_EQ(FormPopup()->Image.Bounds.right - FormPopup()->Image.Bounds.left, small);
  EXPECT_EQ(FormPopup()->Image.Bounds.bottom - FormPopup()->Image.Bounds.top, small);
  BITMAP picture{};
  GetObjectA(FormPopup()->Image.Picture.get(), sizeof picture, &picture);
  EXPECT_EQ(picture.bmWidth, small);
  EXPECT_EQ(picture.bmHeight, small);
  LOGFONTA font{};
  GetObjectA(FormPopup()->Font(), sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -Scaled(10));
  const Rect close = FormPopup()->ImageClose.Bounds;
  EXPECT_EQ(close.right - close.left, Scaled(13) + (Scaled(207) - Scaled(194) - Scaled(13)));
  EXPECT_EQ(close.top, Scaled(1));
}

TEST_F(HighDpiPopup, EveryNoticeOfTheProgramIsShownWhole) {
  for (const char* message : {"Computer is Locked", "Computer is UnLocked", "Quellane is running",
                              "Enter Hot Key or password to Unlock"}) {
    ExpectMessageFits(message);
  }
  // A message longer than the design's width widens the pop-up, which
  // still keeps its corner of the work area.
  const std::string longMessage =
      "The keyboard and the mouse stay locked until the unlock hot key is pressed";
  ExpectMessageFits(longMessage);
  RECT outer, area;
  GetWindowRect(FormPopup()->Handle(), &outer);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_EQ(area.right - outer.right, 16);
  EXPECT_GT(outer.right - outer.left, Scaled(222));
  // Back to a short one: back to the designed width.
  ExpectMessageFits("Computer is Locked");
  RECT client;
  GetClientRect(FormPopup()->Handle(), &client);
  EXPECT_EQ(client.right, Scaled(212) + 2 * Scaled(5));
}

TEST_F(HighDpi, TheTrayMenusRowsHoldTheirImagesAtTheSmallIconSize) {
  auto* form = Create<gui::TForm>(app.get());
  std::vector<std::string> executed;
  gui::TPopupMenu* menu = wintest::BuildRecordedProgramMenu(form, images, executed).pmTrayIcon;
  auto* painter = Create<TMenuPainter>(form);
  painter->BindToForm(form);
  ApplyProgramMenuStyle(*painter);
  MenuPainterManager()->RegisterPainter(painter);
  painter->SetActive(true);
  EXPECT_EQ(painter->IconWidth(), Scaled(24));
  menu->Rebuild();
  int rows = 0;
  for (std::size_t i = 0; i < menu->Items()->Count(); ++i) {
    gui::TMenuItem* item = menu->Items()->Items(i);
    SCOPED_TRACE(item->Caption());
    const SIZE m = wintest::MeasureMenuItem(app->Handle(), item);
    if (item->IsLine()) {
      EXPECT_LT(static_cast<int>(m.cy), GetSystemMetrics(SM_CYSMICON));
      continue;
    }
    EXPECT_GE(static_cast<int>(m.cx),
              Scaled(24) + TextExtent(form->Handle(), item->Caption(), painter->Font()).cx);
    if (item->ImageIndex() < 0) continue;
    ++rows;
    EXPECT_GE(static_cast<int>(m.cy), GetSystemMetrics(SM_CYSMICON) + 2)
        << "the image and its frame fit the row";
  }
  EXPECT_GE(rows, 4);
}

}  // namespace
}  // namespace quell::ui
