/*
 * Lectavo.dll: finds and decodes QR Code symbols in picture files, parts of
 * picture files, 8-bit grey arrays and binarised arrays.
 *
 * Usable from C and C++. Every export has a plain, undecorated name; every
 * integer is 32 bits. Paths are zero-terminated byte strings (any length).
 *
 * Return codes of the four Decode* functions:
 *    n > 0  n symbols decoded and stored for the calling thread
 *    0      no symbol found (also: rectangle outside the picture, or the
 *           picture or rectangle smaller than 21 x 21 pixels)
 *   -1      file not found (also: the path names a folder)
 *   -3      file format cannot be read (also: a pipe, a device or anything
 *           else that is not a regular file, answered at once)
 *   -4      file cannot be read (no permission / locked)
 *   -5      out of memory
 * (-2 is never returned.)
 *
 * Picture files are BMP, JPEG, PNG, GIF (the first image), TIFF (the first
 * page), WebP (the first frame) and PBM/PGM/PPM, told apart by their content
 * whatever their name. A file whose header announces a size it cannot hold
 * gives -3 before anything is allocated for its pixels: a width or height
 * of 0 or less, a side beyond 65535 or more than 2^28 pixels, an
 * uncompressed picture (BMP, PNM, TIFF) longer than its file, or a
 * compressed one larger than its file at the format's greatest expansion:
 * 1032 bytes of rows a byte for PNG (deflate), 2731 pixels a byte for GIF
 * (LZW), 512 pixels a byte for JPEG, 128 pixels a byte for RLE BMP, 16384
 * pixels a byte for WebP. Decoding such a picture could only read damaged
 * or missing data. -5 remains for memory that runs out, and for pixels so
 * unequal (the file's two resolutions) that stretching them square would
 * pass those limits.
 *
 * Memory: one decode call takes at its peak no more than 64 MiB + 5 bytes
 * for each pixel its file really holds, and for a progressive JPEG also the
 * coefficients libjpeg keeps until the last scan, 2 bytes for every sample
 * of every component (6 bytes a pixel for full-resolution colour, 3 for the
 * usual half-resolution chroma; libjpeg is allowed at most 8 bytes a pixel
 * + 16 MiB). A file refused as above takes less than 1 MiB whatever its
 * header announces. Measured (bench/decode_memory.sh, peak resident memory
 * above that before the call): about 4.3 bytes a pixel for grey BMP and
 * baseline JPEG, 5.0 for colour PNG and GIF (the general loader's colour
 * pixels beside the grey ones), 2.3 for a 1-bit BMP (578 MiB for
 * 16384 x 16384), 7.0 for a progressive JPEG in full-resolution colour
 * (10.8 when such a file under another extension goes through the general
 * loader). Between calls a thread keeps the memory of its binary planes, up
 * to 64 MiB, for the next call (freed when the thread ends).
 *
 * Results are kept per thread: a thread's results live from the end of its
 * successful decode call until its next decode call or FreeAllocateMemory.
 * A thread gets its result store on its first decode call; the store is
 * freed when the thread ends. Each thread's results keep the rectangle origin
 * and resolution scales of the call that made them, so GetSymbolePosition is
 * right while other threads decode. Options (Set*) are process-wide and
 * unlocked.
 *
 * Second stage for photos: each decode call first searches the picture's
 * binary planes. When that ends with fewer symbols than wanted (the symbol
 * count, at least one) and the effect level is 3 (the default), a second
 * stage built for photos and camera frames reads the same grey picture (a
 * binary array as black on white): perspective (down to a symbol seen
 * steeply from the side), a bent sheet or cloth, uneven light and deep
 * shadow, blur, light-on-dark and mirrored symbols, modules down to 2
 * pixels. Its symbols follow those of the first search in the results, a
 * symbol already found is not reported again, and symbols with ECI
 * designators or FNC1 are read there (data bytes as they stand without the
 * designators; FNC1 as GS, 0x1D). The brightness border and minimum module
 * size apply to the first search only.
 * Effect levels 0-2 never run the second stage.
 *
 * Getters take a result index 0 .. count-1; for any other index (or when the
 * thread holds no results) the integer getters return -1 and write nothing,
 * the string and array getters return a null pointer.
 *
 * Returned data:
 *   - GetDecodeDataString returns a byte-length string (BSTR): a 32-bit byte
 *     count stored just before the returned pointer, then the data bytes
 *     unconverted, then two zero bytes. Read its bytes as
 *     (const unsigned char*)bstr with SysStringByteLen(bstr) as length.
 *     Free it with SysFreeString.
 *   - GetDecodeDataByteArray returns a one-dimensional SAFEARRAY of unsigned
 *     bytes (VT_UI1), lower bound 0, one element per data byte. Read it with
 *     SafeArrayAccessData / SafeArrayUnaccessData and SafeArrayGetUBound;
 *     free it with SafeArrayDestroy.
 * On Windows they come from the system (oleaut32) and are released with its
 * functions. Elsewhere both are allocated with malloc, so any module of the
 * process may release them with the functions below, which the library
 * exports under these plain names.
 */
#ifndef LECTAVO_H
#define LECTAVO_H

#include <stdint.h>

/*
 * LECTAVO_API marks the exported functions: imported from Lectavo.dll by
 * Windows callers (exported while the library itself is built), default
 * visibility elsewhere. LECTAVO_CALL is their calling convention: __stdcall
 * on Windows, as in the system libraries (the exports keep their plain,
 * undecorated names on 32-bit Windows too), the platform's only one
 * elsewhere.
 */
