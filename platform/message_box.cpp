// The process-wide message-box presenter.
#include "platform/message_box.h"

#include <atomic>
#include <cstdio>  // Required for: fprintf(), fflush()

namespace platform {

namespace {
std::atomic<MessageBoxPresenter*> g_presenter{nullptr};
}

void SetMessageBoxPresenter(MessageBoxPresenter* presenter) { g_presenter.store(presenter); }

void ShowMessageBox(std::string_view title, std::string_view text) {
  if (MessageBoxPresenter* p = g_presenter.load()) {
    p->ShowMessageBox(title, text);
    return;
  }
  std::fprintf(stderr, "%.*s: %.*s\n", int(title.size()), title.data(), int(text.size()),
               text.data());
  std::fflush(stderr);
}

}  // namespace platform
