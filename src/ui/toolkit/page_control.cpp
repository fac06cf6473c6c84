#include "ui/toolkit/page_control.h"

#include <utility>

namespace qr::ui {

int PageControl::AddPage(std::string title, ListView* content) {
  std::lock_guard guard(mutex_);
  titles_.push_back(std::move(title));
  contents_.push_back(content);
  Notify(State());
  return static_cast<int>(titles_.size()) - 1;
}

int PageControl::PageCount() const {
  std::lock_guard guard(mutex_);
  return static_cast<int>(titles_.size());
}

std::string PageControl::Title(int page) const {
  std::lock_guard guard(mutex_);
  return page >= 0 && page < static_cast<int>(titles_.size()) ? titles_[page] : std::string();
}

ListView* PageControl::Content(int page) const {
  std::lock_guard guard(mutex_);
  return page >= 0 && page < static_cast<int>(contents_.size()) ? contents_[page] : nullptr;
}

int PageControl::CurrentPage() const {
  std::lock_guard guard(mutex_);
  return currentPage_;
}

bool PageControl::SetCurrentPage(int page) {
  std::lock_guard guard(mutex_);
  if (page < 0 || page >= static_cast<int>(titles_.size()) || page == currentPage_) return false;
  currentPage_ = page;
  Notify(State());
  return true;
}

PageChange PageControl::State() const { return {titles_, currentPage_}; }

void PageControl::DescribeState(const Listener& listener) const { listener(State()); }

}  // namespace qr::ui
