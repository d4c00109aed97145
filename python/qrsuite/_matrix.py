"""encode() and the Matrix it returns."""

import operator
import os

from . import _png
from ._qrsuite import _encode

_LEVELS = "LMQH"


class Matrix:
    """One encoded QR Code symbol: size x size modules, finder patterns
    top-left, top-right and bottom-left. Made by qrsuite.encode; immutable.
    """

    __slots__ = ("_core",)

    def __init__(self, core):
        self._core = core

    @property
    def size(self):
        """Modules per side (21 for version 1, 4 more per version)."""
        return self._core.size

    @property
    def version(self):
        """Symbol version, 1-40."""
        return self._core.version

    @property
    def level(self):
        """Error-correction level: 'L', 'M', 'Q' or 'H'."""
        return _LEVELS[self._core.level]

    @property
    def mask(self):
        """Mask pattern, 0-7."""
        return self._core.mask

    @property
    def modules(self):
        """The modules as a read-only (size, size) NumPy bool array, True for
        dark, row 0 at the top (a new copy at each access)."""
        return self._core.modules()

    def to_image(self, scale=4, border=4, pil=False):
        """The symbol drawn with `scale` pixels a module and a quiet zone of
        `border` modules: a (side, side) uint8 NumPy array, 0 dark and 255
        light, side = (size + 2 * border) * scale (at most 32,767), or a
        Pillow image of mode 'L' when pil is True (needs Pillow).

        Raises ValueError for scale < 1, border < 0 or a picture too large.
        """
        grey = self._core.grey(_whole("scale", scale), _whole("border", border))
        if not pil:
            return grey
        from PIL import Image

        return Image.fromarray(grey, "L")

    def save(self, path, scale=4, border=4):
        """Writes the symbol to a file whose type the name's extension gives:
        .bmp (1 bit per pixel), .wmf (placeable metafile, one rectangle a dark
        module), .svg, or .png (8-bit grey; written by Pillow when it is
        installed, else by qrsuite itself). scale and border as in to_image.

        Raises ValueError for another extension, OSError when the file
        cannot be written.
        """
        scale, border = _whole("scale", scale), _whole("border", border)
        extension = os.path.splitext(os.fsdecode(path))[1].lower()
        if extension == ".bmp":
            content = self._core.bmp(scale, border)
        elif extension == ".wmf":
            content = self._core.wmf(scale, border)
        elif extension == ".svg":
            content = self._core.svg(scale, border).encode("utf-8")
        elif extension == ".png":
            content = _png.encode_grey(self._core.grey(scale, border))
        else:
            raise ValueError(f"cannot tell the file type from {extension or 'no extension'!r}: "
                             "use .bmp, .wmf, .svg or .png")
        with open(path, "wb") as file:
            file.write(content)

    def text(self, border=2):
        """The symbol as text for a terminal: two module rows a line drawn
        with half-block characters, dark modules as block characters (for
        light text on a dark background, invert the terminal's colours)."""
        return self._core.text(_whole("border", border))

    def __eq__(self, other):
        if not isinstance(other, Matrix):
            return NotImplemented
        return (self.version, self.level, self.mask) == (other.version, other.level, other.mask) and bool(
            (self.modules == other.modules).all())

    __hash__ = None

    def __repr__(self):
        return f"<qrsuite.Matrix version={self.version} level={self.level} mask={self.mask} size={self.size}>"


def _whole(name, value):
    if isinstance(value, bool):
        raise TypeError(f"{name} must be an int, not bool")
    try:
        return operator.index(value)
    except TypeError:
        raise TypeError(f"{name} must be an int, not {type(value).__name__}") from None


def encode(data, *, level="M", version=None, mask=None):
    """Encodes a message as one QR Code symbol.

    data: str (encoded as UTF-8) or bytes-like; any byte, zero included.
        The whole message is one segment: numeric when every byte is a
        digit, alphanumeric when every byte is in the 45-character set, byte
        otherwise.
    level: error-correction level 'L', 'M', 'Q' or 'H'.
    version: None for the smallest version that holds the message, or 1-40:
        that version, or the smallest larger one when the message needs
        more room.
    mask: None for the mask with the lowest penalty score, or 0-7.

    Returns a Matrix. Raises TypeError for data or options of the wrong
    type, ValueError for options out of range or a message that does not
    fit version 40 at the level. The GIL is released while encoding.
    """
    if isinstance(data, str):
        data = data.encode("utf-8")
    elif isinstance(data, (bytearray, memoryview)):
        data = bytes(data)
    elif not isinstance(data, bytes):
        raise TypeError(f"data must be str or bytes, not {type(data).__name__}")
    if not isinstance(level, str):
        raise TypeError(f"level must be a str, not {type(level).__name__}")
    if len(level) != 1 or level.upper() not in _LEVELS:
        raise ValueError(f"level must be 'L', 'M', 'Q' or 'H', not {level!r}")
    if version is not None:
        version = _whole("version", version)
        if not 1 <= version <= 40:
            raise ValueError(f"version must be None or 1-40, not {version}")
    if mask is not None:
        mask = _whole("mask", mask)
        if not 0 <= mask <= 7:
            raise ValueError(f"mask must be None or 0-7, not {mask}")
    core = _encode(data, _LEVELS.index(level.upper()), version or 0, -1 if mask is None else mask)
    return Matrix(core)
