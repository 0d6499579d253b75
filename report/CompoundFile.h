#pragma once

#include <QByteArray>
#include <QString>

// A compound document (the container of Office 97-2003 files) holding one
// stream under the root, in 512-byte sectors. Streams shorter than the
// small-stream cutoff are padded up to it, so no mini stream is needed.
namespace report::CompoundFile {

QByteArray withSingleStream(const QString &streamName, const QByteArray &stream);

} // namespace report::CompoundFile
