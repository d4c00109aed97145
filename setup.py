"""Builds the qrsuite Python package's compiled module with this
repository's CMake build (see pyproject.toml): only the module's target and
the two libraries it links, which are installed inside the package (rpath
$ORIGIN), so the package needs nothing outside itself but the system's own
libraries."""

import os
import pathlib
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).resolve().parent


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = pathlib.Path(self.build_temp).resolve() / "cmake"
        # The folder the package is gathered in (build/lib... for a wheel, the
        # source tree for an editable install).
        package_root = pathlib.Path(self.get_ext_fullpath(ext.name)).resolve().parent.parent
        configure = [
            "cmake", "-S", str(ROOT), "-B", str(build),
            "-DCMAKE_BUILD_TYPE=Release",
            "-DQR_BUILD_TESTS=OFF", "-DQR_BUILD_BENCH=OFF", "-DQR_BUILD_APPS=OFF",
            "-DQR_BUILD_PYTHON=ON", "-DQR_PYTHON_WHEEL=ON",
            f"-DPython3_EXECUTABLE={sys.executable}",
            "-DQR_PYTHON_INSTALL_DIR=.",
            f"-DCMAKE_INSTALL_PREFIX={package_root}",
        ]
        if shutil.which("ninja") and not (build / "CMakeCache.txt").exists():
            configure += ["-G", "Ninja"]
        subprocess.run(configure, check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", str(len(os.sched_getaffinity(0))))
        subprocess.run(["cmake", "--build", str(build), "--target", "qrsuite_python", "--parallel", jobs],
                       check=True)
        subprocess.run(["cmake", "--install", str(build), "--component", "python", "--prefix", str(package_root)],
                       check=True)


setup(ext_modules=[Extension("qrsuite._qrsuite", sources=[])], cmdclass={"build_ext": CMakeBuild})
