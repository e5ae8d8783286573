// The scoped drawing resources: each call's failing status is kept and never thrown; the first drawing surface
// that ends with a failed call is reported once. The generic sans-serif family is kept for the program's life.
#include "view/gdiplus_wrappers.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "seam/platform.h"
#include "view/picture_guard.h"
#include "world/text_decoding.h"

namespace {

GpStatus kept(GpStatus current, GpStatus latest)
{
    return latest != gpOk ? latest : current;
}

// libgdiplus decodes some malformed TIFF files into an image without a single frame, whose size and pixels it then
// reads through a null pointer: such an image is no picture.
bool hasAFrame(GpImage* image)
{
    unsigned dimensions = 0;
    unsigned frames = 0;
    if (GdipImageGetFrameDimensionsCount(image, &dimensions) != gpOk || dimensions == 0)
        return false;
    std::vector<GpGuid> ids(dimensions);
    return GdipImageGetFrameDimensionsList(image, ids.data(), dimensions) == gpOk
        && GdipImageGetFrameCount(image, ids.data(), &frames) == gpOk && frames > 0;
}

// libgdiplus turns palette indices into colours without looking at the palette's size, so an index beyond a short
// palette (which a GIF or BMP may hold, and a GIF's canvas outside its first image holds at random) reads past it.
// Padded to 256 entries of opaque black, the palette has a colour for every 8-bit index.
void padPalette(GpImage* image)
{
    constexpr std::uint32_t indices = 256;
    constexpr ARGB opaqueBlack = 0xFF000000;
    std::vector<std::uint32_t> palette(2 + indices, opaqueBlack);  // flags, count, entries
    int format = 0;
    int bytes = 0;
    if (GdipGetImagePixelFormat(image, &format) != gpOk || (format & gpPixelFormatIndexed) == 0
        || GdipGetImagePaletteSize(image, &bytes) != gpOk || bytes < 8
        || bytes > static_cast<int>(palette.size() * sizeof(std::uint32_t))
        || GdipGetImagePalette(image, palette.data(), bytes) != gpOk || palette[1] >= indices)
        return;
    palette[1] = indices;  // the entries past the palette's own are still opaque black
    GdipSetImagePalette(image, palette.data());
}

// What the decoder made of a file is made safe to read before anything reads it; an image of no frame is let go as
// the failure given.
void makeSafe(GpImage*& image, GpStatus& status, GpStatus failure)
{
    if (image == nullptr)
        return;
    if (!hasAFrame(image)) {
        GdipDisposeImage(image);
        image = nullptr;
        status = failure;
        return;
    }
    padPalette(image);
}

}  // namespace

