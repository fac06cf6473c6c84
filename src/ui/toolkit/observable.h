// Change notification shared by every model of the window toolkit seam.
//
// Models may be changed from any thread. Each change is described by a small
// record carrying the new state, and handed to the listeners while the
// model's own lock is held, so every listener sees the changes in the order
// they were made. A backend's listener only copies the record and posts it to
// its window thread; it must neither block nor wait for the window thread.
#pragma once

#include <functional>
#include <mutex>
#include <utility>
#include <vector>

namespace qr::ui {

template <typename Change>
class Observable {
 public:
  using Listener = std::function<void(const Change&)>;

  Observable() = default;
  Observable(const Observable&) = delete;
  Observable& operator=(const Observable&) = delete;
  virtual ~Observable() = default;

  // Delivers the current state first (as change records) and then every
  // later change, both under the model's lock, so nothing is missed or seen
  // twice. Returns an id for Unsubscribe.
  int Subscribe(Listener listener) {
    std::lock_guard guard(mutex_);
    DescribeState(listener);
    listeners_.emplace_back(++lastId_, std::move(listener));
    return lastId_;
  }

  void Unsubscribe(int id) {
    std::lock_guard guard(mutex_);
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
  }

 protected:
  // Hands the whole current state to one new listener; called with the lock held.
  virtual void DescribeState(const Listener& listener) const = 0;

  // Call with the lock held.
  void Notify(const Change& change) const {
    for (const auto& entry : listeners_) entry.second(change);
  }

  // Recursive so a listener on the changing thread may read the model back.
  mutable std::recursive_mutex mutex_;

 private:
  std::vector<std::pair<int, Listener>> listeners_;
  int lastId_ = 0;
};

}  // namespace qr::ui
