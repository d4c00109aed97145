// The exported C functions: each catches everything so that no exception
// leaves the library, and hands on to the process-wide Camera.
#include "vistrel.h"

#include "call_log.h"
#include "camera.h"

#include <QFile>

#include "common/c_boundary.h"

using qrcommon::Guarded;

extern "C" VISTREL_API const char* VISTREL_CALL GetCameraList(void) {
    const char* list = "";
    Guarded([&] {
        vistrel::LogCall("GetCameraList");
        list = vistrel::Camera::Instance().SourceList();
    });
    return list;
}

extern "C" VISTREL_API void VISTREL_CALL SetCameraID(int index) {
    Guarded([&] {
        vistrel::LogCall("SetCameraID", QString::number(index));
        vistrel::Camera::Instance().Choose(index);
    });
}

extern "C" VISTREL_API void VISTREL_CALL StartCamera(void* window) {
    Guarded([&] {
        vistrel::LogCall("StartCamera", window == nullptr ? QStringLiteral("null") : QStringLiteral("window"));
        vistrel::Camera::Instance().Start(window);
    });
}

extern "C" VISTREL_API void VISTREL_CALL SaveBmp(void* window, const char* path) {
    Guarded([&] {
        vistrel::LogCall("SaveBmp", path == nullptr ? QStringLiteral("null") : QFile::decodeName(path));
        vistrel::Camera::Instance().SaveFrame(path);
    });
    (void)window;
}

extern "C" VISTREL_API void VISTREL_CALL CloseCamera(int index) {
    Guarded([&] {
        vistrel::LogCall("CloseCamera", QString::number(index));
        vistrel::Camera::Instance().Close(index);
    });
}
