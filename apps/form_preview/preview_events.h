// What the form preview does with the sample form: it opens on the page
// QUILLREEL_FORM_PAGE names (0 without it) at a fixed place, and OK or Cancel
// close it.
#pragma once

#include <cstdlib>
#include <string>

#include "ui/toolkit/form_model.h"

namespace qr::apps {

class PreviewEvents : public qr::ui::FormEvents {
 public:
  explicit PreviewEvents(qr::ui::FormModel& form) : form_(form) {}

  void OnFormOpened() override {
    const char* page = std::getenv("QUILLREEL_FORM_PAGE");
    form_.SetSelected("pages", page != nullptr ? std::atoi(page) : 0);
    form_.MoveTo(40, 40);
  }
  void OnClicked(const std::string& name) override {
    if (name == "ok" || name == "cancel") form_.Close(name == "ok");
  }

 private:
  qr::ui::FormModel& form_;
};

}  // namespace qr::apps
