#!/usr/bin/env python3
"""Generates src/color/SpectralData.cpp, the spectral tables compiled into the
library, from the public CIE and ISO data files.

usage: scripts/generate_color_tables.py SHARED_DATA_DIR [OUTPUT.cpp]

SHARED_DATA_DIR holds the CIE observer and illuminant tables, the ISO 5-3
status density products and V(lambda) (see its README); scripts/colordata/
holds the fluorescent illuminants and the CIE daylight components (see the
README there). The numbers are copied as decimal text, never re-rounded, so
the generated file can be compared with the sources line by line.
"""
import csv
import math
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
COLORDATA = os.path.join(HERE, "colordata")


def read_columns(path):
    """Returns (wavelengths, {column name: [text cells]}) of a CSV file."""
    with open(path, newline="") as f:
        rows = list(csv.reader(f))
    header, body = rows[0], rows[1:]
    wavelengths = [int(r[0]) for r in body]
    columns = {name: [r[i] for r in body] for i, name in enumerate(header) if i > 0}
    return wavelengths, columns


def check_grid(wavelengths, first, last, step, what):
    expected = list(range(first, last + 1, step))
    if wavelengths != expected:
        sys.exit(f"{what}: expected {first}..{last} nm at {step} nm")


def sample(wavelengths, cells, first, last, step):
    """The cells at first..last in `step` nm, taken from a finer table."""
    index = {w: i for i, w in enumerate(wavelengths)}
    return [cells[index[w]] for w in range(first, last + 1, step)]


def daylight(components, cct_nominal):
    """CIE daylight illuminant of the nominal temperature: S0 + M1 S1 + M2 S2
    with the CCT corrected for c2 = 1.4388e-2 and M1, M2 rounded to three
    decimals (CIE 15:2004, 3.1), normalised to 100 at 560 nm."""
    t = cct_nominal * 1.4388 / 1.4380
    if t <= 7000:
        xd = -4.6070e9 / t**3 + 2.9678e6 / t**2 + 0.09911e3 / t + 0.244063
    else:
        xd = -2.0064e9 / t**3 + 1.9018e6 / t**2 + 0.24748e3 / t + 0.237040
    yd = -3.000 * xd * xd + 2.870 * xd - 0.275
    m = 0.0241 + 0.2562 * xd - 0.7341 * yd
    m1 = round((-1.3515 - 1.7703 * xd + 5.9114 * yd) / m, 3)
    m2 = round((0.0300 - 31.4424 * xd + 30.0717 * yd) / m, 3)
    wavelengths, cols = components
    s = [float(a) + m1 * float(b) + m2 * float(c)
         for a, b, c in zip(cols["S0"], cols["S1"], cols["S2"])]
    at560 = s[wavelengths.index(560)]
    # Six significant figures, as the CIE tabulates its daylight illuminants.
    return wavelengths, ["%.6g" % (100.0 * v / at560) for v in s]


def narrow_band_log(peak_nm, wavelengths, fwhm_nm=20.0):
    """log10 spectral product of a Gaussian pass band, peak 5.000."""
    k = 4.0 * math.log(2.0) * math.log10(math.e)
    return ["%.3f" % (5.0 - k * ((w - peak_nm) / fwhm_nm) ** 2) for w in wavelengths]


