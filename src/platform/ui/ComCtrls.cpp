#include "platform/ui/ComCtrls.h"

#include <algorithm>

namespace tavix {

// ---- TTabSheet -------------------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
  TControl::SetVisible(false);
  SetAlign(TAlign::alClient);
}

TTabSheet::~TTabSheet() {
  if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* pageControl) {
  if (pageControl == FPageControl) return;
  if (FPageControl) FPageControl->RemovePage(this);
  SetParent(pageControl);
  if (pageControl) pageControl->InsertPage(this);
}

int32_t TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  const auto& pages = FPageControl->FPages;
  return static_cast<int32_t>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int32_t index) {
  if (!FPageControl) return;
  auto& pages = FPageControl->FPages;
  pages.erase(std::remove(pages.begin(), pages.end(), this), pages.end());
  index = std::clamp<int32_t>(index, 0, static_cast<int32_t>(pages.size()));
  pages.insert(pages.begin() + index, this);
}

void TTabSheet::SetTabVisible(bool value) {
  if (value == FTabVisible) return;
  FTabVisible = value;
  if (!value && FPageControl && FPageControl->ActivePage() == this) {
    // The next page with a visible tab takes over.
    TTabSheet* next = nullptr;
    for (TTabSheet* p : FPageControl->FPages)
      if (p != this && p->TabVisible()) {
        next = p;
        break;
      }
    FPageControl->SetActivePage(next);
  }
}

// ---- TPageControl -------------------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
}

TPageControl::~TPageControl() {
  // The sheets are freed as children; they must not call back into a page control going away.
  for (TTabSheet* page : FPages) page->FPageControl = nullptr;
  FPages.clear();
  FActivePage = nullptr;
}

void TPageControl::InsertPage(TTabSheet* page) {
  page->FPageControl = this;
  FPages.push_back(page);
  if (!FActivePage) SetActivePage(page);
  else ShowActiveOnly();
}

void TPageControl::RemovePage(TTabSheet* page) {
  FPages.erase(std::remove(FPages.begin(), FPages.end(), page), FPages.end());
  page->FPageControl = nullptr;
  if (FActivePage == page) {
    FActivePage = nullptr;
    for (TTabSheet* p : FPages)
      if (p->TabVisible()) {
        SetActivePage(p);
        break;
      }
  }
}

void TPageControl::ShowActiveOnly() {
  for (TTabSheet* p : FPages) p->SetVisible(p == FActivePage);
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->PageControl() != this) return;
  FActivePage = page;
  ShowActiveOnly();
}

void TPageControl::SetActivePageIndex(int32_t index) {
  SetActivePage(index >= 0 && index < PageCount() ? FPages[static_cast<size_t>(index)] : nullptr);
}

bool TPageControl::SelectPage(TTabSheet* page) {
  if (!page || page->PageControl() != this || !page->TabVisible() || !IsEnabledInTree()) return false;
  if (page == FActivePage) return true;
  bool allow = true;
  if (OnChanging && CanFireEvents()) OnChanging(this, allow);
  if (!allow) return false;
  SetActivePage(page);
  if (OnChange && CanFireEvents()) OnChange(this);
  return true;
}

void TPageControl::AlignControls(TRect rect) {
  if (!FPages.empty()) rect.Top = std::min(rect.Bottom, rect.Top + kTabHeight);
  TWinControl::AlignControls(rect);
}

void TPageControl::KeyDown(uint16_t& key, TShiftState shift) {
  // Ctrl+Tab and Ctrl+Shift+Tab step through the visible tabs as a user's click would.
  if (key != os::VK_TAB || !(shift & ssCtrl) || FPages.empty()) return;
  const int32_t count = PageCount();
  int32_t i = std::max(0, ActivePageIndex());
  for (int32_t n = 0; n < count; ++n) {
    i = (shift & ssShift) ? (i - 1 + count) % count : (i + 1) % count;
    if (FPages[static_cast<size_t>(i)]->TabVisible()) {
      SelectPage(FPages[static_cast<size_t>(i)]);
      break;
    }
  }
  key = 0;
}

void TPageControl::DescribeProperties(std::vector<std::string>& properties) const {
  TWinControl::DescribeProperties(properties);
  std::string tabs = "tabs=[";
  for (size_t i = 0; i < FPages.size(); ++i) {
    if (i) tabs += "|";
    if (FPages[i] == FActivePage) tabs += "*";
    tabs += FPages[i]->Caption();
    if (!FPages[i]->TabVisible()) tabs += "(hidden)";
  }
  properties.push_back(tabs + "]");
}

// ---- TImageList -------------------------------------------------------------------------------------------

TImageList::TImageList(TComponent* owner, int32_t width, int32_t height)
    : TComponent(owner), FWidth(std::max(1, width)), FHeight(std::max(1, height)) {}

void TImageList::SetSize(int32_t width, int32_t height) {
  FWidth = std::max(1, width);
  FHeight = std::max(1, height);
  Clear();
}

int32_t TImageList::Add(const TImageData& image) {
  if (!image.Pixels.empty() && image.Pixels.size() != static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight))
    throw EInvalidOperation("Invalid image size: " + std::to_string(image.Pixels.size()) + " pixels for a " +
                            std::to_string(FWidth) + " x " + std::to_string(FHeight) + " image list");
  FImages.push_back(image);
  if (OnChange) OnChange(this);
  return Count() - 1;
}

int32_t TImageList::AddBitmap(const TBitmap& bitmap, const std::string& name) {
  if (bitmap.Width() != FWidth || bitmap.Height() != FHeight)
    throw EInvalidOperation("Invalid image size: a " + std::to_string(bitmap.Width()) + " x " +
                            std::to_string(bitmap.Height()) + " picture for a " + std::to_string(FWidth) + " x " +
                            std::to_string(FHeight) + " image list");
  TImageData image{name, {}};
  image.Pixels.reserve(static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight));
  for (int32_t y = 0; y < FHeight; ++y)
    for (int32_t x = 0; x < FWidth; ++x) image.Pixels.push_back(0xFF000000u | (bitmap.GetPixel(x, y) & 0xFFFFFFu));
  return Add(image);
}

void TImageList::Clear() {
  if (FImages.empty()) return;
  FImages.clear();
  if (OnChange) OnChange(this);
}

std::string TImageList::Describe() const {
  std::string out = ClassName();
  if (!Name().empty()) out += " " + Name();
  out += " " + std::to_string(FWidth) + "x" + std::to_string(FHeight) + " [";
  for (size_t i = 0; i < FImages.size(); ++i) {
    if (i) out += ", ";
    out += std::to_string(i) + ":" + (FImages[i].Name.empty() ? "?" : FImages[i].Name);
  }
  return out + "]";
}

}  // namespace tavix
