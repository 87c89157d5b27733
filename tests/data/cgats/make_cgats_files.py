#!/usr/bin/env python3
# Writes the reference files the reader and loader tests read. Every file is
# small and spelled out below; the script exists so that line ends (LF, CR,
# CRLF), zero bytes and the 0xFF byte are exact (texts are written as
# latin-1, so "\0" and "\xff" are single bytes).
# Run it from anywhere: python3 tests/data/cgats/make_cgats_files.py
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def write(name, text, eol="\n"):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(text.replace("\n", eol).encode("latin-1"))


# The usual layout: `head` before NUMBER_OF_SETS, `mid` after it, and the
# rows ("|" between them) numbered from 1.
def table(fields, rows, head="", mid=""):
    rows = rows.split("|") if isinstance(rows, str) else rows
    body = "".join(f"{i} {row}\n" for i, row in enumerate(rows, 1))
    return (f"CGATS.17\n{head}NUMBER_OF_SETS {len(rows)}\n{mid}BEGIN_DATA_FORMAT\n"
            f"SAMPLE_ID {fields}\nEND_DATA_FORMAT\nBEGIN_DATA\n{body}END_DATA\n")


def inks(prefix, n):
    return " ".join(f"{prefix}{k}" for k in range(1, n + 1))


CMYK = "CMYK_C CMYK_M CMYK_Y CMYK_K"
KEYWORDS = ("NUMBER_OF_STRIPS 2,NUMBER_OF_COLS 3,PATCHES_PER_PAGE 12,DEVICE 16,BORDER_PATCHES 1,"
            "VERTICAL_MEAS 0,PATCH_SIZE_X 6.5,PATCH_SIZE_Y 7,GAP_SIZE 1,MEASURE_ORIENTATION 1,"
            "UV_CUT_MODE 2,ZEBRA_RULER_MODE 1,LOWRES 0,ISIS_XL_FORMAT 1,APERTURESIZE 8,"
            "RANDOMIZED_PATCHES 1,PRINTERID 12345,USE_RANDOMIZED_REFERENCEFILE 1,"
            "NUMBER_OF_FIELDS 5").split(",")
CMYK_HEADER = ('CGATS.17\nORIGINATOR\t"Orvo test data"\nDESCRIPTOR\t"CMYK rounding boundaries"\n'
               'PROOFJOB "Proof Job 7"\nTARGET_ID CHART-42\nTARGET Press sheet A\nLAYOUT_ID L17\n' +
               "\n".join(KEYWORDS) + "\nBEGIN_DATA_FORMAT\nSAMPLE_ID\t" + CMYK.replace(" ", "\t") +
               "\nEND_DATA_FORMAT\nNUMBER_OF_SETS 6\nBEGIN_DATA\n")
# Ink values on the rounding boundaries and just beside them.
CMYK_ROWS = ("1\t0\t10\t30\t50\n2\t100\t70\t90\t9.99\n3\t-3\t120\t0.2\t0.19\n"
             "4\t12.5\t50.0001\t49.9999\t1e2\n5\tabc\t+7.5\t5%\t.5\n6\t2.55e1\t  99.9\t0\t100\n"
             "END_DATA\n")
write("cmyk_basic.txt", CMYK_HEADER + CMYK_ROWS)
# The same with decimal commas and CRLF line ends; commas inside quotes
# become full stops too.
write("cmyk_commas_crlf.txt", CMYK_HEADER.replace("Proof Job", "Proof, Job") +
      CMYK_ROWS.replace(".", ","), eol="\r\n")
# Lower case everywhere, CR-only line ends, blank lines in header and data,
# quoted texts that keep their case, both spot declaration forms.
write("cmyk_lowercase_cr.txt", "cgats.17\n\nkeyword \"SPOT_1 'Warm Red'\"\n"
      "spot_id \"4 'deep blue'\"\nnumber_of_sets 3\nbegin_data_format\n"
      "sample_id cmyk_c cmyk_m cmyk_y cmyk_k\nend_data_format\n\n\nbegin_data\n"
      "a1 10 20 30 40\n\n\"b2\" 50 60 70 80\n\n\nc3 0 0 0 100\nend_data\n", eol="\r")
