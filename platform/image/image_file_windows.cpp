// The Windows Imaging Component reads the picture; its format converter
// turns every pixel format into 32-bit BGRA (converting straight to 8-bit
// grey is not offered by every implementation), which read as a
// little-endian 32-bit value is ARGB.
#include <windows.h>
#include <wincodec.h>

#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "image/image_file.h"

namespace platform {

struct ImageFile::Decoded {
    int width = 0, height = 0;
    bool mono = false;
    int dpiX = 0, dpiY = 0;
    std::vector<uint32_t> pixels;
};

namespace {

template <class T>
struct Com {
    T* p = nullptr;
    ~Com() {
        if (p != nullptr) p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

// COM for the calling thread, for the length of one load. A thread the
// caller already set up for COM keeps its own setting.
struct ComScope {
    HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ~ComScope() {
        if (SUCCEEDED(result)) CoUninitialize();
    }
};

std::wstring Wide(const std::string& path) {
    const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
    wide.resize(static_cast<size_t>(n - 1));
    return wide;
}

bool IsMonoFormat(const WICPixelFormatGUID& f) {
    return IsEqualGUID(f, GUID_WICPixelFormatBlackWhite) || IsEqualGUID(f, GUID_WICPixelFormat1bppIndexed);
}

}  // namespace

ImageFile::ImageFile() = default;
ImageFile::~ImageFile() = default;

ImageStatus ImageFile::Load(const std::string& path, int maxSide, int64_t maxPixels) {
    image_.reset();
    const std::wstring name = Wide(path);
    if (name.empty()) return ImageStatus::kUnreadable;
    ComScope com;
    Com<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&factory))))
        return ImageStatus::kUnreadable;
    Com<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromFilename(name.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  &decoder)))
        return ImageStatus::kUnreadable;
    Com<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, &frame))) return ImageStatus::kUnreadable;
    UINT width = 0, height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0) return ImageStatus::kUnreadable;
    if (width > static_cast<UINT>(maxSide) || height > static_cast<UINT>(maxSide) ||
        static_cast<int64_t>(width) * height > maxPixels) {
        // The imaging component takes a BMP header's size on trust; one
        // beyond the limit is a damaged file, as other readers find when
        // they look for its rows.
        GUID container{};
        if (SUCCEEDED(decoder->GetContainerFormat(&container)) && IsEqualGUID(container, GUID_ContainerFormatBmp))
            return ImageStatus::kUnreadable;
        return ImageStatus::kTooLarge;
    }

    auto image = std::unique_ptr<Decoded>(new (std::nothrow) Decoded);
    if (!image) return ImageStatus::kOutOfMemory;
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    WICPixelFormatGUID format{};
    if (SUCCEEDED(frame->GetPixelFormat(&format))) image->mono = IsMonoFormat(format);
    double dpiX = 0, dpiY = 0;
    if (SUCCEEDED(frame->GetResolution(&dpiX, &dpiY))) {
        image->dpiX = static_cast<int>(std::lround(dpiX));
        image->dpiY = static_cast<int>(std::lround(dpiY));
    }
    try {
        image->pixels.resize(static_cast<size_t>(width) * height);
    } catch (const std::bad_alloc&) {
        return ImageStatus::kOutOfMemory;
    }
    Com<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return ImageStatus::kUnreadable;
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, reinterpret_cast<BYTE*>(image->pixels.data()))))
        return ImageStatus::kUnreadable;
    image_ = std::move(image);
    return ImageStatus::kOk;
}

int ImageFile::Width() const { return image_ ? image_->width : 0; }
int ImageFile::Height() const { return image_ ? image_->height : 0; }
bool ImageFile::IsMono() const { return image_ && image_->mono; }
int ImageFile::DpiX() const { return image_ ? image_->dpiX : 0; }
int ImageFile::DpiY() const { return image_ ? image_->dpiY : 0; }

void ImageFile::ReadRow(int y, int x, int count, uint32_t* out) const {
    if (!image_) return;
    const uint32_t* row = image_->pixels.data() + static_cast<size_t>(y) * image_->width;
    std::memcpy(out, row + x, static_cast<size_t>(count) * sizeof(uint32_t));
}

}  // namespace platform
