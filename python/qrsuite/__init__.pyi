"""Type stubs of the qrsuite package (see the docstrings in __init__.py)."""

import os
from typing import IO, Literal, NamedTuple, Optional, Sequence, Tuple, Union, overload

import numpy
import numpy.typing

__version__: str
__all__: list[str]

Point = Tuple[float, float]
Level = Literal["L", "M", "Q", "H"]
PictureInput = Union[
    numpy.typing.NDArray[numpy.uint8],
    "PIL.Image.Image",  # noqa: F821 - Pillow is optional
    str,
    bytes,
    os.PathLike[str],
    os.PathLike[bytes],
    bytearray,
    memoryview,
    IO[bytes],
]

class StructuredAppend(NamedTuple):
    """A symbol's place in a structured-append sequence."""

    position: int
    total: int
    parity: int

class Symbol:
    """One decoded QR Code symbol (immutable; equal when every field is equal)."""

    @property
    def data(self) -> bytes: ...
    @property
    def text(self) -> Optional[str]: ...
    @property
    def version(self) -> int: ...
    @property
    def level(self) -> Level: ...
    @property
    def mask(self) -> int: ...
    @property
    def corners(self) -> Tuple[Point, Point, Point, Point]: ...
    @property
    def structured_append(self) -> Optional[StructuredAppend]: ...
    @property
    def eci(self) -> Optional[int]: ...
    @property
    def gs1(self) -> bool: ...
    @property
    def mirrored(self) -> bool: ...
    @property
    def inverted(self) -> bool: ...
    @property
    def found_by(self) -> Literal["binary", "photo"]: ...
    def __eq__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...

def decode(
    image: PictureInput,
    *,
    max_symbols: int = 0,
    effort: int = 3,
    photo_stage: bool = True,
    threshold: int = 0,
    min_module_size: int = 1,
    rect: Optional[Sequence[int]] = None,
) -> list[Symbol]:
    """Finds and decodes the QR Code symbols in a picture."""

class Matrix:
    """One encoded QR Code symbol."""

    @property
    def size(self) -> int: ...
    @property
    def version(self) -> int: ...
    @property
    def level(self) -> Level: ...
    @property
    def mask(self) -> int: ...
    @property
    def modules(self) -> numpy.typing.NDArray[numpy.bool_]: ...
    @overload
    def to_image(self, scale: int = 4, border: int = 4, pil: Literal[False] = False) -> numpy.typing.NDArray[numpy.uint8]: ...
    @overload
    def to_image(self, scale: int = 4, border: int = 4, *, pil: Literal[True]) -> "PIL.Image.Image": ...  # noqa: F821
    def save(self, path: Union[str, bytes, os.PathLike[str], os.PathLike[bytes]], scale: int = 4, border: int = 4) -> None: ...
    def text(self, border: int = 2) -> str: ...
    def __eq__(self, other: object) -> bool: ...

def encode(
    data: Union[str, bytes, bytearray, memoryview],
    *,
    level: Level = "M",
    version: Optional[int] = None,
    mask: Optional[int] = None,
) -> Matrix:
    """Encodes a message as one QR Code symbol."""