# Spot columns named in the spot colour format (one of them missing).
write("cmyk_spot_tints.txt", table(CMYK + " SPOT_1 SPOT_2", "10 20 30 40 100 0|0 0 0 0 50 10",
      mid="BEGIN_SPOTCOLOR_FORMAT\nSPOT_2 SPOT_1 MISSING\nEND_SPOTCOLOR_FORMAT\n"))
# Both the CMYK and the 5CLR set: the CMYKO loader takes the 5CLR values.
write("cmyko_5clr.txt", table(CMYK + " " + inks("5CLR_", 5), "10 10 10 10 20 30 40 50 0|"
      "10 10 10 10 0 0 0 0 100|10 10 10 10 100 100 100 100 50"))
write("cmyko_named.txt", table(CMYK + " ORANGE", "10 20 30 40 0|0 0 0 0 100|50 50 50 50 10"))
write("cmykog_6clr.txt", table(inks("6CLR_", 6), "10 20 30 40 50 60|100 0 0 0 0 100"))
# 6CLR channels 1 to 4 only: orange and green read as no ink.
write("cmykog_6clr_partial.txt", table(inks("6CLR_", 4), "70 30 10 90"))
write("cmykog_named.txt", table(CMYK + " ORANGE GREEN", "10 20 30 40 50 60|0 0 0 0 100 0"))
write("cmykrgb_7clr.txt", table(inks("7CLR_", 7), "10 20 30 40 50 60 70|0 0 0 0 100 100 100"))
write("cmykrgb_named.txt", table(CMYK + " RED GREEN BLUE",
                                 "10 20 30 40 90 70 30|100 100 100 100 0 0 0"))
LAB_ROWS = ["50 -10 20", "10 -140 127.4", "90 -10.5 20.5", "100 -0.5 126.4", "0 -10.6 -128.5"]
write("lab_mixed_case.txt", table("Lab_L Lab_a Lab_b", LAB_ROWS))
write("lab_upper_commas.txt", table("XYZ_X XYZ_Y XYZ_Z LAB_L LAB_A LAB_B",
                                    ["1 2 3 " + row.replace(".", ",") for row in LAB_ROWS]))
write("rgb.txt", table("RGB_R RGB_G RGB_B", "254.9 300 -1|0 255 127.99|1e3 -0.5 256"))
# Two spot inks, no CMYK columns, spot declarations of both forms.
write("spot_2clr.txt", table("2CLR_1 2CLR_2", "100 0|50 10|0 0", head="KEYWORD \"SPOT_1 "
      "'Pantone 185 C'\"\nKEYWORD \"SPOT_2 'Blue A'\"\nSPOT_ID \"7 'Red B'\"\n"))
write("spot_pc6.txt", table(CMYK + " " + inks("PC6_", 6),
                            "10 20 30 40 10 20 30 40 50 60|0 0 0 100 100 0 0 0 0 100"))
# 1CLR_1 and the 3CLR set: the largest N wins; nCLR before PC names.
write("spot_mixed_n.txt", table("1CLR_1 " + inks("3CLR_", 3) + " PC8_1", "90 10 20 30 40"))
# Eight inks with device-N make-ups, process colour names, and target and
# reporting sections whose contents must be skipped.
write("spot_8clr_devicen.txt", table(inks("8CLR_", 8), "10 20 30 40 50 60 70 80|"
      "0 0 0 0 100 100 0 0", head="DEVICEN_CMYK_CLR_1 100 0 0 0 CYAN\n"
      "DEVICEN_CMYK_CLR_5 0 60 100 0 ORANGE\nDEVICEN_CMYK_CLR_6 75,5 0 100 0\n"
      "DEVICEN_CMYK_CLR_7 1 2 3\nDEVICEN_CMYK_CLR_9 1 2 3 4 NINE\n"
      "PROCESSCOLOR_ID 8 \"Process Violet\"\nPROCESSCOLOR_ID 3 \"Process Deep Yellow\"\n"
      "BEGIN_TARGET_FORMAT\nNUMBER_OF_SETS 0\nBEGIN_DATA\nEND_TARGET_FORMAT\n"
      "BEGIN_REPORTING_FORMAT\nBEGIN_DATA_FORMAT\nEND_REPORTING_FORMAT\n"))
