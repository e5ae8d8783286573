// PtrList: the model's one container, an ordered list of record references with its own walk cursor.
// `count` is the number of references plus one; removal rebuilds the list, keeping the order of the rest.
#pragma once

#include <cstdint>
#include <vector>

template <class T>
struct PtrList {
    std::vector<T*> items;
    std::int32_t count = 1;
    std::int32_t cursor = 0;

    void init() { *this = PtrList{}; }

    void append(T* record)
    {
        items.push_back(record);
        ++count;
    }

    // Rebuilds the list without the references for which `leaves` is true; the rest keep their order.
    template <class Predicate>
    void removeIf(Predicate leaves)
    {
        PtrList fresh;
        for (cursor = 0; cursor < count - 1; ++cursor)
            if (!leaves(items[cursor]))
                fresh.append(items[cursor]);
        *this = std::move(fresh);
    }
};

// The one loop every walk uses: the position lives in the list's own cursor, so walks of one list never nest.
template <class T, class Visit>
void walk(PtrList<T>& list, Visit visit)
{
    for (list.cursor = 0; list.cursor < list.count - 1; ++list.cursor)
        visit(*list.items[list.cursor]);
}