std::u16string widen(std::string_view text)
{
    std::u16string wide(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        wide[i] = static_cast<unsigned char>(text[i]);
    return wide;
}

// [SECTION] Font

Font::Font(std::string_view family, float points)
{
    GpFontFamily* named = nullptr;
    status_ = GdipCreateFontFamilyFromName(widen(family).c_str(), nullptr, &named);
    if (named != nullptr) {
        status_ = kept(status_, GdipCreateFont(named, points, gpFontStyleRegular, gpUnitPoint, &font_));
        GdipDeleteFontFamily(named);
    }
    // The generic family is GDI+'s own, made once and never deleted.
    GpFontFamily* generic = nullptr;
    if (font_ == nullptr && GdipGetGenericFontFamilySansSerif(&generic) == gpOk && generic != nullptr)
        status_ = kept(status_, GdipCreateFont(generic, points, gpFontStyleRegular, gpUnitPoint, &font_));
}

Font::~Font()
{
    if (font_ != nullptr)
        GdipDeleteFont(font_);
}

// [SECTION] Brush

Brush Brush::solid(ARGB colour)
{
    Brush brush;
    GpSolidFill* fill = nullptr;
    brush.status_ = GdipCreateSolidFill(colour, &fill);
    brush.brush_ = reinterpret_cast<GpBrush*>(fill);
    brush.solidColour_ = colour;
    return brush;
}

Brush Brush::gradient(GpPointF from, GpPointF to, ARGB colourFrom, ARGB colourTo)
{
    Brush brush;
    GpLineGradient* line = nullptr;
    brush.status_ = GdipCreateLineBrush(&from, &to, colourFrom, colourTo, gpWrapModeTile, &line);
    brush.brush_ = reinterpret_cast<GpBrush*>(line);
    return brush;
}

Brush::Brush(Brush&& other) noexcept
    : brush_(std::exchange(other.brush_, nullptr)), status_(other.status_), solidColour_(other.solidColour_)
{
}

Brush::~Brush()
{
    if (brush_ != nullptr)
        GdipDeleteBrush(brush_);
}

void Brush::setColour(ARGB colour)
{
    status_ = kept(status_, GdipSetSolidFillColor(reinterpret_cast<GpSolidFill*>(brush_), colour));
    solidColour_ = colour;
}

// [SECTION] Pen

Pen::Pen(ARGB colour, float width)
{
    status_ = GdipCreatePen1(colour, width, gpUnitWorld, &pen_);
}

Pen::Pen(const Brush& brush, float width)
{
    status_ = GdipCreatePen2(brush.get(), width, gpUnitWorld, &pen_);
}

Pen::~Pen()
{
    if (pen_ != nullptr)
        GdipDeletePen(pen_);
}

// [SECTION] Matrix

Matrix::Matrix()
{
    status_ = GdipCreateMatrix2(1, 0, 0, 1, 0, 0, &matrix_);
}

Matrix::~Matrix()
{
    if (matrix_ != nullptr)
        GdipDeleteMatrix(matrix_);
}

void Matrix::prependTranslation(float dx, float dy)
{
    status_ = kept(status_, GdipTranslateMatrix(matrix_, dx, dy, gpMatrixOrderPrepend));
}

void Matrix::prependRotation(float degrees)
{
    status_ = kept(status_, GdipRotateMatrix(matrix_, degrees, gpMatrixOrderPrepend));
}

// [SECTION] Image

Image Image::load(const std::string& path)
{
    Image image;
    // A picture the size guard refuses fails with the status of an unreadable file.
    const std::optional<PictureHeader> header = decodableHeader(path);
    image.status_ = header ? GdipLoadImageFromFile(widen(path).c_str(), &image.image_) : gpOutOfMemory;
    makeSafe(image.image_, image.status_, gpOutOfMemory);
    image.coverFrom(header);
    return image;
}

Image Image::loadBitmap(const std::string& path)
{
    Image image;
    GpBitmap* bitmap = nullptr;
    const std::optional<PictureHeader> header = decodableHeader(path);
    image.status_ = header ? GdipCreateBitmapFromFile(widen(path).c_str(), &bitmap) : gpInvalidParameter;
    image.image_ = reinterpret_cast<GpImage*>(bitmap);
    makeSafe(image.image_, image.status_, gpInvalidParameter);
    image.coverFrom(header);
    return image;
}

void Image::coverFrom(const std::optional<PictureHeader>& header)
{
    if (image_ == nullptr || !header || header->format != PictureFormat::gif || !header->firstImage)
        return;
    // Sides of 16 bits at most: they fit.
    const PictureArea& first = *header->firstImage;
    covered_ = GpRect{static_cast<int>(first.left), static_cast<int>(first.top), static_cast<int>(first.width),
                      static_cast<int>(first.height)};
}

Image Image::blank(int width, int height, PixelForm form)
{
    Image image;
    GpBitmap* bitmap = nullptr;
    const int format = form == PixelForm::argb ? gpPixelFormat32bppARGB : gpPixelFormat32bppPARGB;
    image.status_ = GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, &bitmap);
    image.image_ = reinterpret_cast<GpImage*>(bitmap);
    return image;
}

Image::Image(Image&& other) noexcept
    : image_(std::exchange(other.image_, nullptr)), status_(other.status_), covered_(other.covered_)
{
}

Image& Image::operator=(Image&& other) noexcept
{
    if (this != &other) {
        if (image_ != nullptr)
            GdipDisposeImage(image_);
        image_ = std::exchange(other.image_, nullptr);
        status_ = other.status_;
        covered_ = other.covered_;
    }
    return *this;
}

Image::~Image()
{
    if (image_ != nullptr)
        GdipDisposeImage(image_);
}

void Image::keep(GpStatus status)
{
    status_ = kept(status_, status);
}

bool Image::isRasterBitmap()
{
    int type = 0;
    if (image_ == nullptr)
        return false;
    keep(GdipGetImageType(image_, &type));
    return type == gpImageTypeBitmap;
}

