#!/usr/bin/env python3
"""Writes the structural stand-in pin lists data/pinouts/<stem>.txt of the 16 Arria V GZ pin sets.

The vendor's pin lists are not part of this repository. This generator writes lists in the
project's pin-list layout (data/README.md) that hold every count and row the device catalog fixes
and invent the rest deterministically: same input, same bytes, on every machine. Pin sets of one
die group and package share one pin-out (pin migration), so 16 files come from 4 layouts.

Run from anywhere:  python3 tools/gen_pinouts.py [--out DIR] [--check]
  --out DIR   folder to write into (default: data/pinouts beside this script's repository)
  --check     write nothing; exit 1 if a file on disk differs from what would be written

A vendor list brought into the same layout under the same file name replaces a stand-in; the
build reads whatever data/pinouts holds and needs no change.
"""

import argparse
import os
import sys

# ---- vocabulary --------------------------------------------------------------------------------

FLAGS = ["IO", "VREF", "CLK", "Special", "InputOnly", "DCIP", "DCIN", "DiffP", "DiffN",
         "HDiffP", "HDiffN", "TransmitDiff", "ReceiveDiff", "ClkDiffP", "ClkDiffN", "DLL"]

ROW_LETTERS = "ABCDEFGHJKLMNPRTUVWY"  # I, O, Q, S, X and Z are not used on BGA grids


def row_names(count):
    names = list(ROW_LETTERS) + ["A" + c for c in ROW_LETTERS]
    return names[:count]


PACKAGES = {
    # package id: (grid size, package name)
    "H29": (28, "HBGA780"),
    "F35": (34, "FBGA1152"),
    "F40": (39, "FBGA1517"),
}

# TAP balls per package: TDI, TDO, TMS, TCK, TRST.
TAP_BALLS = {
    "H29": ["AD22", "AB22", "Y20", "AA21", "W19"],
    "F35": ["AL29", "AK29", "AJ30", "AN31", "Y27"],
    "F40": ["AJ34", "AH34", "AT35", "AA31", "AM35"],
}
TAP_FUNCTIONS = ["TDI", "TDO", "TMS", "TCK", "TRST"]

# Dedicated configuration and special-purpose pins (no bank, flagged Special).
CONFIG_FUNCTIONS = ["nCONFIG", "nSTATUS", "CONF_DONE", "nCE", "nCEO", "MSEL0", "MSEL1", "MSEL2",
                    "MSEL3", "MSEL4", "DCLK", "AS_DATA0", "AS_DATA1", "AS_DATA2", "AS_DATA3",
                    "nCSO", "nIO_PULLUP", "TEMPDIODEp", "TEMPDIODEn", "RREF_TL", "RREF_TR", "CLKUSR"]

SPECIAL_IO_COUNT = 40  # dual-purpose configuration I/Os in the configuration banks
SPECIAL_IO_BANKS = ("3A", "3B", "3C")

# ---- the four pin-outs -------------------------------------------------------------------------

# pairs: differential I/O pairs per I/O bank, in list order; clk: dedicated clock-input pairs
# per bank; pll: PLL clock-output pairs per bank. Every I/O bank has one VREF pin.
LAYOUTS = {
    "H29": dict(
        package="H29",
        xcvr_banks=["B1L", "B0L", "B0R", "B1R"], refclk_per_bank=1, channels_per_bank=3,
        io_banks=["3A", "3B", "3C", "3D", "4A", "4C", "4D", "7A", "7D", "8A", "8C"],
        pairs=[16, 16, 16, 16, 16, 15, 15, 15, 15, 15, 16],
        clk=[3, 2, 2, 2, 3, 2, 2, 2, 2, 2, 2],
        pll=[2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1],
        lvpecl_drop=0, nc=24, power=115,
    ),
    "F35S": dict(
        package="F35",
        xcvr_banks=["B1L", "B0L", "B0R", "B1R"], refclk_per_bank=2, channels_per_bank=6,
        io_banks=["3A", "3B", "3C", "3D", "4A", "4B", "4C", "4D", "7A", "7D", "8A", "8D"],
        pairs=[18, 18, 17, 17, 17, 17, 17, 17, 17, 17, 17, 18],
        clk=[2] * 12,
        pll=[2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1],
        lvpecl_drop=0, nc=122, power=165,
    ),
    "F35L": dict(
        package="F35",
        xcvr_banks=["B1L", "B0L", "B0R", "B1R"], refclk_per_bank=2, channels_per_bank=6,
        io_banks=["3A", "3B", "3C", "3D", "4A", "4B", "4C", "4D", "7A", "7B", "7C", "7D", "8A", "8D"],
        pairs=[20, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19],
        clk=[2, 2, 2, 2, 2, 2, 2, 2, 1, 1, 1, 1, 2, 2],
        pll=[2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1],
        lvpecl_drop=0, nc=0, power=165,
    ),
    "F40": dict(
        package="F40",
        xcvr_banks=["B1L", "B0L", "B2L", "B0R", "B1R", "B2R"], refclk_per_bank=2, channels_per_bank=6,
        io_banks=["3A", "3B", "3C", "3D", "4A", "4B", "4C", "4D", "7A", "7B", "7C", "7D",
                  "8A", "8B", "8C", "8D"],
        pairs=[22, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21],
        clk=[2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1],
        pll=[1] * 16,
        lvpecl_drop=1, nc=12, power=220,
    ),
}

