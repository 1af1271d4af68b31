#include "report/export/trepascii85.h"

QByteArray TRepAscii85::Encode(const QByteArray &data)
{
    QByteArray out;
    out.reserve(data.size() * 5 / 4 + data.size() / 160 * 2 + 8);
    int lineLength = 0;
    auto put = [&](const char *chars, int n) {
        out.append(chars, n);
        lineLength += n;
        if (lineLength > 200) {
            out.append("\r\n");
            lineLength = 0;
        }
    };
    const qsizetype size = data.size();
    const auto *bytes = reinterpret_cast<const unsigned char *>(data.constData());
    for (qsizetype i = 0; i < size; i += 4) {
        const int n = int(std::min<qsizetype>(4, size - i));
        quint32 v = 0;
        for (int k = 0; k < 4; ++k)
            v = (v << 8) | (k < n ? bytes[i + k] : 0u);
        if (v == 0 && n == 4) {
            put("z", 1);
            continue;
        }
        char group[5];
        for (int k = 4; k >= 0; --k) {
            group[k] = char('!' + v % 85);
            v /= 85;
        }
        put(group, n + 1);
    }
    out.append("~>");
    return out;
}
