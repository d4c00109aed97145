#include "call_log.h"

#include <QFile>

namespace vistrel {

void LogCall(const char* function, const QString& arguments) {
    const QString path = qEnvironmentVariable(kCallLogVariable);
    if (path.isEmpty()) {
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return;
    }
    QByteArray line(function);
    if (!arguments.isEmpty()) {
        line += ' ' + arguments.toUtf8();
    }
    line += '\n';
    file.write(line);
}

}  // namespace vistrel