# Spot channel 2 of 3 missing.
write("spot_missing_channel.txt", table("3CLR_1 3CLR_3", "10 20"))
# Percent reflectance: row 1 is 10 + k, row 2 is 50 + k/2 at the k-th band;
# the factor file has the same values divided by 100.
for name, prefix, scale in (("percent", "SPECTRAL_NM_", 1), ("factor", "nm", 100)):
    write(f"spectral_{name}.txt", table(" ".join(f"{prefix}{w}" for w in range(380, 731, 10)), [
        " ".join(f"{v / scale:g}" for v in (10 + k if i == 0 else 50 + k / 2 for k in range(36)))
        for i in range(2)]))
# Every spelling once, in an order the sort has to change.
write("spectral_mixed.txt", table("SPECTRAL_NM_440 SP_400 SPECTRAL_410 SPECTRAL_NM420 NM430 NMX",
                                  ["0 1 2 3 4 5"] * 2))
write("measured_columns.txt", table("D_RED D_GREEN D_BLUE D_VIS XYZ_X XYZ_Y XYZ_Z LAB_L LAB_A "
                                    "LAB_B RGB_R RGB_G RGB_B DRGB CMY_C CMY_M CMY_Y",
                                    "0.1 0.2 0.3 0.4 41.2 21.3 1.9 50 60 70 255 0 0 1 100 0 0"))
# Zero bytes end lines outside quotes; inside quotes they are text.
write("nul_line_ends.txt", "CGATS.17\0NUMBER_OF_SETS 1\0BEGIN_DATA_FORMAT\0SAMPLE_NAME " + CMYK +
      "\0END_DATA_FORMAT\0BEGIN_DATA\0\"a\0b\" 10 20 30 40\0END_DATA\0")
# One malformed file per reader error path: S the sets keyword, F a CMYK
# data format, B and E the data block's ends, R a row.
ERRORS = {
    "zero_sets": "{S}0\n{F}{B}{R}{E}", "negative_sets": "{S}-4\n{F}{B}{R}{E}",
    "no_sets_keyword": "{F}{B}{R}{E}", "begin_data_without_format": "{S}1\n{B}{R}{E}",
    "empty_data_format": "{S}1\nBEGIN_DATA_FORMAT\nEND_DATA_FORMAT\n{B}{R}{E}",
    "no_begin_data": "{S}1\n{F}{R}{E}", "ff_line": "{S}1\n{F}\xffSTOP\n{B}{R}{E}",
    "unclosed_target_format": "{S}1\n{F}BEGIN_TARGET_FORMAT\n{B}{R}{E}",
    "eof_in_data": "{S}3\n{F}{B}{R}{R}", "nul_row": "{S}2\n{F}{B}{R}\0{R}{E}",
    "huge_sets_eof": "{S}2000000000\n{F}{B}{R}{R}{R}",
    "huge_sets_end_data": "{S}2000000000\n{F}{B}{R}{R}{R}{E}",
    "short_data": "{S}3\n{F}{B}{R}{R}{E}", "extra_row": "{S}2\n{F}{B}{R}{R}{R}{E}",
    "row_length": "{S}2\n{F}{B}{R}Light Grey 10 20 30 40\n{E}",
}
for name, text in ERRORS.items():
    write(f"err_{name}.txt", "CGATS.17\n" + text.format(
        S="NUMBER_OF_SETS ", F=f"BEGIN_DATA_FORMAT\nSAMPLE_ID {CMYK}\nEND_DATA_FORMAT\n",
        B="BEGIN_DATA\n", R="1 10 20 30 40\n", E="END_DATA\n"))
