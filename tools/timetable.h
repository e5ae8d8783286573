// What a kelo-render run was told to do at given milliseconds of its virtual clock (seeks, keys, clicks), taken in
// order of their times, those of one time in the order given.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

// Item has a field `atMs`, the virtual time it is due at.
template <class Item>
class Timetable {
public:
    explicit Timetable(std::vector<Item> items) : items_(std::move(items))
    {
        std::stable_sort(items_.begin(), items_.end(), [](const Item& a, const Item& b) { return a.atMs < b.atMs; });
    }

    // The next item due at `nowMs` or before, taken off the table; null when none is.
    const Item* takeDue(std::int64_t nowMs)
    {
        return next_ < items_.size() && items_[next_].atMs <= nowMs ? &items_[next_++] : nullptr;
    }
    // When the next item is due; none once every item is taken.
    std::optional<std::int64_t> nextAt() const
    {
        return next_ < items_.size() ? std::optional<std::int64_t>(items_[next_].atMs) : std::nullopt;
    }
    bool done() const { return next_ == items_.size(); }

private:
    std::vector<Item> items_;
    std::size_t next_ = 0;
};
