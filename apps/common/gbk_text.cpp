#include "gbk_text.h"

#include "codepage/code_page.h"

namespace apps {

QByteArray ToGbk(const QString& text) {
    if (text.isEmpty()) return {};
    const auto* units = reinterpret_cast<const char16_t*>(text.utf16());
    const int length = static_cast<int>(text.size());
    const int n = platform::WideCharToMultiByte(platform::kCodePageGbk, 0, units, length, nullptr, 0, nullptr, nullptr);
    QByteArray bytes(n, '\0');
    platform::WideCharToMultiByte(platform::kCodePageGbk, 0, units, length, bytes.data(), n, nullptr, nullptr);
    return bytes;
}

QString FromGbk(const QByteArray& bytes) {
    if (bytes.isEmpty()) return {};
    const int length = static_cast<int>(bytes.size());
    const int n = platform::MultiByteToWideChar(platform::kCodePageGbk, 0, bytes.constData(), length, nullptr, 0);
    QString text(n, QChar(0));
    platform::MultiByteToWideChar(platform::kCodePageGbk, 0, bytes.constData(), length,
                                  reinterpret_cast<char16_t*>(text.data()), n);
    return text;
}

}  // namespace apps
