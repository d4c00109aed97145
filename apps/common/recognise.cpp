#include "recognise.h"

#include <QFile>
#include <cstring>
#include <string>

#include "codepage/code_page.h"
#include "gbk_text.h"
#include "lectavo.h"
#include "library_binding.h"
#include "ole/ole.h"

namespace apps {
namespace {

template <auto& Export>
using DecoderFunction = platform::LibraryFunction<std::remove_reference_t<decltype(Export)>>;

DecoderFunction<DecodePictureFile> decode_picture_file{kDecoderLibrary, "DecodePictureFile"};
DecoderFunction<GetDecodeDataString> get_decode_data_string{kDecoderLibrary, "GetDecodeDataString"};
DecoderFunction<FreeAllocateMemory> free_allocate_memory{kDecoderLibrary, "FreeAllocateMemory"};

// The data bytes read as UTF-8, as little-endian UTF-16 units.
std::u16string Utf8ToUtf16(const std::string& bytes) {
    const int k = static_cast<int>(bytes.size());
    const int w = platform::MultiByteToWideChar(platform::kCodePageUtf8, 0, bytes.data(), k, nullptr, 0);
    std::u16string buffer(static_cast<size_t>(w), u'\0');
    platform::MultiByteToWideChar(platform::kCodePageUtf8, 0, bytes.data(), k, buffer.data(), w);
    return buffer;
}

// True when the bytes are well-formed UTF-8: written back from their UTF-16
// reading they come out the same (an ill-formed sequence reads as U+FFFD,
// which writes back as other bytes).
bool IsUtf8(const std::string& bytes, const std::u16string& units) {
    const int u = static_cast<int>(units.size());
    const int m =
        platform::WideCharToMultiByte(platform::kCodePageUtf8, 0, units.data(), u, nullptr, 0, nullptr, nullptr);
    std::string back(static_cast<size_t>(m), '\0');
    platform::WideCharToMultiByte(platform::kCodePageUtf8, 0, units.data(), u, back.data(), m, nullptr, nullptr);
    return back == bytes;
}

// UTF-16 to code page 936 with an empty default text: a character the code
// page cannot hold becomes a zero byte, so the text ends there.
std::string Utf16ToGbkText(const std::u16string& buffer) {
    const int u = static_cast<int>(buffer.size());
    const char* default_char = "";
    const int m =
        platform::WideCharToMultiByte(platform::kCodePageGbk, 0, buffer.data(), u, nullptr, 0, default_char, nullptr);
    std::string text(static_cast<size_t>(m), ' ');
    platform::WideCharToMultiByte(platform::kCodePageGbk, 0, buffer.data(), u, text.data(), m, default_char, nullptr);
    return std::string(text.c_str());
}

// Symbol 0's data bytes up to the first zero byte; the string is freed.
std::string TakeFirstSymbolData() {
    BSTR data = get_decode_data_string(0);
    if (data == nullptr) return {};
    const char* bytes = reinterpret_cast<const char*>(data);
    const uint32_t length = platform::StringByteLen(data);
    const void* zero = std::memchr(bytes, 0, length);
    std::string copy(bytes, zero != nullptr ? static_cast<const char*>(zero) - bytes : length);
    platform::FreeString(data);
    return copy;
}

}  // namespace

const QStringList& FailureMessages() {
    static const QStringList messages{
        QStringLiteral("未找到 QR 代码符号。"),     QStringLiteral("文件未找到！"),
        QStringLiteral("读取文件时发生错误。"),     QStringLiteral("无法读取此格式文件。"),
        QStringLiteral("共享冲突，无法读取文件。"), QStringLiteral("内存不足。")};
    return messages;
}

QString RecognisePictureFile(const QString& path, QString* library_failure) {
    try {
        const QByteArray local_path = QFile::encodeName(path);
        const int n = decode_picture_file(local_path.constData());
        if (n <= 0) return n >= -5 ? FailureMessages().at(-n) : QString();
        const std::string data = TakeFirstSymbolData();
        // Other encoders write UTF-8; the generator windows write the user's
        // code page 936 text as it is, which is seldom well-formed UTF-8.
        const std::u16string units = Utf8ToUtf16(data);
        const std::string text = IsUtf8(data, units) ? Utf16ToGbkText(units) : data;
        free_allocate_memory();
        return FromGbk(QByteArray::fromStdString(text));
    } catch (const platform::BindError& error) {
        if (library_failure == nullptr) return BindFailureMessage(error);
        *library_failure = BindFailureMessage(error);
        return {};
    }
}

}  // namespace apps
