// The camera-capture library "Vistrel.dll", bound from the program folder
// at each function's first call. A failed binding throws platform::BindError.
#pragma once

#include <QByteArray>
#include <QStringList>

namespace qrcam {

inline constexpr char kCameraLibrary[] = "Vistrel.dll";

// The text GetCameraList returns, copied at once (the library keeps it).
QByteArray CameraListText();
void SetCameraId(int index);
void StartCamera(void* window);
void SaveBmp(void* window, const char* path);
void CloseCamera(int index);

// The source names in a list text: the parts between "\r\n" pairs that are
// not empty, in order.
QStringList SourceNames(const QByteArray& list_text);

}  // namespace qrcam
