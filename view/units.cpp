// Unit symbols: a dot per soldier, a rotated icon (or a square) per vehicle, labels with status bars for the
// units that are hovered or pinned, passenger names, one-frame damage lines and the mark of the unit followed.
// Relies on the transform and the camera, the label-box rule, the icon paths beside the program and the world lists.
#include "view/units.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "view/frame.h"
#include "view/frame_layout.h"
#include "view/kept_text.h"
#include "view/picture_cache.h"
#include "view/transform.h"
#include "world/program_files.h"

namespace {

constexpr ARGB opaqueWhite = 0xFFFFFFFF;
constexpr ARGB barRed = 0xFFFF0000;
constexpr ARGB barGreen = 0xFF00FF00;
constexpr float barSpan = 30;  // the gradient and a full bar are this many pixels long
constexpr float iconSide = 10;  // a vehicle's icon is drawn into a square this many frame pixels across
// How far a symbol reaches left of and above its point (a turned icon's half diagonal), and a label right of and below
// it: beyond that from the map area, nothing of the unit shows.
constexpr float symbolReach = 8;
constexpr float labelReach = frameWidth;
constexpr ARGB followMarkerWhite = 0xFFFFFFFF;

// [SECTION] Seeing through the camera

// The point where a unit at this plane point is drawn; none when nothing of it drawn within `reach` could show.
std::optional<ScreenPoint> inSight(const CameraView& camera, ScreenPoint plane, float reach)
{
    const ScreenPoint p = camera.toFrame(plane);
    if (camera.identity())
        return p;
    if (p.x < mapArea.left - symbolReach || p.y < mapArea.top - symbolReach || p.x > mapArea.right() + reach
        || p.y > mapArea.bottom() + reach)
        return std::nullopt;
    return p;
}

// Whether a line between the two frame points may cross the map area.
bool lineInSight(const CameraView& camera, ScreenPoint from, ScreenPoint to)
{
    return camera.identity()
        || !(std::max(from.x, to.x) < mapArea.left || std::min(from.x, to.x) > mapArea.right()
             || std::max(from.y, to.y) < mapArea.top || std::min(from.y, to.y) > mapArea.bottom());
}

// Brackets around the symbol whose middle is at `middle`: the unit the camera follows.
void drawFollowMarker(Surface& surface, ScreenPoint middle)
{
    const Pen pen(followMarkerWhite, 1);
    constexpr float half = 8;
    constexpr float arm = 4;
    for (const float sx : {-1.0f, 1.0f}) {
        for (const float sy : {-1.0f, 1.0f}) {
            const float x = middle.x + sx * half;
            const float y = middle.y + sy * half;
            surface.drawLine(pen, x, y, x - sx * arm, y);
            surface.drawLine(pen, x, y, x, y - sy * arm);
        }
    }
}

// [SECTION] Labels and status bars

// A label's box is its text colour at alpha 20.
ARGB labelBoxColour(ARGB textColour)
{
    return (textColour & 0x00FFFFFF) | 0x14000000;
}

void drawLabel(Surface& surface, KeptText& texts, const std::string& text, const Font& font, GpPointF at, ARGB colour)
{
    drawLabelBox(
        surface, texts, text, font, [at](float, float) { return at; }, Brush::solid(labelBoxColour(colour)),
        Brush::solid(colour), LabelPlace::followsUnit);
}

// The filled share of a unit's status; none while both peaks are 0 or the levels give no number.
std::optional<float> statusRatio(const Record& unit)
{
    float peaks = unit.peakA + unit.peakB;
    if (peaks == 0)
        return std::nullopt;
    float ratio = (unit.levelA + unit.levelB) / peaks;
    if (!std::isfinite(ratio))
        return std::nullopt;
    return ratio;
}

// [SECTION] Soldiers

void drawDamageLine(Surface& surface, const Calibration& calibration, const CameraView& camera, ScreenPoint from,
                    const Record& source)
{
    const ScreenPoint to = camera.toFrame(worldToScreen(calibration, source.posX, source.posY));
    if (!isFinite(to) || !lineInSight(camera, from, to))
        return;
    // Only side 1 has its own colour here; every other side, the unknown one included, is red.
    Pen pen(source.side == 1 ? 0xFFFFFF00 : 0xFFFF0000, 1);
    surface.drawLine(pen, from.x + 3, from.y + 3, to.x + 3, to.y + 3);
}

void drawSoldier(Surface& surface, KeptText& texts, const Calibration& calibration, const SoldierRecord& soldier,
                 const UnitMarks& marks, bool barsShown, const UnitSight& sight)
{
    const std::optional<ScreenPoint> drawnAt = drawnSoldierPoint(soldier, calibration);
    if (!drawnAt)
        return;
    const bool labelled = marks.isHovered(soldier) || marks.isPinned(soldier);
    const std::optional<ScreenPoint> seen = inSight(sight.camera, *drawnAt, labelled || barsShown ? labelReach : 6);
    if (!seen) {
        // Out of sight, its damage line may still cross the map area.
        if (soldier.damageLink != nullptr)
            drawDamageLine(surface, calibration, sight.camera, sight.camera.toFrame(*drawnAt), *soldier.damageLink);
        return;
    }
    const ScreenPoint p = *seen;
    ARGB colour = sideColour(soldier.side);
    surface.fillEllipse(Brush::solid(colour), p.x, p.y, 6, 6);
    if (soldier.serial == sight.followed)
        drawFollowMarker(surface, {p.x + 3, p.y + 3});
    if (labelled) {
        GpPointF label{p.x + 6, p.y + 6};
        const Font& font = texts.font("Arial", 8);
        drawLabel(surface, texts, soldier.name, font, label, colour);
        drawStatusBar(surface, soldier, label.X, label.Y + 15);
    } else if (barsShown) {
        drawStatusBar(surface, soldier, p.x + 2, p.y + 13);
    }
    if (soldier.damageLink != nullptr)
        drawDamageLine(surface, calibration, sight.camera, p, *soldier.damageLink);
}

// [SECTION] Vehicles

// Draws the class's icon rotated about P on the icons' own surface, whose transform it sets; false when there is no
// picture to draw.
bool drawIcon(Surface& rotated, PictureCache& icons, const Calibration& calibration, const std::string& programFolder,
              const VehicleRecord& vehicle, ScreenPoint p)
{
    std::optional<std::string> path = iconPath(programFolder, vehicle.className);
    if (!path)
        return false;
    // Decoded and keyed once per version of the file and kept at the size it is drawn at, in device pixels; a changed
    // file shows at the next frame (or, decoded aside, once it is decoded: the square until then).
    const int drawnSide = static_cast<int>(std::lround(iconSide * rotated.scale()));
    std::shared_ptr<const Image> icon = icons.keyedBitmap(*path, opaqueWhite, drawnSide);
    if (!icon)
        return false;
    Matrix turn;
    turn.prependTranslation(p.x, p.y);
    turn.prependRotation(iconRotation(calibration, vehicle.direction));
    turn.prependTranslation(-p.x, -p.y);
    rotated.setTransform(turn);
    rotated.drawImage(*icon, p.x - iconSide / 2, p.y - iconSide / 2, iconSide, iconSide);
    return true;
}

// The vehicle label: the class name, " - " and the direction with three decimals.
std::string vehicleLabelText(const std::string& className, float direction)
{
    return className + " - " + fixedDecimals(direction, 3);
}

void drawVehicle(Surface& surface, Surface& rotated, DrawingCaches& caches, const World& world, const UnitMarks& marks,
                 const std::string& programFolder, const VehicleRecord& vehicle, const UnitSight& sight)
{
    // A vehicle still at the origin, height included, has never been placed.
    if (vehicle.posX == 0 && vehicle.posY == 0 && vehicle.posZ == 0)
        return;
    const ScreenPoint plane = worldToScreen(world.calibration, vehicle.posX, vehicle.posY);
    if (!isFinite(plane))
        return;
    const bool labelled = marks.isHovered(vehicle) || marks.isPinned(vehicle);
    const std::optional<ScreenPoint> seen = inSight(sight.camera, plane, labelled ? labelReach : symbolReach);
    if (!seen)
        return;
    const ScreenPoint p = *seen;
    ARGB colour = opaqueWhite;
    const bool icon = drawIcon(rotated, caches.icons, world.calibration, programFolder, vehicle, p);
    if (!icon) {
        colour = sideColour(vehicle.side);
        surface.fillRect(Brush::solid(colour), p.x, p.y, 7, 7);
    }
    if (vehicle.serial == sight.followed)
        drawFollowMarker(surface, icon ? p : ScreenPoint{p.x + 3.5f, p.y + 3.5f});
    if (!labelled)
        return;
    GpPointF line{p.x + 6, p.y + 6};
    const Font& font = caches.texts.font("Arial", 8);
    drawLabel(surface, caches.texts, vehicleLabelText(vehicle.className, vehicle.direction), font, line, colour);
    walk(vehicle.passengers, [&](const SoldierRecord& passenger) {
        line.Y += 10;
        drawLabel(surface, caches.texts, passenger.name, font, line, colour);
    });
    drawStatusBar(surface, vehicle, line.X, line.Y + 16);
}

}  // namespace

