#!/usr/bin/env python3
"""Writes the reference files the reader and loader tests read.

Every file is small and written out literally below; this script only exists
so that line ends (LF, CR, CRLF), zero bytes and the 0xFF byte are exact.
Run it from anywhere: python3 tests/data/cgats/make_cgats_files.py
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def write(name, text, eol="\n", raw=None):
    data = raw if raw is not None else text.replace("\n", eol).encode("latin-1")
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


CMYK_HEADER = """CGATS.17
ORIGINATOR\t"Orvo test data"
DESCRIPTOR\t"CMYK rounding boundaries"
PROOFJOB "Proof Job 7"
TARGET_ID CHART-42
TARGET Press sheet A
LAYOUT_ID L17
NUMBER_OF_STRIPS 2
NUMBER_OF_COLS 3
PATCHES_PER_PAGE 12
DEVICE 16
BORDER_PATCHES 1
VERTICAL_MEAS 0
PATCH_SIZE_X 6.5
PATCH_SIZE_Y 7
GAP_SIZE 1
MEASURE_ORIENTATION 1
UV_CUT_MODE 2
ZEBRA_RULER_MODE 1
LOWRES 0
ISIS_XL_FORMAT 1
APERTURESIZE 8
RANDOMIZED_PATCHES 1
PRINTERID 12345
USE_RANDOMIZED_REFERENCEFILE 1
NUMBER_OF_FIELDS 5
BEGIN_DATA_FORMAT
SAMPLE_ID\tCMYK_C\tCMYK_M\tCMYK_Y\tCMYK_K
END_DATA_FORMAT
NUMBER_OF_SETS 6
BEGIN_DATA
"""

CMYK_ROWS = """1\t0\t10\t30\t50
2\t100\t70\t90\t9.99
3\t-3\t120\t0.2\t0.19
4\t12.5\t50.0001\t49.9999\t1e2
5\tabc\t+7.5\t5%\t.5
6\t2.55e1\t  99.9\t0\t100
END_DATA
"""

write("cmyk_basic.txt", CMYK_HEADER + CMYK_ROWS)
# The same file with decimal commas and CRLF line ends; the proof job name
# shows that commas inside quotes become full stops too.
write("cmyk_commas_crlf.txt",
      (CMYK_HEADER + CMYK_ROWS).replace('"Proof Job 7"', '"Proof, Job 7"')
      .replace("9.99", "9,99").replace("12.5", "12,5").replace("0.2\t", "0,2\t")
      .replace("0.19", "0,19").replace("50.0001", "50,0001")
      .replace("49.9999", "49,9999").replace("+7.5", "+7,5").replace("\t.5", "\t,5")
      .replace("2.55e1", "2,55e1").replace("99.9", "99,9"),
      eol="\r\n")

# Lower case everywhere, CR-only line ends, blank lines in header and data,
# quoted texts that keep their case, both spot declaration forms.
write("cmyk_lowercase_cr.txt", """cgats.17

keyword "SPOT_1 'Warm Red'"
spot_id "4 'deep blue'"
number_of_sets 3
begin_data_format
sample_id cmyk_c cmyk_m cmyk_y cmyk_k
end_data_format


begin_data
a1 10 20 30 40

"b2" 50 60 70 80


