// Page controls with their tab sheets, and image lists.
#pragma once

#include <string>
#include <vector>

#include "platform/Graphics.h"
#include "platform/ui/Controls.h"

namespace tavix {

class TPageControl;

// One page: fills its page control below the tabs; only the active page is visible.
class TTabSheet : public TWinControl {
 public:
  explicit TTabSheet(TComponent* owner = nullptr);
  ~TTabSheet() override;

  TPageControl* PageControl() const { return FPageControl; }
  // Joins a page control as its last page (leaving any other first).
  void SetPageControl(TPageControl* pageControl);
  int32_t PageIndex() const;
  void SetPageIndex(int32_t index);
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool value);

 private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
};

using TTabChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;

class TPageControl : public TWinControl {
 public:
  explicit TPageControl(TComponent* owner = nullptr);
  ~TPageControl() override;

  int32_t PageCount() const { return static_cast<int32_t>(FPages.size()); }
  TTabSheet* Pages(int32_t index) const { return FPages.at(static_cast<size_t>(index)); }
  TTabSheet* ActivePage() const { return FActivePage; }
  int32_t ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }
  // The code's choice of page: no events.
  void SetActivePage(TTabSheet* page);
  void SetActivePageIndex(int32_t index);
  // The user's click on a tab: OnChanging may refuse, then the page changes and OnChange
  // fires. False when refused, or the page is none of ours or its tab is hidden.
  bool SelectPage(TTabSheet* page);

  TTabChangingEvent OnChanging;
  TNotifyEvent OnChange;

  // Height of the tab strip above the pages (headless constant).
  static constexpr int32_t kTabHeight = 24;

 protected:
  friend class TTabSheet;
  void AlignControls(TRect rect) override;
  void DescribeProperties(std::vector<std::string>& properties) const override;
  void KeyDown(uint16_t& key, TShiftState shift) override;

 private:
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void ShowActiveOnly();

  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
};

// One image of an image list: pixels 0xAARRGGBB, row by row from the top (empty for a blank
// image).
struct TImageData {
  std::string Name;
  std::vector<uint32_t> Pixels;
};

class TImageList : public TComponent {
 public:
  explicit TImageList(TComponent* owner = nullptr, int32_t width = 16, int32_t height = 16);

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  // A new size empties the list.
  void SetSize(int32_t width, int32_t height);
  int32_t Count() const { return static_cast<int32_t>(FImages.size()); }
  // Adds an image and answers its index; raises EInvalidOperation when its pixels do not
  // fill width x height.
  int32_t Add(const TImageData& image);
  // Adds a picture of the list's size (opaque); raises EInvalidOperation for another size.
  int32_t AddBitmap(const TBitmap& bitmap, const std::string& name = {});
  const TImageData& Image(int32_t index) const { return FImages.at(static_cast<size_t>(index)); }
  void Clear();
  TNotifyEvent OnChange;

  std::string Describe() const;

 private:
  int32_t FWidth;
  int32_t FHeight;
  std::vector<TImageData> FImages;
};

}  // namespace tavix
