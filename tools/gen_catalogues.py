#!/usr/bin/env python3
"""Write engine/catalogues/CatalogueTables.cpp, the compiled-in section tables.

Usage:
    gen_catalogues.py [--sections DIR] --out DIR     write CatalogueTables.cpp into DIR
    gen_catalogues.py [--sections DIR] --check DIR   exit 1 if DIR's file is not up to date

Exit status 2 means the input data are incomplete or inconsistent.

Inputs:
  * the seven CSV files of the published section data (--sections, by default
    ../shared/data/sections beside the repository), whose values are copied verbatim as
    long double literals so the tables hold exactly the published digits;
  * tools/data/*.csv: sheet piles, guardrail angles, reinforcing bars and the circular
    hollow section (CHS) series, whose rows are computed here from D and t.

Row order and row counts are part of the project file format (projects store row
indices), so every table's count is checked. Standard library only; the output is
deterministic so that --check can compare it byte for byte.
"""

import argparse
import csv
import sys
from decimal import ROUND_HALF_UP, Decimal, localcontext
from pathlib import Path

TOOLS_DIR = Path(__file__).resolve().parent
REPO_DIR = TOOLS_DIR.parent
DATA_DIR = TOOLS_DIR / "data"
DEFAULT_SECTIONS = REPO_DIR.parent / "shared" / "data" / "sections"
OUTPUT_NAME = "CatalogueTables.cpp"
COLUMNS = 100

STEEL_COLUMNS = ["name", "Zx", "Ix", "Aw", "Iy", "tf", "d", "ry", "Sx", "A", "bf", "J", "k1", "tw"]
ROUND_COLUMNS = ["name", "mass", "A", "D", "t", "tdes", "D_t", "I", "Z", "S", "r", "J"]

# (function, CSV file, expected rows, comment)
STEEL_TABLES = [
    ("NorthAmericanEnglish", "na_w_hp_english.csv", 111,
     "North American W and HP shapes, English units."),
    ("NorthAmericanSI", "na_w_hp_si.csv", 111,
     "North American W and HP shapes, SI units; row for row the English table's sections."),
    ("Australian", "au_ub_uc.csv", 41, "Australian UB and UC shapes, metric."),
    ("British", "uk_ub.csv", 84, "British universal beams, metric."),
    ("European", "eu_ipe.csv", 67, "European IPE shapes, metric."),
]
ROUND_TABLES = [
    ("HssPipeEnglish", "hss_pipe_english.csv", 165,
     "Round HSS (128) then pipes (37), English units."),
    ("HssPipeSI", "hss_pipe_si.csv", 165,
     "Round HSS (128) then pipes (37), SI units; row for row the English table's sections."),
]
SHEET_PILE_ROWS = 25
ANGLE_ROWS = 17
CHS_SERIES_ROWS = {"hot-finished": 274, "cold-formed": 555}
CHS_SERIES_PREFIX = {"hot-finished": "CHSh", "cold-formed": "CHScf"}
REBAR_TABLE_SIZE = 12
REBAR_TABLES = [("RebarUS", "US", 11), ("RebarEuropean", "European", 12),
                ("RebarCanadian", "Canadian", 8)]

STEEL_DENSITY = Decimal("7850")  # kg/m3
MM_PER_IN = Decimal("25.4")
KG_PER_M_PER_LB_PER_FT = Decimal("1.48816394357")
PI = Decimal("3.14159265358979323846264338327950288419716939937510582097494459230781640628")


class DataError(Exception):
    pass


# ---------------------------------------------------------------------------------------------
# Reading

def read_csv(path, columns):
    """Rows of a CSV file as dicts; lines starting with '#' are comments. The header must
    start with the given columns (extra trailing columns, such as 'source', are ignored)."""
    try:
        with open(path, encoding="utf-8", newline="") as f:
            lines = [line for line in f if not line.startswith("#")]
    except OSError as e:
        raise DataError(f"cannot read {path}: {e.strerror}") from e
    reader = csv.reader(lines)
    header = next(reader, None)
    if header is None or header[:len(columns)] != columns:
        raise DataError(f"{path}: header {header} does not start with {columns}")
    rows = []
    for number, fields in enumerate(reader, start=2):
        if not fields:
            continue
        if len(fields) < len(columns):
            raise DataError(f"{path}: line {number} has {len(fields)} fields")
        rows.append(dict(zip(columns, fields)))
    return rows


def check_count(path, rows, expected):
    if len(rows) != expected:
        raise DataError(f"{path}: {len(rows)} rows, expected {expected}")


def number(path, text):
    """A published value, checked to be a plain non-negative decimal, kept as its text."""
    digits = text.replace(".", "", 1)
    if not digits.isdigit() or text.startswith(".") or text.endswith("."):
        raise DataError(f"{path}: '{text}' is not a plain decimal number")
    return text


