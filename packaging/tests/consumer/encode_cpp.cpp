// Built against an installed tree: the C++ interface of the encoder, one
// symbol as a BMP file and text. Prints "ok" and the symbol's version.
#include <fstream>
#include <iostream>

#include <mosaire/encoder.hpp>

int main(int argc, char** argv) {
    const mosaire::Matrix m = mosaire::Encode("installed C++ interface", {mosaire::Level::H});
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
    std::cout << "ok version " << m.version() << "\n";
    return 0;
}
