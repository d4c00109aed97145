#include "app_identity.h"

namespace apps {

QString GeneratorCaption() { return QStringLiteral("二维码生成器 - ") + QString::fromLatin1(kProjectWebAddress); }

}  // namespace apps
