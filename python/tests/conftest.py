"""Shared helpers of the qrsuite tests: pictures made by the encoder, and the
photo collection of the repository."""

import os
import pathlib

import pytest

import qrsuite

ROOT = pathlib.Path(os.environ.get("QR_SOURCE_DIR", pathlib.Path(__file__).resolve().parents[2]))
PHOTOS = ROOT / "testdata" / "qr-photos"


def symbol_picture(text, scale=4, border=4, **options):
    """A grey uint8 array holding one symbol of `text`."""
    return qrsuite.encode(text, **options).to_image(scale=scale, border=border)


@pytest.fixture(scope="session")
def photo():
    """A photo of the collection and its expected text."""
    path = PHOTOS / "qrcode-1" / "1.png"
    if not path.exists():
        pytest.skip("testdata/qr-photos is not here")
    return path, path.with_suffix(".txt").read_bytes()
