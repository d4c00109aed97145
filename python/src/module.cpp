// The compiled part of the qrsuite package. The package's __init__.py
// accepts the picture kinds Python users have (arrays, Pillow images, paths,
// file contents) and calls the functions here, which release the GIL while
// the libraries work.
#include "bindings.h"

PYBIND11_MODULE(_qrsuite, module) {
    module.doc() =
        "Compiled core of qrsuite: QR Code decoding over Lectavo and encoding over Mosaire. "
        "Use the functions of the qrsuite package rather than these.";
    qrsuite::BindDecoder(module);
    qrsuite::BindEncoder(module);
}
