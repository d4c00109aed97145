// Built against an installed tree: the C++ interfaces of both libraries, one
// symbol encoded, written as a BMP file and read back from its pixels.
// Prints "ok" and the symbol's version.
#include <fstream>
#include <iostream>

#include <lectavo/decoder.hpp>
#include <mosaire/encoder.hpp>

int main(int argc, char** argv) {
    const std::string message = "installed C++ interface";
    const mosaire::Matrix m = mosaire::Encode(message, {mosaire::Level::H});
    const std::vector<uint8_t> bmp = mosaire::ToBmp(m);
    if (argc > 1)
        std::ofstream(argv[1], std::ios::binary)
            .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    try {
        mosaire::Encode(std::string(5000, 'x'));
        return 1;
    } catch (const mosaire::EncodeError& e) {
        if (e.reason() != mosaire::EncodeError::Reason::DoesNotFit) return 1;
    }
    const int scale = 4, border = 4, width = (m.size() + 2 * border) * scale;
    const std::vector<uint8_t> grey = mosaire::ToGrey(m, scale, border);
    const auto symbols = lectavo::Decode(lectavo::ImageView{grey.data(), width, width});
    if (symbols.size() != 1 || symbols[0].text != message) return 1;
    std::cout << "ok version " << m.version() << "\n";
    return 0;
}
