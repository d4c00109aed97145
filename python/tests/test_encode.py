"""qrsuite.encode and Matrix: round trips through the decoder, the file
types, option checking."""

import numpy as np
import pytest

import qrsuite
from qrsuite import _png


@pytest.mark.parametrize(
    "data, options",
    [
        ("HELLO WORLD", {"level": "Q"}),
        ("0123456789" * 20, {"level": "L", "version": 10}),
        ("Grüße, 你好", {"level": "H", "mask": 3}),
        (b"\x00\xff binary \x1d", {"level": "m"}),
        ("x" * 1500, {}),
    ],
)
def test_round_trip(data, options):
    matrix = qrsuite.encode(data, **options)
    assert matrix.size == 17 + 4 * matrix.version
    assert matrix.level == options.get("level", "M").upper()
    if "version" in options:
        assert matrix.version == options["version"]
    if "mask" in options:
        assert matrix.mask == options["mask"]
    (symbol,) = qrsuite.decode(matrix.to_image(scale=2))
    expected = data.encode() if isinstance(data, str) else data
    assert (symbol.data, symbol.version, symbol.level, symbol.mask) == (
        expected, matrix.version, matrix.level, matrix.mask)


def test_modules_and_picture():
    matrix = qrsuite.encode("modules", version=2)
    modules = matrix.modules
    assert modules.shape == (25, 25) and modules.dtype == bool and not modules.flags.writeable
    assert modules[0, :7].all() and not modules[7, :7].any()  # top-left finder and its separator
    grey = matrix.to_image(scale=3, border=1)
    assert grey.shape == (81, 81) and grey.dtype == np.uint8
    assert (grey[3:6, 3:6] == 0).all() and (grey[:3] == 255).all()
    assert (grey[3::3, 3::3][:25, :25] == np.where(modules, 0, 255)).all()
    assert matrix == qrsuite.encode("modules", version=2) and matrix != qrsuite.encode("modules", version=3)
    assert "█" in matrix.text() and matrix.text().count("\n") == (25 + 4 + 1) // 2


def test_files(tmp_path):
    matrix = qrsuite.encode("file types")
    for name in ("a.bmp", "a.png", "a.PNG"):
        matrix.save(tmp_path / name, scale=3)
        assert [s.text for s in qrsuite.decode(tmp_path / name)] == ["file types"], name
    assert [s.text for s in qrsuite.decode((tmp_path / "a.bmp").read_bytes())] == ["file types"]
    matrix.save(tmp_path / "a.svg")
    assert (tmp_path / "a.svg").read_text().lstrip().startswith(("<?xml", "<svg"))
    matrix.save(str(tmp_path / "a.wmf"))
    assert (tmp_path / "a.wmf").read_bytes()[:4] == b"\xd7\xcd\xc6\x9a"  # placeable metafile key
    with pytest.raises(ValueError):
        matrix.save(tmp_path / "a.gif")


def test_png_without_pillow(tmp_path):
    grey = qrsuite.encode("no pillow").to_image()
    (tmp_path / "own.png").write_bytes(_png.write_grey(grey))
    assert [s.text for s in qrsuite.decode(tmp_path / "own.png")] == ["no pillow"]
    pil = pytest.importorskip("PIL.Image")
    with pil.open(tmp_path / "own.png") as picture:
        assert (np.asarray(picture) == grey).all()


def test_pillow_image():
    pytest.importorskip("PIL.Image")
    picture = qrsuite.encode("pillow").to_image(pil=True)
    assert picture.mode == "L" and [s.text for s in qrsuite.decode(picture)] == ["pillow"]


@pytest.mark.parametrize(
    "data, options, error",
    [
        ("x", {"level": "X"}, ValueError),
        ("x", {"level": 1}, TypeError),
        ("x", {"version": 41}, ValueError),
        ("x", {"version": 0}, ValueError),
        ("x", {"mask": 8}, ValueError),
        ("x", {"mask": 1.0}, TypeError),
        ("x" * 3000, {"level": "H"}, ValueError),
        (12, {}, TypeError),
    ],
)
def test_bad_encode(data, options, error):
    with pytest.raises(error):
        qrsuite.encode(data, **options)


def test_bad_render():
    matrix = qrsuite.encode("render")
    for scale, border in ((0, 4), (4, -1), (2000, 4)):
        with pytest.raises(ValueError):
            matrix.to_image(scale=scale, border=border)
