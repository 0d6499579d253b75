#pragma once

#include "store/Result.h"

#include <QByteArray>

// Photos between the store and a card. The store keeps the bytes of a BMP
// file, as the address book's photo box writes them; a card carries PNG,
// which keeps every pixel and every program reads.
namespace CardPhoto {

// The address book's own limits: pictures larger than twice its photo box
// are scaled down, aspect kept.
inline constexpr int kMaxWidth = 290;
inline constexpr int kMaxHeight = 370;

// PNG bytes of a stored photo.
Result<QByteArray> toPng(const QByteArray &stored);

// The BMP bytes the store keeps for a picture a card holds (BMP, PNG, JPEG,
// GIF): scaled down when larger than the limits, laid on white where it is
// transparent. A fitting BMP is kept as it came.
Result<QByteArray> toStored(const QByteArray &picture);

// Whether the bytes start like a PNG, JPEG, GIF or BMP picture, without
// decoding it: what a preview of many cards can afford to ask.
bool looksReadable(const QByteArray &picture);

} // namespace CardPhoto
