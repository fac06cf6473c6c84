// The menu tree of a window: top-level menus holding items and separators.
//
// A hidden top-level menu is never shown in the menu bar; it exists to be
// popped up (the tray menu). Items are found by their id, unique in the tree.
// Build the tree before a backend subscribes; afterwards only captions, check
// marks and enabled flags change.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/toolkit/observable.h"

namespace qr::ui {

struct MenuItem {
  int id = 0;  // 0 for a separator
  std::string caption;
  bool separator = false;
  bool checkable = false;
  bool checked = false;
  bool enabled = true;
};

struct TopMenu {
  std::string caption;
  bool hidden = false;
  std::vector<MenuItem> items;
};

struct MenuChange {
  enum class Kind {
    kTree,  // `menus` holds the whole tree (on subscription and whenever its shape changes)
    kItem,  // `item` holds the new state of one item
  };
  Kind kind = Kind::kTree;
  std::vector<TopMenu> menus;
  MenuItem item;
};

class MenuBar : public Observable<MenuChange> {
 public:
  // Returns the index of the new top-level menu.
  int AddMenu(std::string caption, bool hidden = false);
  void AddItem(int menuIndex, MenuItem item);
  void AddSeparator(int menuIndex);

  std::vector<TopMenu> Menus() const;
  // Index of the top-level menu with this caption, -1 when none.
  int FindMenu(const std::string& caption) const;
  std::optional<MenuItem> Item(int id) const;

  void SetCaption(int id, std::string caption);
  std::string Caption(int id) const;
  void SetChecked(int id, bool checked);
  bool IsChecked(int id) const;
  void SetEnabled(int id, bool enabled);
  // True for an existing item that may be chosen now; a backend passes only such choices on.
  bool IsEnabled(int id) const;

 protected:
  void DescribeState(const Listener& listener) const override;

 private:
  MenuItem* FindItem(int id);
  const MenuItem* FindItem(int id) const;
  void NotifyTree() const;

  // Sets one field of an item and reports the item when the value changed.
  template <typename Value>
  void Update(int id, Value MenuItem::*field, Value value) {
    std::lock_guard guard(mutex_);
    MenuItem* item = FindItem(id);
    if (item == nullptr || item->*field == value) return;
    item->*field = std::move(value);
    Notify({MenuChange::Kind::kItem, {}, *item});
  }

  std::vector<TopMenu> menus_;
};

}  // namespace qr::ui