# Pin set stem -> layout, in catalog order.
PIN_SETS = [
    ("5AGZME1E2H29", "H29"), ("5AGZME1E3H29", "H29"), ("5AGZME1H2F35", "F35S"), ("5AGZME1H3F35", "F35S"),
    ("5AGZME3E2H29", "H29"), ("5AGZME3E3H29", "H29"), ("5AGZME3H2F35", "F35S"), ("5AGZME3H3F35", "F35S"),
    ("5AGZME5H2F35", "F35L"), ("5AGZME5H3F35", "F35L"), ("5AGZME5K2F40", "F40"), ("5AGZME5K3F40", "F40"),
    ("5AGZME7H2F35", "F35L"), ("5AGZME7H3F35", "F35L"), ("5AGZME7K2F40", "F40"), ("5AGZME7K3F40", "F40"),
]

# Rows the catalog fixes (5AGZME1E2H29 and its H29 siblings): index -> (ball, bank, diff, clk, flags, standards)
FIXED_ROWS = {
    "H29": {
        0: ("A27", "", "", "", [], ""),
        1: ("L22", "B1L", "", "3", ["IO", "CLK", "ClkDiffP"], "refclk"),
        2: ("L23", "B1L", "", "3", ["IO", "CLK", "ClkDiffN"], "refclk"),
        3: ("D26", "", "T", "", ["HDiffN", "TransmitDiff"], ""),
        4: ("D25", "", "T", "", ["HDiffP", "TransmitDiff"], ""),
        5: ("C28", "", "R", "", ["InputOnly", "HDiffN", "ReceiveDiff"], ""),
        6: ("C27", "", "R", "", ["InputOnly", "HDiffP", "ReceiveDiff"], ""),
        390: ("L17", "8C", "97", "", ["IO", "DiffP"], "general"),
        391: ("K17", "8C", "97", "", ["IO", "DiffN"], "general"),
    },
}

# Balls the boundary-scan description fixes: ball -> function (a power pin "VCC" and an I/O pin).
FIXED_BALLS = {"H29": {"A2": "VCC", "A3": "IO"}}

# Power rails by count; "VCC" (core) takes whatever is left of the layout's power pin count.
POWER_RAILS = [("VCCPT", 3), ("VCCAUX", 3), ("VCCA_FPLL", 4), ("VCCD_FPLL", 4), ("VCCBAT", 1),
               ("VCCPGM", 3), ("VCCR_GXBL", 3), ("VCCR_GXBR", 3), ("VCCT_GXBL", 3), ("VCCT_GXBR", 3),
               ("VCCH_GXBL", 1), ("VCCH_GXBR", 1), ("VCCL_GXBL", 2), ("VCCL_GXBR", 2)]


class Pin:
    __slots__ = ("ball", "bank", "diff", "clk", "flags", "std", "function", "pair")

    def __init__(self, function, bank="", diff="", clk="", flags=(), std="", pair=None):
        self.ball = ""
        self.bank = bank
        self.diff = diff
        self.clk = clk
        self.flags = list(flags)
        self.std = std
        self.function = function
        self.pair = pair  # the other pin of a differential pair, if any


