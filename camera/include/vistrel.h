/* Vistrel.dll: the camera-capture library.
 *
 * Lists the video sources (the machine's cameras, plus a replay source of
 * picture files when VISTREL_REPLAY_DIR names a folder), shows the live
 * picture of the chosen source in a Qt widget, and writes the current frame
 * as a 24-bit BMP file. All calls are made from the thread that runs the
 * Qt application; the library keeps one chosen source and at most one
 * running source at a time. */
#ifndef VISTREL_H
#define VISTREL_H

/* VISTREL_API marks the exported functions and VISTREL_CALL gives their
 * calling convention, as for the two QR libraries: dllimport/dllexport and
 * __stdcall on Windows, default visibility elsewhere. */
#if defined(_WIN32)
#if defined(VISTREL_BUILDING_LIBRARY)
#define VISTREL_API __declspec(dllexport)
#else
#define VISTREL_API __declspec(dllimport)
#endif
#define VISTREL_CALL __stdcall
#else
#define VISTREL_API __attribute__((visibility("default")))
#define VISTREL_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The names of the video sources, separated by "\r\n", zero-terminated.
 * The text belongs to the library and stays valid until the library is
 * unloaded; the caller never frees it. Never returns a null pointer. */
VISTREL_API const char* VISTREL_CALL GetCameraList(void);

/* Chooses the source, by its position in the list, that StartCamera starts.
 * An index outside the list is accepted; StartCamera then starts nothing. */
VISTREL_API void VISTREL_CALL SetCameraID(int index);

/* Starts the chosen source and shows its live picture in `window`, a
 * QWidget* (a QLabel shows the picture itself; another widget gets a child
 * label that fills it). A source already running is stopped first. A null
 * or unknown window starts the source without a preview. */
VISTREL_API void VISTREL_CALL StartCamera(void* window);

/* Writes the running source's current frame to `path` as a 24-bit BMP file
 * before returning (the file is replaced as a whole). Nothing is written
 * when no source runs, no frame has arrived yet, or `path` is null. The
 * replay source moves on to its next picture after each call. `window` is
 * not needed and may be null. */
VISTREL_API void VISTREL_CALL SaveBmp(void* window, const char* path);

/* Stops and releases the running source when `index` is its position in
 * the list; any other index does nothing. */
VISTREL_API void VISTREL_CALL CloseCamera(int index);

#ifdef __cplusplus
}
#endif

#endif /* VISTREL_H */
