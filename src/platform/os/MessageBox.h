// Message boxes. The host supplies the presenter: a command-line host prints the box and reads
// the answer, a test records it. Without a presenter the box goes to stderr and answers OK.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "platform/os/TavixOS.h"

namespace tavix::os {

// Buttons (low nibble) and kind (icon) of a box, combined with "|", as the platform numbers them.
enum : uint32_t {
  MB_OK = 0x00,
  MB_OKCANCEL = 0x01,
  MB_ABORTRETRYIGNORE = 0x02,
  MB_YESNOCANCEL = 0x03,
  MB_YESNO = 0x04,
  MB_RETRYCANCEL = 0x05,
  MB_BUTTONMASK = 0x0F,
  MB_ICONERROR = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONWARNING = 0x30,
  MB_ICONINFORMATION = 0x40,
  MB_ICONMASK = 0xF0,
};

// Modal results.
enum : int32_t { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

struct TMessageBoxRequest {
  std::string Text;
  std::string Title;
  uint32_t Type = MB_OK;  // buttons | kind
  int32_t Owner = 0;      // owner window handle, 0 for none (the box is centred on the screen)

  uint32_t Buttons() const { return Type & MB_BUTTONMASK; }
  uint32_t Kind() const { return Type & MB_ICONMASK; }
};

// Answers one box with its modal result.
using TMessageBoxPresenter = std::function<int32_t(const TMessageBoxRequest&)>;

// Installs the presenter for the whole process and answers the one it replaces (empty for none).
TAVIX_OS_API TMessageBoxPresenter SetMessageBoxPresenter(TMessageBoxPresenter presenter);

// Shows a modal box and answers its modal result.
TAVIX_OS_API int32_t MessageBox(int32_t owner, const std::string& text, const std::string& title, uint32_t type);

// Text name of a box's kind and buttons, for presenters that print ("Error", "OK/Cancel").
TAVIX_OS_API std::string MessageBoxKindName(uint32_t type);
TAVIX_OS_API std::string MessageBoxButtonsName(uint32_t type);

// Installs a presenter for the life of the scope and puts the previous one back.
class TMessageBoxPresenterScope {
 public:
  explicit TMessageBoxPresenterScope(TMessageBoxPresenter presenter)
      : FPrevious(SetMessageBoxPresenter(std::move(presenter))) {}
  ~TMessageBoxPresenterScope() { SetMessageBoxPresenter(std::move(FPrevious)); }
  TMessageBoxPresenterScope(const TMessageBoxPresenterScope&) = delete;
  TMessageBoxPresenterScope& operator=(const TMessageBoxPresenterScope&) = delete;

 private:
  TMessageBoxPresenter FPrevious;
};

}  // namespace tavix::os
