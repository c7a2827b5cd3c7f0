// The process-wide question answerer.
#include "platform/question.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<QuestionAnswerer*> g_answerer{nullptr};
}

void SetQuestionAnswerer(QuestionAnswerer* answerer) { g_answerer.store(answerer); }

bool AskYesNo(std::string_view title, std::string_view text) {
  QuestionAnswerer* a = g_answerer.load();
  return a ? a->AskYesNo(title, text) : false;
}

}  // namespace platform
