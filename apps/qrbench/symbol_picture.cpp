#include "symbol_picture.h"

#include "binding/library_function.h"
#include "files/whole_file.h"

namespace apps {

QByteArray GenerateSymbolPicture(const SymbolRequest& request, QString* failure) {
    const std::string path = platform::ProgramFile(kSymbolFileName);
    *failure = WriteSymbolFile(request, path);
    if (!failure->isEmpty()) return {};
    const auto bytes = platform::ReadWholeFile(path);
    platform::DeleteFile(path);
    if (!bytes) {
        *failure = WriteFailureMessage(path);
        return {};
    }
    return QByteArray(reinterpret_cast<const char*>(bytes->data()), static_cast<qsizetype>(bytes->size()));
}

}  // namespace apps
