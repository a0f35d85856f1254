// Writes a Windows icon file holding several sizes of one picture, each stored as
// a 32-bit BGRA bitmap with its AND mask (the form every icon reader accepts).
#pragma once

#include <QImage>
#include <QString>

#include <vector>

namespace skin {

// Sizes up to 256 x 256; answers false when a size is larger or the file cannot
// be written.
bool WriteIco(const std::vector<QImage>& sizes, const QString& path);

}  // namespace skin