class Rng:
    """A small linear congruential generator: the same sequence on every Python."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFFFFFFFFFF

    def below(self, n):
        self.state = (self.state * 6364136223846793005 + 1442695040888963407) & 0xFFFFFFFFFFFFFFFF
        return (self.state >> 33) % n

    def shuffle(self, items):
        for i in range(len(items) - 1, 0, -1):
            j = self.below(i + 1)
            items[i], items[j] = items[j], items[i]


def pair(p_pin, n_pin):
    p_pin.pair, n_pin.pair = n_pin, p_pin
    return [p_pin, n_pin]


def build_layout(name):
    lay = LAYOUTS[name]
    package = lay["package"]
    pins = []

    # Transceiver banks: reference-clock pairs, then channels (transmit and receive pairs,
    # negative pin first as in the vendor's lists). One ground ball heads the list.
    pins.append(Pin("GND"))
    refclk_ids = {}
    for order, bank in enumerate(sorted(lay["xcvr_banks"], key=lambda b: (b[-1] != "R", b))):
        for r in range(lay["refclk_per_bank"]):
            refclk_ids[(bank, r)] = str(order * lay["refclk_per_bank"] + r)
    clk_next = len(refclk_ids)
    for bank in lay["xcvr_banks"]:
        for r in range(lay["refclk_per_bank"]):
            cid = refclk_ids[(bank, r)]
            pins += pair(Pin("REFCLK", bank, "", cid, ["IO", "CLK", "ClkDiffP"], "refclk"),
                         Pin("REFCLK", bank, "", cid, ["IO", "CLK", "ClkDiffN"], "refclk"))
        for _ in range(lay["channels_per_bank"]):
            tx_n = Pin("GXB_TX", "", "T", "", ["HDiffN", "TransmitDiff"])
            tx_p = Pin("GXB_TX", "", "T", "", ["HDiffP", "TransmitDiff"])
            rx_n = Pin("GXB_RX", "", "R", "", ["InputOnly", "HDiffN", "ReceiveDiff"])
            rx_p = Pin("GXB_RX", "", "R", "", ["InputOnly", "HDiffP", "ReceiveDiff"])
            pair(tx_p, tx_n)
            pair(rx_p, rx_n)
            pins += [tx_n, tx_p, rx_n, rx_p]

    # I/O banks: the bank's VREF pin, then its pairs: clock inputs first, PLL clock outputs
    # last, numbered differential I/O pairs between. Positive pin first.
    numbered = []  # (p, n) of plain differential I/O pairs, in list order
    with_ids = []  # every pair numbered in list order: clock inputs and plain pairs
    clock_pairs = []
    pll_index = 0
    for b, bank in enumerate(lay["io_banks"]):
        pins.append(Pin("VREFB%sN0" % bank, flags=["VREF"]))
        count, clk, pll = lay["pairs"][b], lay["clk"][b], lay["pll"][b]
        for k in range(count):
            if k < clk:
                cid = str(clk_next)
                clk_next += 1
                pp = pair(Pin("IO", bank, "", cid, ["IO", "CLK", "DiffP", "ClkDiffP"], "general+LVPECL"),
                          Pin("IO", bank, "", cid, ["IO", "CLK", "DiffN", "ClkDiffN"], "general+LVPECL"))
                clock_pairs.append(pp)
                with_ids.append(pp)
            elif k >= count - pll:
                did = "PLL%d_CLKOUT" % pll_index
                pll_index += 1
                pp = pair(Pin("IO", bank, did, "", ["IO", "CLK", "DiffP"], "general"),
                          Pin("IO", bank, did, "", ["IO", "CLK", "DiffN"], "general"))
            else:
                pp = pair(Pin("IO", bank, "", "", ["IO", "DiffP"], "general"),
                          Pin("IO", bank, "", "", ["IO", "DiffN"], "general"))
                numbered.append(pp)
                with_ids.append(pp)
            pins += pp

    # Dedicated configuration pins and the TAP, then unconnected balls, power and ground.
    for f in CONFIG_FUNCTIONS:
        pins.append(Pin(f, flags=["Special"]))
    tap = {}
    for f in TAP_FUNCTIONS:
        tap[f] = Pin(f, flags=["Special"])
        pins.append(tap[f])
    pins += [Pin("NC") for _ in range(lay["nc"])]
    core = lay["power"] - sum(n for _, n in POWER_RAILS) - 2 * len(lay["io_banks"])
    assert core > 0
    pins += [Pin("VCC") for _ in range(core)]
    for bank in lay["io_banks"]:
        pins += [Pin("VCCIO" + bank), Pin("VCCPD" + bank)]
    for rail, n in POWER_RAILS:
        pins += [Pin(rail) for _ in range(n)]
    grid, _ = PACKAGES[package]
    total = grid * grid - 4
    pins += [Pin("GND") for _ in range(total - len(pins))]
    assert len(pins) == total, (name, len(pins), total)

    # Numbered pair ids in list order; the catalog fixes one of them (row 390 of the H29 list).
    fixed = FIXED_ROWS.get(name, {})
    for i, (p, n) in enumerate(with_ids):
        p.diff = n.diff = str(i)
    if 390 in fixed:
        want = fixed[390][2]
        at = pins[390]
        assert at.pair is pins[391] and at.function == "IO" and not at.clk and at.diff.isdigit(), name
        other = next(pp for pp in with_ids if pp[0].diff == want)
        other[0].diff, other[1].diff, at.diff, pins[391].diff = at.diff, at.diff, want, want

    # Roles layered on numbered pairs: dual-purpose configuration pins in the first banks, and
    # two DQS pairs per bank, from the last bank on, for the delay-locked loops.
    avoid = {id(pins[i]) for i in fixed}
    special_left = SPECIAL_IO_COUNT
    for p, n in numbered:
        if special_left and p.bank in SPECIAL_IO_BANKS and id(p) not in avoid:
            p.flags.append("Special")
            n.flags.append("Special")
            special_left -= 2
    assert special_left == 0, name
    dll_left = 24
    seen_banks = {}
    for p, n in reversed(numbered):
        if dll_left and "Special" not in p.flags and id(p) not in avoid:
            k = seen_banks.get(p.bank, 0)
            if k < 2:
                seen_banks[p.bank] = k + 1
                p.flags.append("DLL")
                n.flags.append("DLL")
                dll_left -= 2
    assert dll_left == 0, name

    # Clock inputs accept LVPECL, except where the package leaves it off one pin.
    for pp in clock_pairs[len(clock_pairs) - lay["lvpecl_drop"]:]:
        pp[1].std = "general"

    assign_balls(name, pins, tap)
    check_fixed(name, pins)
    return pins


def assign_balls(name, pins, tap):
    lay = LAYOUTS[name]
    package = lay["package"]
    grid, _ = PACKAGES[package]
    rows = row_names(grid)
    corners = {rows[0] + "1", rows[0] + str(grid), rows[-1] + "1", rows[-1] + str(grid)}
    all_balls = [r + str(c) for r in rows for c in range(1, grid + 1)]
    free = [b for b in all_balls if b not in corners]
    position = {b: (ri, c) for ri, r in enumerate(rows) for c in range(1, grid + 1) for b in [r + str(c)]}
    taken = set()

    def take(pin, ball):
        assert ball in position and ball not in corners and ball not in taken, (name, ball)
        pin.ball = ball
        taken.add(ball)

    if name == "H29":
        for i, row in FIXED_ROWS["H29"].items():
            take(pins[i], row[0])
        # A power pin "VCC" on A2 and an I/O pair on A3/A4.
        take(next(p for p in pins if p.function == "VCC" and not p.ball), "A2")
        io = next(p for p in pins if p.function == "IO" and "DiffP" in p.flags and not p.ball
                  and not p.clk and "Special" not in p.flags and "DLL" not in p.flags and p.bank == "3D")
        take(io, "A3")
        take(io.pair, "A4")
    for f, ball in zip(TAP_FUNCTIONS, TAP_BALLS[package]):
        take(tap[f], ball)

    rng = Rng(sum(ord(c) for c in name) * 7919 + grid)
    pool = [b for b in free if b not in taken]
    rng.shuffle(pool)

    def neighbours(ball):
        ri, c = position[ball]
        for dr, dc in ((0, 1), (0, -1), (1, 0), (-1, 0)):
            r2, c2 = ri + dr, c + dc
            if 0 <= r2 < grid and 1 <= c2 <= grid:
                yield rows[r2] + str(c2)

    def next_free():
        while pool[-1] in taken:
            pool.pop()
        return pool.pop()

    for pin in pins:
        if pin.ball:
            continue
        ball = next_free()
        take(pin, ball)
        if pin.pair is not None and not pin.pair.ball:
            mate = next((b for b in neighbours(ball) if b not in taken and b not in corners), None)
            take(pin.pair, mate if mate else next_free())
    assert len(taken) == len(pins) == len(free), name


def check_fixed(name, pins):
    if name != "H29":
        return
    for i, (ball, bank, diff, clk, flags, std) in FIXED_ROWS["H29"].items():
        p = pins[i]
        got = (p.ball, p.bank, p.diff, p.clk, sorted(p.flags, key=FLAGS.index), p.std)
        assert got == (ball, bank, diff, clk, sorted(flags, key=FLAGS.index), std), (i, got)
    by_ball = {p.ball: p for p in pins}
    for ball, function in FIXED_BALLS["H29"].items():
        assert by_ball[ball].function == function, ball


# ---- writing -----------------------------------------------------------------------------------

COLUMNS = ["Ball", "Bank", "DiffId", "ClkDiffId", "Flags", "Standards", "Function"]


def render(stem, layout, pins):
    package = LAYOUTS[layout]["package"]
    grid, package_name = PACKAGES[package]
    rows = row_names(grid)
    lines = [
        "# Arria V GZ pin list: %s, %s (%s), %d pins" % (stem, package_name, package, len(pins)),
        "#",
        "# STRUCTURAL STAND-IN - NOT THE VENDOR'S PIN LIST. Written by tools/gen_pinouts.py; do not edit.",
        "# It holds every count and row that the device catalog fixes for this pin set; the other",
        "# assignments (balls, banks, pair numbers, functions) are invented but self-consistent.",
        "# To use the vendor's list, bring it into the layout below under this same file name",
        "# (data/pinouts/%s.txt) and rebuild; no code changes are needed." % stem,
        "#",
        "# Layout (data/README.md): tab-separated; '#' lines are comments; the first other line names",
        "# the columns; then one row per package pin in pin-list order. '-' is an empty field.",
        "#   Ball       package ball on the %d x %d grid (rows %s..%s, columns 1..%d)" % (grid, grid, rows[0], rows[-1], grid),
        "#   Bank       I/O bank; '-' for pins outside the banks (those accept no I/O standard)",
        "#   DiffId     differential pair id (T/R: transceiver transmit/receive)",
        "#   ClkDiffId  clock pair id",
        "#   Flags      comma-separated roles: " + " ".join(FLAGS),
        "#   Standards  '+'-joined I/O standard sets (general, refclk) and standard names (LVPECL)",
        "#   Function   pin function: IO, GND, VCC..., TDI/TDO/TMS/TCK/TRST, GXB_TX, GXB_RX, REFCLK,",
        "#              VREF..., NC, configuration pins",
        "\t".join(COLUMNS),
    ]
    for p in pins:
        flags = ",".join(sorted(p.flags, key=FLAGS.index))
        fields = [p.ball, p.bank, p.diff, p.clk, flags, p.std, p.function]
        lines.append("\t".join(f if f else "-" for f in fields))
    return "\n".join(lines) + "\n"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "data", "pinouts"))
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()

    layouts = {name: build_layout(name) for name in LAYOUTS}
    stale = []
    if not args.check:
        os.makedirs(args.out, exist_ok=True)
    for stem, layout in PIN_SETS:
        text = render(stem, layout, layouts[layout])
        path = os.path.join(args.out, stem + ".txt")
        if args.check:
            try:
                with open(path, encoding="utf-8", newline="") as f:
                    if f.read() != text:
                        stale.append(path)
            except OSError:
                stale.append(path)
            continue
        tmp = path + ".tmp"
        with open(tmp, "w", encoding="utf-8", newline="") as f:
            f.write(text)
        os.replace(tmp, path)
    if stale:
        print("out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
