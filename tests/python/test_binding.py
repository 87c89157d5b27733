# The Python binding over the built shared library (ORVOCHART_LIBRARY).
import os
import re

import pytest

import orvochart as oc
from orvochart import _library

SOURCE = os.environ["ORVOCHART_SOURCE"]
DATA = os.environ["ORVOCHART_TEST_DATA"]
CMYK_90 = os.path.join(DATA, "instruments", "cmyk_90.txt")


def test_every_export_is_bound_by_its_plain_name():
    with open(os.path.join(SOURCE, "src", "api", "ExportNames.txt")) as listed:
        names = {line.strip() for line in listed if line.strip() and not line.startswith("#")}
    assert names == set(_library.SIGNATURES)
    lib, _ = _library.library()
    assert all(getattr(lib, name) for name in names)


def test_enumerations_match_the_header():
    with open(os.path.join(SOURCE, "include", "OrvoChartInterface.h")) as header:
        text = header.read()
    for prefix, enum in (("MI_", oc.Instrument), ("CM_", oc.ColorMode)):
        declared = {name: int(v) for name, v in re.findall(rf"\b{prefix}(\w+) = (\d+)", text)}
        assert declared == {member.name: member.value for member in enum}


def test_create_chart_writes_every_page(tmp_path):
    out = tmp_path / "chart.tif"
    layout = oc.create_chart(instrument=oc.Instrument.EYEONEPRO2, mode=oc.ColorMode.CMYK,
                             reference=CMYK_90, output=out, width_mm=170, height_mm=80)
    pages = sorted(tmp_path.iterdir())
    assert all(page.read_bytes()[:4] == b"II*\x00" for page in pages)
    # The pages hold the 90 patches: all pages but the last are full.
    per_page = layout.strips * layout.columns
    assert (len(pages) - 1) * per_page < 90 <= len(pages) * per_page


# Ways the library refuses a chart, each from another place, and the reason
# it logs first; "@name" is a file in the test's folder.
REFUSALS = [
    ({"reference": "@missing.txt"}, "GenChart/InitChartParams: GenChartLib: Cannot open data"),
    ({"reference": "@no_begin.txt"}, "GenChart/InitChartParams: GenChartLib: BeginData not found"),
    ({"width_mm": 70}, "GenChart/InitChartParams: GenChartLib: Invalid page size."),
    ({"width_mm": float("nan")}, "CreateChart/createChart: GenChartLib: Invalid page size."),
    ({"output": "@taken.tif"}, "CreateChart/createChart: output file exists"),
    ({"mode": 9}, "CreateChart/createChart: colour mode 9 is not supported"),
]


@pytest.mark.parametrize("change, reason", REFUSALS)
def test_a_refused_chart_raises_the_first_logged_reason(tmp_path, change, reason):
    (tmp_path / "no_begin.txt").write_text("CGATS.17\nBEGIN_DATA_FORMAT\nSAMPLE_ID CMYK_C\n"
                                           "END_DATA_FORMAT\n")
    (tmp_path / "taken.tif").write_bytes(b"keep")
    arguments = {"instrument": oc.Instrument.DTP41, "reference": CMYK_90, "width_mm": 210,
                 "height_mm": 297, "output": tmp_path / "chart.tif"}
    arguments.update({key: tmp_path / value[1:] if str(value).startswith("@") else value
                      for key, value in change.items()})
    with pytest.raises(oc.ChartError) as refused:
        oc.create_chart(**arguments)
    assert refused.value.reason.startswith(reason)
    assert refused.value.log[0] == refused.value.reason
    assert (tmp_path / "taken.tif").read_bytes() == b"keep"


# CIEDE2000 pairs from Sharma, Wu and Dalal (2005), Table 1.
CIEDE2000 = [
    ((50.0, 2.6772, -79.7751), (50.0, 0.0, -82.7485), 2.0425),
    ((50.0, 3.1571, -77.2803), (50.0, 0.0, -82.7485), 2.8615),
    ((50.0, 0.0, 0.0), (50.0, -1.0, 2.0), 2.3669),
    ((50.0, 2.49, -0.001), (50.0, -2.49, 0.0009), 7.1792),
    ((50.0, 2.5, 0.0), (73.0, 25.0, -18.0), 27.1492),
    ((60.2574, -34.0099, 36.2677), (60.4626, -34.1751, 39.4387), 1.2644),
]


@pytest.mark.parametrize("first, second, expected", CIEDE2000)
def test_delta_e_2000_matches_the_published_pairs(first, second, expected):
    assert oc.delta_e_2000(first, second) == pytest.approx(expected, abs=5e-5)


def test_conversions_agree_with_worked_values():
    # Y = 100 * (66 / 116)^3 is L* = 50; the white itself is L* = 100, a* = b* = 0.
    assert oc.lab_from_xyz((96.422 * 0.184186, 18.4186, 82.521 * 0.184186))[0] == \
        pytest.approx(50.0, abs=1e-3)
    assert oc.lab_from_xyz((95.047, 100.0, 108.883), white_point=1, observer=0) == \
        pytest.approx((100.0, 0.0, 0.0), abs=0.02)
    assert oc.lch_from_lab((50.0, 3.0, -4.0)) == pytest.approx((50.0, 5.0, 306.8699), abs=1e-4)
    # A perfect reflector under D50 has the D50 white's XYZ; reflectance 0.1
    # everywhere has every density -log10(0.1) = 1.
    assert oc.xyz_from_spectrum([1.0] * 36) == pytest.approx((96.42, 100.0, 82.51), abs=0.05)
    assert oc.density_from_spectrum([0.1] * 36, 2) == pytest.approx((1.0,) * 4, abs=1e-9)
    for bad in (lambda: oc.density_from_spectrum([0.1] * 36, 99),
                lambda: oc.xyz_relative((50.0, 50.0, 50.0), (0.0, 100.0, 100.0))):
        with pytest.raises(ValueError):
            bad()
