"""qrsuite.decode: the picture kinds and layouts it accepts, its errors, many
symbols and many threads."""

import concurrent.futures
import io

import numpy as np
import pytest

import qrsuite
from conftest import symbol_picture


def texts(image, **options):
    return [s.text for s in qrsuite.decode(image, **options)]


def test_symbol_fields_and_value_semantics():
    grey = symbol_picture("Seat 14C", level="H", mask=5, scale=3)
    (symbol,) = qrsuite.decode(grey)
    assert (symbol.data, symbol.text, symbol.version, symbol.level, symbol.mask) == (b"Seat 14C", "Seat 14C", 2, "H", 5)
    assert symbol.found_by == "binary" and symbol.eci is None and symbol.structured_append is None
    assert not (symbol.gs1 or symbol.mirrored or symbol.inverted)
    # Corners clockwise from top-left, the symbol starting 4 modules (12 px) in.
    (x0, y0), (x1, y1), (x2, y2), (x3, y3) = symbol.corners
    assert abs(x0 - 12) < 2 and abs(y0 - 12) < 2 and x1 > x0 and y2 > y1 and x3 < x2
    assert symbol == qrsuite.decode(grey)[0] and hash(symbol) == hash(qrsuite.decode(grey)[0])
    assert symbol != qrsuite.decode(symbol_picture("Seat 14D", level="H", scale=3))[0]
    assert "Seat 14C" in repr(symbol) and "level=H" in repr(symbol)
    with pytest.raises(AttributeError):
        symbol.version = 2


def test_data_that_is_not_text():
    (symbol,) = qrsuite.decode(symbol_picture(b"\x00\x01\x02binary\x7f"))
    assert symbol.data == b"\x00\x01\x02binary\x7f" and symbol.text is None


def layouts():
    grey = symbol_picture("layout", scale=3)
    rgb = np.stack([grey, grey, grey], axis=2)
    rgba = np.concatenate([rgb, np.full(grey.shape + (1,), 255, np.uint8)], axis=2)
    padded = np.full((grey.shape[0] + 20, grey.shape[1] + 30), 255, np.uint8)
    padded[10:-10, 10:-20] = grey
    wide = np.repeat(grey, 2, axis=1)  # every second column is the picture again
    read_only = grey.copy()
    read_only.flags.writeable = False
    return {
        "grey": grey,
        "rgb": rgb,
        "rgba": rgba,
        "grey with one channel": grey[:, :, None],
        "row slice of a larger array": padded[5:-5, 5:-15],
        "every second column": wide[:, ::2],
        "Fortran order": np.asfortranarray(grey),
        "rgb planes": np.moveaxis(np.stack([grey, grey, grey]), 0, 2),
        "rows bottom up": grey[::-1],
        "columns right to left": grey[:, ::-1],
        "rgba turned": np.ascontiguousarray(rgba[::-1, ::-1]),
        "read-only": read_only,
    }


@pytest.mark.parametrize("name", list(layouts()))
def test_array_layouts(name):
    (symbol,) = qrsuite.decode(layouts()[name])
    assert symbol.text == "layout"
    assert symbol.mirrored == (name in ("rows bottom up", "columns right to left"))


def test_rect_searches_part_and_reports_whole_picture_corners():
    left, right = symbol_picture("left", scale=3), symbol_picture("right", scale=3)
    both = np.hstack([left, right])
    assert sorted(texts(both)) == ["left", "right"]
    width = left.shape[1]
    (symbol,) = qrsuite.decode(both, rect=(width, 0, 2 * width, left.shape[0]))
    assert symbol.text == "right" and symbol.corners[0][0] > width


def test_more_than_32_symbols():
    tiles = [[symbol_picture(f"tile {r * 6 + c}", scale=2, border=2) for c in range(6)] for r in range(6)]
    sheet = np.block(tiles)
    found = texts(sheet, max_symbols=0)
    assert sorted(found) == sorted(f"tile {k}" for k in range(36))
    assert len(texts(sheet, max_symbols=5)) == 5


def test_threads_get_their_own_results():
    pictures = {f"thread {k} " + "x" * (10 * k): symbol_picture(f"thread {k} " + "x" * (10 * k)) for k in range(8)}
    work = list(pictures.items()) * 4
    with concurrent.futures.ThreadPoolExecutor(8) as pool:
        results = list(pool.map(lambda item: texts(item[1]), work))
    assert results == [[text] for text, _ in work]


