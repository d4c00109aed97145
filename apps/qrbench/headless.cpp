#include "headless.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "binding/library_function.h"
#include "carried_libraries.h"
#include "file_dialog.h"
#include "files/whole_file.h"
#include "gbk_text.h"
#include "symbol_picture.h"

namespace apps {
namespace {

const QString kSampleText = QStringLiteral("Hello from the QR suite 二维码");

bool GenerateInto(const QString& out_path) {
    QString failure;
    const QByteArray picture = GenerateSymbolPicture({ToGbk(kSampleText), 0, 0, 0}, &failure);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", failure.toUtf8().constData());
        return false;
    }
    if (picture.isEmpty() ||
        !platform::WriteWholeFile(LocalPath(out_path), picture.constData(), static_cast<size_t>(picture.size()))) {
        std::fprintf(stderr, "qrbench: no symbol written to %s\n", out_path.toUtf8().constData());
        return false;
    }
    std::printf("qrbench: symbol written to %s\n", out_path.toUtf8().constData());
    std::fflush(stdout);
    return true;
}

}  // namespace

int RunHeadless(const QString& out_path, bool serve) {
    WriteCarriedLibraries(platform::ProgramFolder());
    if (!GenerateInto(out_path)) return 1;
    if (!serve) return 0;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && !GenerateInto(QString::fromStdString(line))) return 1;
    }
    return 0;
}

}  // namespace apps