#if defined(_WIN32)
#include <windows.h>
#include <oleauto.h>
#if defined(LECTAVO_BUILDING_LIBRARY)
#define LECTAVO_API __declspec(dllexport)
#else
#define LECTAVO_API __declspec(dllimport)
#endif
#define LECTAVO_CALL __stdcall
#else
#define LECTAVO_API __attribute__((visibility("default")))
#define LECTAVO_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

#if !defined(_WIN32)
/* OLE Automation types, laid out as on Windows (where <oleauto.h> declares
 * them); shared with the platform layer's definitions through the guard. */
#ifndef QR_OLE_TYPES_DEFINED
#define QR_OLE_TYPES_DEFINED
typedef uint16_t OLECHAR;
typedef OLECHAR* BSTR;

typedef struct tagSAFEARRAYBOUND {
    uint32_t cElements;
    int32_t lLbound;
} SAFEARRAYBOUND;

typedef struct tagSAFEARRAY {
    uint16_t cDims;
    uint16_t fFeatures;
    uint32_t cbElements;
    uint32_t cLocks;
    void* pvData;
    SAFEARRAYBOUND rgsabound[1];
} SAFEARRAY;

enum { VT_UI1 = 17 };
#endif
#endif

/* A corner point written by GetSymbolePosition. */
typedef struct LectavoPoint {
    int32_t x;
    int32_t y;
} LectavoPoint;

/* ---- Decoding ------------------------------------------------------------ */

LECTAVO_API int32_t LECTAVO_CALL DecodePictureFile(const char* path);
/* Searches only the rectangle spanned by the corners (x1, y1) and (x2, y2);
 * the larger coordinates are exclusive. Negative coordinates are clipped to
 * the picture. */
LECTAVO_API int32_t LECTAVO_CALL DecodePictureFileRect(const char* path, int32_t x1, int32_t y1, int32_t x2,
                                                       int32_t y2);
/* pixels: width * height bytes, 0 = black .. 255 = white, rows top down. */
LECTAVO_API int32_t LECTAVO_CALL DecodeGrayScaleArray(const unsigned char* pixels, int32_t width, int32_t height);
/* pixels: width * height bytes, non-zero = dark, rows top down. */
LECTAVO_API int32_t LECTAVO_CALL DecodeBinaryArray(const unsigned char* pixels, int32_t width, int32_t height);

/* ---- Results of the calling thread --------------------------------------- */

/* *data null: *data is set to the stored bytes (valid until the next decode
 * or FreeAllocateMemory). *data not null: length + 1 bytes (data and a final
 * 0) are copied to the buffer it points to. Returns the data length or -1. */
LECTAVO_API int32_t LECTAVO_CALL GetDecodeData(int32_t index, unsigned char** data);
LECTAVO_API BSTR LECTAVO_CALL GetDecodeDataString(int32_t index);
LECTAVO_API SAFEARRAY* LECTAVO_CALL GetDecodeDataByteArray(int32_t index);
LECTAVO_API int32_t LECTAVO_CALL GetDecodeVersion(int32_t index);   /* 1-40 */
LECTAVO_API int32_t LECTAVO_CALL GetDecodeLevel(int32_t index);     /* 0 = L, 1 = M, 2 = Q, 3 = H */
LECTAVO_API int32_t LECTAVO_CALL GetDecodeMaskingNo(int32_t index); /* 0-7 */
/* Returns the structured-append total (0 without one); writes the position
 * and the parity byte. */
LECTAVO_API int32_t LECTAVO_CALL GetConcatenationInfo(int32_t index, int32_t* position, unsigned char* parity);
/* Writes top-left, top-right, bottom-right, bottom-left in picture pixels. */
LECTAVO_API int32_t LECTAVO_CALL GetSymbolePosition(int32_t index, LectavoPoint* corners);

/* ---- Options (process-wide) ---------------------------------------------- */

LECTAVO_API void LECTAVO_CALL SetDecodeSymbolCount(int32_t count); /* < 0 -> 0, > 32 -> 32 */
LECTAVO_API void LECTAVO_CALL SetDecodeEffectLevel(int32_t level); /* outside 0-3 -> 3 */
LECTAVO_API void LECTAVO_CALL SetBrightnessBorder(int32_t level);  /* low byte; 0 = computed */
LECTAVO_API void LECTAVO_CALL SetMinimumModuleSize(int32_t size);  /* low byte; 0 -> 1 */

LECTAVO_API void LECTAVO_CALL FreeAllocateMemory(void);

/* ---- Releasing returned strings and arrays ------------------------------- */

#if !defined(_WIN32)
/* On Windows these are the system's own (oleaut32). */

LECTAVO_API void LECTAVO_CALL SysFreeString(BSTR text);
LECTAVO_API uint32_t LECTAVO_CALL SysStringByteLen(BSTR text);
/* The following return 0 on success, 0x80070057 (invalid argument) for a
 * null or malformed array or a bad dimension, 0x8000FFFF for unbalanced
 * Unaccess, 0x8002000D when destroying an array that is still accessed. */
LECTAVO_API int32_t LECTAVO_CALL SafeArrayAccessData(SAFEARRAY* array, void** data);
LECTAVO_API int32_t LECTAVO_CALL SafeArrayUnaccessData(SAFEARRAY* array);
LECTAVO_API int32_t LECTAVO_CALL SafeArrayGetLBound(SAFEARRAY* array, uint32_t dimension, int32_t* lower);
LECTAVO_API int32_t LECTAVO_CALL SafeArrayGetUBound(SAFEARRAY* array, uint32_t dimension, int32_t* upper);
LECTAVO_API int32_t LECTAVO_CALL SafeArrayDestroy(SAFEARRAY* array);
#endif

#ifdef __cplusplus
}
#endif

#endif /* LECTAVO_H */
