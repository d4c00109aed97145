// Decoding: NumPy arrays and picture files handed to lectavo::Decode and
// lectavo::DecodeFile with the GIL released, results as Symbol objects.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "bindings.h"
#include "lectavo/decoder.hpp"

namespace py = pybind11;

namespace qrsuite {
namespace {

// The decoder's size limits (lectavo::ErrorCode::kTooLarge), checked before
// an array is copied so that a huge strided view is never gathered.
constexpr int64_t kMaxSide = 65535;
constexpr int64_t kMaxPixels = int64_t{1} << 28;

// Working memory kept per thread between calls.
lectavo::Workspace& ThreadWorkspace() {
    thread_local lectavo::Workspace workspace;
    return workspace;
}

int64_t CheckedRange(const char* name, int64_t value, int64_t low, int64_t high) {
    if (value < low || value > high)
        throw py::value_error(std::string(name) + " must be in " + std::to_string(low) + ".." + std::to_string(high) +
                              ", not " + std::to_string(value));
    return value;
}

lectavo::DecodeOptions MakeOptions(int64_t maxSymbols, int64_t effort, bool photoStage, int64_t threshold,
                                   int64_t minModuleSize, const py::object& rect) {
    lectavo::DecodeOptions options;
    if (maxSymbols < 0) throw py::value_error("max_symbols must be 0 (every symbol) or more");
    options.maxSymbols = static_cast<int>(std::min<int64_t>(maxSymbols, 1 << 30));
    options.effort = static_cast<int>(CheckedRange("effort", effort, 0, 3));
    options.photoStage = photoStage;
    options.threshold = static_cast<int>(CheckedRange("threshold", threshold, 0, 255));
    options.minModuleSize = static_cast<int>(CheckedRange("min_module_size", minModuleSize, 1, 255));
    if (!rect.is_none()) {
        if (!py::isinstance<py::sequence>(rect) || py::isinstance<py::str>(rect) || py::len(rect) != 4)
            throw py::type_error("rect must be None or (left, top, right, bottom)");
        int64_t side[4];
        for (int k = 0; k < 4; ++k) {
            py::object item = py::reinterpret_borrow<py::sequence>(rect)[k];
            if (!PyIndex_Check(item.ptr())) throw py::type_error("rect must hold four integers");
            int overflow = 0;
            const long long value = PyLong_AsLongLongAndOverflow(py::int_(item).ptr(), &overflow);
            if (overflow) throw py::value_error("rect coordinates must be in 0..65535");
            side[k] = CheckedRange("rect coordinates", value, 0, kMaxSide);
        }
        if (side[2] <= side[0] || side[3] <= side[1])
            throw py::value_error("rect must have right > left and bottom > top");
        options.rect = lectavo::Rect{static_cast<int>(side[0]), static_cast<int>(side[1]), static_cast<int>(side[2]),
                                     static_cast<int>(side[3])};
    }
    return options;
}

// Raises the Python exception for a decoder error; `path` is the file's name
// (None for an array).
[[noreturn]] void RaiseDecodeError(const lectavo::DecodeError& error, const py::object& path, const std::string& name) {
    py::object oserror = py::reinterpret_borrow<py::object>(PyExc_OSError);
    py::object exception;
    switch (error.code()) {
        case lectavo::ErrorCode::kInvalidView:
        case lectavo::ErrorCode::kTooLarge:
            throw py::value_error(error.what());
        case lectavo::ErrorCode::kOutOfMemory:
            throw std::bad_alloc();
        case lectavo::ErrorCode::kFileNotFound: {  // OSError(errno, ...) makes the matching subclass
            struct stat info;
            if (stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
                exception = oserror(EISDIR, "Is a directory", path);
            else
                exception = oserror(ENOENT, "No such file or directory", path);
            break;
        }
        case lectavo::ErrorCode::kAccessDenied:
            exception = oserror(EACCES, "Permission denied", path);
            break;
        case lectavo::ErrorCode::kUnreadable:
        default:  // EINVAL: the file's contents are not valid input
            exception = oserror(EINVAL, "not a picture file qrsuite reads, or a damaged one", path);
            break;
    }
    PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(exception.ptr())), exception.ptr());
    throw py::error_already_set();
}

// The decode call with the GIL released; decoder errors come back as Python
// exceptions once the GIL is held again.
template <typename Call>
py::list DecodeReleased(Call&& call, const py::object& path, const std::string& name) {
    std::vector<lectavo::Symbol> symbols;
    std::exception_ptr failure;
    {
        py::gil_scoped_release release;
        try {
            symbols = call();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const lectavo::DecodeError& error) {
            RaiseDecodeError(error, path, name);
        }
    }
    py::list out;
    for (lectavo::Symbol& symbol : symbols) out.append(py::cast(std::move(symbol)));
    return out;
}

py::list DecodeArray(const py::handle& object, int64_t maxSymbols, int64_t effort, bool photoStage, int64_t threshold,
                     int64_t minModuleSize, const py::object& rect) {
    const lectavo::DecodeOptions options = MakeOptions(maxSymbols, effort, photoStage, threshold, minModuleSize, rect);
    if (!py::isinstance<py::array>(object))
        throw py::type_error("expected a NumPy array, a Pillow image, a path, picture bytes or a binary file, not " +
                             py::str(py::type::handle_of(object).attr("__name__")).cast<std::string>());
    py::array array = py::reinterpret_borrow<py::array>(object);
    const py::dtype dtype = array.dtype();
    if (dtype.kind() != 'u' || dtype.itemsize() != 1)
        throw py::type_error("expected an array of dtype uint8, not " + dtype.attr("name").cast<std::string>());
    const py::ssize_t ndim = array.ndim();
    const py::ssize_t channels = ndim == 3 ? array.shape(2) : 1;
    if (ndim != 2 && ndim != 3)
        throw py::type_error("expected a 2-D grey array or a 3-D array of 3 (RGB) or 4 (RGBA) channels, not " +
                             std::to_string(ndim) + "-D");
    if (channels != 1 && channels != 3 && channels != 4)
        throw py::type_error("a 3-D array must have 1 (grey), 3 (RGB) or 4 (RGBA) channels, not " +
                             std::to_string(channels));
    const int64_t height = array.shape(0), width = array.shape(1);
    if (width == 0 || height == 0 || channels == 0) throw py::value_error("the array is empty");
    if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
        throw py::value_error("picture larger than 65535 pixels a side or 2^28 pixels");

    lectavo::ImageView view;
    view.width = static_cast<int>(width);
    view.height = static_cast<int>(height);
    view.format = channels == 3   ? lectavo::PixelFormat::kRGB
                  : channels == 4 ? lectavo::PixelFormat::kRGBA
                                  : lectavo::PixelFormat::kGrey;
    const int bpp = static_cast<int>(channels);
    const py::ssize_t rowStep = array.strides(0), pixelStep = array.strides(1);
    const py::ssize_t channelStep = ndim == 3 ? array.strides(2) : 1;
    const auto* data = static_cast<const uint8_t*>(array.data());
    // The decoder reads rows of adjacent pixels at any row distance that does
    // not overlap the next row; anything else is gathered first.
    const bool direct = pixelStep == bpp && (bpp == 1 || channelStep == 1) && std::llabs(rowStep) >= width * bpp;

    // `array` holds a reference, so the buffer outlives the call.
    return DecodeReleased(
        [&]() {
            lectavo::Workspace& workspace = ThreadWorkspace();
            if (direct) {
                view.data = data;
                view.stride = rowStep;
                return lectavo::Decode(view, options, workspace);
            }
            std::vector<uint8_t> gathered(static_cast<size_t>(width * height * bpp));
            uint8_t* to = gathered.data();
            for (int64_t y = 0; y < height; ++y) {
                const uint8_t* row = data + y * rowStep;
                for (int64_t x = 0; x < width; ++x, row += pixelStep)
                    for (int c = 0; c < bpp; ++c) *to++ = row[c * channelStep];
            }
            view.data = gathered.data();
            view.stride = 0;
            return lectavo::Decode(view, options, workspace);
        },
        py::none(), std::string());
}

py::list DecodePath(const py::bytes& path, int64_t maxSymbols, int64_t effort, bool photoStage, int64_t threshold,
                    int64_t minModuleSize, const py::object& rect) {
    const lectavo::DecodeOptions options = MakeOptions(maxSymbols, effort, photoStage, threshold, minModuleSize, rect);
    std::string name = path;
    if (name.find('\0') != std::string::npos) throw py::value_error("embedded null byte in path");
    py::object shown = py::reinterpret_steal<py::object>(PyUnicode_DecodeFSDefaultAndSize(name.data(), name.size()));
    if (!shown) throw py::error_already_set();
    return DecodeReleased([&]() { return lectavo::DecodeFile(name, options, ThreadWorkspace()); }, shown, name);
}

const char* LevelName(lectavo::Level level) {
    static const char* const names[] = {"L", "M", "Q", "H"};
    return names[static_cast<int>(level) & 3];
}

py::tuple Corners(const lectavo::Symbol& s) {
    py::tuple corners(4);
    for (int k = 0; k < 4; ++k)
        corners[k] = py::make_tuple(static_cast<double>(s.corners[k].x), static_cast<double>(s.corners[k].y));
    return corners;
}

bool SameSymbol(const lectavo::Symbol& a, const lectavo::Symbol& b) {
    for (int k = 0; k < 4; ++k)
        if (a.corners[k].x != b.corners[k].x || a.corners[k].y != b.corners[k].y) return false;
    return a.bytes == b.bytes && a.text == b.text && a.version == b.version && a.level == b.level && a.mask == b.mask &&
           a.structuredAppend.position == b.structuredAppend.position &&
           a.structuredAppend.total == b.structuredAppend.total &&
           a.structuredAppend.parity == b.structuredAppend.parity && a.eci == b.eci && a.gs1 == b.gs1 &&
           a.mirrored == b.mirrored && a.inverted == b.inverted && a.foundBy == b.foundBy;
}

const char* const kDecodeArrayDoc =
    R"(_decode_array(array, max_symbols, effort, photo_stage, threshold, min_module_size, rect)

Decodes a uint8 NumPy array (grey, RGB or RGBA); see qrsuite.decode.)";

