#include "camera_library.h"

#include "binding/library_function.h"

namespace qrcam {
namespace {

platform::LibraryFunction<const char*()> get_camera_list{kCameraLibrary, "GetCameraList"};
platform::LibraryFunction<void(int)> set_camera_id{kCameraLibrary, "SetCameraID"};
platform::LibraryFunction<void(void*)> start_camera{kCameraLibrary, "StartCamera"};
platform::LibraryFunction<void(void*, const char*)> save_bmp{kCameraLibrary, "SaveBmp"};
platform::LibraryFunction<void(int)> close_camera{kCameraLibrary, "CloseCamera"};

}  // namespace

QByteArray CameraListText() {
    const char* list = get_camera_list();
    return list == nullptr ? QByteArray() : QByteArray(list);
}

void SetCameraId(int index) { set_camera_id(index); }

void StartCamera(void* window) { start_camera(window); }

void SaveBmp(void* window, const char* path) { save_bmp(window, path); }

void CloseCamera(int index) { close_camera(index); }

QStringList SourceNames(const QByteArray& list_text) {
    QStringList names;
    qsizetype start = 0;
    while (start <= list_text.size()) {
        qsizetype end = list_text.indexOf("\r\n", start);
        if (end < 0) end = list_text.size();
        if (end > start) names << QString::fromUtf8(list_text.mid(start, end - start));
        start = end + 2;
    }
    return names;
}

}  // namespace qrcam
