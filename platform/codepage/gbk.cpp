#include "codepage/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace platform::detail {
namespace {

constexpr const char* kGbkName = "CP936";
constexpr const char* kUtf16Name = "UTF-16LE";

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible; returns the iconv error (0 when all input
    // was consumed). `in`/`in_left` advance past what was converted.
    int Run(const char*& in, size_t& in_left, std::string& out) {
        char buffer[1024];
        while (in_left > 0) {
            char* in_ptr = const_cast<char*>(in);
            char* out_ptr = buffer;
            size_t out_left = sizeof(buffer);
            const size_t r = iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left);
            in = in_ptr;
            out.append(buffer, sizeof(buffer) - out_left);
            if (r == static_cast<size_t>(-1) && errno != E2BIG) return errno;
        }
        return 0;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::u16string GbkToUtf16(std::string_view bytes) {
    std::string utf16;
    Converter converter(kUtf16Name, kGbkName);
    const char* in = bytes.data();
    size_t in_left = bytes.size();
    while (converter.ok() && in_left > 0) {
        if (converter.Run(in, in_left, utf16) == 0) break;
        // Invalid or truncated sequence: replace one byte and go on.
        utf16.append("\xFD\xFF", 2);
        ++in;
        --in_left;
    }
    std::u16string out(utf16.size() / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(utf16[2 * i]) |
                                       (static_cast<unsigned char>(utf16[2 * i + 1]) << 8));
    }
    return out;
}

std::string Utf16ToGbk(std::u16string_view units, char default_byte, bool* used_default) {
    std::string le(units.size() * 2, '\0');
    for (size_t i = 0; i < units.size(); ++i) {
        le[2 * i] = static_cast<char>(units[i] & 0xFF);
        le[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    std::string out;
    Converter converter(kGbkName, kUtf16Name);
    const char* in = le.data();
    size_t in_left = le.size();
    while (converter.ok() && in_left > 0) {
        if (converter.Run(in, in_left, out) == 0) break;
        // A unit without a form in the code page (surrogates among them, one
        // default character per unit): replace it and go on.
        out.push_back(default_byte);
        if (used_default != nullptr) *used_default = true;
        const size_t skip = in_left < 2 ? in_left : 2;
        in += skip;
        in_left -= skip;
    }
    return out;
}

}  // namespace platform::detail
