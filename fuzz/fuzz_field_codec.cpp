// Decoding never fails other than with its own error, and every text comes
// back unchanged from its encoded form.
#include "store/FieldCodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const FieldCodec::Decoded decoded = FieldCodec::decode(input);
    if (!decoded.ok && decoded.error != FieldCodec::kDecodeError)
        __builtin_trap();

    const FieldCodec::Decoded back = FieldCodec::decode(FieldCodec::encode(input));
    if (!back.ok || back.text != input)
        __builtin_trap();
    return 0;
}