def cpp_array(name, cells):
    lines = []
    for i in range(0, len(cells), 6):
        lines.append("    " + ", ".join(cells[i:i + 6]) + ",")
    return f"constexpr double {name}[{len(cells)}] = {{\n" + "\n".join(lines) + "\n};\n"


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    shared = sys.argv[1]
    output = sys.argv[2] if len(sys.argv) > 2 else os.path.join(
        HERE, "..", "src", "color", "SpectralData.cpp")
    arrays = []

    w, cie2 = read_columns(os.path.join(shared, "cie1931_2deg_1nm.csv"))
    check_grid(w, 360, 830, 1, "CIE 1931")
    w10, cie10 = read_columns(os.path.join(shared, "cie1964_10deg_1nm.csv"))
    check_grid(w10, 360, 830, 1, "CIE 1964")
    for suffix, cols, keys in (("1931", cie2, ("xbar", "ybar", "zbar")),
                               ("1964", cie10, ("xbar10", "ybar10", "zbar10"))):
        for axis, key in zip("XYZ", keys):
            arrays.append(cpp_array(f"kCie{suffix}{axis}", cols[key]))
    # The abridged observer tables: the same CIE data at coarser steps.
    abridged = (("Cie1931At10nm390To730", w, cie2, ("xbar", "ybar", "zbar"), 390, 730, 10),
                ("Cie1964At5nm380To825", w10, cie10, ("xbar10", "ybar10", "zbar10"), 380, 825, 5),
                ("Cie1931At5nm360To830", w, cie2, ("xbar", "ybar", "zbar"), 360, 830, 5),
                ("Cie1964At10nm400To700", w10, cie10, ("xbar10", "ybar10", "zbar10"), 400, 700,
                 10))
    for name, wl, cols, keys, first, last, step in abridged:
        for axis, key in zip("XYZ", keys):
            arrays.append(cpp_array(f"k{name}{axis}", sample(wl, cols[key], first, last, step)))

    for name, file, first, last in (("D50", "illuminant_D50_5nm.csv", 300, 830),
                                    ("A", "illuminant_A_5nm.csv", 300, 830),
                                    ("C", "illuminant_C_5nm.csv", 320, 780),
                                    ("D65", "illuminant_D65_5nm.csv", 300, 830)):
        wl, cols = read_columns(os.path.join(shared, file))
        check_grid(wl, first, last, 5, name)
        arrays.append(cpp_array(f"kIlluminant{name}", cols["relative_spd"]))
    # Fluorescent lamps: tabulated 380..780 nm, zero outside the lamp's range.
    for name in ("F2", "F7", "F11"):
        wl, cols = read_columns(os.path.join(COLORDATA, f"illuminant_{name}_5nm.csv"))
        check_grid(wl, 380, 780, 5, name)
        by_nm = dict(zip(wl, cols["relative_spd"]))
        arrays.append(cpp_array(f"kIlluminant{name}",
                                [by_nm.get(nm, "0") for nm in range(300, 831, 5)]))
    components = read_columns(os.path.join(COLORDATA, "daylight_components_5nm.csv"))
    check_grid(components[0], 300, 830, 5, "daylight components")
    wl, d55 = daylight(components, 5500)
    arrays.append(cpp_array("kIlluminantD55", sample(wl, d55, 325, 795, 5)))
    arrays.append(cpp_array("kEqualEnergy", ["1.0"] * 107))

    wl, status = read_columns(os.path.join(shared, "status_densities_10nm.csv"))
    check_grid(wl, 380, 730, 10, "status densities")
    _, extrapolated = read_columns(os.path.join(shared, "status_densities_10nm_extrapolated.csv"))
    for kind in "AMTE":
        # Status A and M carry the standard's extrapolation slopes outside the
        # tabulated range; status T and E have no response there.
        source = extrapolated if kind in "AM" else status
        for channel in "RGB":
            cells = [c if c else "kNoResponse" for c in source[f"{kind}_{channel}"]]
            arrays.append(cpp_array(f"kStatus{kind}{channel}", cells))
    for name, peaks in (("NarrowBand620_540_430", (620, 540, 430)),
                        ("NarrowBand600_520_430", (600, 520, 430)),
                        ("NarrowBand620_530_430", (620, 530, 430))):
        for channel, peak in zip("RGB", peaks):
            arrays.append(cpp_array(f"k{name}{channel}", narrow_band_log(peak, wl)))
    wl, vis = read_columns(os.path.join(shared, "photopic_v_lambda_10nm.csv"))
    check_grid(wl, 380, 730, 10, "V(lambda)")
    arrays.append(cpp_array("kPhotopicV", vis["V"]))

    with open(os.path.join(HERE, "SpectralData.cpp.in")) as f:
        template = f.read()
    text = template.replace("@ARRAYS@", "\n".join(arrays))
    with open(output, "w") as f:
        f.write(text)
    # The committed file is in the repository's format.
    if shutil.which("clang-format"):
        subprocess.run(["clang-format", "-i", output], check=True)


if __name__ == "__main__":
    main()