# ---------------------------------------------------------------------------------------------
# Circular hollow sections
#
# The SI rows are computed from D and t (mm, tdes = t): A = pi (D^2 - d^2) / 4 in mm2,
# I = pi (D^4 - d^4) / 64 in 10^6 mm4, Z = (D^3 - d^3) / 6 and S = 2 I / D in 10^3 mm3,
# r = sqrt(I / A) in mm, J = 2 I in 10^3 mm4, mass = A x 7850 kg/m3 in kg/m, and D/t, with
# d = D - 2t. Each is held to three significant figures, in decimal arithmetic rounding half
# up (binary floats would round exact ties such as D/t = 38.05 either way). The English rows
# are the SI rows converted field by field (mm -> in by 25.4, 1 lb/ft = 1.48816394357 kg/m)
# and held to three significant figures again; D/t is carried over unchanged.

def three_figures(value):
    """The value rounded half up to three significant figures."""
    if value == 0:
        return Decimal(0)
    quantum = Decimal(1).scaleb(value.adjusted() - 2)
    return value.quantize(quantum, rounding=ROUND_HALF_UP)


def chs_si_row(D, t):
    """SI row of a circular tube from D and t in mm (tdes = t), in the round table units.
    Every computed value is rounded to three significant figures; D and t stay as given."""
    d = D - 2 * t
    area = PI * (D ** 2 - d ** 2) / 4                 # mm2
    inertia = PI * (D ** 4 - d ** 4) / 64             # mm4
    plastic = (D ** 3 - d ** 3) / 6                   # mm3
    return {
        "mass": three_figures(area / Decimal(10) ** 6 * STEEL_DENSITY),
        "A": three_figures(area),
        "D": D,
        "t": t,
        "tdes": t,
        "D_t": three_figures(D / t),
        "I": three_figures(inertia / Decimal(10) ** 6),
        "Z": three_figures(plastic / 1000),
        "S": three_figures(2 * inertia / D / 1000),
        "r": three_figures((inertia / area).sqrt()),
        "J": three_figures(2 * inertia / 1000),
    }


def chs_english_row(si):
    """The SI row converted field by field (mm -> in, kg/m -> lb/ft, ...) and rounded again to
    three significant figures; D/t is kept."""
    inch = MM_PER_IN
    return {
        "mass": three_figures(si["mass"] / KG_PER_M_PER_LB_PER_FT),
        "A": three_figures(si["A"] / inch ** 2),
        "D": three_figures(si["D"] / inch),
        "t": three_figures(si["t"] / inch),
        "tdes": three_figures(si["tdes"] / inch),
        "D_t": si["D_t"],
        "I": three_figures(si["I"] * Decimal(10) ** 6 / inch ** 4),
        "Z": three_figures(si["Z"] * 1000 / inch ** 3),
        "S": three_figures(si["S"] * 1000 / inch ** 3),
        "r": three_figures(si["r"] / inch),
        "J": three_figures(si["J"] * 1000 / inch ** 4),
    }


def decimal_text(value):
    text = format(value, "f")
    if "." in text:
        text = text.rstrip("0").rstrip(".")
    return text


def read_chs(path):
    """CHS rows (SI and English) from the series file: series, name, D, t in row order.
    The CHS tables hold no published properties: every value follows from D and t by the
    geometry of a circular tube (A, I, Z, S = 2I/D, r = sqrt(I/A), J = 2I, mass at
    7850 kg/m3, D/t), held to three significant figures; the English table is the SI table
    converted row by row and held to three significant figures again."""
    rows = read_csv(path, ["series", "name", "D", "t"])
    check_count(path, rows, sum(CHS_SERIES_ROWS.values()))
    expected_series = [s for s, n in CHS_SERIES_ROWS.items() for _ in range(n)]
    si_rows, english_rows = [], []
    with localcontext() as context:
        context.prec = 60
        for index, row in enumerate(rows):
            series, name = row["series"], row["name"]
            if series != expected_series[index]:
                raise DataError(f"{path}: row {index + 1} ({name}) is in series {series}, "
                                f"expected {expected_series[index]}")
            if not name.startswith(CHS_SERIES_PREFIX[series]):
                raise DataError(f"{path}: {name} does not start with "
                                f"{CHS_SERIES_PREFIX[series]}")
            D = Decimal(number(path, row["D"]))
            t = Decimal(number(path, row["t"]))
            if not 0 < 2 * t < D:
                raise DataError(f"{path}: {name} has D {D} and t {t}")
            # Names end in the diameter and the thickness rounded to whole millimetres;
            # this ties every name to its own (D, t) pair.
            suffix = (f"{D.quantize(1, rounding=ROUND_HALF_UP)}x"
                      f"{t.quantize(1, rounding=ROUND_HALF_UP)}")
            if not name.endswith(suffix):
                raise DataError(f"{path}: name {name} does not match D {D}, t {t}")
            si = chs_si_row(D, t)
            english = chs_english_row(si)
            si_text = {key: decimal_text(value) for key, value in si.items()}
            si_text["D"], si_text["t"], si_text["tdes"] = row["D"], row["t"], row["t"]
            si_rows.append([name] + [si_text[c] for c in ROUND_COLUMNS[1:]])
            english_rows.append([name] + [decimal_text(english[c]) for c in ROUND_COLUMNS[1:]])
    return english_rows, si_rows


