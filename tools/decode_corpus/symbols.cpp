#include "symbols.h"

#include <sstream>
#include <vector>

#include "common/qr_tables.h"
#include "mosaire.h"

#if __has_include(<qrencode.h>)
#include <qrencode.h>
#define CORPUS_HAVE_QRENCODE 1
#endif

namespace corpus {

Grid OurGrid(const std::string& text, int version, int level, int maskSetting) {
    QRSetDefault();
    QRSetMessage(text.c_str());
    QRConfigure(version, level, maskSetting);
    uint32_t size = 0;
    int16_t rows = 0, cols = 0;
    unsigned char probe = 0;
    QRGetPatternData(&probe, &size, &rows, &cols);
    Grid grid;
    if (size == 0 || rows <= 0) return grid;
    std::vector<unsigned char> buffer(size);
    if (QRGetPatternData(buffer.data(), &size, &rows, &cols) != -1) return grid;
    // The pattern data list column k of the symbol, bottom row first, as row k.
    const int n = rows;
    grid.side = n;
    grid.dark.resize(static_cast<size_t>(n) * n);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            grid.dark[static_cast<size_t>(r) * n + c] = buffer[static_cast<size_t>(c) * n + (n - 1 - r)] == '1';
    return grid;
}

Grid IndependentGrid(const std::string& text, int version, int level, bool kanji) {
    Grid grid;
#ifdef CORPUS_HAVE_QRENCODE
    static const QRecLevel levels[4] = {QR_ECLEVEL_L, QR_ECLEVEL_M, QR_ECLEVEL_Q, QR_ECLEVEL_H};
    QRcode* code = kanji
                       ? QRcode_encodeString(text.c_str(), version, levels[level], QR_MODE_KANJI, 1)
                       : QRcode_encodeData(static_cast<int>(text.size()),
                                           reinterpret_cast<const unsigned char*>(text.data()), version, levels[level]);
    if (code == nullptr) return grid;
    grid.side = code->width;
    grid.dark.resize(static_cast<size_t>(grid.side) * grid.side);
    for (size_t i = 0; i < grid.dark.size(); ++i) grid.dark[i] = code->data[i] & 1;
    QRcode_free(code);
#else
    (void)text;
    (void)version;
    (void)level;
    (void)kanji;
#endif
    return grid;
}

std::string FillingText(int version, int level) {
    const int data = qrcommon::DataCodewords(version, level);
    const size_t capacity = static_cast<size_t>((data * 8 - 4 - (version <= 9 ? 8 : 16)) / 8);
    std::ostringstream head;
    head << "v" << version << "-"
         << "LMQH"[level] << ":";
    std::string text = head.str();
    for (size_t i = 0; text.size() < capacity; ++i) text += static_cast<char>('a' + i % 26);
    return text.substr(0, capacity);
}

}  // namespace corpus
