#!/usr/bin/env python3
"""Writes the structural stand-in BSDL files data/bsdl/<stem>.bsd of the 16 Arria V GZ pin sets.

The vendor's boundary-scan description files are not part of this repository. This generator
writes IEEE 1149.1-2001 BSDL files from the stand-in pin lists (data/pinouts/<stem>.txt, layout in
data/README.md) that hold every value the built-in descriptions fix and invent the rest
deterministically: same input, same bytes, on every machine.

  every package pin is a port or a linkage pin, named by the pin list's function:
    IO        -> inout port "IO<ball>" with an input, a control and an output3 cell
    TDI/TMS/TCK/TRST -> in ports, TDO -> out port (the TAP)
    CONF_DONE -> in port with one observe-only cell: the configuration status cell
    GND, VCC..., everything else -> linkage bits (a bit_vector when a function repeats)
  the status cell lies 3 x (A - B) + 1 cells from the TDO end (cell 0), A and B being the
  status-table row of the die: 1348 for 5AGZME1/5AGZME3, 1804 for 5AGZME5/5AGZME7
  the 780-pin (H29) descriptions put IOA3 on cells 773-775 and IOAG22 on cells 2119-2121

Run from anywhere:  python3 tools/gen_bsdl.py [--pinouts DIR] [--out DIR] [--check]
  --pinouts DIR  pin lists to read (default: data/pinouts of this repository)
  --out DIR      folder to write into (default: data/bsdl of this repository)
  --check        write nothing; exit 1 if a file on disk differs from what would be written

A vendor BSDL file saved under the same name in data/bsdl replaces a stand-in; the build reads
whatever data/bsdl holds and needs no change.
"""

import argparse
import os
import sys

PIN_SETS = [
    "5AGZME1E2H29", "5AGZME1E3H29", "5AGZME1H2F35", "5AGZME1H3F35",
    "5AGZME3E2H29", "5AGZME3E3H29", "5AGZME3H2F35", "5AGZME3H3F35",
    "5AGZME5H2F35", "5AGZME5H3F35", "5AGZME5K2F40", "5AGZME5K3F40",
    "5AGZME7H2F35", "5AGZME7H3F35", "5AGZME7K2F40", "5AGZME7K3F40",
]

# Per die: JTAG IDCODE, boundary-register length, status-table row (A, B).
DIES = {
    "1": (0x029310DD, 2131, (777, 328)),
    "3": (0x029710DD, 2131, (777, 328)),
    "5": (0x029770DD, 2775, (1025, 424)),
    "7": (0x029F70DD, 2775, (1025, 424)),
}

PACKAGE_MAPS = {"H29": "HBGA780", "F35": "FBGA1152", "F40": "FBGA1517"}

TAP_PORTS = {"TDI": "in", "TDO": "out", "TMS": "in", "TCK": "in", "TRST": "in"}
TAP_ATTRIBUTES = [("TAP_SCAN_IN", "TDI"), ("TAP_SCAN_OUT", "TDO"), ("TAP_SCAN_MODE", "TMS"),
                  ("TAP_SCAN_RESET", "TRST")]

INSTRUCTIONS = [
    ("BYPASS", "1111111111"), ("EXTEST", "0000001111"), ("SAMPLE", "0000000101"),
    ("PRELOAD", "0000000101"), ("IDCODE", "0000000110"), ("USERCODE", "0000000111"),
    ("CLAMP", "0000001010"), ("HIGHZ", "0000001011"), ("PRIVATE", "1100010000"),
    ("CONFIG_IO", "0000001101"), ("EXTEST_PULSE", "0010001111"), ("EXTEST_TRAIN", "0001001111"),
]
REGISTERS = [("BOUNDARY", ["EXTEST_PULSE", "EXTEST_TRAIN"]), ("DEVICE_ID", ["IDCODE"]),
             ("IOCSR[320697]", ["CONFIG_IO"])]

# Cells the descriptions fix, by package: port -> number of its input cell (control and output
# follow it).
FIXED_TRIPLES = {"H29": {"IOA3": 773, "IOAG22": 2119}}

STATUS_PORT = "CONF_DONE"


def repository():
    return os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def read_pin_list(path):
    """(ball, function) of every row, in pin-list order."""
    rows = []
    header = None
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split("\t")
            if header is None:
                header = [name.strip().lower() for name in fields]
                for needed in ("ball", "function"):
                    if needed not in header:
                        sys.exit(f"{path}:{number}: the pin list has no column {needed}")
                continue
            if len(fields) != len(header):
                sys.exit(f"{path}:{number}: {len(fields)} fields where the header names {len(header)}")
            row = dict(zip(header, fields))
            rows.append((row["ball"].strip(), row["function"].strip()))
    return rows