GpRect Image::size() const
{
    unsigned width = 0;
    unsigned height = 0;
    if (image_ == nullptr || GdipGetImageWidth(image_, &width) != gpOk || GdipGetImageHeight(image_, &height) != gpOk)
        return {0, 0, 0, 0};
    return {0, 0, static_cast<int>(width), static_cast<int>(height)};
}

void Image::dropPalette(ARGB uncovered)
{
    int format = 0;
    unsigned width = 0;
    unsigned height = 0;
    // The GIF decoders, the only ones that leave pixels to chance, give palette indices.
    if (!isRasterBitmap() || GdipGetImagePixelFormat(image_, &format) != gpOk || (format & gpPixelFormatIndexed) == 0
        || GdipGetImageWidth(image_, &width) != gpOk || GdipGetImageHeight(image_, &height) != gpOk)
        return;
    // The indices are read as colours through a lock and copied into a bitmap of colours of the same size, a band
    // of rows at a time so that the colours are never held twice over.
    auto* indexed = reinterpret_cast<GpBitmap*>(image_);
    GpBitmap* colours = nullptr;
    const int size[] = {static_cast<int>(width), static_cast<int>(height)};
    bool copied = GdipCreateBitmapFromScan0(size[0], size[1], 0, gpPixelFormat32bppPARGB, nullptr, &colours) == gpOk;
    const unsigned band = std::max(1u, (1u << 20) / width);
    // Outside the covered rectangle (all of the picture when none is known), every pixel is `uncovered`.
    const GpRect cover = covered_.value_or(GpRect{0, 0, size[0], size[1]});
    const int coverLeft = std::clamp(cover.X, 0, size[0]);
    const int coverRight = std::clamp(cover.X + cover.Width, coverLeft, size[0]);
    for (unsigned top = 0; copied && top < height; top += band) {
        const unsigned rows = std::min(band, height - top);
        const GpRect part{0, static_cast<int>(top), size[0], static_cast<int>(rows)};
        GpBitmapData from{};
        GpBitmapData to{};
        copied = GdipBitmapLockBits(indexed, &part, gpImageLockModeRead, gpPixelFormat32bppPARGB, &from) == gpOk;
        if (!copied)
            break;
        copied = GdipBitmapLockBits(colours, &part, gpImageLockModeWrite, gpPixelFormat32bppPARGB, &to) == gpOk;
        if (copied) {
            for (unsigned y = 0; y < rows; ++y) {
                auto* row =
                    reinterpret_cast<ARGB*>(static_cast<char*>(to.Scan0) + static_cast<std::ptrdiff_t>(y) * to.Stride);
                std::memcpy(row, static_cast<const char*>(from.Scan0) + static_cast<std::ptrdiff_t>(y) * from.Stride,
                            std::size_t{width} * 4);
                const int at = static_cast<int>(top + y);
                const bool coveredRow = at >= cover.Y && at - cover.Y < cover.Height;
                std::fill(row, row + (coveredRow ? coverLeft : size[0]), uncovered);
                if (coveredRow)
                    std::fill(row + coverRight, row + size[0], uncovered);
            }
            copied = GdipBitmapUnlockBits(colours, &to) == gpOk;
        }
        GdipBitmapUnlockBits(indexed, &from);
    }
    if (!copied) {
        if (colours != nullptr)
            GdipDisposeImage(reinterpret_cast<GpImage*>(colours));
        if (covered_) {
            GdipDisposeImage(image_);
            image_ = nullptr;
            keep(gpOutOfMemory);
        }
        return;
    }
    GdipDisposeImage(image_);
    image_ = reinterpret_cast<GpImage*>(colours);
    covered_.reset();
}

bool Image::pixel(int x, int y, ARGB& colour)
{
    GpStatus status = GdipBitmapGetPixel(reinterpret_cast<GpBitmap*>(image_), x, y, &colour);
    keep(status);
    return status == gpOk;
}

void Image::setPixel(int x, int y, ARGB colour)
{
    keep(GdipBitmapSetPixel(reinterpret_cast<GpBitmap*>(image_), x, y, colour));
}

// [SECTION] Surface

Surface::Surface(GpDC dc, const FrameFit& fit) : fit_(fit)
{
    status_ = GdipCreateFromHDC(dc, &graphics_);
    if (status_ == gpOk)
        applyFit();
}

