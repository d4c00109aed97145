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
 *   -1      file not found
 *   -3      file format cannot be read
 *   -4      file cannot be read (no permission / locked)
 *   -5      out of memory
 * (-2 is never returned.)
 *
 * Results are kept per thread: a thread's results live from the end of its
 * successful decode call until its next decode call or FreeAllocateMemory.
 * A thread gets its result store on its first decode call; the store is
 * freed when the thread ends. Each thread's results keep the rectangle origin
 * and resolution scales of the call that made them, so GetSymbolePosition is
 * right while other threads decode. Options (Set*) are process-wide and
 * unlocked.
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
 * Both are allocated with malloc, so any module of the process may also
 * release them with the functions below, which Lectavo.dll exports under
 * these plain names.
 */
#ifndef LECTAVO_H
#define LECTAVO_H

#include <stdint.h>

#if defined(_WIN32)
#define LECTAVO_API __declspec(dllimport)
#else
#define LECTAVO_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* OLE Automation types, laid out as on Windows (shared with the platform
 * layer's definitions through the guard). */
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

/* A corner point written by GetSymbolePosition. */
typedef struct LectavoPoint {
    int32_t x;
    int32_t y;
} LectavoPoint;

/* ---- Decoding ------------------------------------------------------------ */

LECTAVO_API int32_t DecodePictureFile(const char* path);
/* Searches only the rectangle spanned by the corners (x1, y1) and (x2, y2);
 * the larger coordinates are exclusive. Negative coordinates are clipped to
 * the picture. */
LECTAVO_API int32_t DecodePictureFileRect(const char* path, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
/* pixels: width * height bytes, 0 = black .. 255 = white, rows top down. */
LECTAVO_API int32_t DecodeGrayScaleArray(const unsigned char* pixels, int32_t width, int32_t height);
/* pixels: width * height bytes, non-zero = dark, rows top down. */
LECTAVO_API int32_t DecodeBinaryArray(const unsigned char* pixels, int32_t width, int32_t height);

/* ---- Results of the calling thread --------------------------------------- */

/* *data null: *data is set to the stored bytes (valid until the next decode
 * or FreeAllocateMemory). *data not null: length + 1 bytes (data and a final
 * 0) are copied to the buffer it points to. Returns the data length or -1. */
LECTAVO_API int32_t GetDecodeData(int32_t index, unsigned char** data);
LECTAVO_API BSTR GetDecodeDataString(int32_t index);
LECTAVO_API SAFEARRAY* GetDecodeDataByteArray(int32_t index);
LECTAVO_API int32_t GetDecodeVersion(int32_t index);   /* 1-40 */
LECTAVO_API int32_t GetDecodeLevel(int32_t index);     /* 0 = L, 1 = M, 2 = Q, 3 = H */
LECTAVO_API int32_t GetDecodeMaskingNo(int32_t index); /* 0-7 */
/* Returns the structured-append total (0 without one); writes the position
 * and the parity byte. */
LECTAVO_API int32_t GetConcatenationInfo(int32_t index, int32_t* position, unsigned char* parity);
/* Writes top-left, top-right, bottom-right, bottom-left in picture pixels. */
LECTAVO_API int32_t GetSymbolePosition(int32_t index, LectavoPoint* corners);

/* ---- Options (process-wide) ---------------------------------------------- */

LECTAVO_API void SetDecodeSymbolCount(int32_t count); /* < 0 -> 0, > 32 -> 32 */
LECTAVO_API void SetDecodeEffectLevel(int32_t level); /* outside 0-3 -> 3 */
LECTAVO_API void SetBrightnessBorder(int32_t level);  /* low byte; 0 = computed */
LECTAVO_API void SetMinimumModuleSize(int32_t size);  /* low byte; 0 -> 1 */

LECTAVO_API void FreeAllocateMemory(void);

/* ---- Releasing returned strings and arrays ------------------------------- */

LECTAVO_API void SysFreeString(BSTR text);
LECTAVO_API uint32_t SysStringByteLen(BSTR text);
/* The following return 0 on success, 0x80070057 (invalid argument) for a
 * null or malformed array or a bad dimension, 0x8000FFFF for unbalanced
 * Unaccess, 0x8002000D when destroying an array that is still accessed. */
LECTAVO_API int32_t SafeArrayAccessData(SAFEARRAY* array, void** data);
LECTAVO_API int32_t SafeArrayUnaccessData(SAFEARRAY* array);
LECTAVO_API int32_t SafeArrayGetLBound(SAFEARRAY* array, uint32_t dimension, int32_t* lower);
LECTAVO_API int32_t SafeArrayGetUBound(SAFEARRAY* array, uint32_t dimension, int32_t* upper);
LECTAVO_API int32_t SafeArrayDestroy(SAFEARRAY* array);

#ifdef __cplusplus
}
#endif

#endif /* LECTAVO_H */
