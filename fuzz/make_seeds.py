#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets from the byte-exact fixtures and the demo folder.

Run from anywhere; it rewrites fuzz/seeds/<target>/ for the eight targets. Inputs that made a
target fail later are added to its folder by hand, under a name that says what they caught.
"""
import pathlib

root = pathlib.Path(__file__).resolve().parent.parent
fixtures = root / "tests" / "fixtures"
demo = root / "demo"
seeds = root / "fuzz" / "seeds"


def put(target, name, data):
    folder = seeds / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


# The converter's text: a mode byte, then the text.
for mode in (0, 1):
    put("fuzz_text_conversion", f"exemple_{mode}", bytes([mode]) + (demo / "exemple.txt").read_bytes())
put("fuzz_text_conversion", "marked_utf8", b"\x01\xef\xbb\xbfQ\xc3\xa0\r\n*a\r\nb\r\nc\r\nd\r\n")

for tgn in sorted(fixtures.glob("*.tgn")) + sorted((demo / "Generats").glob("*.tgn")):
    put("fuzz_test_file", tgn.name, tgn.read_bytes())

# A layout's four bytes, then a record of that layout.
for qst in sorted(fixtures.glob("q_*.qst")):
    lp, lr, n, lc = (int(v) for v in qst.stem.split("_")[1:])
    put("fuzz_records", qst.name, bytes([lp, lr, n, lc]) + qst.read_bytes())
for rel in ("topics.rel", "generats.rel", "punts.rel"):
    put("fuzz_records", rel, bytes([120, 120, 4, 100]) + (fixtures / rel).read_bytes())

# A data folder: index length / 6, bank length / 32, then the index, the bank and a test.
index = (fixtures / "topics.rel").read_bytes()[:318 * 2]
for qst in ("q_120_120_4_100.qst", "q_50_40_2_0.qst"):
    bank = (fixtures / qst).read_bytes()
    bank = bank[: len(bank) // 32 * 32]
    test = b"1\r\n1\r\n2\r\n3\r\n1\r\n2\r\n"
    put("fuzz_data_folder", qst, bytes([len(index) // 6, len(bank) // 32]) + index + bank + test)

# Aiken sources: options with "." and ")", CR LF, questions left out, a bad answer letter.
put("fuzz_aiken", "two.txt",
    "Capital de França?\nA. Lió\nB. París\nC) Niça\nD) Brest\nANSWER: B\n\nQ2\r\nA. a\r\nB. b\r\nANSWER: A\r\n".encode())
put("fuzz_aiken", "skipped.txt",
    "Q1\nA. sola\nANSWER: A\n\nQ2\nA. a\nB. b\nC. c\nD. d\nE. e\nANSWER: E\n\nQuina\nde dues línies?\nA. x\nB. y\nANSWER: B\n".encode())
put("fuzz_aiken", "bad.txt", b"Q1\nA. a\nB. b\nANSWER: Z\n")

# GIFT sources: a mode byte (1 = true/false questions kept), then the text.
gift = ("// comentari\n$CATEGORY: geo\n\n::Capital::Quina és la capital de França? {\n  ~Lió#No\n  =París\n"
        "  ~Niça\n  ####Des de fa segles.\n}\n\n[html]<p>2 \\= 1 &amp; 1</p> {=Cert ~Fals}\n\n"
        "El dia {~15 =2 ~3} d'octubre.\n\nQ {T#sí#no}\n\nQ {=a -> b =c -> d}\n\nQ {~%50%a ~%50%b}\n").encode()
put("fuzz_gift", "kinds_0", b"\x00" + gift)
put("fuzz_gift", "kinds_1", b"\x01" + gift)
put("fuzz_gift", "open_brace", b"\x00Q1 {=a ~b}\n\nQ2 {=a ~b\n")

# Moodle XML: a mode byte, then a quiz with a category, a multichoice question in HTML and CDATA,
# a true/false one and a type that is left out.
moodle = ("""<?xml version="1.0" encoding="UTF-8"?>
<quiz>
<question type="category"><category><text>$course$/Geo</text></category></question>
<question type="multichoice"><name><text>Capital</text></name>
<questiontext format="html"><text><![CDATA[<p>Quina és la <b>capital</b>?&nbsp;</p>]]></text></questiontext>
<generalfeedback format="html"><text>&lt;p&gt;Des de fa segles&lt;/p&gt;</text></generalfeedback>
<answer fraction="0"><text>Lió</text><feedback><text>No</text></feedback></answer>
<answer fraction="100"><text>París</text></answer>
<answer fraction="-50" format="plain_text"><text>a &lt; b</text></answer>
</question>
<question type="truefalse"><questiontext><text>Q</text></questiontext>
<answer fraction="100"><text>true</text></answer><answer fraction="0"><text>false</text></answer></question>
<question type="shortanswer"><questiontext><text>Q</text></questiontext></question>
</quiz>
""").encode()
put("fuzz_moodle_xml", "quiz_0", b"\x00" + moodle)
put("fuzz_moodle_xml", "quiz_1", b"\x01" + moodle)

# A change of parameters left part-way: flags (1 old bank, 2 the copy, 4 the new bank), index
# length / 6, then the record, the index and the bank.
def with_layout(entry, name, lp, lr, n, lc):
    e = bytearray(entry)
    if name is not None:
        e[0] = len(name)
        e[1:1 + len(name)] = name
    for offset, value in ((224, lp), (309, lr), (312, n), (314, lc)):
        e[offset:offset + 2] = value.to_bytes(2, "little")
    size = (lp + 1) + n * (lr + 1) + (lc + 1 if lc > 0 else 0)
    e[316:318] = size.to_bytes(2, "little")
    return bytes(e)


old = index[:318]
lp, lr, n, lc = (int.from_bytes(old[o:o + 2], "little") for o in (224, 309, 312, 314))
bank = (fixtures / "q_120_120_4_100.qst").read_bytes()
for name, flags, new, kind in (
        ("rewrite_copy_made", 3, with_layout(old, None, lp, 60, n, lc), 1),
        ("rewrite_in_place", 1, with_layout(old, None, lp, 60, n, lc), 1),
        ("rewrite_new_name", 2, with_layout(old, b"nou", lp, lr, 3, 0), 1),
        ("rename", 1, with_layout(old, b"nou", lp, lr, n, lc), 0)):
    record = b"QZC1" + old + new + bytes([kind])
    put("fuzz_topic_change", name, bytes([flags, len(index) // 6]) + record + index[: len(index) // 6 * 6] + bank)

# The answer log: two whole corrections, then one cut short and a torn record.
def answer(k, count, test, file, result, day=7):
    r = bytearray(88)
    r[0:2] = (2026).to_bytes(2, "little")
    r[2], r[3], r[4], r[5], r[6] = 12, day, 10, 30, 5
    r[7] = ord(" ") if result == 0 else ord("b")
    r[8], r[9], r[10] = result, k, count
    r[12:14] = (k + 100).to_bytes(2, "little")
    r[16:24] = (0x1234 + k).to_bytes(8, "little")
    r[24] = len(test)
    r[25:25 + len(test)] = test
    r[55] = len(file)
    r[56:56 + len(file)] = file
    return bytes(r)


log = b"".join(answer(k, 3, b"t1", b"GEO", k % 3) for k in (1, 2, 3))
log += b"".join(answer(k, 2, b"t2", b"HISTORIA", 1, day=14) for k in (1, 2))
put("fuzz_answer_log", "two_whole", log)
put("fuzz_answer_log", "cut_short", log + answer(1, 4, b"t3", b"GEO", 2) + b"torn")