Surface::Surface(Image& bitmap)
{
    status_ = bitmap.get() != nullptr ? GdipGetImageGraphicsContext(bitmap.get(), &graphics_) : gpInvalidParameter;
}

Surface::~Surface()
{
    // Once for the program's life: a drawing call that fails, fails again in every frame.
    static std::atomic<bool> reported = false;
    if (status_ != gpOk && !reported.exchange(true)) {
        reportProblem("kelo: a drawing call failed (GDI+ status " + std::to_string(status_) + ")");
    }
    if (graphics_ != nullptr)
        GdipDeleteGraphics(graphics_);
}

void Surface::keep(GpStatus status)
{
    status_ = kept(status_, status);
}

void Surface::fillRect(const Brush& brush, float x, float y, float width, float height)
{
    keep(GdipFillRectangle(graphics_, brush.get(), x, y, width, height));
}

void Surface::fillRectI(const Brush& brush, int x, int y, int width, int height)
{
    keep(GdipFillRectangleI(graphics_, brush.get(), x, y, width, height));
}

void Surface::fillEllipse(const Brush& brush, float x, float y, float width, float height)
{
    keep(GdipFillEllipse(graphics_, brush.get(), x, y, width, height));
}

void Surface::drawLine(const Pen& pen, float x1, float y1, float x2, float y2)
{
    keep(GdipDrawLine(graphics_, pen.get(), x1, y1, x2, y2));
}

// The picture stays inside its rectangle: libgdiplus' smoothing of an enlarged picture would reach half a source
// pixel beyond it.
void Surface::drawImage(const Image& image, int x, int y, int width, int height)
{
    if (image.get() == nullptr)
        return;
    keep(GdipSetClipRect(graphics_, static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(width),
                         static_cast<REAL>(height), gpCombineModeReplace));
    keep(GdipDrawImageRectI(graphics_, image.get(), x, y, width, height));
    keep(GdipResetClip(graphics_));
}

void Surface::drawImage(const Image& image, float x, float y, float width, float height)
{
    if (image.get() == nullptr)
        return;
    keep(GdipSetClipRect(graphics_, x, y, width, height, gpCombineModeReplace));
    keep(GdipDrawImageRect(graphics_, image.get(), x, y, width, height));
    keep(GdipResetClip(graphics_));
}

void Surface::drawImagePart(const Image& image, GpRectF target, GpRectF source)
{
    if (image.get() == nullptr)
        return;
    keep(GdipSetClipRect(graphics_, target.X, target.Y, target.Width, target.Height, gpCombineModeReplace));
    keep(GdipDrawImageRectRect(graphics_, image.get(), target.X, target.Y, target.Width, target.Height, source.X,
                               source.Y, source.Width, source.Height, gpUnitPixel, nullptr, nullptr, nullptr));
    keep(GdipResetClip(graphics_));
}

GpRectF Surface::measure(std::string_view text, const Font& font, GpRectF layout)
{
    GpRectF box{0, 0, 0, 0};
    std::u16string wide = decodeText(text);
    GpStatus status = GdipMeasureString(graphics_, wide.c_str(), static_cast<int>(wide.size()), font.get(), &layout,
                                        nullptr, &box, nullptr, nullptr);
    keep(status);
    return status == gpOk ? box : GpRectF{0, 0, 0, 0};
}

void Surface::drawText(std::string_view text, const Font& font, float x, float y, const Brush& brush)
{
    GpRectF origin{x, y, 0, 0};
    std::u16string wide = decodeText(text);
    keep(GdipDrawString(graphics_, wide.c_str(), static_cast<int>(wide.size()), font.get(), &origin, nullptr,
                        brush.get()));
}

void Surface::setTransform(const Matrix& matrix)
{
    keep(GdipSetWorldTransform(graphics_, matrix.get()));
    applyFit();
}

// Scaled, then moved: appended, so that it comes after whatever the world transform already does.
void Surface::applyFit()
{
    if (fit_.identity())
        return;
    keep(GdipScaleWorldTransform(graphics_, fit_.scale, fit_.scale, gpMatrixOrderAppend));
    keep(GdipTranslateWorldTransform(graphics_, static_cast<REAL>(fit_.left), static_cast<REAL>(fit_.top),
                                     gpMatrixOrderAppend));
}
