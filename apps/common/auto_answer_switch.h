// Whether a desktop program's message boxes answer themselves. Only the test
// copies of the programs (built with QUILLREEL_AUTO_ANSWER defined, see
// cmake/QuillreelProgram.cmake) look at the variable QUILLREEL_AUTO_ANSWER:
// the programs people run always ask the person, whatever the environment says.
// Include it from a program's main file only, so each program has one answer.
#pragma once

#include "ui/toolkit/message_auto_answer.h"

namespace qr::apps {

inline bool ProgramAnswersMessagesItself() {
#ifdef QUILLREEL_AUTO_ANSWER
  return qr::ui::AutoAnswerRequested();
#else
  return false;
#endif
}

}  // namespace qr::apps