# ---------------------------------------------------------------------------------------------
# The other tables

def read_steel(sections, file_name, expected):
    path = sections / file_name
    rows = read_csv(path, STEEL_COLUMNS)
    check_count(path, rows, expected)
    return [[r["name"]] + [number(path, r[c]) for c in STEEL_COLUMNS[1:]] for r in rows]


def read_round(sections, file_name, expected):
    path = sections / file_name
    rows = read_csv(path, ROUND_COLUMNS)
    check_count(path, rows, expected)
    return [[r["name"]] + [number(path, r[c]) for c in ROUND_COLUMNS[1:]] for r in rows]


def read_sheet_piles(path):
    """Sheet piles as steel rows: Ix, d (pile width), Sx, bf (profile height) and tw (wall
    thickness) set, every other field 0."""
    units = ["en", "si"]
    fields = ["Ix", "width", "Sx", "height", "thickness"]
    columns = ["name"] + [f"{f}_{u}" for u in units for f in fields]
    rows = read_csv(path, columns)
    check_count(path, rows, SHEET_PILE_ROWS)
    tables = {}
    for unit in units:
        table = []
        for r in rows:
            value = {c: "0" for c in STEEL_COLUMNS[1:]}
            value["Ix"] = number(path, r[f"Ix_{unit}"])
            value["d"] = number(path, r[f"width_{unit}"])
            value["Sx"] = number(path, r[f"Sx_{unit}"])
            value["bf"] = number(path, r[f"height_{unit}"])
            value["tw"] = number(path, r[f"thickness_{unit}"])
            table.append([r["name"]] + [value[c] for c in STEEL_COLUMNS[1:]])
        tables[unit] = table
    return tables["en"], tables["si"]


def read_angles(path):
    fields = ["mass", "area", "short_leg", "long_leg", "t", "S", "r"]
    columns = [f"{f}_{u}" for u in ("en", "si") for f in ["name"] + fields]
    rows = read_csv(path, columns)
    check_count(path, rows, ANGLE_ROWS)
    return tuple([[r[f"name_{u}"]] + [number(path, r[f"{f}_{u}"]) for f in fields]
                  for r in rows] for u in ("en", "si"))


def read_rebar(path):
    rows = read_csv(path, ["standard", "designation", "metric_designation", "diameter", "area"])
    tables = {}
    for function, standard, expected in REBAR_TABLES:
        bars = [r for r in rows if r["standard"] == standard]
        check_count(f"{path} ({standard})", bars, expected)
        entries = []
        for r in bars:
            designation = int(r["designation"])
            metric = int(r["metric_designation"])
            if designation <= 0 or metric < 0:
                raise DataError(f"{path}: bad designation in {r}")
            entries.append([str(designation), str(metric), number(path, r["diameter"]),
                            number(path, r["area"])])
        entries += [["0", "0", "0", "0"]] * (REBAR_TABLE_SIZE - len(entries))
        tables[function] = entries
    unknown = {r["standard"] for r in rows} - {s for _, s, _ in REBAR_TABLES}
    if unknown:
        raise DataError(f"{path}: unknown standards {sorted(unknown)}")
    return tables


# ---------------------------------------------------------------------------------------------
# Writing

def c_string(text):
    if not all(32 <= ord(c) < 127 for c in text):
        raise DataError(f"name {text!r} is not printable ASCII")
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def float_literal(text, suffix):
    if "." not in text:
        text += ".0"
    return text + suffix


def wrap_row(items):
    """One brace-enclosed row, wrapped at the column limit."""
    pieces = [item + "," for item in items[:-1]] + [items[-1] + "},"]
    lines, line = [], "    {" + pieces[0]
    for piece in pieces[1:]:
        if len(line) + 1 + len(piece) > COLUMNS:
            lines.append(line)
            line = "     " + piece
        else:
            line += " " + piece
    lines.append(line)
    return lines


def emit_array(out, comment, row_type, name, rows, size=""):
    out.append(f"// {comment}")
    out.append(f"constexpr {row_type} {name}[{size}] = {{")
    for row in rows:
        out.extend(wrap_row(row))
    out.append("};")
    out.append("")


