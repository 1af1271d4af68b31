// The saved report file loader, then its pages.

#include "fuzz/repfuzzcommon.h"
#include "report/store/treppagelist.h"

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzStartQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TRepPageList list;
    try {
        list.LoadFromBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const ERepError &) {
        return 0;
    }
    const int pages = std::min(list.PageCount(), 4);
    for (int n = 1; n <= pages; ++n) {
        try {
            FuzzUsePage(list.ReadPage(n));
        } catch (const ERepError &) {
        }
    }
    return 0;
}
