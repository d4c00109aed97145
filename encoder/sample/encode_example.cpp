// Encodes a message with the C++ interface and writes it as a BMP file, an
// SVG file and text on the terminal.
//   encode_example [message [file name stem]]
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "mosaire/encoder.hpp"

int main(int argc, char** argv) {
    const std::string message = argc > 1 ? argv[1] : "Hello from the QR suite";
    const std::string stem = argc > 2 ? argv[2] : "example";
    try {
        const mosaire::Matrix symbol = mosaire::Encode(message, {mosaire::Level::Q});
        const std::vector<uint8_t> bmp = mosaire::ToBmp(symbol, 8);
        std::ofstream(stem + ".bmp", std::ios::binary)
            .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
        std::ofstream(stem + ".svg") << mosaire::ToSvg(symbol, 8);
        std::cout << mosaire::ToText(symbol) << "version " << symbol.version() << ", mask " << symbol.mask() << ", "
                  << symbol.size() << " x " << symbol.size() << " modules\n";
    } catch (const mosaire::EncodeError& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
