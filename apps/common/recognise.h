// The decode steps shared by qrbench's recognise and qrcam's grab loop:
// decode one picture file with the decoder library and turn the outcome into
// the text the content box shows.
#pragma once

#include <QString>
#include <QStringList>

namespace apps {

// Runs DecodePictureFile on `path` through the decoder library bound from the
// program folder ("Lectavo"), takes symbol 0's data, converts them
// UTF-8 -> UTF-16 -> code page 936 and returns them as text; or returns the
// message for the outcome code.
QString RecognisePictureFile(const QString& path);

// The six failure messages, in the order of the codes 0, -1 ... -5.
const QStringList& FailureMessages();

}  // namespace apps
