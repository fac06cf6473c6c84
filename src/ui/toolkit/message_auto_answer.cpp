#include "ui/toolkit/message_auto_answer.h"

#include <cstdlib>

#include "runtime/codepage.h"

namespace qr::ui {

int DefaultMessageAnswer(int style) {
  return (style & message_box::kButtonMask) == message_box::kYesNo ? message_box::kAnswerYes : message_box::kAnswerOk;
}

bool AutoAnswerRequested() {
  const char* value = std::getenv("QUILLREEL_AUTO_ANSWER");
  return value != nullptr && *value != '\0';
}

std::string AutoAnsweredMessageLine(const MessageRequest& request) {
  return "message " + qr::codepage::GbkToUtf8(request.text) + "|" + qr::codepage::GbkToUtf8(request.title) + "|" +
         std::to_string(request.style) + "\n";
}

}  // namespace qr::ui
