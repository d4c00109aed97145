// The decode steps shared by qrbench's recognise and qrcam's grab loop:
// decode one picture file with the decoder library and turn the outcome into
// the text the content box shows.
#pragma once

#include <QString>
#include <QStringList>

namespace apps {

// Runs DecodePictureFile on `path` through the decoder library bound from the
// program folder ("Lectavo") and returns symbol 0's data as text, or the
// message for the outcome code. Data that are well-formed UTF-8 are read as
// UTF-8 and go through code page 936 (UTF-8 -> UTF-16 -> code page 936, so
// the text ends before a character the code page lacks); other data are read
// as code page 936 text.
//
// When the library or a function cannot be bound, the message saying so is
// returned, or put into `*library_failure` (the result then empty) when the
// caller asks for it there.
QString RecognisePictureFile(const QString& path, QString* library_failure = nullptr);

// The six failure messages, in the order of the codes 0, -1 ... -5.
const QStringList& FailureMessages();

}  // namespace apps