def generate(sections):
    steel = [(f, c, read_steel(sections, file_name, n)) for f, file_name, n, c in STEEL_TABLES]
    sheet_en, sheet_si = read_sheet_piles(DATA_DIR / "sheet_piles.csv")
    steel += [
        ("SheetPilesEnglish", "Steel sheet piles, English units: Ix in4/ft, Sx in3/ft, d width, "
         "bf height, tw thickness.", sheet_en),
        ("SheetPilesSI", "Steel sheet piles, SI units: Ix cm4/m, Sx cm3/m, d width, "
         "bf height, tw thickness.", sheet_si),
    ]
    round_tables = [(f, c, read_round(sections, file_name, n))
                    for f, file_name, n, c in ROUND_TABLES]
    chs_en, chs_si = read_chs(DATA_DIR / "chs_series.csv")
    round_tables += [
        ("ChsEnglish", "Circular hollow sections, the SI rows converted to English units.",
         chs_en),
        ("ChsSI", "Circular hollow sections, 274 hot-finished then 555 cold-formed, from D, t.",
         chs_si),
    ]
    angles_en, angles_si = read_angles(DATA_DIR / "guardrail_angles.csv")
    angles = [("GuardrailAnglesEnglish", "Guardrail angles, English units.", angles_en),
              ("GuardrailAnglesSI", "Guardrail angles, SI units.", angles_si)]
    rebar = read_rebar(DATA_DIR / "rebar.csv")
    rebar_comments = {
        "RebarUS": "US reinforcing bars: designation, metric designation, in, in2.",
        "RebarEuropean": "European reinforcing bars: designation, mm, mm2.",
        "RebarCanadian": "Canadian reinforcing bars: designation, mm, mm2.",
    }

    out = [
        "// Generated by tools/gen_catalogues.py from the published section data; do not edit.",
        "// Row order is part of the project file format: projects store row indices.",
        '#include "engine/catalogues/CatalogueData.h"',
        "",
        "// clang-format off",
        "",
        "namespace tw::catalogue {",
        "",
        "namespace {",
        "",
    ]
    functions = []
    for function, comment, rows in steel:
        array = "k" + function
        emit_array(out, comment, "SteelRow", array,
                   [[c_string(r[0])] + [float_literal(v, "L") for v in r[1:]] for r in rows])
        functions.append(("std::span<const SteelRow>", function, array))
    for function, comment, rows in round_tables:
        array = "k" + function
        emit_array(out, comment, "RoundRow", array,
                   [[c_string(r[0])] + [float_literal(v, "L") for v in r[1:]] for r in rows])
        functions.append(("std::span<const RoundRow>", function, array))
    for function, comment, rows in angles:
        array = "k" + function
        emit_array(out, comment, "AngleRow", array,
                   [[c_string(r[0])] + [float_literal(v, "L") for v in r[1:]] for r in rows])
        functions.append(("std::span<const AngleRow>", function, array))
    for function, _, _ in REBAR_TABLES:
        array = "k" + function
        emit_array(out, rebar_comments[function], "BarRow", array,
                   [r[:2] + [float_literal(v, "") for v in r[2:]] for r in rebar[function]],
                   size="kRebarTableSize")
        functions.append(("std::span<const BarRow, kRebarTableSize>", function, array))
    out += ["} // namespace", ""]
    for result, function, array in functions:
        out += [f"{result} {function}()", "{", f"    return {array};", "}", ""]
    out += ["} // namespace tw::catalogue", "", "// clang-format on"]
    return "\n".join(out) + "\n"


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sections", type=Path, default=DEFAULT_SECTIONS,
                        help="folder of the published section CSV files")
    mode = parser.add_mutually_exclusive_group(required=True)
    mode.add_argument("--out", type=Path, help=f"folder to write {OUTPUT_NAME} into")
    mode.add_argument("--check", type=Path,
                      help=f"folder whose {OUTPUT_NAME} must equal the generated text")
    args = parser.parse_args(argv)

    try:
        text = generate(args.sections).encode("utf-8")
    except DataError as e:
        print(f"gen_catalogues: {e}", file=sys.stderr)
        return 2

    if args.out is not None:
        target = args.out / OUTPUT_NAME
        target.write_bytes(text)
        print(f"wrote {target}")
        return 0

    target = args.check / OUTPUT_NAME
    try:
        current = target.read_bytes()
    except OSError as e:
        print(f"gen_catalogues: cannot read {target}: {e.strerror}", file=sys.stderr)
        return 1
    if current != text:
        print(f"gen_catalogues: {target} is out of date; regenerate it with "
              f"tools/gen_catalogues.py --out {args.check}", file=sys.stderr)
        return 1
    print(f"{target} is up to date")
    return 0


if __name__ == "__main__":
    sys.exit(main())
