#include "library_binding.h"

#include <QFileInfo>

namespace apps {

QString BindFailureMessage(const platform::BindError& error) {
    const QString file = QFileInfo(QString::fromStdString(platform::LibraryPath(error.library()))).fileName();
    const QString detail = QString::fromLocal8Bit(error.detail().c_str());
    if (error.library_missing()) return QStringLiteral("无法加载 %1：%2").arg(file, detail);
    return QStringLiteral("%1 中找不到函数 %2：%3").arg(file, QString::fromStdString(error.export_name()), detail);
}

}  // namespace apps
