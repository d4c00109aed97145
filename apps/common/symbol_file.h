// The generate job shared by the generator windows: hand the message and
// the list choices to the encoder library and have it write the symbol as a
// BMP file.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>

namespace apps {

// The temporary symbol file, in the program folder.
inline constexpr char kSymbolFileName[] = "a.bmp";
inline constexpr int kSymbolPixels = 500;

struct SymbolRequest {
    QByteArray message;  // code page 936 text
    int version = 0;     // 0 automatic, 1-40; the encoder takes others as 0
    int level = 0;       // 0-3 for L, M, Q, H; the encoder takes others as 0
    int mask = 0;        // 0 automatic, k = pattern k - 1
};

// Sets every encoder setting afresh and has the encoder write `bmp_path`,
// after removing any old file there, so that an old symbol never passes for
// the new one. The module width is the usual 0.2 cm, or smaller for a symbol
// that would not fit the picture. Returns an empty text, or the message to
// show when the library or one of its functions cannot be bound or the file
// was not written.
QString WriteSymbolFile(const SymbolRequest& request, const std::string& bmp_path);

// "无法写入文件 <path>。"
QString WriteFailureMessage(const std::string& path);

}  // namespace apps
