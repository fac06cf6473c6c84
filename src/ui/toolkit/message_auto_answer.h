// Message boxes that answer themselves, for tests that start the real program
// where nobody is there to press a button. Every backend answers and reports
// the same way, so such a test reads either program alike.
#pragma once

#include <string>

#include "ui/toolkit/toolkit_services.h"

namespace qr::ui {

// The answer of a box that nobody answers: Yes for a yes/no box, otherwise OK.
int DefaultMessageAnswer(int style);

// True when QUILLREEL_AUTO_ANSWER holds any non-empty value. Only the test
// copies of the programs ask (apps/common/auto_answer_switch.h): the programs
// people run never let a variable answer for them.
bool AutoAnswerRequested();

// What a self-answering box writes to standard error: one UTF-8 line
// "message <text>|<title>|<style>" ending in a line feed.
std::string AutoAnsweredMessageLine(const MessageRequest& request);

}  // namespace qr::ui
