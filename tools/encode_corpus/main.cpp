// Records what the encoder makes for a fixed set of messages and settings:
// one line a message with hashes of the BMP file, the WMF file and the
// pattern data, through the encoder's exported C functions only.
//
// usage: encode_corpus > encode.txt
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../corpus_hash.h"
#include "mosaire.h"

namespace fs = std::filesystem;

namespace {

std::string FileHash(const fs::path& path, bool written) {
    if (!written) return "none";
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    fs::remove(path);
    return std::to_string(bytes.size()) + ":" + corpus::Hex64(corpus::Fnv1a64(bytes.data(), bytes.size()));
}

std::string PatternHash() {
    uint32_t size = 0;
    int16_t rows = 0, cols = 0;
    unsigned char probe = 0;
    const int first = QRGetPatternData(&probe, &size, &rows, &cols);
    std::string s = std::to_string(first) + "/" + std::to_string(rows) + "x" + std::to_string(cols);
    if (size == 0) return s;
    std::vector<unsigned char> buffer(size);
    const int second = QRGetPatternData(buffer.data(), &size, &rows, &cols);
    return s + "/" + std::to_string(second) + ":" + corpus::Hex64(corpus::Fnv1a64(buffer.data(), buffer.size()));
}

// Text of `length` characters in one of the modes; GBK text uses two-byte
// Chinese characters.
std::string Message(int mode, int length, corpus::Lcg& random) {
    static const char kAlphanumeric[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
    static const char* kGbk[] = {"\xBA\xBA", "\xD7\xD6", "\xB2\xE2", "\xCA\xD4", "\xB1\xE0", "\xC2\xEB",
                                 "\xD6\xD0", "\xCE\xC4", "\xCA\xFD", "\xBE\xDD", "\xA1\xA2", "\xB0\xA1"};
    std::string text;
    while (static_cast<int>(text.size()) < length) switch (mode) {
            case 0:
                text += static_cast<char>('0' + random.Below(10));
                break;
            case 1:
                text += kAlphanumeric[random.Below(45)];
                break;
            case 2:
                text += static_cast<char>(32 + random.Below(95));
                break;
            case 3:
                text += static_cast<char>(1 + random.Below(255));
                break;  // any byte but zero
            case 4:
                text += kGbk[random.Below(12)];
                break;
            default:  // mixed: digits, capitals and GBK in runs
                switch (random.Below(3)) {
                    case 0:
                        text += std::string(static_cast<size_t>(1 + random.Below(12)), '7');
                        break;
                    case 1:
                        text += "QR CODE-";
                        break;
                    default:
                        text += kGbk[random.Below(12)];
                }
        }
    return text;
}

}  // namespace

int main() {
    static const char* kModes[] = {"numeric", "alphanumeric", "ascii", "bytes", "gbk", "mixed"};
    static const int kLengths[] = {1, 5, 17, 40, 90, 200, 500, 1200};
    const fs::path temp = fs::temp_directory_path() / ("encode_corpus_" + std::to_string(::getpid()));
    fs::create_directories(temp);
    const fs::path bmp = temp / "symbol.bmp", wmf = temp / "symbol.wmf";
    int n = 0;
    for (int mode = 0; mode < 6; ++mode)
        for (int length : kLengths)
            for (int level = 0; level < 4; ++level)
                for (int variant = 0; variant < 6; ++variant, ++n) {
                    corpus::Lcg random(static_cast<uint64_t>(n));
                    const std::string text = Message(mode, length, random);
                    // Version automatic, or forced (sometimes too small); every mask setting in turn.
                    const int version = variant % 2 == 0 ? 0 : 1 + (n * 7) % 40;
                    const int mask = n % 9;
                    const int orientation = n % 4, frame = (n / 4) % 3;
                    const double moduleCm = 0.03 + 0.01 * (n % 5);
                    QRSetDefault();
                    QRSetMessage(text.c_str());
                    QRConfigure(version, level, mask);
                    QRAppearance(moduleCm, orientation, frame);
                    QRSetSize(200 + 10 * (n % 7), 150 + 10 * (n % 5));
                    if (n % 11 == 0) {
                        QRSetBarColor(20, 40, 120);
                        QRSetBackColor(250, 240, 200);
                    }
                    const std::string bmpHash = FileHash(bmp, QRSaveAsBMP(bmp.c_str()) == -1);
                    const std::string wmfHash = FileHash(wmf, QRSaveAsWMF(wmf.c_str()) == -1);
                    int16_t rows = 0, cols = 0;
                    QRGetActualRC(&rows, &cols);
                    std::printf(
                        "%s-len%d-l%d-v%d-mask%d-o%d-f%d | msg=%s | bmp=%s | wmf=%s | pattern=%s | rc=%dx%d\n",
                        kModes[mode], length, level, version, mask, orientation, frame,
                        corpus::Hex64(corpus::Fnv1a64(reinterpret_cast<const unsigned char*>(text.data()), text.size()))
                            .c_str(),
                        bmpHash.c_str(), wmfHash.c_str(), PatternHash().c_str(), rows, cols);
                }
    std::printf("# messages %d\n", n);
    std::error_code ignored;
    fs::remove_all(temp, ignored);
    return 0;
}
