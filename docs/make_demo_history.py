#!/usr/bin/env python3
"""Writes demo/Punts.rel: two months of scores of the demo's three tests, as quizrun registers
them (52-byte records), so that the demo's history and its chart have something to show; and
demo/Respostes.rel, the answers behind those scores (88-byte records), for the results by topic,
the rescoring and the review tests."""
import os
import random
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


DEMO = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "demo")


def lstring(data, offset):
    return data[offset + 1:offset + 1 + data[offset]]


def topics():
    """Each topic's question file name and the texts (question, right answer) of its questions."""
    index = open(os.path.join(DEMO, "Bases", "Arxs.rel"), "rb").read()
    out = []
    for e in range(len(index) // 318):
        entry = index[e * 318:(e + 1) * 318]
        name = lstring(entry, 0)
        lp, lr, n, lc, size = (struct.unpack_from("<H", entry, o)[0] for o in (224, 309, 312, 314, 316))
        bank = open(os.path.join(DEMO, "Bases", name.decode("cp1252") + ".qst"), "rb").read()
        questions = []
        for q in range(len(bank) // size):
            rec = bank[q * size:(q + 1) * size]
            questions.append((lstring(rec, 0)[:lp], lstring(rec, lp + 1)[:lr]))
        out.append((name, questions))
    return out


def fnv1a(data, h=0xcbf29ce484222325):
    for b in data:
        h = ((h ^ b) * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
    return h


def answers(day, month, year, test, questions, right, wrong, order):
    """The records of one registered correction: `order` says which places were right, wrong, blank."""
    numbers = [int(v) for v in open(os.path.join(DEMO, "Generats", test), "rb").read().split()]
    items = list(zip(numbers[0::2], numbers[1::2]))[:questions]
    banks = topics()
    out = b""
    for k, (topic, number) in enumerate(items, 1):
        file_name, texts = banks[topic - 1]
        text, right_answer = texts[number - 1]
        result = order[k - 1]
        letter = b" " if result == 0 else (b"a" if result == 1 else b"c")
        name = test.encode("cp1252")[:30]
        out += (struct.pack("<HBBBBB", year, month, day, 18, 30, 0) + letter +
                bytes([result, k, questions, 0]) + struct.pack("<HHQ", number, 0, fnv1a(right_answer, fnv1a(b"\0", fnv1a(text)))) +
                bytes([len(name)]) + name.ljust(30, b"\0") + bytes([len(file_name)]) + file_name.ljust(32, b"\0"))
    assert len(out) == 88 * questions
    return out


if __name__ == "__main__":
    out = os.path.join(DEMO, "Punts.rel")
    data = b"".join(record(*r) for r in RESULTS)
    assert len(data) == 52 * len(RESULTS)
    with open(out, "wb") as f:
        f.write(data)
    print(f"{out}: {len(RESULTS)} puntuacions")
    chance = random.Random(2026)
    log = b""
    for day, month, year, test, questions, right, wrong, _ in RESULTS:
        order = [1] * right + [2] * wrong + [0] * (questions - right - wrong)
        chance.shuffle(order)
        log += answers(day, month, year, test, questions, right, wrong, order)
    out = os.path.join(DEMO, "Respostes.rel")
    with open(out, "wb") as f:
        f.write(log)
    print(f"{out}: {len(log) // 88} respostes")
