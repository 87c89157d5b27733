"""Finding and loading the shared library, its C records, and its log.

Every function is looked up by its plain exported name ("createChart",
"GetDeltaE_CIE2000"), the same function as the C++ export.
"""

import atexit
import ctypes
import os
import tempfile
import threading

LIBRARY_FILE = "libOrvoChartInterfaceShared.so"
LIBRARY_SONAME = LIBRARY_FILE + ".0"
LIBRARY_VARIABLE = "ORVOCHART_LIBRARY"


class LibraryNotFound(OSError):
    """The shared library could not be loaded."""


class LabRecord(ctypes.Structure):
    _fields_ = [("L", ctypes.c_double), ("a", ctypes.c_double), ("b", ctypes.c_double)]


class LCHRecord(ctypes.Structure):
    _fields_ = [("L", ctypes.c_double), ("C", ctypes.c_double), ("h", ctypes.c_double)]


class ColorTriplex(ctypes.Structure):
    _fields_ = [("X", ctypes.c_double), ("Y", ctypes.c_double), ("Z", ctypes.c_double)]


class ColorQuadruple(ctypes.Structure):
    _fields_ = [(name, ctypes.c_double) for name in ("c", "m", "y", "k")]


class RGBRecord(ctypes.Structure):
    _fields_ = [(name, ctypes.c_int32) for name in ("R", "G", "B")]


class CMYKOGRecord(ctypes.Structure):
    _fields_ = [(name, ctypes.c_double) for name in ("C", "M", "Y", "K", "O", "G")]


class CMYKRGBRecord(ctypes.Structure):
    _fields_ = [(name, ctypes.c_double) for name in ("C", "M", "Y", "K")] + [
        (name, ctypes.c_int32) for name in ("R", "G", "B")
    ]


class SpectRecord(ctypes.Structure):
    _fields_ = [
        ("value", ctypes.c_double * 36),
        ("start", ctypes.c_int32),
        ("step", ctypes.c_int32),
        ("count", ctypes.c_int32),
        ("reserved", ctypes.c_int32),
    ]


_d = ctypes.c_double
_pd = ctypes.POINTER(ctypes.c_double)
_i = ctypes.c_int
_u = ctypes.c_uint
_pi = ctypes.POINTER(ctypes.c_int)
_pl = ctypes.POINTER(ctypes.c_int32)
_six = [_d] * 6

# Plain name: (result type, argument types), as declared in OrvoChartInterface.h.
SIGNATURES = {
    "createChart": (_i, [ctypes.c_int32, ctypes.c_char_p, ctypes.c_char_p, _d, _d, _i, _pi, _pi,
                         _pi, ctypes.c_int32]),
    "GetLABfromXYZ": (_i, [_d, _d, _d, _pd, _pd, _pd, _u]),
    "GetLABfromXYZ_Ex": (_i, [_d, _d, _d, _pd, _pd, _pd, _u, _u]),
    "GetXYZfromLAB": (_i, [_d, _d, _d, _pd, _pd, _pd, _u]),
    "GetXYZrelative": (_i, [ColorTriplex, ctypes.POINTER(ColorTriplex), _u, _u, ColorTriplex]),
    "GetLCHFromLab": (LCHRecord, [LabRecord]),
    "GetLabFromLCH": (LabRecord, [LCHRecord]),
    "GetXYZFromRGB": (ColorTriplex, [RGBRecord]),
    "GetLABFromRGB": (LabRecord, [RGBRecord]),
    "GetRGBfromXYZ": (_i, [_d, _d, _d, _pl, _pl, _pl, _u]),
    "GetRGBFromLab": (RGBRecord, [LabRecord]),
    "GetRGBFromCMYK": (RGBRecord, [ColorQuadruple]),
    "GetRGBFromCMYKOG": (RGBRecord, [CMYKOGRecord]),
    "GetRGBFromCMYKRGB": (RGBRecord, [CMYKRGBRecord]),
    "AddGreyVeilToRGB": (RGBRecord, [RGBRecord]),
    "GetDeltaE_CIE76": (_d, _six),
    "GetDeltaE_CIE94": (_d, _six),
    "GetDeltaE_CIE2000": (_d, _six),
    "GetDeltaE_CIECMC": (_d, _six),
    "GetDeltaH": (_d, _six),
    "GetDeltaF": (_d, _six),
    "GetWeightedDeltaL": (_d, [_d, _d, _d]),
    "GetWeightedDeltaCh": (_d, [_d, _d]),
    "GetDeltaT": (_d, [_i, ctypes.POINTER(ColorTriplex), ctypes.POINTER(ColorTriplex),
                       ctypes.POINTER(ColorQuadruple), _u]),
    "GetDeltaTArray": (_i, [_pd, ctypes.POINTER(ColorTriplex), ctypes.POINTER(ColorTriplex),
                            ctypes.POINTER(ColorQuadruple), _u]),
    "GetDeltaLFograMediaRelativeDarkAreas": (_d, [_i, ctypes.POINTER(ColorQuadruple),
                                                  ctypes.POINTER(LabRecord),
                                                  ctypes.POINTER(LabRecord)]),
    "GetPSDResult": (_i, [_d, _pd]),
    "GetXYZfromSPECTRAL_Ex": (_i, [SpectRecord, ctypes.POINTER(ColorTriplex), _u, _u]),
    "GetXYZfromSPECTRAL": (ColorTriplex, [SpectRecord]),
    "GetDesityfromSPECTRAL": (ColorQuadruple, [ctypes.c_int32, SpectRecord]),
    "GetGrayColorPatches": (_d, [_i, ctypes.POINTER(ColorQuadruple), _i, _i,
                                 ctypes.POINTER(ctypes.c_ushort)]),
    "GetWholeSummary": (_i, [ctypes.c_void_p]),
}


