// PtrList: the model's one container, an ordered list of record references with its own walk cursor; removal
// rebuilds the list, keeping the order of the rest.
// Beside it, an index from id to the positions holding that id, built at the first look-up and valid only for the
// version of the list it was built for: every change of the list bumps `version` (a write to `items` from outside
// calls touch()), so a look-up through the index gives the same records in the same order as a walk.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

// Positions in a list by id: the first and last position of each id, and from each position the next one with the
// same id, so the positions of an id come in list order and one more can be added at the end.
struct IdPositions {
    struct Ends {
        std::int32_t first;
        std::int32_t last;
    };
    static constexpr std::int32_t none = -1;

    std::uint64_t builtFor = 0;
    std::unordered_map<std::int32_t, Ends> ends;
    std::vector<std::int32_t> next;

    void add(std::int32_t id, std::int32_t position)
    {
        next.push_back(none);
        auto [found, added] = ends.try_emplace(id, Ends{position, position});
        if (!added) {
            next[static_cast<std::size_t>(found->second.last)] = position;
            found->second.last = position;
        }
    }
};

template <class T>
struct PtrList {
    std::vector<T*> items;
    std::int32_t cursor = 0;
    std::uint64_t version = 0;  // bumped by every change of the references

    PtrList() = default;
    // A copy starts without an index: the copy's references are pointed at other records right after (World copy).
    PtrList(const PtrList& other) : items(other.items), cursor(other.cursor), version(other.version) {}
    PtrList& operator=(const PtrList& other)
    {
        if (this != &other)
            *this = PtrList(other);
        return *this;
    }
    PtrList(PtrList&&) noexcept = default;
    PtrList& operator=(PtrList&&) noexcept = default;
    ~PtrList() = default;

    void init() { *this = PtrList{}; }

    // The number of references; list positions are 32-bit, as the cursor is.
    std::int32_t size() const { return static_cast<std::int32_t>(items.size()); }

    void append(T* record)
    {
        items.push_back(record);
        // An index that was up to date takes the new position along instead of being rebuilt.
        const bool indexCurrent = index_ && index_->builtFor == version;
        ++version;
        if (indexCurrent) {
            index_->add(record->id, size() - 1);
            index_->builtFor = version;
        }
    }

    // Tells the list that `items` was written directly.
    void touch() { ++version; }

    // Rebuilds the list without the references for which `leaves` is true; the rest keep their order.
    template <class Predicate>
    void removeIf(Predicate leaves)
    {
        PtrList fresh;
        for (cursor = 0; cursor < size(); ++cursor)
            if (!leaves(items[cursor]))
                fresh.append(items[cursor]);
        fresh.version = version + 1;
        *this = std::move(fresh);
    }

    // The index for the list as it is now, built anew when the list changed since it was last built.
    const IdPositions& positionsById() const
    {
        if (!index_ || index_->builtFor != version) {
            index_ = std::make_unique<IdPositions>();
            index_->ends.reserve(items.size());
            index_->next.reserve(items.size());
            for (std::size_t i = 0; i < items.size(); ++i)
                index_->add(items[i]->id, static_cast<std::int32_t>(i));
            index_->builtFor = version;
        }
        return *index_;
    }

private:
    mutable std::unique_ptr<IdPositions> index_;
};

// The one loop every walk uses: the position lives in the list's own cursor, so walks of one list never nest.
template <class T, class Visit>
void walk(PtrList<T>& list, Visit visit)
{
    for (list.cursor = 0; list.cursor < list.size(); ++list.cursor)
        visit(*list.items[list.cursor]);
}

// The walk of a list that is only read, as a frame reads the world: the cursor stays, since nothing that could
// change the list runs meanwhile.
template <class T, class Visit>
void walk(const PtrList<T>& list, Visit visit)
{
    for (const T* item : list.items)
        visit(*item);
}

// The walk restricted to the records with the id: the same records in the same order, the cursor at each of them
// while it is visited and where a walk leaves it at the end. `visit` must not change the list.
template <class T, class Visit>
void walkWithId(PtrList<T>& list, std::int32_t id, Visit visit)
{
    const IdPositions& index = list.positionsById();
    if (auto found = index.ends.find(id); found != index.ends.end()) {
        for (std::int32_t at = found->second.first; at != IdPositions::none;
             at = index.next[static_cast<std::size_t>(at)]) {
            list.cursor = at;
            visit(*list.items[static_cast<std::size_t>(at)]);
        }
    }
    list.cursor = list.size();
}

// Whether any record of the list has the id.
template <class T>
bool hasRecordWithId(const PtrList<T>& list, std::int32_t id)
{
    return list.positionsById().ends.count(id) != 0;
}
