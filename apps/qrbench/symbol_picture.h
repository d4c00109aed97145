// qrbench's generate job: the symbol drawn by the encoder library, read
// back from the temporary file, which is then deleted.
#pragma once

#include <QByteArray>
#include <QString>

#include "symbol_file.h"

namespace apps {

// The bytes of the BMP file the encoder wrote (empty when it wrote none);
// `failure` receives the message when a library function cannot be bound.
QByteArray GenerateSymbolPicture(const SymbolRequest& request, QString* failure);

}  // namespace apps
