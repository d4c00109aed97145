"""Type stubs of the qrsuite package (see the docstrings in __init__.py)."""

import os
from typing import IO, Literal, Optional, Sequence, Union, overload

import numpy
import numpy.typing

__version__: str
__all__: list[str]

from ._qrsuite import Level as Level
from ._qrsuite import StructuredAppend as StructuredAppend
from ._qrsuite import Symbol as Symbol

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