def _installed_library():
    """The library of the installation this package belongs to, if any."""
    try:
        from . import _installed
    except ImportError:
        return None
    here = os.path.dirname(os.path.abspath(__file__))
    path = os.path.join(here, _installed.LIBRARY_FROM_PACKAGE, LIBRARY_SONAME)
    return path if os.path.exists(path) else None


def _candidates():
    chosen = os.environ.get(LIBRARY_VARIABLE)
    if chosen:
        return [chosen]
    installed = _installed_library()
    return ([installed] if installed else []) + [LIBRARY_SONAME]


class ChartLog:
    """The library's diagnostics: a file of ours unless the user chose a place.

    The library reads ORVOCHART_LOG once, at its first diagnostic, so the
    place is fixed before the library is loaded and kept for the process.
    """

    def __init__(self):
        chosen = os.environ.get("ORVOCHART_LOG")
        if chosen:
            self.path = None if chosen == "stderr" else chosen
            return
        handle, self.path = tempfile.mkstemp(prefix="orvochart-", suffix=".log")
        os.close(handle)
        os.environ["ORVOCHART_LOG"] = self.path
        atexit.register(self._remove)

    def _remove(self):
        try:
            os.remove(self.path)
        except OSError:
            pass

    def size(self):
        try:
            return os.path.getsize(self.path) if self.path else 0
        except OSError:
            return 0

    def lines_since(self, offset):
        if not self.path:
            return []
        try:
            with open(self.path, "rb") as log:
                log.seek(offset)
                text = log.read().decode("utf-8", "replace")
        except OSError:
            return []
        return [line for line in text.splitlines() if line]


_lock = threading.Lock()
_state = {}


def library():
    """The loaded library with every export's argument and result types set,
    and the chart log; loaded on first use."""
    with _lock:
        if "library" not in _state:
            _state["log"] = ChartLog()
            _state["library"] = _load()
        return _state["library"], _state["log"]


def _load():
    reasons = []
    for candidate in _candidates():
        try:
            loaded = ctypes.CDLL(candidate)
            break
        except OSError as error:
            reasons.append(str(error))
    else:
        raise LibraryNotFound(
            "cannot load the orvochart library (%s); install it, or set %s to the path of %s"
            % ("; ".join(reasons), LIBRARY_VARIABLE, LIBRARY_FILE))
    for name, (result, arguments) in SIGNATURES.items():
        function = getattr(loaded, name)
        function.restype = result
        function.argtypes = arguments
    return loaded
