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

/*
 * MOSAIRE_API marks the exported functions: imported from Mosaire.dll by
 * Windows callers (exported while the library itself is built), default
 * visibility elsewhere. MOSAIRE_CALL is their calling convention: __stdcall
 * on Windows, as in the system libraries (the exports keep their plain,
 * undecorated names on 32-bit Windows too), the platform's only one
 * elsewhere.
 */
#if defined(_WIN32)
#include <windows.h>
#if defined(MOSAIRE_BUILDING_LIBRARY)
#define MOSAIRE_API __declspec(dllexport)
#else
#define MOSAIRE_API __declspec(dllimport)
#endif
#define MOSAIRE_CALL __stdcall
#else
#define MOSAIRE_API __attribute__((visibility("default")))
#define MOSAIRE_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Mapping mode in which one logical unit is one device pixel, y downwards. */
#define QR_MM_TEXT 1

#if defined(_WIN32)
/* On Windows the encoder draws on a GDI device context: a window's, a
 * printer's, a memory or a metafile context. */
typedef HDC QRDC;
#else
/*
 * Elsewhere a device context is supplied by the caller as a small table of
 * callbacks, each receiving the context itself as its first argument (use
 * `user` or embed the struct at the start of your own to reach your state).
 * A null callback is treated as "does nothing" (resolutions then read as 0).
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
typedef QRDeviceContext* QRDC;
#endif

/* Settings. Setters never fail; out-of-range values are replaced silently. */
MOSAIRE_API void MOSAIRE_CALL QRSetMessage(const char* text);
MOSAIRE_API void MOSAIRE_CALL QRSetSize(int32_t width, int32_t height);
MOSAIRE_API void MOSAIRE_CALL QRConfigure(int32_t version, int32_t ecLevel, int32_t mask);
MOSAIRE_API void MOSAIRE_CALL QRAppearance(double moduleWidthCm, int32_t orientation, int32_t frameStyle);
MOSAIRE_API void MOSAIRE_CALL QRSetBackColor(int32_t red, int32_t green, int32_t blue);
MOSAIRE_API void MOSAIRE_CALL QRSetBarColor(int32_t red, int32_t green, int32_t blue);
MOSAIRE_API void MOSAIRE_CALL QRSetDefault(void);

/* Drawing and size queries. x and y are read as unsigned 16-bit values. */
MOSAIRE_API void MOSAIRE_CALL QRRender(QRDC dc, int32_t x, int32_t y);
MOSAIRE_API void MOSAIRE_CALL QRGetActualSize(int32_t useScreen, QRDC dc, int32_t* width, int32_t* height);
MOSAIRE_API void MOSAIRE_CALL QRGetActualRC(int16_t* rows, int16_t* cols);

/* Outputs. The file outputs return -1 when the file is written and 0 when
   not; an existing file is replaced only by a complete new one (a failure
   leaves it as it was) and keeps its permissions; a symbolic link is followed
   where the system follows it for the caller and its target replaced; a file
   the caller may not write is never replaced; a device or pipe is written in
   place. */
MOSAIRE_API int16_t MOSAIRE_CALL QRSaveAsBMP(const char* path);
MOSAIRE_API int16_t MOSAIRE_CALL QRSaveAsWMF(const char* path);
MOSAIRE_API int16_t MOSAIRE_CALL QRCopyToClipboard(void);
/* Two calls: first with *size = 0 to learn n (result 0, *size = n * n,
   *rows = *cols = n), then with a buffer of n * n bytes (result -1, the
   buffer holds '0'/'1' characters, no terminator). A message that cannot be
   encoded gives -1 with *size = 0. */
MOSAIRE_API int16_t MOSAIRE_CALL QRGetPatternData(unsigned char* buffer, uint32_t* size, int16_t* rows, int16_t* cols);

#ifdef __cplusplus
}
#endif

#endif /* MOSAIRE_H */