c3 0 0 0 100
end_data
""", eol="\r")

# CMYK columns plus spot columns named in the spot colour format.
write("cmyk_spot_tints.txt", """CGATS.17
NUMBER_OF_SETS 2
BEGIN_SPOTCOLOR_FORMAT
SPOT_2 SPOT_1 MISSING
END_SPOTCOLOR_FORMAT
BEGIN_DATA_FORMAT
SAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K SPOT_1 SPOT_2
END_DATA_FORMAT
BEGIN_DATA
1 10 20 30 40 100 0
2 0 0 0 0 50 10
END_DATA
""")

# Both the CMYK and the 5CLR set: the CMYKO loader takes the 5CLR values.
write("cmyko_5clr.txt", """CGATS.17
NUMBER_OF_SETS 3
BEGIN_DATA_FORMAT
SAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K 5CLR_1 5CLR_2 5CLR_3 5CLR_4 5CLR_5
END_DATA_FORMAT
BEGIN_DATA
1 10 10 10 10 20 30 40 50 0
2 10 10 10 10 0 0 0 0 100
3 10 10 10 10 100 100 100 100 50
END_DATA
""")

write("cmyko_named.txt", """CGATS.17
NUMBER_OF_SETS 3
BEGIN_DATA_FORMAT
SAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K ORANGE
END_DATA_FORMAT
BEGIN_DATA
1 10 20 30 40 0
2 0 0 0 0 100
3 50 50 50 50 10
END_DATA
""")

write("cmykog_6clr.txt", """CGATS.17
NUMBER_OF_SETS 2
BEGIN_DATA_FORMAT
SAMPLE_ID 6CLR_1 6CLR_2 6CLR_3 6CLR_4 6CLR_5 6CLR_6
END_DATA_FORMAT
BEGIN_DATA
1 10 20 30 40 50 60
2 100 0 0 0 0 100
END_DATA
""")

# 6CLR channels 1 to 4 only: orange and green read as no ink.
write("cmykog_6clr_partial.txt", """CGATS.17
NUMBER_OF_SETS 1
BEGIN_DATA_FORMAT
SAMPLE_ID 6CLR_1 6CLR_2 6CLR_3 6CLR_4
END_DATA_FORMAT
BEGIN_DATA
1 70 30 10 90
END_DATA
""")

write("cmykog_named.txt", """CGATS.17
NUMBER_OF_SETS 2
BEGIN_DATA_FORMAT
SAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K ORANGE GREEN
END_DATA_FORMAT
BEGIN_DATA
1 10 20 30 40 50 60
2 0 0 0 0 100 0
END_DATA
""")

write("cmykrgb_7clr.txt", """CGATS.17
NUMBER_OF_SETS 2
BEGIN_DATA_FORMAT
SAMPLE_ID 7CLR_1 7CLR_2 7CLR_3 7CLR_4 7CLR_5 7CLR_6 7CLR_7
END_DATA_FORMAT
BEGIN_DATA
1 10 20 30 40 50 60 70
2 0 0 0 0 100 100 100
END_DATA
""")

write("cmykrgb_named.txt", """CGATS.17
NUMBER_OF_SETS 2
BEGIN_DATA_FORMAT
SAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K RED GREEN BLUE
END_DATA_FORMAT
BEGIN_DATA
1 10 20 30 40 90 70 30
2 100 100 100 100 0 0 0
END_DATA
""")

LAB_ROWS = """1 50 -10 20
2 10 -140 127.4
3 90 -10.5 20.5
4 100 -0.5 126.4
5 0 -10.6 -128.5
END_DATA
"""

write("lab_mixed_case.txt", """CGATS.17
NUMBER_OF_SETS 5
BEGIN_DATA_FORMAT
SAMPLE_ID Lab_L Lab_a Lab_b
END_DATA_FORMAT
BEGIN_DATA
""" + LAB_ROWS)

write("lab_upper_commas.txt", """CGATS.17
NUMBER_OF_SETS 5
BEGIN_DATA_FORMAT
SAMPLE_ID XYZ_X XYZ_Y XYZ_Z LAB_L LAB_A LAB_B
END_DATA_FORMAT
BEGIN_DATA
""" + "\n".join(
    (f"{r.split()[0]} 1 2 3 " + " ".join(r.split()[1:])).replace(".", ",")
    for r in LAB_ROWS.strip().splitlines()[:-1]) + "\nEND_DATA\n")

write("rgb.txt", """CGATS.17
NUMBER_OF_SETS 3
BEGIN_DATA_FORMAT
SAMPLE_ID RGB_R RGB_G RGB_B
END_DATA_FORMAT
BEGIN_DATA
1 254.9 300 -1
2 0 255 127.99
3 1e3 -0.5 256
END_DATA
""")

# Two spot inks, no CMYK columns, spot declarations of both forms.
write("spot_2clr.txt", """CGATS.17
KEYWORD "SPOT_1 'Pantone 185 C'"
KEYWORD "SPOT_2 'Blue A'"
SPOT_ID "7 'Red B'"
NUMBER_OF_SETS 3
BEGIN_DATA_FORMAT
SAMPLE_ID 2CLR_1 2CLR_2
END_DATA_FORMAT
BEGIN_DATA
1 100 0
2 50 10
3 0 0
END_DATA
""")

write("spot_pc6.txt", """CGATS.17
NUMBER_OF_SETS 2
BEGIN_DATA_FORMAT
SAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K PC6_1 PC6_2 PC6_3 PC6_4 PC6_5 PC6_6
END_DATA_FORMAT
BEGIN_DATA
1 10 20 30 40 10 20 30 40 50 60
2 0 0 0 100 100 0 0 0 0 100
END_DATA
""")

# 1CLR_1 and the 3CLR set: the largest N wins; nCLR before PC names.
write("spot_mixed_n.txt", """CGATS.17
NUMBER_OF_SETS 1
BEGIN_DATA_FORMAT
SAMPLE_ID 1CLR_1 3CLR_1 3CLR_2 3CLR_3 PC8_1
END_DATA_FORMAT
BEGIN_DATA
1 90 10 20 30 40
END_DATA
""")

# Eight inks with device-N make-ups, process colour names, a spot colour
# format and target and reporting sections whose contents must be skipped.
write("spot_8clr_devicen.txt", """CGATS.17
DEVICEN_CMYK_CLR_1 100 0 0 0 CYAN
DEVICEN_CMYK_CLR_5 0 60 100 0 ORANGE
DEVICEN_CMYK_CLR_6 75,5 0 100 0
DEVICEN_CMYK_CLR_7 1 2 3
DEVICEN_CMYK_CLR_9 1 2 3 4 NINE
PROCESSCOLOR_ID 8 "Process Violet"
PROCESSCOLOR_ID 3 "Process Deep Yellow"
BEGIN_TARGET_FORMAT
NUMBER_OF_SETS 0
BEGIN_DATA
END_TARGET_FORMAT
BEGIN_REPORTING_FORMAT
BEGIN_DATA_FORMAT
END_REPORTING_FORMAT
NUMBER_OF_SETS 2
BEGIN_DATA_FORMAT
SAMPLE_ID 8CLR_1 8CLR_2 8CLR_3 8CLR_4 8CLR_5 8CLR_6 8CLR_7 8CLR_8
END_DATA_FORMAT
BEGIN_DATA
1 10 20 30 40 50 60 70 80
2 0 0 0 0 100 100 0 0
END_DATA
""")

# Spot channel 2 of 3 missing.
write("spot_missing_channel.txt", """CGATS.17
NUMBER_OF_SETS 1
BEGIN_DATA_FORMAT
SAMPLE_ID 3CLR_1 3CLR_3
END_DATA_FORMAT
BEGIN_DATA
1 10 20
END_DATA
""")


def spectral(name, columns, values):
    header = ("CGATS.17\nNUMBER_OF_SETS 2\nBEGIN_DATA_FORMAT\nSAMPLE_ID " +
              " ".join(columns) + "\nEND_DATA_FORMAT\nBEGIN_DATA\n")
    rows = "".join(f"{i + 1} " + " ".join(values(i, k) for k in range(len(columns))) + "\n"
                   for i in range(2))
    write(name, header + rows + "END_DATA\n")


WAVELENGTHS = range(380, 731, 10)
# Percent reflectance: row 1 is 10 + k, row 2 is 50 + k/2 at the k-th band.
spectral("spectral_percent.txt", [f"SPECTRAL_NM_{w}" for w in WAVELENGTHS],
         lambda i, k: f"{10 + k}" if i == 0 else f"{50 + k / 2:g}")
spectral("spectral_factor.txt", [f"nm{w}" for w in WAVELENGTHS],
         lambda i, k: f"{(10 + k) / 100:g}" if i == 0 else f"{(50 + k / 2) / 100:g}")
# Every spelling once, in an order the sort has to change.
spectral("spectral_mixed.txt",
         ["SPECTRAL_NM_440", "SP_400", "SPECTRAL_410", "SPECTRAL_NM420", "NM430", "NMX"],
         lambda i, k: f"{k}")

write("measured_columns.txt", """CGATS.17
NUMBER_OF_SETS 1
BEGIN_DATA_FORMAT
SAMPLE_ID D_RED D_GREEN D_BLUE D_VIS XYZ_X XYZ_Y XYZ_Z LAB_L LAB_A LAB_B RGB_R RGB_G RGB_B DRGB CMY_C CMY_M CMY_Y
END_DATA_FORMAT
BEGIN_DATA
1 0.1 0.2 0.3 0.4 41.2 21.3 1.9 50 60 70 255 0 0 1 100 0 0
END_DATA
""")

# Zero bytes end lines outside quotes; inside quotes they are text.
write("nul_line_ends.txt", None, raw=(
    b"CGATS.17\0NUMBER_OF_SETS 1\0BEGIN_DATA_FORMAT\0SAMPLE_NAME CMYK_C CMYK_M CMYK_Y CMYK_K\0"
    b"END_DATA_FORMAT\0BEGIN_DATA\0\"a\0b\" 10 20 30 40\0END_DATA\0"))

# One malformed file per reader error code.
MINIMAL_FORMAT = "BEGIN_DATA_FORMAT\nSAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K\nEND_DATA_FORMAT\n"
ROW = "1 10 20 30 40\n"
write("err_zero_sets.txt", "CGATS.17\nNUMBER_OF_SETS 0\n" + MINIMAL_FORMAT +
      "BEGIN_DATA\n" + ROW + "END_DATA\n")
write("err_negative_sets.txt", "CGATS.17\nNUMBER_OF_SETS -4\n" + MINIMAL_FORMAT +
      "BEGIN_DATA\n" + ROW + "END_DATA\n")
write("err_no_sets_keyword.txt", "CGATS.17\n" + MINIMAL_FORMAT + "BEGIN_DATA\n" + ROW +
      "END_DATA\n")
write("err_begin_data_without_format.txt", "CGATS.17\nNUMBER_OF_SETS 1\nBEGIN_DATA\n" + ROW +
      "END_DATA\n")
write("err_empty_data_format.txt", "CGATS.17\nNUMBER_OF_SETS 1\nBEGIN_DATA_FORMAT\n"
      "END_DATA_FORMAT\nBEGIN_DATA\n" + ROW + "END_DATA\n")
write("err_no_begin_data.txt", "CGATS.17\nNUMBER_OF_SETS 1\n" + MINIMAL_FORMAT + ROW +
      "END_DATA\n")
write("err_ff_line.txt", None, raw=(
    "CGATS.17\nNUMBER_OF_SETS 1\n" + MINIMAL_FORMAT).encode() + b"\xffSTOP\nBEGIN_DATA\n" +
    (ROW + "END_DATA\n").encode())
write("err_unclosed_target_format.txt", "CGATS.17\nNUMBER_OF_SETS 1\n" + MINIMAL_FORMAT +
      "BEGIN_TARGET_FORMAT\nBEGIN_DATA\n" + ROW + "END_DATA\n")
write("err_eof_in_data.txt", "CGATS.17\nNUMBER_OF_SETS 3\n" + MINIMAL_FORMAT +
      "BEGIN_DATA\n" + ROW + ROW)
write("err_nul_row.txt", None, raw=(
    "CGATS.17\nNUMBER_OF_SETS 2\n" + MINIMAL_FORMAT + "BEGIN_DATA\n" + ROW).encode() +
    b"\0" + (ROW + "END_DATA\n").encode())
write("err_huge_sets_eof.txt", "CGATS.17\nNUMBER_OF_SETS 2000000000\n" + MINIMAL_FORMAT +
      "BEGIN_DATA\n" + ROW * 3)
write("err_huge_sets_end_data.txt", "CGATS.17\nNUMBER_OF_SETS 2000000000\n" +
      MINIMAL_FORMAT + "BEGIN_DATA\n" + ROW * 3 + "END_DATA\n")
write("err_short_data.txt", "CGATS.17\nNUMBER_OF_SETS 3\n" + MINIMAL_FORMAT +
      "BEGIN_DATA\n" + ROW * 2 + "END_DATA\n")
write("err_row_length.txt", "CGATS.17\nNUMBER_OF_SETS 2\n" + MINIMAL_FORMAT +
      "BEGIN_DATA\n" + ROW + "Light Grey 10 20 30 40\nEND_DATA\n")
write("err_extra_row.txt", "CGATS.17\nNUMBER_OF_SETS 2\n" + MINIMAL_FORMAT +
      "BEGIN_DATA\n" + ROW * 3 + "END_DATA\n")
