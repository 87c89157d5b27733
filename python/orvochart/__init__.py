"""orvochart: colour-measurement test charts and colour-science functions.

A pure-Python binding (ctypes) over the shared library
libOrvoChartInterfaceShared. The library is the one installed beside this
package, or the one named by the environment variable ORVOCHART_LIBRARY, or
the one the system's library search finds.

    import orvochart
    layout = orvochart.create_chart(
        instrument=orvochart.Instrument.EYEONEPRO2, mode=orvochart.ColorMode.CMYK,
        reference="cmyk_1500.txt", output="chart.tif", width_mm=210, height_mm=297)
    print(layout.strips, layout.columns)
    orvochart.delta_e_2000((50, 2.6772, -79.7751), (50, 0, -82.7485))  # 2.0425

Colours are plain sequences of floats: Lab (L, a, b), XYZ (X, Y, Z) on
0..100, LCh (L, C, h), ink percentages (c, m, y, k), screen RGB 0..255.
"""

import collections
import ctypes
import enum
import os

from ._library import LibraryNotFound, library
from . import _library as _c

__all__ = [
    "ChartError", "ChartLayout", "ColorMode", "Instrument", "LibraryNotFound", "create_chart",
    "lab_from_xyz", "xyz_from_lab", "xyz_relative", "lch_from_lab", "lab_from_lch",
    "xyz_from_rgb", "lab_from_rgb", "rgb_from_xyz", "rgb_from_lab", "rgb_from_cmyk",
    "rgb_from_cmykog", "rgb_from_cmykrgb", "grey_veil", "delta_e_76", "delta_e_94",
    "delta_e_2000", "delta_e_cmc", "delta_h", "delta_f", "weighted_delta_l",
    "weighted_delta_ch", "psd_result", "xyz_from_spectrum", "density_from_spectrum",
]


class Instrument(enum.IntEnum):
    """The instruments of IdMeasureInstrument (MI_ names without the prefix)."""

    DTP41 = 2
    SPECTROSCAN = 5
    EYEONE = 11
    QUILLEYE = 13
    ICCOLOR = 14
    LUMO10 = 15
    DTP20 = 16
    DTP70 = 17
    DTP45 = 19
    EYEONE_LOWRES = 20
    LUMO20 = 21
    EYEONEPRO2 = 22
    IOPRO2 = 23
    IO = 25
    ISIS = 26
    ISISUV = 27
    SPECTROLFP = 28
    SPECTROLFP_2 = 29
    SPECTROSWING = 31
    SPECTROSWING_2 = 32
    SPECTROLFP_3 = 33
    SPECTROPAD = 34
    KM_FD5BT = 35
    SPYDERPRINT = 36
    ISIS2NET = 37
    HPZ_UVCUT = 40
    HPZ = 41
    EPSON = 45
    CANON = 46
    EPSONILS30 = 47


class ColorMode(enum.IntEnum):
    """The colour modes of ColorMode (CM_ names without the prefix)."""

    CMYK = 0
    CMYKOG = 1
    CMYKRGB = 2
    LAB = 3
    RGB = 4
    CMYKO = 5
    SIXCOLOR_6 = 6
    SIXCOLOR_7 = 7
    SPOT_1 = 100
    SPOT_2 = 101
    SPOT_3 = 102
    SPOT_4 = 103
    SPOT_5 = 104
    SPOT_6 = 105
    SPOT_7 = 106
    SPOT_8 = 107


class ChartError(Exception):
    """No chart was made. `reason` is the first line the library logged (the
    cause); `log` holds every line it logged for the job."""

    def __init__(self, reason, log):
        super().__init__(reason)
        self.reason = reason
        self.log = log


ChartLayout = collections.namedtuple("ChartLayout", "strips columns")


