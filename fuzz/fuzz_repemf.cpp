// The page record player on its own.

#include "fuzz/repfuzzcommon.h"

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzStartQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    try {
        FuzzUsePage(TRepMetafile::FromBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))));
    } catch (const ERepError &) {
    }
    return 0;
}
