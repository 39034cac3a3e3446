#!/usr/bin/env python3
"""Writes demo/Punts.rel: two months of scores of the demo's three tests, as quizrun registers
them (52-byte records), so that the demo's history and its chart have something to show."""
import os
import struct

# (day, month, year, test, questions, right, wrong, penalty denominator)
RESULTS = [
    (6, 10, 2026, "historia.tgn", 8, 4, 3, 4), (8, 10, 2026, "barreja.tgn", 10, 4, 4, 4),
    (11, 10, 2026, "historia.tgn", 8, 5, 2, 4), (14, 10, 2026, "tots_1.tgn", 50, 22, 17, 4),
    (16, 10, 2026, "barreja.tgn", 10, 5, 3, 4), (19, 10, 2026, "historia.tgn", 8, 5, 3, 0),
    (23, 10, 2026, "tots_1.tgn", 50, 26, 15, 4), (27, 10, 2026, "barreja.tgn", 10, 6, 3, 4),
    (30, 10, 2026, "historia.tgn", 8, 6, 1, 4), (3, 11, 2026, "tots_1.tgn", 50, 29, 14, 4),
    (6, 11, 2026, "barreja.tgn", 10, 6, 2, 3), (10, 11, 2026, "historia.tgn", 8, 6, 2, 4),
    (13, 11, 2026, "tots_1.tgn", 50, 33, 11, 4), (17, 11, 2026, "barreja.tgn", 10, 7, 2, 4),
    (20, 11, 2026, "historia.tgn", 8, 7, 1, 4), (24, 11, 2026, "tots_1.tgn", 50, 36, 9, 4),
    (27, 11, 2026, "barreja.tgn", 10, 8, 1, 4), (1, 12, 2026, "tots_1.tgn", 50, 39, 8, 4),
    (3, 12, 2026, "historia.tgn", 8, 8, 0, 4),
]


def record(day, month, year, test, questions, right, wrong, penalty):
    name = test.encode("cp1252")[:30]
    fraction = 1.0 / penalty if penalty > 0 else 0.0
    return (struct.pack("<HHH", day, month, year) + bytes([len(name)]) + name.ljust(30, b"\0") + b"\0" +
            struct.pack("<HHHd", questions, right, wrong, fraction))


if __name__ == "__main__":
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "demo", "Punts.rel")
    data = b"".join(record(*r) for r in RESULTS)
    assert len(data) == 52 * len(RESULTS)
    with open(out, "wb") as f:
        f.write(data)
    print(f"{out}: {len(RESULTS)} puntuacions")