def create_chart(*, instrument, reference, output, width_mm, height_mm,
                 mode=ColorMode.CMYK):
    """Makes the chart of `reference`'s patches for `instrument` in `mode` on
    pages of width_mm x height_mm; the first page is written to `output`
    (never replacing a file), further pages beside it (output + "_1.tif", ...).
    Returns the strips and columns of page 1; raises ChartError with the
    library's reason when no chart is made."""
    lib, log = library()
    strips, columns = ctypes.c_int(0), ctypes.c_int(0)
    with _c._lock:
        start = log.size()
        made = lib.createChart(int(instrument), os.fsencode(output), os.fsencode(reference),
                               float(width_mm), float(height_mm), 0, ctypes.byref(strips),
                               ctypes.byref(columns), None, int(mode))
        lines = log.lines_since(start)
    if made != 1:
        if log.path is None:
            raise ChartError("no chart was made; the reason went to standard error", lines)
        raise ChartError(lines[0] if lines else "no chart was made; the library gave no reason",
                         lines)
    return ChartLayout(strips.value, columns.value)


# --- Colour science ---------------------------------------------------------
# White points: 0 D50, 1 D65, 2 C, 3 A. Observers for white points: 1 the
# 10 degree observer, anything else 2 degree.


def _three(values, record):
    first, second, third = (float(v) for v in values)
    return record(first, second, third)


def _triple(record, names):
    return tuple(getattr(record, name) for name in names)


def _doubles():
    return ctypes.c_double(), ctypes.c_double(), ctypes.c_double()


def lab_from_xyz(xyz, white_point=0, observer=None):
    """Lab of XYZ against the white of `white_point` (and `observer`)."""
    lib, _ = library()
    x, y, z = (float(v) for v in xyz)
    out = _doubles()
    refs = [ctypes.byref(v) for v in out]
    if observer is None:
        lib.GetLABfromXYZ(x, y, z, *refs, white_point)
    else:
        lib.GetLABfromXYZ_Ex(x, y, z, *refs, white_point, observer)
    return tuple(v.value for v in out)


def xyz_from_lab(lab, white_point=0):
    lib, _ = library()
    out = _doubles()
    lib.GetXYZfromLAB(*(float(v) for v in lab), *(ctypes.byref(v) for v in out), white_point)
    return tuple(v.value for v in out)


def xyz_relative(sample, paper, white_point=0, observer=0):
    """`sample` scaled so that `paper` becomes the white; ValueError when a
    paper component is not above 0."""
    lib, _ = library()
    result = _c.ColorTriplex()
    if lib.GetXYZrelative(_three(sample, _c.ColorTriplex), ctypes.byref(result), white_point,
                          observer, _three(paper, _c.ColorTriplex)) != 0:
        raise ValueError("every paper XYZ component must be above 0")
    return _triple(result, "XYZ")


def lch_from_lab(lab):
    return _triple(library()[0].GetLCHFromLab(_three(lab, _c.LabRecord)), "LCh")


def lab_from_lch(lch):
    return _triple(library()[0].GetLabFromLCH(_three(lch, _c.LCHRecord)), "Lab")


def _rgb(values):
    r, g, b = (int(v) for v in values)
    return _c.RGBRecord(r, g, b)


def xyz_from_rgb(rgb):
    return _triple(library()[0].GetXYZFromRGB(_rgb(rgb)), "XYZ")


def lab_from_rgb(rgb):
    return _triple(library()[0].GetLABFromRGB(_rgb(rgb)), "Lab")


def rgb_from_xyz(xyz, rgb_space=1):
    """Display RGB of XYZ: rgb_space 0 wide gamut, 1 sRGB, 2 NTSC, 3 none."""
    lib, _ = library()
    out = ctypes.c_int32(), ctypes.c_int32(), ctypes.c_int32()
    lib.GetRGBfromXYZ(*(float(v) for v in xyz), *(ctypes.byref(v) for v in out), rgb_space)
    return tuple(v.value for v in out)


def rgb_from_lab(lab):
    return _triple(library()[0].GetRGBFromLab(_three(lab, _c.LabRecord)), "RGB")


def rgb_from_cmyk(cmyk):
    record = _c.ColorQuadruple(*(float(v) for v in cmyk))
    return _triple(library()[0].GetRGBFromCMYK(record), "RGB")


def rgb_from_cmykog(cmykog):
    record = _c.CMYKOGRecord(*(float(v) for v in cmykog))
    return _triple(library()[0].GetRGBFromCMYKOG(record), "RGB")


def rgb_from_cmykrgb(cmyk, rgb):
    """Screen preview of CMYK percentages plus red, green and blue inks
    (whole percent)."""
    record = _c.CMYKRGBRecord(*(float(v) for v in cmyk), *(int(v) for v in rgb))
    return _triple(library()[0].GetRGBFromCMYKRGB(record), "RGB")


