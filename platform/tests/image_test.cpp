// pieces: image
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <unistd.h>

#include "image/image_file.h"

namespace {

std::string TempPng(const char* name, const QImage& image) {
    const std::string path =
        (std::filesystem::temp_directory_path() / (std::string("platform_image_") + std::to_string(::getpid()) + name))
            .string();
    EXPECT_TRUE(image.save(QString::fromStdString(path)));
    return path;
}

}  // namespace

TEST(ImageFile, SizeResolutionMonoAndPixels) {
    QImage mono(30, 20, QImage::Format_Mono);
    mono.setColor(0, qRgb(255, 255, 255));  // white first
    mono.setColor(1, qRgb(0, 0, 0));
    mono.fill(0);
    mono.setPixel(3, 4, 1);
    mono.setDotsPerMeterX(7874);  // 200 dpi
    mono.setDotsPerMeterY(3937);  // 100 dpi
    const std::string path = TempPng("mono.png", mono);
    platform::ImageFile file;
    ASSERT_EQ(file.Load(path, 65535, 1 << 28), platform::ImageStatus::kOk);
    EXPECT_EQ(file.Width(), 30);
    EXPECT_EQ(file.Height(), 20);
    EXPECT_TRUE(file.IsMono());
    EXPECT_EQ(file.DpiX(), 200);
    EXPECT_EQ(file.DpiY(), 100);
    uint32_t row[30];
    file.ReadRow(4, 0, 30, row);
    EXPECT_EQ(row[3], 0xFF000000u);
    EXPECT_EQ(row[4], 0xFFFFFFFFu);

    EXPECT_EQ(file.Load(path, 29, 1 << 28), platform::ImageStatus::kTooLarge);
    EXPECT_EQ(file.Load(path, 65535, 599), platform::ImageStatus::kTooLarge);
    EXPECT_EQ(file.Load(path + ".absent", 65535, 1 << 28), platform::ImageStatus::kUnreadable);
    std::filesystem::remove(path);

    QImage colour(4, 3, QImage::Format_RGB888);
    colour.fill(qRgb(10, 20, 30));
    const std::string rgb = TempPng("rgb.png", colour);
    ASSERT_EQ(file.Load(rgb, 65535, 1 << 28), platform::ImageStatus::kOk);
    EXPECT_FALSE(file.IsMono());
    file.ReadRow(2, 1, 3, row);
    EXPECT_EQ(row[2] & 0xFFFFFFu, 0x0A141Eu);
    std::filesystem::remove(rgb);
}