class Port:
    def __init__(self, name, mode):
        self.name = name
        self.mode = mode
        self.balls = []
        self.vector = False


def make_ports(rows):
    """Ports in order of first appearance; repeated functions become linkage bit_vectors."""
    counts = {}
    for _, function in rows:
        counts[function] = counts.get(function, 0) + 1
    ports = {}
    order = []
    for ball, function in rows:
        if function == "IO":
            name, mode = "IO" + ball, "inout"
        elif function in TAP_PORTS:
            name, mode = function, TAP_PORTS[function]
        elif function == STATUS_PORT:
            name, mode = function, "in"
        else:
            name, mode = function, "linkage"
        key = name.upper()
        if key not in ports:
            ports[key] = Port(name, mode)
            order.append(ports[key])
        port = ports[key]
        if port.balls and mode != "linkage":
            sys.exit(f"port {name} would take more than one pin")
        port.balls.append(ball)
        port.vector = mode == "linkage" and counts[function] > 1
    return order


def layout_cells(ports, length, status_cell, fixed):
    """Cell rows (number, cell, port, function, safe, control, disable value, result) by number."""
    cells = [None] * length

    def put(number, row):
        if cells[number] is not None:
            sys.exit(f"cell {number} assigned twice")
        cells[number] = row

    def triple(first, port):
        put(first, (first, "BC_1", port, "INPUT", "X", None))
        put(first + 1, (first + 1, "BC_1", "*", "CONTROL", "1", None))
        put(first + 2, (first + 2, "BC_1", port, "OUTPUT3", "X", (first + 1, "1", "Z")))

    put(0, (0, "BC_4", "*", "INTERNAL", "X", None))
    put(status_cell, (status_cell, "BC_4", STATUS_PORT, "OBSERVE_ONLY", "X", None))
    io_ports = [p.name for p in ports if p.mode == "inout"]
    for name, first in fixed.items():
        if name in io_ports:
            triple(first, name)
    # The other I/Os take three consecutive free cells each, from the TDO end on.
    cursor = 1
    for name in io_ports:
        if name in fixed:
            continue
        while any(cells[cursor + i] is not None for i in range(3)):
            cursor += 1
            if cursor + 3 > length:
                sys.exit("the boundary register is too short for the I/O pins")
        triple(cursor, name)
        cursor += 3
    # Cells of unbonded I/Os and internal logic.
    for number in range(length):
        if cells[number] is None:
            cells[number] = (number, "BC_4", "*", "INTERNAL", "X", None)
    return cells


def quoted_lines(items, indent, width=96):
    """BSDL string fragments joined by '&', each line holding as many items as fit."""
    lines = []
    current = ""
    for item in items:
        if current and len(indent) + len(current) + len(item) + 4 > width:
            lines.append(current)
            current = ""
        current += item
    if current:
        lines.append(current)
    return [f'{indent}"{line}"' + (" &" if i + 1 < len(lines) else "") for i, line in enumerate(lines)]


