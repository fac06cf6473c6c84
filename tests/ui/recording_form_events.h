// FormEvents that record every call a backend makes, each followed by what
// the test wants done then (play the person, close the form), for the form
// tests of the desktop backends.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/toolkit/form_model.h"

namespace qr::testing {

struct RecordingFormEvents : qr::ui::FormEvents {
  void OnFormOpened() override { Note("opened", onOpened, ""); }
  void OnClicked(const std::string& name) override { Note("clicked " + name, onClicked, name); }
  void OnDoubleClicked(const std::string& name) override { Note("double-clicked " + name, onDoubleClicked, name); }
  void OnClosedByUser() override { Note("closed by user", nullptr, ""); }

  std::vector<std::string> calls;
  std::function<void(const std::string&)> onOpened;
  std::function<void(const std::string&)> onClicked;
  std::function<void(const std::string&)> onDoubleClicked;

 private:
  void Note(std::string call, const std::function<void(const std::string&)>& then, const std::string& name) {
    calls.push_back(std::move(call));
    if (then) then(name);
  }
};

// For the sample form: at each click the model already holds what the click
// changed; OK closes the form as accepted.
inline std::function<void(const std::string&)> CheckModelAtClicksOfSampleForm(qr::ui::FormModel& form) {
  return [&form](const std::string& name) {
    if (name == "autoStart") {
      EXPECT_TRUE(form.Checked("autoStart"));
    }
    if (name == "afterShutdown") {
      EXPECT_TRUE(form.Checked("afterShutdown"));
      EXPECT_FALSE(form.Checked("afterNothing"));
    }
    if (name == "ok") form.Close(true);
  };
}

// What the person's run of both backend tests leaves: typed texts (the
// multi-line one with CR LF), the picked combo item, the boxes clicked, the
// second page, and the events in the order done, closed by OK.
inline void ExpectSampleFormAfterThePerson(const qr::ui::FormModel& form, const std::vector<std::string>& calls) {
  EXPECT_EQ(calls, (std::vector<std::string>{"opened", "clicked autoStart", "clicked afterShutdown",
                                             "double-clicked folder", "clicked ok"}));
  EXPECT_EQ(form.Text("folder"), "D:\\video");
  EXPECT_EQ(form.Text("note"), "第一行\r\n第二行");
  EXPECT_EQ(form.State(form.Find("threads")).selected, 3);
  EXPECT_EQ(form.Text("threads"), "32");
  EXPECT_TRUE(form.Checked("autoStart"));
  EXPECT_TRUE(form.Checked("afterShutdown"));
  EXPECT_EQ(form.State(form.Find("pages")).selected, 1);
  EXPECT_TRUE(form.Accepted());
}

}  // namespace qr::testing