// A bar 4 pixels thick from x, 30 r pixels long; the red-to-green gradient always spans the full 30 pixels,
// so a short bar shows only its red end.
void drawStatusBar(Surface& surface, const Record& unit, float x, float y)
{
    std::optional<float> ratio = statusRatio(unit);
    if (!ratio)
        return;
    Brush gradient = Brush::gradient(GpPointF{x, 10}, GpPointF{x + barSpan, 10}, barRed, barGreen);
    Pen pen(gradient, 4);
    surface.drawLine(pen, x, y, x + barSpan * *ratio, y);
}

std::optional<ScreenPoint> drawnSoldierPoint(const SoldierRecord& soldier, const Calibration& calibration)
{
    const ScreenPoint p = worldToScreen(calibration, soldier.posX, soldier.posY);
    if (soldier.aboard || !isFinite(p))
        return std::nullopt;
    return p;
}

void drawSoldiers(Surface& surface, KeptText& texts, const World& world, const UnitMarks& marks, bool barsShown,
                  const UnitSight& sight)
{
    walk(world.soldierList, [&](const SoldierRecord& soldier) {
        drawSoldier(surface, texts, world.calibration, soldier, marks, barsShown, sight);
    });
}

void drawVehicles(Surface& surface, const FrameCanvas& canvas, const World& world, const UnitMarks& marks,
                  const std::string& programFolder, const UnitSight& sight)
{
    canvas.caches.icons.newFrame();
    // One surface for every icon: each sets its own transform, and the clip of each drawing goes with it.
    Surface rotated(canvas.dc, canvas.fit);
    walk(world.vehicleList, [&](const VehicleRecord& vehicle) {
        drawVehicle(surface, rotated, canvas.caches, world, marks, programFolder, vehicle, sight);
    });
}