def test_files_paths_bytes_and_pillow(tmp_path, photo):
    path, expected = photo
    data = path.read_bytes()
    for image in (str(path), path, bytes(path), data, bytearray(data), memoryview(data), io.BytesIO(data)):
        assert [s.data for s in qrsuite.decode(image)] == [expected], type(image)
    pil = pytest.importorskip("PIL.Image")
    with pil.open(path) as picture:
        assert [s.data for s in qrsuite.decode(picture)] == [expected]
    picture = pil.fromarray(symbol_picture("modes"))
    for mode in ("1", "P", "I", "F", "CMYK", "LA", "RGBA"):  # the odd ones read through .convert("L")
        assert [s.text for s in qrsuite.decode(picture.convert(mode))] == ["modes"], mode


@pytest.mark.parametrize(
    "image, error",
    [
        (np.zeros((40, 40), np.float32), TypeError),
        (np.zeros((40, 40), np.int8), TypeError),
        (np.zeros((40, 40), bool), TypeError),
        (np.zeros(40, np.uint8), TypeError),
        (np.zeros((4, 40, 40, 3), np.uint8), TypeError),
        (np.zeros((40, 40, 2), np.uint8), TypeError),
        (np.zeros((0, 40), np.uint8), ValueError),
        (np.zeros((40, 40, 0), np.uint8), TypeError),
        (np.broadcast_to(np.uint8(255), (70000, 10)), ValueError),
        (np.broadcast_to(np.uint8(255), (20000, 20000)), ValueError),  # 4 * 10^8 pixels
        ([[0, 255], [255, 0]], TypeError),
        (42, TypeError),
        ("/nonexistent/picture.png", FileNotFoundError),
        (b"\x89PNG\r\n\x1a\n" + bytes(100), OSError),
        (bytearray(b"no picture at all"), ValueError),
        (io.StringIO("text file"), TypeError),
    ],
)
def test_bad_input(image, error):
    with pytest.raises(error):
        qrsuite.decode(image)


def test_bad_files(tmp_path):
    closed = open(__file__, "rb")
    closed.close()
    with pytest.raises(ValueError):
        qrsuite.decode(closed)
    garbage = tmp_path / "garbage.png"
    garbage.write_bytes(bytes(range(256)) * 8)
    with pytest.raises(OSError) as raised:
        qrsuite.decode(garbage)
    assert raised.value.filename == str(garbage)
    with pytest.raises(FileNotFoundError):
        qrsuite.decode(tmp_path / "missing.jpg")
    with pytest.raises(IsADirectoryError):
        qrsuite.decode(tmp_path)
    pil = pytest.importorskip("PIL.Image")
    with pytest.raises(TypeError):
        qrsuite.decode(pil.new("LAB", (40, 40)))


@pytest.mark.parametrize(
    "options, error",
    [
        ({"effort": 4}, ValueError),
        ({"threshold": 256}, ValueError),
        ({"min_module_size": 0}, ValueError),
        ({"max_symbols": -1}, ValueError),
        ({"rect": (10, 10, 5, 20)}, ValueError),
        ({"rect": (0, 0, 10)}, TypeError),
        ({"rect": (0, 0, 2**70, 10)}, ValueError),
        ({"effort": 1.5}, TypeError),
    ],
)
def test_bad_options(options, error):
    with pytest.raises(error):
        qrsuite.decode(np.full((40, 40), 255, np.uint8), **options)


def test_photos(photo):
    path, expected = photo
    pil = pytest.importorskip("PIL.Image")
    grey = np.asarray(pil.open(path).convert("L"))  # the grey array as a caller makes it
    assert [s.data for s in qrsuite.decode(grey)] == [expected]
    # The third of a structured-append set of four.
    (part,) = qrsuite.decode(path.parents[1] / "qrcode-7" / "01-03.png")
    assert part.structured_append == (2, 4, 95) and part.structured_append.total == 4
    assert part.data in (path.parents[1] / "qrcode-7" / "01.txt").read_bytes()
    assert "part 3/4" in repr(part) and len(repr(part)) < 200
