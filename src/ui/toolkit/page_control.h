// A page control (tabs): each page has a title and shows one list view.
#pragma once

#include <string>
#include <vector>

#include "ui/toolkit/observable.h"

namespace qr::ui {

class ListView;

struct PageChange {
  std::vector<std::string> titles;
  int currentPage = 0;
};

class PageControl : public Observable<PageChange> {
 public:
  // Add the pages before a backend subscribes. `content` may be null (an
  // empty page); it must outlive the page control. Returns the page index.
  int AddPage(std::string title, ListView* content);
  int PageCount() const;
  std::string Title(int page) const;
  ListView* Content(int page) const;

  int CurrentPage() const;
  // Out-of-range pages are ignored. A backend calls this too when the user
  // picks a tab, so the model always shows what the screen shows, and tells
  // the app logic of the pick when this returns true (the page changed).
  bool SetCurrentPage(int page);

 protected:
  void DescribeState(const Listener& listener) const override;

 private:
  PageChange State() const;

  std::vector<std::string> titles_;
  std::vector<ListView*> contents_;
  int currentPage_ = 0;
};

}  // namespace qr::ui
