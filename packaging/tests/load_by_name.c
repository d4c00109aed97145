/* A Windows program that binds both libraries the way the window programs
 * do: by file name at run time (LoadLibraryA + GetProcAddress), the decoder
 * by its name without extension. It encodes, saves, decodes on two threads,
 * and frees the OLE string with the system's SysFreeString. Prints "ok" and
 * exits with 0 when everything matches. */
#include <windows.h>
#include <oleauto.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>

typedef void(WINAPI* SetTextFn)(const char*);
typedef void(WINAPI* SetThreeFn)(int32_t, int32_t, int32_t);
typedef void(WINAPI* SetTwoFn)(int32_t, int32_t);
typedef void(WINAPI* AppearanceFn)(double, int32_t, int32_t);
typedef int16_t(WINAPI* SaveFn)(const char*);
typedef int32_t(WINAPI* DecodeFileFn)(const char*);
typedef BSTR(WINAPI* DataStringFn)(int32_t);
typedef int32_t(WINAPI* GetterFn)(int32_t);
typedef void(WINAPI* FreeFn)(void);

/* 二维码 in code page 936. */
static const char kMessage[] = "Loaded by name \xB6\xFE\xCE\xAC\xC2\xEB";

/* Any function pointer type converts to and from this one without a warning. */
typedef void (*AnyFunction)(void);

static AnyFunction Bind(HMODULE library, const char* name) {
    FARPROC f = library != NULL ? GetProcAddress(library, name) : NULL;
    if (f == NULL) fprintf(stderr, "cannot bind %s\n", name);
    return (AnyFunction)f;
}

static DecodeFileFn decodeFile;
static DataStringFn dataString;
static GetterFn level;

/* Decodes a.bmp and checks the data; 0 on success. */
static int DecodeAndCheck(void) {
    if (decodeFile("a.bmp") != 1) return 1;
    BSTR data = dataString(0);
    if (data == NULL) return 2;
    const int same = SysStringByteLen(data) == sizeof kMessage - 1 && memcmp(data, kMessage, sizeof kMessage - 1) == 0;
    SysFreeString(data);
    if (!same) return 3;
    return level(0) == 1 ? 0 : 4;
}

static DWORD WINAPI OtherThread(LPVOID result) {
    *(int*)result = DecodeAndCheck();
    return 0;
}

int main(void) {
    HMODULE encoder = LoadLibraryA("Mosaire.dll");
    HMODULE decoder = LoadLibraryA("Lectavo");
    if (encoder == NULL || decoder == NULL) {
        fprintf(stderr, "cannot load the libraries (%lu)\n", GetLastError());
        return 1;
    }
    SetTextFn setMessage = (SetTextFn)Bind(encoder, "QRSetMessage");
    SetThreeFn backColor = (SetThreeFn)Bind(encoder, "QRSetBackColor");
    SetThreeFn barColor = (SetThreeFn)Bind(encoder, "QRSetBarColor");
    SetThreeFn configure = (SetThreeFn)Bind(encoder, "QRConfigure");
    AppearanceFn appearance = (AppearanceFn)Bind(encoder, "QRAppearance");
    SetTwoFn setSize = (SetTwoFn)Bind(encoder, "QRSetSize");
    SaveFn saveBmp = (SaveFn)Bind(encoder, "QRSaveAsBMP");
    decodeFile = (DecodeFileFn)Bind(decoder, "DecodePictureFile");
    dataString = (DataStringFn)Bind(decoder, "GetDecodeDataString");
    level = (GetterFn)Bind(decoder, "GetDecodeLevel");
    GetterFn version = (GetterFn)Bind(decoder, "GetDecodeVersion");
    FreeFn freeResults = (FreeFn)Bind(decoder, "FreeAllocateMemory");
    if (!setMessage || !backColor || !barColor || !configure || !appearance || !setSize || !saveBmp || !decodeFile ||
        !dataString || !level || !version || !freeResults)
        return 1;

    setMessage(kMessage);
    backColor(255, 255, 255);
    barColor(0, 0, 0);
    configure(0, 1, 0);
    appearance(0.2, 1, 0);
    setSize(500, 500);
    if ((uint16_t)saveBmp("a.bmp") != 0xFFFF) {
        fprintf(stderr, "QRSaveAsBMP failed\n");
        return 1;
    }
    const int here = DecodeAndCheck();
    if (here != 0) {
        fprintf(stderr, "decode failed (%d)\n", here);
        return 1;
    }
    /* Results are kept per thread: another thread decodes on its own, and
     * this thread's results outlive that thread. */
    int there = -1;
    HANDLE thread = CreateThread(NULL, 0, OtherThread, &there, 0, NULL);
    if (thread == NULL) return 1;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    if (there != 0 || version(0) < 1) {
        fprintf(stderr, "decode on a second thread: %d, version here %d\n", there, version(0));
        return 1;
    }
    freeResults();
    if (version(0) != -1) {
        fprintf(stderr, "FreeAllocateMemory left results\n");
        return 1;
    }
    FreeLibrary(decoder);
    FreeLibrary(encoder);
    DeleteFileA("a.bmp");
    puts("ok");
    return 0;
}
