#include "symbol_file.h"

#include <QFile>

#include "files/whole_file.h"
#include "library_binding.h"
#include "module_width.h"
#include "mosaire.h"

namespace apps {
namespace {

template <auto& Export>
using EncoderFunction = platform::LibraryFunction<std::remove_reference_t<decltype(Export)>>;

EncoderFunction<QRSetMessage> set_message{kEncoderLibrary, "QRSetMessage"};
EncoderFunction<QRSetBackColor> set_back_color{kEncoderLibrary, "QRSetBackColor"};
EncoderFunction<QRSetBarColor> set_bar_color{kEncoderLibrary, "QRSetBarColor"};
EncoderFunction<QRConfigure> configure{kEncoderLibrary, "QRConfigure"};
EncoderFunction<QRAppearance> appearance{kEncoderLibrary, "QRAppearance"};
EncoderFunction<QRSetSize> set_size{kEncoderLibrary, "QRSetSize"};
EncoderFunction<QRSaveAsBMP> save_as_bmp{kEncoderLibrary, "QRSaveAsBMP"};
EncoderFunction<QRGetActualRC> get_actual_rc{kEncoderLibrary, "QRGetActualRC"};

// The symbol's side in modules for the settings made so far; 0 when the
// message cannot be encoded.
int SymbolSide() {
    int16_t rows = 0, cols = 0;
    get_actual_rc(&rows, &cols);
    return rows;
}

}  // namespace

QString WriteFailureMessage(const std::string& path) {
    return QStringLiteral("无法写入文件 %1。").arg(QFile::decodeName(path.c_str()));
}

QString WriteSymbolFile(const SymbolRequest& request, const std::string& bmp_path) {
    platform::DeleteFile(bmp_path);
    try {
        set_message(request.message.constData());
        set_back_color(255, 255, 255);
        set_bar_color(0, 0, 0);
        configure(request.version, request.level, request.mask);
        // A large symbol gets smaller modules, so that it fits the picture whole.
        appearance(FittingModuleWidthCm(SymbolSide(), kSymbolPixels), 1, 0);
        set_size(kSymbolPixels, kSymbolPixels);
        if (save_as_bmp(bmp_path.c_str()) == 0) return WriteFailureMessage(bmp_path);
    } catch (const platform::BindError& error) {
        return BindFailureMessage(error);
    }
    return {};
}

}  // namespace apps
