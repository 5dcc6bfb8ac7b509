#include "platform/os/MessageBox.h"

#include <cstdio>
#include <mutex>

namespace tavix::os {

namespace {

std::mutex gPresenterLock;
TMessageBoxPresenter gPresenter;

}  // namespace

TMessageBoxPresenter SetMessageBoxPresenter(TMessageBoxPresenter presenter) {
  std::lock_guard<std::mutex> lock(gPresenterLock);
  std::swap(gPresenter, presenter);
  return presenter;
}

std::string MessageBoxKindName(uint32_t type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONERROR: return "Error";
    case MB_ICONQUESTION: return "Question";
    case MB_ICONWARNING: return "Warning";
    case MB_ICONINFORMATION: return "Information";
    default: return "Message";
  }
}

std::string MessageBoxButtonsName(uint32_t type) {
  switch (type & MB_BUTTONMASK) {
    case MB_OKCANCEL: return "OK/Cancel";
    case MB_ABORTRETRYIGNORE: return "Abort/Retry/Ignore";
    case MB_YESNOCANCEL: return "Yes/No/Cancel";
    case MB_YESNO: return "Yes/No";
    case MB_RETRYCANCEL: return "Retry/Cancel";
    default: return "OK";
  }
}

int32_t MessageBox(int32_t owner, const std::string& text, const std::string& title, uint32_t type) {
  TMessageBoxPresenter presenter;
  {
    // The presenter runs outside the lock: a modal box may show another box.
    std::lock_guard<std::mutex> lock(gPresenterLock);
    presenter = gPresenter;
  }
  const TMessageBoxRequest request{text, title, type, owner};
  if (presenter) return presenter(request);
  std::fprintf(stderr, "[%s] %s: %s\n", MessageBoxKindName(type).c_str(), title.c_str(), text.c_str());
  return IDOK;
}

}  // namespace tavix::os
