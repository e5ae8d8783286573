// Scoped wrappers of the drawing resources (surface, font, brush, pen, image, matrix) over the GDI+ flat API.
// Each releases its resource on every path and keeps its last non-zero status; a text drawn or measured is read by
// world/text_decoding.h (UTF-8 or Latin-1), a font family or a path widened byte by byte.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "seam/gdiplus_flat.h"
#include "view/frame_fit.h"
#include "view/picture_header.h"

// Each byte becomes the 16-bit code unit of the same value; never fails, whatever the bytes.
std::u16string widen(std::string_view text);

class Font {
public:
    // A regular font of the family at the size in points; the generic sans-serif family when the family fails.
    Font(std::string_view family, float points);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    GpFont* get() const { return font_; }
    GpStatus status() const { return status_; }

private:
    GpFont* font_ = nullptr;
    GpStatus status_ = gpOk;
};

class Brush {
public:
    static Brush solid(ARGB colour);
    // A linear gradient from `from` to `to`, tiled beyond the two points.
    static Brush gradient(GpPointF from, GpPointF to, ARGB colourFrom, ARGB colourTo);
    ~Brush();
    Brush(Brush&& other) noexcept;
    Brush& operator=(Brush&&) = delete;
    void setColour(ARGB colour);
    // The colour of a solid brush; none for a gradient.
    std::optional<ARGB> solidColour() const { return solidColour_; }
    GpBrush* get() const { return brush_; }
    GpStatus status() const { return status_; }

private:
    Brush() = default;
    GpBrush* brush_ = nullptr;
    GpStatus status_ = gpOk;
    std::optional<ARGB> solidColour_;
};

class Pen {
public:
    Pen(ARGB colour, float width);
    Pen(const Brush& brush, float width);
    ~Pen();
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;
    GpPen* get() const { return pen_; }
    GpStatus status() const { return status_; }

private:
    GpPen* pen_ = nullptr;
    GpStatus status_ = gpOk;
};

class Matrix {
public:
    Matrix();  // the identity
    ~Matrix();
    Matrix(const Matrix&) = delete;
    Matrix& operator=(const Matrix&) = delete;
    void prependTranslation(float dx, float dy);
    void prependRotation(float degrees);  // clockwise on screen
    GpMatrix* get() const { return matrix_; }
    GpStatus status() const { return status_; }

private:
    GpMatrix* matrix_ = nullptr;
    GpStatus status_ = gpOk;
};

// How a bitmap holds its pixels, or a lock hands them over: as 32-bit ARGB, or premultiplied by their alpha as
// drawing holds them.
enum class PixelForm { argb, premultiplied };

class Image {
public:
    // A picture for drawing (the map); the object exists without an image when the file cannot be read or the
    // size guard of view/picture_guard.h refuses it.
    static Image load(const std::string& path);
    // A bitmap whose pixels can be read and written (vehicle icons); guarded and failing as load does.
    static Image loadBitmap(const std::string& path);
    // A clear 32-bit bitmap of the size, to draw or write into.
    static Image blank(int width, int height, PixelForm form = PixelForm::argb);
    ~Image();
    Image(Image&& other) noexcept;
    Image& operator=(Image&& other) noexcept;
    bool isRasterBitmap();
    // A bitmap of palette indices becomes a bitmap of the same colours, premultiplied as drawing wants them, once:
    // libgdiplus converts every pixel of an indexed bitmap at every draw (a second a frame for a map of 8,192 x
    // 8,192 indices). The pixels that the file gives no colour for (a GIF's canvas outside its first image, which the
    // decoder leaves as it found the memory) become `uncovered`. Any other image, or one that cannot be converted,
    // stays as it is, but for one with such pixels, which is let go: no picture rather than a different one each run.
    void dropPalette(ARGB uncovered);
    bool pixel(int x, int y, ARGB& colour);
    // The picture's size in pixels; 0 x 0 without one.
    GpRect size() const;
    void setPixel(int x, int y, ARGB colour);
    GpImage* get() const { return image_; }
    GpStatus status() const { return status_; }

private:
    Image() = default;
    void keep(GpStatus status);
    void coverFrom(const std::optional<PictureHeader>& header);
    GpImage* image_ = nullptr;
    GpStatus status_ = gpOk;
    std::optional<GpRect> covered_;  // where the file gives the colours, when it leaves other pixels to chance
};

class Surface {
public:
    // A drawing surface on a device context that draws frame pixels where the fit places the frame (the default fit:
    // pixel for pixel); several may share one context.
    explicit Surface(GpDC dc, const FrameFit& fit = FrameFit{});
    explicit Surface(Image& bitmap);  // a drawing surface on a bitmap's pixels
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    void fillRect(const Brush& brush, float x, float y, float width, float height);
    void fillRectI(const Brush& brush, int x, int y, int width, int height);
    void fillEllipse(const Brush& brush, float x, float y, float width, float height);
    void drawLine(const Pen& pen, float x1, float y1, float x2, float y2);
    void drawImage(const Image& image, int x, int y, int width, int height);
    void drawImage(const Image& image, float x, float y, float width, float height);
    // The part `source` of the picture (its pixels) drawn into `target`, and nothing beyond `target`.
    void drawImagePart(const Image& image, GpRectF target, GpRectF source);
    // The bounding box of the text laid out in `layout`, default format; zero on failure. Texts are read by
    // decodeText (world/text_decoding.h).
    GpRectF measure(std::string_view text, const Font& font, GpRectF layout);
    // The text with its top-left corner at (x, y): no wrapping, no clipping.
    void drawText(std::string_view text, const Font& font, float x, float y, const Brush& brush);
    // The matrix takes frame pixels where they go; the frame's placement is applied after it.
    void setTransform(const Matrix& matrix);
    // Whether a frame pixel covers other than one device pixel here: a picture laid 1:1 would be resampled.
    bool scaled() const { return fit_.scale != 1; }
    // Device pixels a frame pixel covers, across.
    float scale() const { return fit_.scale; }
    GpGraphics* get() const { return graphics_; }
    GpStatus status() const { return status_; }

private:
    void keep(GpStatus status);
    void applyFit();
    GpGraphics* graphics_ = nullptr;
    GpStatus status_ = gpOk;
    FrameFit fit_;  // a bitmap's own surface is never placed
};
