#pragma once

#include <cstddef>
#include <iterator>
#include <memory>

namespace sourcecontrol {

class IVSSItem;

// The children of an item, enumerated in the database's order.
class IVSSItems {
 public:
  virtual ~IVSSItems() = default;

  virtual int Count() = 0;
  // The child at `index`, counted from 1 as the library counts.
  virtual std::shared_ptr<IVSSItem> Item(int index) = 0;

  // Enumeration. Hold the collection while enumerating: a range-for over *item->Items(true)
  // would outlive the temporary pointer.
  //   const std::shared_ptr<IVSSItems> children = item->Items(true);
  //   for (const std::shared_ptr<IVSSItem> child : *children) ...
  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = std::shared_ptr<IVSSItem>;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = value_type;

    Iterator(IVSSItems* items, int index) : items_(items), index_(index) {}
    value_type operator*() const { return items_->Item(index_); }
    Iterator& operator++() {
      ++index_;
      return *this;
    }
    bool operator==(const Iterator& other) const { return index_ == other.index_; }

   private:
    IVSSItems* items_;
    int index_;
  };
  Iterator begin() { return Iterator(this, 1); }
  Iterator end() { return Iterator(this, Count() + 1); }
};

}  // namespace sourcecontrol
