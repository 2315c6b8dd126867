"""pip install . builds the Python package getchar with CMake: the module
target only (Release, no tests), then the package's files and the shipped data
it needs go into the wheel. Nothing is written into the source tree: the
build happens in $GETCHAR_PIP_BUILD_DIR if set (kept, so that a second
install reuses it), else in a temporary folder removed afterwards.
Run: python3 -m pip install --no-build-isolation ."""
import atexit
import os
import re
import shutil
import subprocess
import sys
import tempfile

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = os.path.dirname(os.path.abspath(__file__))
# The advice's shipped files (libs/advice reads them; module_locations.h).
DATA_FILES = ["reference-table.txt", "front.txt", "choice-model.json", "cost-model.json",
              "gain-model.json", "confidence-calibration.json"]


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
        found = re.search(r"project\(getChar VERSION ([0-9.]+)", f.read())
    if not found:
        sys.exit("setup.py: no project version in CMakeLists.txt")
    return found.group(1)


def work_folder():
    given = os.environ.get("GETCHAR_PIP_BUILD_DIR")
    if given:
        os.makedirs(given, exist_ok=True)
        return os.path.abspath(given)
    made = tempfile.mkdtemp(prefix="getchar-pip-")
    atexit.register(shutil.rmtree, made, True)
    return made


WORK = work_folder()


class CMakeBuild(build_ext):
    """Builds the CMake target getchar and lays out the package around it."""

    def run(self):
        build = os.path.join(WORK, "cmake")
        configure = ["cmake", "-S", ROOT, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                     "-DGETCHAR_TESTS=OFF", "-DGETCHAR_PYTHON_WHEEL=ON",
                     "-DPython3_EXECUTABLE=" + sys.executable]
        try:
            import pybind11
            configure.append("-Dpybind11_DIR=" + pybind11.get_cmake_dir())
        except ImportError:
            pass  # CMake looks for pybind11-dev's own
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL") or str(min(os.cpu_count() or 1, 2))
        for command in (configure, ["cmake", "--build", build, "--target", "getchar", "-j", jobs]):
            print(" ".join(command), flush=True)
            subprocess.run(command, check=True)
        built = os.path.join(build, "python", "getchar")
        if not os.path.exists(os.path.join(built, "__init__.py")):
            sys.exit("setup.py: CMake did not build the Python module "
                     "(python3-dev or pybind11-dev missing? see its output above)")
        package = os.path.join(os.path.abspath(self.build_lib), "getchar")
        os.makedirs(os.path.join(package, "data"), exist_ok=True)
        for name in os.listdir(built):
            if name.endswith((".py", ".so")):
                shutil.copy2(os.path.join(built, name), package)
        for name in DATA_FILES:
            shutil.copy2(os.path.join(ROOT, "data", name), os.path.join(package, "data"))


setup(
    name="getchar",
    version=project_version(),
    description="getChar's features, scores and aligner advice for protein FASTA data sets",
    python_requires=">=3.7",
    # The package comes whole out of CMake's build: no sources found here.
    packages=[],
    py_modules=[],
    ext_modules=[Extension("getchar._getchar", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    zip_safe=False,
    options={"build": {"build_base": os.path.join(WORK, "build")},
             "egg_info": {"egg_base": WORK}},
)
