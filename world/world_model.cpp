// Releasing records: every reference to a record goes when the record goes, so none is ever followed
// after release, and each record is released exactly once, through the record store.
#include "world/world_model.h"

#include <algorithm>

namespace {

// Drops every reference the model holds to the record, without releasing anything.
void forgetRecord(const Record* record)
{
    auto is = [record](const Record* listed) { return listed == record; };
    g.soldierList.removeIf(is);
    g.vehicleList.removeIf(is);
    g.buildingList.removeIf(is);
    g.entityList.removeIf(is);
    for (const auto& owned : g.records) {
        if (owned->damageLink == record)
            owned->damageLink = nullptr;
        if (owned->kind == RecordKind::vehicle)
            static_cast<VehicleRecord&>(*owned).passengers.removeIf(is);
    }
}

}  // namespace

void releaseRecord(Record* record)
{
    forgetRecord(record);
    auto owned = std::find_if(g.records.begin(), g.records.end(),
                              [record](const auto& candidate) { return candidate.get() == record; });
    if (owned != g.records.end())
        g.records.erase(owned);
}

void freeItems(PtrList<Record>& list)
{
    for (Record* record : std::vector<Record*>(list.items))
        releaseRecord(record);
}

void resetWorld()
{
    g.mapName.reset();
    g.configTitle.reset();
    g.clockMinutes = 0;
    g.clockSeconds = 0;
    freeItems(g.entityList);
    // A vehicle whose entity slot a soldier took is held by its kind list alone: it goes too.
    g.records.clear();
    g.entityList.init();
    g.soldierList.init();
    g.vehicleList.init();
    g.buildingList.init();
}
