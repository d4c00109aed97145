/*
 * Mosaire encoder library: makes one QR Code symbol from a message and the
 * settings, and draws it on a device context, writes it as a BMP or WMF file,
 * puts it on the clipboard or hands back its module grid.
 *
 * Usable from C and C++. Every function works on one process-wide settings
 * record; calls must not overlap (no locking is done).
 *
 * Truth results are 16-bit: -1 (all bits set) for success, 0 for failure.
 * Colours are passed as separate red, green, blue components (0-255).
 */
#ifndef MOSAIRE_H
#define MOSAIRE_H

#include <stdint.h>

#if defined(_WIN32)
#define MOSAIRE_API __declspec(dllexport)
#else
#define MOSAIRE_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Mapping mode in which one logical unit is one device pixel, y downwards. */
#define QR_MM_TEXT 1

/*
 * A device context supplied by the caller: a small table of callbacks, each
 * receiving the context itself as its first argument (use `user` or embed the
 * struct at the start of your own to reach your state). A null callback is
 * treated as "does nothing" (resolutions then read as 0).
 *
 * Coordinates are device pixels, x to the right and y downwards.
 */
typedef struct QRDeviceContext QRDeviceContext;
struct QRDeviceContext {
    void* user;
    /* Horizontal and vertical resolution in dots per inch. */
    int32_t (*resolutionX)(QRDeviceContext* dc);
    int32_t (*resolutionY)(QRDeviceContext* dc);
    /* Current mapping mode; setMapMode returns the previous one. */
    int32_t (*getMapMode)(QRDeviceContext* dc);
    int32_t (*setMapMode)(QRDeviceContext* dc, int32_t mode);
    /* Solid fill of the pixels left <= x < right, top <= y < bottom with the
       colour 0x00BBGGRR. */
    void (*fillRect)(QRDeviceContext* dc, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t color);
    /* One-pixel line with the context's current pen from (x0, y0) to (x1, y1),
       the end point itself not drawn (move-to / line-to semantics). */
    void (*line)(QRDeviceContext* dc, int32_t x0, int32_t y0, int32_t x1, int32_t y1);
};

/* Settings. Setters never fail; out-of-range values are replaced silently. */
MOSAIRE_API void QRSetMessage(const char* text);
MOSAIRE_API void QRSetSize(int32_t width, int32_t height);
MOSAIRE_API void QRConfigure(int32_t version, int32_t ecLevel, int32_t mask);
MOSAIRE_API void QRAppearance(double moduleWidthCm, int32_t orientation, int32_t frameStyle);
MOSAIRE_API void QRSetBackColor(int32_t red, int32_t green, int32_t blue);
MOSAIRE_API void QRSetBarColor(int32_t red, int32_t green, int32_t blue);
MOSAIRE_API void QRSetDefault(void);

/* Drawing and size queries. x and y are read as unsigned 16-bit values. */
MOSAIRE_API void QRRender(QRDeviceContext* dc, int32_t x, int32_t y);
MOSAIRE_API void QRGetActualSize(int32_t useScreen, QRDeviceContext* dc, int32_t* width, int32_t* height);
MOSAIRE_API void QRGetActualRC(int16_t* rows, int16_t* cols);

/* Outputs. The file outputs return -1 when the file is written and 0 when
   not; an existing file is replaced only by a complete new one (a failure
   leaves it as it was) and keeps its permissions; a symbolic link is followed
   and its target replaced; a device or pipe is written in place. */
MOSAIRE_API int16_t QRSaveAsBMP(const char* path);
MOSAIRE_API int16_t QRSaveAsWMF(const char* path);
MOSAIRE_API int16_t QRCopyToClipboard(void);
/* Two calls: first with *size = 0 to learn n (result 0, *size = n * n,
   *rows = *cols = n), then with a buffer of n * n bytes (result -1, the
   buffer holds '0'/'1' characters, no terminator). A message that cannot be
   encoded gives -1 with *size = 0. */
MOSAIRE_API int16_t QRGetPatternData(unsigned char* buffer, uint32_t* size, int16_t* rows, int16_t* cols);

#ifdef __cplusplus
}
#endif

#endif /* MOSAIRE_H */