const char* const kDecodePathDoc =
    R"(_decode_file(path, max_symbols, effort, photo_stage, threshold, min_module_size, rect)

Decodes a picture file named by a byte string; see qrsuite.decode.)";

}  // namespace

void BindDecoder(py::module_& module) {
    // StructuredAppend is a named tuple made once and kept for the process.
    py::object namedtuple = py::module_::import("collections").attr("namedtuple");
    py::object structuredAppend = namedtuple("StructuredAppend", py::make_tuple("position", "total", "parity"));
    structuredAppend.attr("__module__") = "qrsuite";
    structuredAppend.attr("__doc__") =
        "A symbol's place in a structured-append sequence: position (0-based), total (2-16 symbols), "
        "parity (the data's parity byte).";
    module.attr("StructuredAppend") = structuredAppend;
    PyObject* const structuredAppendType = structuredAppend.release().ptr();  // never freed

    py::class_<lectavo::Symbol> symbol(module, "Symbol", R"(One decoded QR Code symbol.

Symbols are made by qrsuite.decode; they are immutable, compare equal when
every field is equal, and can be hashed.)");
    symbol.attr("__module__") = "qrsuite";
    symbol
        .def_property_readonly(
            "data",
            [](const lectavo::Symbol& s) {
                return py::bytes(reinterpret_cast<const char*>(s.bytes.data()), s.bytes.size());
            },
            "The data bytes as the symbol holds them (ECI designators left out, Kanji as Shift JIS, FNC1 as 0x1D).")
        .def_property_readonly(
            "text",
            [](const lectavo::Symbol& s) -> py::object {
                if (!s.text) return py::none();
                return py::str(*s.text);
            },
            "The data as text (UTF-8, ISO 8859-1 when an ECI designator says so, else GBK when valid), or None "
            "for data that are not text.")
        .def_property_readonly(
            "version", [](const lectavo::Symbol& s) { return s.version; }, "Symbol version, 1-40.")
        .def_property_readonly(
            "level", [](const lectavo::Symbol& s) { return LevelName(s.level); },
            "Error-correction level: 'L', 'M', 'Q' or 'H'.")
        .def_property_readonly(
            "mask", [](const lectavo::Symbol& s) { return s.mask; }, "Mask pattern, 0-7.")
        .def_property_readonly("corners", &Corners,
                               "Top-left, top-right, bottom-right and bottom-left corners as the symbol reads, "
                               "four (x, y) tuples in picture pixels.")
        .def_property_readonly(
            "structured_append",
            [structuredAppendType](const lectavo::Symbol& s) -> py::object {
                if (s.structuredAppend.total == 0) return py::none();
                return py::reinterpret_borrow<py::object>(structuredAppendType)(
                    s.structuredAppend.position, s.structuredAppend.total, s.structuredAppend.parity);
            },
            "None, or StructuredAppend(position, total, parity) for a symbol of a structured-append sequence.")
        .def_property_readonly(
            "eci",
            [](const lectavo::Symbol& s) -> py::object {
                if (s.eci < 0) return py::none();
                return py::int_(s.eci);
            },
            "The first ECI designator, or None.")
        .def_property_readonly(
            "gs1", [](const lectavo::Symbol& s) { return s.gs1; }, "True when FNC1 is in first position (GS1 data).")
        .def_property_readonly(
            "mirrored", [](const lectavo::Symbol& s) { return s.mirrored; }, "True for a mirror-image symbol.")
        .def_property_readonly(
            "inverted", [](const lectavo::Symbol& s) { return s.inverted; }, "True for light modules on a dark ground.")
        .def_property_readonly(
            "found_by",
            [](const lectavo::Symbol& s) { return s.foundBy == lectavo::Search::kPhotoStage ? "photo" : "binary"; },
            "Which search read the symbol: 'binary' (the binary-plane passes) or 'photo' (the photo stage).")
        .def(
            "__eq__",
            [](const lectavo::Symbol& a, const py::object& other) -> py::object {
                if (!py::isinstance<lectavo::Symbol>(other))
                    return py::reinterpret_borrow<py::object>(Py_NotImplemented);
                return py::bool_(SameSymbol(a, other.cast<const lectavo::Symbol&>()));
            },
            py::is_operator(), "True when every field of the two symbols is equal.")
        .def(
            "__hash__",
            [](const lectavo::Symbol& s) {
                return py::hash(py::make_tuple(py::bytes(reinterpret_cast<const char*>(s.bytes.data()), s.bytes.size()),
                                               s.version, s.mask, Corners(s)));
            },
            "A hash over the data, version, mask and corners, consistent with ==.")
        .def(
            "__repr__",
            [](const lectavo::Symbol& s) {
                py::object content =
                    s.text ? py::object(py::str(*s.text))
                           : py::object(py::bytes(reinterpret_cast<const char*>(s.bytes.data()), s.bytes.size()));
                std::string shown = py::repr(content).cast<std::string>();
                if (shown.size() > 60) shown = shown.substr(0, 56) + "...";  // long data cut short
                std::string out = "<Symbol " + std::string(s.text ? "text=" : "data=") + shown +
                                  " version=" + std::to_string(s.version) + " level=" + LevelName(s.level) +
                                  " mask=" + std::to_string(s.mask);
                char at[64];
                std::snprintf(at, sizeof at, " at (%.1f, %.1f)", static_cast<double>(s.corners[0].x),
                              static_cast<double>(s.corners[0].y));
                out += at;
                if (s.structuredAppend.total)
                    out += " part " + std::to_string(s.structuredAppend.position + 1) + "/" +
                           std::to_string(s.structuredAppend.total);
                if (s.eci >= 0) out += " eci=" + std::to_string(s.eci);
                if (s.gs1) out += " gs1";
                if (s.mirrored) out += " mirrored";
                if (s.inverted) out += " inverted";
                out += s.foundBy == lectavo::Search::kPhotoStage ? " found_by=photo>" : " found_by=binary>";
                return out;
            },
            "The text (or data), version, level, mask, first corner and flags, long data cut short.");

    module.def("_decode_array", &DecodeArray, kDecodeArrayDoc, py::arg("array"), py::arg("max_symbols"),
               py::arg("effort"), py::arg("photo_stage"), py::arg("threshold"), py::arg("min_module_size"),
               py::arg("rect").none(true));
    module.def("_decode_file", &DecodePath, kDecodePathDoc, py::arg("path"), py::arg("max_symbols"), py::arg("effort"),
               py::arg("photo_stage"), py::arg("threshold"), py::arg("min_module_size"), py::arg("rect").none(true));
}

}  // namespace qrsuite
