// The world model's life cycle: making records, releasing them with every reference to them, and the reset.
// Relies on the record store and the lists in the global state.
#pragma once

#include "app/globals.h"
#include "world/records.h"

// Makes a record of the given kind, owned by the record store and listed nowhere yet.
template <class T>
T& makeRecord()
{
    auto record = std::make_unique<T>();
    T& made = *record;
    g.records.push_back(std::move(record));
    return made;
}

// Drops every reference to the record (lists, passenger lists, damage links), then releases it.
void releaseRecord(Record* record);

// Releases every record that the list refers to.
void freeItems(PtrList<Record>& list);

// Clears the map name, title and clock and releases every record; chat, status message and map picture stay.
void resetWorld();