def grey_veil(rgb):
    return _triple(library()[0].AddGreyVeilToRGB(_rgb(rgb)), "RGB")


def _difference(name):
    def difference(lab1, lab2):
        return getattr(library()[0], name)(*(float(v) for v in (*lab1, *lab2)))

    difference.__name__ = name
    difference.__doc__ = "%s between two Lab colours; the first is the reference." % name
    return difference


delta_e_76 = _difference("GetDeltaE_CIE76")
delta_e_94 = _difference("GetDeltaE_CIE94")
delta_e_2000 = _difference("GetDeltaE_CIE2000")
delta_e_cmc = _difference("GetDeltaE_CIECMC")
delta_h = _difference("GetDeltaH")
delta_f = _difference("GetDeltaF")


def weighted_delta_l(l1, l2, l_ref):
    return library()[0].GetWeightedDeltaL(float(l1), float(l2), float(l_ref))


def weighted_delta_ch(delta_ch, lightness):
    return library()[0].GetWeightedDeltaCh(float(delta_ch), float(lightness))


def psd_result(value, limits):
    """Tolerance class of `value` against three limits: 1, 2, 3, or 0 above
    all three."""
    bounds = (ctypes.c_double * 3)(*(float(v) for v in limits))
    return library()[0].GetPSDResult(float(value), bounds)


def _spectrum(values, start_nm, step_nm):
    values = [float(v) for v in values]
    if not 1 <= len(values) <= 36:
        raise ValueError("a spectrum has 1 to 36 values")
    return _c.SpectRecord((ctypes.c_double * 36)(*values), int(start_nm), int(step_nm),
                          len(values), 0)


def xyz_from_spectrum(reflectances, start_nm=380, step_nm=10, illuminant=0, observer=0):
    """XYZ (0..100) of a reflectance spectrum (factors 0..1) under
    `illuminant` for `observer` (numbers as in OrvoChartInterface.h)."""
    lib, _ = library()
    result = _c.ColorTriplex()
    if lib.GetXYZfromSPECTRAL_Ex(_spectrum(reflectances, start_nm, step_nm), ctypes.byref(result),
                                 illuminant, observer) != 0:
        raise ValueError("unknown illuminant or observer, or a spectrum step not above 0")
    return _triple(result, "XYZ")


def density_from_spectrum(reflectances, density_type=0):
    """Red, green, blue and visual density of 36 reflectances from 380 nm at
    10 nm; density_type 0 status A, 1 M, 2 T, 3 E, 4 to 6 narrow band."""
    if len(reflectances) != 36:
        raise ValueError("densities need 36 values from 380 nm at 10 nm")
    result = library()[0].GetDesityfromSPECTRAL(int(density_type),
                                                _spectrum(reflectances, 380, 10))
    if result.c == -1.0:
        raise ValueError("unknown density type %d" % density_type)
    return _triple(result, "cmyk")


def _records(values, record):
    values = [record(*(float(v) for v in value)) for value in values]
    return (record * max(1, len(values)))(*values), len(values)


def delta_t_array(first_xyz, second_xyz, inks):
    """Tone-value differences (percent) of every patch between two
    measurements (XYZ) of a set whose ink make-ups are (c, m, y, k) on
    0..255; -101.0 for a tint without paper or solid in the set."""
    first, count = _records(first_xyz, _c.ColorTriplex)
    second, second_count = _records(second_xyz, _c.ColorTriplex)
    make_ups, ink_count = _records(inks, _c.ColorQuadruple)
    if not count == second_count == ink_count:
        raise ValueError("both measurements and the inks need one entry per patch")
    result = (ctypes.c_double * max(1, count))()
    library()[0].GetDeltaTArray(result, first, second, make_ups, count)
    return list(result[:count])


def control_patches(inks, table, max_found=256):
    """Indices of the patches (inks c, m, y, k on 0..255) that match the
    make-ups of control table `table` (0..5), in patch order."""
    make_ups, count = _records(inks, _c.ColorQuadruple)
    found = (ctypes.c_ushort * max_found)()
    written = library()[0].GetGrayColorPatches(count, make_ups, max_found, int(table), found)
    return list(found[:int(written)])


__all__ += ["delta_t_array", "control_patches"]
