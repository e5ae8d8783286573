// The GDI+ flat API as Kelo calls it, declared once for Windows (gdiplus.dll) and Linux (libgdiplus).
// Wide text is 16-bit on both; device contexts are opaque pointers so no window-system header is needed.
#pragma once

#include <cstdint>

#ifdef _WIN32
#define KELO_GDIPAPI __stdcall
#else
#define KELO_GDIPAPI
#endif

using GpStatus = int;
using ARGB = std::uint32_t;
using REAL = float;
using GpChar = char16_t;
using GpDC = void*;  // HDC on Windows, libgdiplus' own context on Linux

struct GpGraphics;
struct GpImage;
struct GpBitmap;  // a GpImage
struct GpBrush;
struct GpSolidFill;  // a GpBrush
struct GpLineGradient;  // a GpBrush
struct GpPen;
struct GpFont;
struct GpFontFamily;
struct GpFontCollection;
struct GpMatrix;
struct GpStringFormat;

struct GpRectF {
    REAL X, Y, Width, Height;
};
struct GpPointF {
    REAL X, Y;
};
struct GpRect {
    int X, Y, Width, Height;
};
struct GpBitmapData {
    std::uint32_t Width, Height;
    std::int32_t Stride;
    std::int32_t PixelFormat;
    void* Scan0;
    std::uintptr_t Reserved;
#ifndef _WIN32
    // libgdiplus keeps bookkeeping of its own after the public fields (84 bytes in 6.1) and reads it on unlock.
    std::uint8_t libgdiplusPrivate[224];
#endif
};
struct GpGuid {
    std::uint32_t Data1;
    std::uint16_t Data2, Data3;
    std::uint8_t Data4[8];
};
struct GdiplusStartupInput {
    std::uint32_t GdiplusVersion;
    void* DebugEventCallback;
    int SuppressBackgroundThread;
    int SuppressExternalCodecs;
};

constexpr int gpOk = 0;
constexpr int gpInvalidParameter = 2;
constexpr int gpOutOfMemory = 3;
constexpr int gpUnitWorld = 0;
constexpr int gpUnitPixel = 2;
constexpr int gpUnitPoint = 3;
constexpr int gpFontStyleRegular = 0;
constexpr int gpWrapModeTile = 0;
constexpr int gpMatrixOrderPrepend = 0;
constexpr int gpMatrixOrderAppend = 1;
constexpr int gpCombineModeReplace = 0;
constexpr int gpImageTypeBitmap = 1;
constexpr int gpPixelFormat32bppRGB = 0x00022009;
constexpr int gpPixelFormat32bppARGB = 0x0026200A;
constexpr int gpPixelFormat32bppPARGB = 0x000E200B;
constexpr int gpPixelFormatIndexed = 0x00010000;
constexpr unsigned gpImageLockModeRead = 1;
constexpr unsigned gpImageLockModeWrite = 2;
constexpr GpGuid gpPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

extern "C" {
GpStatus KELO_GDIPAPI GdiplusStartup(std::uintptr_t* token, const GdiplusStartupInput* input, void* output);
void KELO_GDIPAPI GdiplusShutdown(std::uintptr_t token);

GpStatus KELO_GDIPAPI GdipCreateFromHDC(GpDC hdc, GpGraphics** graphics);
GpStatus KELO_GDIPAPI GdipDeleteGraphics(GpGraphics* graphics);
GpStatus KELO_GDIPAPI GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics);
GpStatus KELO_GDIPAPI GdipGetDC(GpGraphics* graphics, GpDC* hdc);
GpStatus KELO_GDIPAPI GdipReleaseDC(GpGraphics* graphics, GpDC hdc);
GpStatus KELO_GDIPAPI GdipSetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);
GpStatus KELO_GDIPAPI GdipScaleWorldTransform(GpGraphics* graphics, REAL sx, REAL sy, int order);
GpStatus KELO_GDIPAPI GdipTranslateWorldTransform(GpGraphics* graphics, REAL dx, REAL dy, int order);
GpStatus KELO_GDIPAPI GdipSetClipRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height, int combineMode);
GpStatus KELO_GDIPAPI GdipResetClip(GpGraphics* graphics);

GpStatus KELO_GDIPAPI GdipCreateFontFamilyFromName(const GpChar* name, GpFontCollection* collection,
                                                   GpFontFamily** family);
GpStatus KELO_GDIPAPI GdipGetGenericFontFamilySansSerif(GpFontFamily** family);
GpStatus KELO_GDIPAPI GdipDeleteFontFamily(GpFontFamily* family);
GpStatus KELO_GDIPAPI GdipCreateFont(const GpFontFamily* family, REAL emSize, int style, int unit, GpFont** font);
GpStatus KELO_GDIPAPI GdipDeleteFont(GpFont* font);
GpStatus KELO_GDIPAPI GdipMeasureString(GpGraphics* graphics, const GpChar* text, int length, const GpFont* font,
                                        const GpRectF* layout, const GpStringFormat* format, GpRectF* box,
                                        int* codepointsFitted, int* linesFilled);
GpStatus KELO_GDIPAPI GdipDrawString(GpGraphics* graphics, const GpChar* text, int length, const GpFont* font,
                                     const GpRectF* layout, const GpStringFormat* format, const GpBrush* brush);

