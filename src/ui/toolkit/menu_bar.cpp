#include "ui/toolkit/menu_bar.h"

#include <utility>

namespace qr::ui {

int MenuBar::AddMenu(std::string caption, bool hidden) {
  std::lock_guard guard(mutex_);
  menus_.push_back({std::move(caption), hidden, {}});
  NotifyTree();
  return static_cast<int>(menus_.size()) - 1;
}

void MenuBar::AddItem(int menuIndex, MenuItem item) {
  std::lock_guard guard(mutex_);
  if (menuIndex < 0 || menuIndex >= static_cast<int>(menus_.size())) return;
  menus_[menuIndex].items.push_back(std::move(item));
  NotifyTree();
}

void MenuBar::AddSeparator(int menuIndex) {
  MenuItem separator;
  separator.separator = true;
  AddItem(menuIndex, std::move(separator));
}

std::vector<TopMenu> MenuBar::Menus() const {
  std::lock_guard guard(mutex_);
  return menus_;
}

int MenuBar::FindMenu(const std::string& caption) const {
  std::lock_guard guard(mutex_);
  for (int i = 0; i < static_cast<int>(menus_.size()); ++i) {
    if (menus_[i].caption == caption) return i;
  }
  return -1;
}

std::optional<MenuItem> MenuBar::Item(int id) const {
  std::lock_guard guard(mutex_);
  const MenuItem* item = FindItem(id);
  if (item == nullptr) return std::nullopt;
  return *item;
}

void MenuBar::SetCaption(int id, std::string caption) { Update(id, &MenuItem::caption, std::move(caption)); }

std::string MenuBar::Caption(int id) const {
  std::lock_guard guard(mutex_);
  const MenuItem* item = FindItem(id);
  return item == nullptr ? std::string() : item->caption;
}

void MenuBar::SetChecked(int id, bool checked) { Update(id, &MenuItem::checked, checked); }

bool MenuBar::IsChecked(int id) const {
  std::lock_guard guard(mutex_);
  const MenuItem* item = FindItem(id);
  return item != nullptr && item->checked;
}

void MenuBar::SetEnabled(int id, bool enabled) { Update(id, &MenuItem::enabled, enabled); }

bool MenuBar::IsEnabled(int id) const {
  std::lock_guard guard(mutex_);
  const MenuItem* item = FindItem(id);
  return item != nullptr && item->enabled;
}

MenuItem* MenuBar::FindItem(int id) { return const_cast<MenuItem*>(std::as_const(*this).FindItem(id)); }

const MenuItem* MenuBar::FindItem(int id) const {
  if (id == 0) return nullptr;
  for (const auto& menu : menus_) {
    for (const auto& item : menu.items) {
      if (!item.separator && item.id == id) return &item;
    }
  }
  return nullptr;
}

void MenuBar::NotifyTree() const { Notify({MenuChange::Kind::kTree, menus_, {}}); }

void MenuBar::DescribeState(const Listener& listener) const { listener({MenuChange::Kind::kTree, menus_, {}}); }

}  // namespace qr::ui
