// Encoding: mosaire::Encode and its renderers with the GIL released. The
// module's _Matrix is the library's Matrix value; qrsuite.Matrix (Python)
// wraps it with the user-facing methods.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <cstring>
#include <exception>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "bindings.h"
#include "mosaire/encoder.hpp"

namespace py = pybind11;

namespace qrsuite {
namespace {

// Runs a library call without the GIL; EncodeError becomes ValueError,
// std::bad_alloc MemoryError.
template <typename Call>
auto Released(Call&& call) {
    std::exception_ptr failure;
    std::optional<decltype(call())> result;
    {
        py::gil_scoped_release release;
        try {
            result.emplace(call());
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const mosaire::EncodeError& error) {
            throw py::value_error(error.what());
        }
    }
    return std::move(*result);
}

mosaire::Matrix EncodeBytes(const py::bytes& data, int level, int version, int mask) {
    if (level < 0 || level > 3) throw py::value_error("level must be 'L', 'M', 'Q' or 'H'");
    if (version < 0 || version > 40) throw py::value_error("version must be None or 1-40");
    if (mask < -1 || mask > 7) throw py::value_error("mask must be None or 0-7");
    std::string message = data;  // copied while the GIL is held
    mosaire::EncodeOptions options;
    options.level = static_cast<mosaire::Level>(level);
    options.version = version;
    options.mask = mask;
    return Released([&]() {
        return mosaire::Encode(
            std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(message.data()), message.size()), options);
    });
}

py::array_t<bool> Modules(const mosaire::Matrix& matrix) {
    const py::ssize_t n = matrix.size();
    py::array_t<bool> out({n, n});
    static_assert(sizeof(bool) == 1);
    const std::vector<uint8_t>& modules = matrix.modules();
    bool* to = out.mutable_data();
    for (size_t k = 0; k < modules.size(); ++k) to[k] = modules[k] != 0;
    out.attr("flags").attr("writeable") = false;
    return out;
}

py::array_t<uint8_t> Grey(const mosaire::Matrix& matrix, int scale, int border) {
    std::vector<uint8_t> pixels = Released([&]() { return mosaire::ToGrey(matrix, scale, border); });
    const py::ssize_t side = (matrix.size() + 2 * static_cast<py::ssize_t>(border)) * scale;
    py::array_t<uint8_t> out({side, side});
    std::memcpy(out.mutable_data(), pixels.data(), pixels.size());
    return out;
}

py::bytes FileBytes(std::vector<uint8_t> bytes) {
    return py::bytes(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}  // namespace

void BindEncoder(py::module_& module) {
    py::class_<mosaire::Matrix> matrix(module, "_Matrix",
                                       "The encoder's symbol value; qrsuite.Matrix is the public wrapper.");
    matrix.def_property_readonly("size", &mosaire::Matrix::size, "Modules per side.")
        .def_property_readonly("version", &mosaire::Matrix::version, "Symbol version, 1-40.")
        .def_property_readonly(
            "level", [](const mosaire::Matrix& m) { return static_cast<int>(m.level()); },
            "Error-correction level number: 0 L, 1 M, 2 Q, 3 H.")
        .def_property_readonly("mask", &mosaire::Matrix::mask, "Mask pattern, 0-7.")
        .def("modules", &Modules, "The modules as a new read-only (size, size) bool array, True dark.")
        .def("grey", &Grey, py::arg("scale"), py::arg("border"),
             "Grey pixels (0 dark, 255 light) as a new uint8 array, `scale` px a module, `border` modules around.")
        .def(
            "svg",
            [](const mosaire::Matrix& m, int scale, int border) {
                return Released([&]() { return mosaire::ToSvg(m, scale, border); });
            },
            py::arg("scale"), py::arg("border"), "An SVG document of the symbol.")
        .def(
            "text", [](const mosaire::Matrix& m, int border) { return mosaire::ToText(m, border); }, py::arg("border"),
            "The symbol as half-block characters for a terminal.")
        .def(
            "bmp",
            [](const mosaire::Matrix& m, int scale, int border) {
                return FileBytes(Released([&]() { return mosaire::ToBmp(m, scale, border); }));
            },
            py::arg("scale"), py::arg("border"), "A 1-bit BMP file of the symbol, as bytes.")
        .def(
            "wmf",
            [](const mosaire::Matrix& m, int scale, int border) {
                return FileBytes(Released([&]() { return mosaire::ToWmf(m, scale, border); }));
            },
            py::arg("scale"), py::arg("border"), "A placeable WMF file of the symbol, as bytes.");

    module.def("_encode", &EncodeBytes, py::arg("data"), py::arg("level"), py::arg("version"), py::arg("mask"),
               "_encode(data, level, version, mask)\n\nEncodes bytes as one symbol (level 0-3, version 0 "
               "automatic, mask -1 automatic); see qrsuite.encode.");
}

}  // namespace qrsuite
