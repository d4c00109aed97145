// Text of code page 936 (the programs' ANSI text) to and from QString.
#pragma once

#include <QByteArray>
#include <QString>

namespace apps {

// Characters code page 936 cannot hold become '?', as an ANSI control would
// hand them over.
QByteArray ToGbk(const QString& text);
QString FromGbk(const QByteArray& bytes);

}  // namespace apps