def bsdl_text(stem, rows):
    die = stem[6]
    package = stem[-3:]
    idcode, length, (a, b) = DIES[die]
    status_cell = 3 * (a - b) + 1
    entity = "ARRIA_V_GZ_" + stem
    pin_map = PACKAGE_MAPS[package]
    ports = make_ports(rows)
    names = {p.name.upper() for p in ports}
    for needed in list(TAP_PORTS) + [STATUS_PORT]:
        if needed not in names:
            sys.exit(f"{stem}: the pin list has no {needed} pin")
    cells = layout_cells(ports, length, status_cell, FIXED_TRIPLES.get(package, {}))

    out = []
    emit = out.append
    emit(f"-- {entity}: boundary-scan description (BSDL, IEEE 1149.1-2001) of pin set {stem}")
    emit("--")
    emit("-- STRUCTURAL STAND-IN - NOT THE VENDOR'S BSDL FILE. Written by tools/gen_bsdl.py from")
    emit(f"-- data/pinouts/{stem}.txt; do not edit. It holds every value the module's built-in")
    emit("-- descriptions fix (entity name, boundary length, TAP, instructions and opcodes, register")
    emit("-- access, the telling cell rows, the configuration status cell on CONF_DONE) and invents")
    emit("-- the other cell assignments consistently. To use the vendor's file, save it under this")
    emit(f"-- same name (data/bsdl/{stem}.bsd) and rebuild; no code changes are needed.")
    emit("")
    emit(f"entity {entity} is")
    emit("")
    emit(f'  generic (PHYSICAL_PIN_MAP : string := "{pin_map}");')
    emit("")
    emit("  port (")
    for i, port in enumerate(ports):
        kind = f"bit_vector (1 to {len(port.balls)})" if port.vector else "bit"
        end = ";" if i + 1 < len(ports) else ""
        emit(f"    {port.name:<14} : {port.mode:<7} {kind}{end}")
    emit("  );")
    emit("")
    emit("  use STD_1149_1_2001.all;")
    emit("")
    emit(f'  attribute COMPONENT_CONFORMANCE of {entity} : entity is "STD_1149_1_2001";')
    emit(f"  attribute PIN_MAP of {entity} : entity is PHYSICAL_PIN_MAP;")
    emit("")
    items = []
    for i, port in enumerate(ports):
        separator = ", " if i + 1 < len(ports) else ""
        if port.vector:  # one item per ball, so that long groups wrap
            balls = port.balls
            items.append(f"{port.name}:({balls[0]}" + (", " if len(balls) > 1 else ")" + separator))
            items.extend(ball + (", " if j + 2 < len(balls) else ")" + separator) for j, ball in enumerate(balls[1:]))
        else:
            items.append(f"{port.name}:{port.balls[0]}" + separator)
    emit(f"  constant {pin_map} : PIN_MAP_STRING :=")
    lines = quoted_lines(items, "    ")
    lines[-1] += ";"
    out.extend(lines)
    emit("")
    for attribute, port in TAP_ATTRIBUTES:
        emit(f"  attribute {attribute:<14} of {port:<4} : signal is true;")
    emit("  attribute TAP_SCAN_CLOCK of TCK  : signal is (10.0e6, BOTH);")
    emit("")
    emit(f"  attribute INSTRUCTION_LENGTH of {entity} : entity is 10;")
    emit(f"  attribute INSTRUCTION_OPCODE of {entity} : entity is")
    lines = [f'    "{name} ({code})' + (', " &' if i + 1 < len(INSTRUCTIONS) else '";')
             for i, (name, code) in enumerate(INSTRUCTIONS)]
    out.extend(lines)
    emit(f'  attribute INSTRUCTION_CAPTURE of {entity} : entity is "0101010101";')
    emit(f'  attribute INSTRUCTION_PRIVATE of {entity} : entity is "PRIVATE";')
    emit("")
    bits = f"{idcode:032b}"
    emit(f"  attribute IDCODE_REGISTER of {entity} : entity is")
    emit(f'    "{bits[0:4]}" &             -- version')
    emit(f'    "{bits[4:20]}" & -- part number')
    emit(f'    "{bits[20:31]}" &      -- manufacturer')
    emit('    "1";                 -- mandatory')
    emit(f'  attribute USERCODE_REGISTER of {entity} : entity is "{"X" * 32}";')
    emit(f"  attribute REGISTER_ACCESS of {entity} : entity is")
    out.extend(f'    "{name} ({", ".join(instructions)})' + (', " &' if i + 1 < len(REGISTERS) else '";')
               for i, (name, instructions) in enumerate(REGISTERS))
    emit("")
    emit(f"  attribute BOUNDARY_LENGTH of {entity} : entity is {length};")
    emit(f"  attribute BOUNDARY_REGISTER of {entity} : entity is")
    emit("    --  num  cell   port        function       safe  [ccell  disval  rslt]")
    for number, cell, port, function, safe, control in cells:
        text = f"{number:<5}({cell}, {port + ',':<11} {function + ',':<13} {safe}"
        if control:
            text += f", {control[0]}, {control[1]}, {control[2]}"
        text += ")"
        end = ', " &' if number + 1 < length else '";'
        emit(f'    "{text}{end}')
    emit("")
    emit(f"  attribute DESIGN_WARNING of {entity} : entity is")
    emit('    "Structural stand-in: the cell assignments are invented, not the vendor\'s.";')
    emit("")
    emit(f"end {entity};")
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--pinouts", default=os.path.join(repository(), "data", "pinouts"))
    parser.add_argument("--out", default=os.path.join(repository(), "data", "bsdl"))
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()
    stale = []
    for stem in PIN_SETS:
        text = bsdl_text(stem, read_pin_list(os.path.join(args.pinouts, stem + ".txt")))
        path = os.path.join(args.out, stem + ".bsd")
        try:
            with open(path, encoding="utf-8") as f:
                current = f.read()
        except OSError:
            current = None
        if current == text:
            continue
        stale.append(path)
        if not args.check:
            os.makedirs(args.out, exist_ok=True)
            with open(path, "w", encoding="utf-8", newline="\n") as f:
                f.write(text)
    if args.check:
        for path in stale:
            print(f"out of date: {path}")
        return 1 if stale else 0
    for path in stale:
        print(f"wrote {path}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
