// The parts of the compiled module qrsuite._qrsuite, each adding its
// functions and classes to the module.
#ifndef QRSUITE_BINDINGS_H
#define QRSUITE_BINDINGS_H

#include <pybind11/pybind11.h>

namespace qrsuite {

void BindDecoder(pybind11::module_& module);
void BindEncoder(pybind11::module_& module);

}  // namespace qrsuite

#endif  // QRSUITE_BINDINGS_H