GpStatus KELO_GDIPAPI GdipCreateSolidFill(ARGB colour, GpSolidFill** brush);
GpStatus KELO_GDIPAPI GdipSetSolidFillColor(GpSolidFill* brush, ARGB colour);
GpStatus KELO_GDIPAPI GdipGetSolidFillColor(GpSolidFill* brush, ARGB* colour);
GpStatus KELO_GDIPAPI GdipCreateLineBrush(const GpPointF* from, const GpPointF* to, ARGB colourFrom, ARGB colourTo,
                                          int wrapMode, GpLineGradient** brush);
GpStatus KELO_GDIPAPI GdipDeleteBrush(GpBrush* brush);
GpStatus KELO_GDIPAPI GdipCreatePen1(ARGB colour, REAL width, int unit, GpPen** pen);
GpStatus KELO_GDIPAPI GdipCreatePen2(GpBrush* brush, REAL width, int unit, GpPen** pen);
GpStatus KELO_GDIPAPI GdipSetPenColor(GpPen* pen, ARGB colour);
GpStatus KELO_GDIPAPI GdipDeletePen(GpPen* pen);

GpStatus KELO_GDIPAPI GdipFillRectangle(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height);
GpStatus KELO_GDIPAPI GdipFillRectangleI(GpGraphics* graphics, GpBrush* brush, int x, int y, int width, int height);
GpStatus KELO_GDIPAPI GdipFillEllipse(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height);
GpStatus KELO_GDIPAPI GdipDrawLine(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
GpStatus KELO_GDIPAPI GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, int x, int y, int width, int height);
GpStatus KELO_GDIPAPI GdipDrawImageRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL width, REAL height);
// A part of the picture (in its pixels with unit gpUnitPixel) into a rectangle; no attributes, no abort callback.
GpStatus KELO_GDIPAPI GdipDrawImageRectRect(GpGraphics* graphics, GpImage* image, REAL dstX, REAL dstY, REAL dstWidth,
                                            REAL dstHeight, REAL srcX, REAL srcY, REAL srcWidth, REAL srcHeight,
                                            int srcUnit, const void* attributes, void* abort, void* abortData);

GpStatus KELO_GDIPAPI GdipLoadImageFromFile(const GpChar* path, GpImage** image);
GpStatus KELO_GDIPAPI GdipCreateBitmapFromFile(const GpChar* path, GpBitmap** bitmap);
GpStatus KELO_GDIPAPI GdipCreateBitmapFromScan0(int width, int height, int stride, int format, std::uint8_t* scan0,
                                                GpBitmap** bitmap);
GpStatus KELO_GDIPAPI GdipDisposeImage(GpImage* image);
GpStatus KELO_GDIPAPI GdipGetImageType(GpImage* image, int* type);
GpStatus KELO_GDIPAPI GdipGetImageWidth(GpImage* image, unsigned* width);
GpStatus KELO_GDIPAPI GdipGetImageHeight(GpImage* image, unsigned* height);
GpStatus KELO_GDIPAPI GdipGetImagePixelFormat(GpImage* image, int* format);
GpStatus KELO_GDIPAPI GdipImageGetFrameDimensionsCount(GpImage* image, unsigned* count);
GpStatus KELO_GDIPAPI GdipImageGetFrameDimensionsList(GpImage* image, GpGuid* dimensions, unsigned count);
GpStatus KELO_GDIPAPI GdipImageGetFrameCount(GpImage* image, const GpGuid* dimension, unsigned* count);
// A palette is a ColorPalette record: flags, count, then count ARGB entries, all 32-bit.
GpStatus KELO_GDIPAPI GdipGetImagePaletteSize(GpImage* image, int* bytes);
GpStatus KELO_GDIPAPI GdipGetImagePalette(GpImage* image, std::uint32_t* palette, int bytes);
GpStatus KELO_GDIPAPI GdipSetImagePalette(GpImage* image, const std::uint32_t* palette);
GpStatus KELO_GDIPAPI GdipBitmapGetPixel(GpBitmap* bitmap, int x, int y, ARGB* colour);
GpStatus KELO_GDIPAPI GdipBitmapSetPixel(GpBitmap* bitmap, int x, int y, ARGB colour);
GpStatus KELO_GDIPAPI GdipBitmapLockBits(GpBitmap* bitmap, const GpRect* rect, unsigned flags, int format,
                                         GpBitmapData* data);
GpStatus KELO_GDIPAPI GdipBitmapUnlockBits(GpBitmap* bitmap, GpBitmapData* data);
GpStatus KELO_GDIPAPI GdipSaveImageToFile(GpImage* image, const GpChar* path, const GpGuid* encoder,
                                          const void* parameters);

GpStatus KELO_GDIPAPI GdipCreateMatrix2(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy, GpMatrix** matrix);
GpStatus KELO_GDIPAPI GdipTranslateMatrix(GpMatrix* matrix, REAL dx, REAL dy, int order);
GpStatus KELO_GDIPAPI GdipRotateMatrix(GpMatrix* matrix, REAL angle, int order);
GpStatus KELO_GDIPAPI GdipDeleteMatrix(GpMatrix* matrix);
}
