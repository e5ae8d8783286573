// libFuzzer target: a few replay lines per input, split and applied to the world model, then one movement tick;
// aborts when a list, passenger list or damage link refers to a released record. Not in the default build: build
// the core with clang++ -fsanitize=fuzzer-no-link,address,undefined, then link this file and
// platform/sanitizer_defaults.cpp with -fsanitize=fuzzer,address,undefined against the three kelo_ archives.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/app_state.h"
#include "platform/headless/headless.h"
#include "world/interpreter.h"
#include "world/movement.h"
#include "world/world_model.h"

namespace {

bool inStore(const Record* record)
{
    return std::any_of(app::world.records.begin(), app::world.records.end(),
                       [record](const auto& owned) { return owned.get() == record; });
}

template <class T>
void checkListed(const PtrList<T>& list)
{
    if (list.count != static_cast<std::int32_t>(list.items.size()) + 1)
        std::abort();
    for (const T* record : list.items)
        if (!inStore(record))
            std::abort();
}

void checkModel()
{
    checkListed(app::world.soldierList);
    checkListed(app::world.vehicleList);
    checkListed(app::world.buildingList);
    checkListed(app::world.entityList);
    for (const auto& owned : app::world.records) {
        if (owned->damageLink != nullptr && !inStore(owned->damageLink))
            std::abort();
        if (owned->kind == RecordKind::vehicle)
            checkListed(static_cast<const VehicleRecord&>(*owned).passengers);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // No Kelo.ini, Maps or Presets there: map lines exercise the failure paths without reading real files.
    static const bool started = [] {
        headless::startup();
        headless::setProgramFolder("/nonexistent/kelo-fuzz");
        return true;
    }();
    (void)started;

    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty()) {
        const std::size_t end = std::min(input.find('\n'), input.size());
        const std::string_view line = input.substr(0, end);
        input.remove_prefix(std::min(end + 1, input.size()));
        stampTime(line);
        if (std::optional<SplitLine> split = splitLine(line))
            applyEvent(app::world, split->fields, app::playback.msPerLogSecond);
    }
    movementTick();
    checkModel();
    // Records carry over between inputs, so that events meet what earlier inputs made, up to a bound.
    if (app::world.records.size() > 256)
        resetWorld(app::world);
    return 0;
}
