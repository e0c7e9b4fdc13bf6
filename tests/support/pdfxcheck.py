#!/usr/bin/python3
"""A print shop's preflight of a file meant to be PDF/X-1a:2001, read with
pikepdf (qpdf), which did not write it.

pdfxcheck.py FILE WIDTH_MM HEIGHT_MM BLEED_MM MARKS [FILE WIDTH_MM ...]

WIDTH_MM x HEIGHT_MM is the product's cut, BLEED_MM the bleed every page must
have; MARKS is 1 where the pages carry crop marks (a sheet), 0 where the page
is the bleed and nothing more (the card). Prints a JSON array with an object
for each file, in order: "problems", one line each (empty for a file that
passes), and what was read. Several files in one run spare pikepdf's start.
"""

import json
import re
import sys

import pikepdf

PT_PER_MM = 72 / 25.4
EXACT_MM = 0.01


def mm(value):
    return float(value) / PT_PER_MM


def box(page, name):
    entry = page.obj.get(name)
    if entry is None:
        return None
    return [float(v) for v in entry]


def check_fonts(resources, where, problems, seen):
    fonts = resources.get("/Font") if resources is not None else None
    if fonts is None:
        return
    for key, font in fonts.items():
        if font.objgen in seen:
            continue
        seen.add(font.objgen)
        faces = [font]
        if font.get("/Subtype") == "/Type0":
            faces = list(font.get("/DescendantFonts", []))
        for face in faces:
            descriptor = face.get("/FontDescriptor")
            embedded = descriptor is not None and any(
                descriptor.get(k) is not None for k in ("/FontFile", "/FontFile2", "/FontFile3"))
            if not embedded:
                problems.append("%s: font %s (%s) not embedded" % (where, key, face.get("/BaseFont")))


def check_color_spaces(resources, where, problems):
    spaces = resources.get("/ColorSpace") if resources is not None else None
    names = {}
    if spaces is None:
        return names
    for key, space in spaces.items():
        kind = space[0] if isinstance(space, pikepdf.Array) else space
        if kind != "/Separation" or space[2] != "/DeviceCMYK":
            problems.append("%s: colour space %s is %s, not a separation over CMYK" % (where, key, kind))
        names[str(key)] = str(space[1]) if isinstance(space, pikepdf.Array) else str(space)
    return names


def check_transparency(resources, where, problems):
    states = resources.get("/ExtGState") if resources is not None else None
    if states is None:
        return
    for key, state in states.items():
        if state.get("/SMask") not in (None, pikepdf.Name("/None")):
            problems.append("%s: %s has a soft mask" % (where, key))
        for alpha in ("/CA", "/ca"):
            if state.get(alpha) is not None and float(state.get(alpha)) != 1.0:
                problems.append("%s: %s has %s %s" % (where, key, alpha, state.get(alpha)))
        if state.get("/BM") not in (None, pikepdf.Name("/Normal"), pikepdf.Name("/Compatible")):
            problems.append("%s: %s blends %s" % (where, key, state.get("/BM")))


class Marks:
    """The strokes drawn in the colour of every plate, in page space."""

    def __init__(self):
        self.segments = []


def multiply(a, b):
    return [a[0] * b[0] + a[1] * b[2], a[0] * b[1] + a[1] * b[3],
            a[2] * b[0] + a[3] * b[2], a[2] * b[1] + a[3] * b[3],
            a[4] * b[0] + a[5] * b[2] + b[4], a[4] * b[1] + a[5] * b[3] + b[5]]


def apply(m, x, y):
    return (m[0] * x + m[2] * y + m[4], m[1] * x + m[3] * y + m[5])


def walk(stream_owner, resources, ctm, where, problems, marks, fonts_seen, depth=0):
    """Reads one content stream: the colours it sets, its registration
    strokes, and the forms it draws, each in turn."""
    check_fonts(resources, where, problems, fonts_seen)
    check_transparency(resources, where, problems)
    spaces = check_color_spaces(resources, where, problems)
    stack = []
    stroke_space = "/DeviceGray"
    path = []
    current = None
    for operands, operator in pikepdf.parse_content_stream(stream_owner):
        op = str(operator)
        if op == "q":
            stack.append((list(ctm), stroke_space))
        elif op == "Q":
            ctm, stroke_space = stack.pop()
        elif op == "cm":
            ctm = multiply([float(v) for v in operands], ctm)
        elif op in ("rg", "RG", "g", "G", "sc", "SC", "scn") or (op == "SCN" and stroke_space == "/DeviceGray"):
            problems.append("%s: colour operator %s outside CMYK and separations" % (where, op))
        elif op in ("k", "K"):
            if op == "K":
                stroke_space = "/DeviceCMYK"
        elif op in ("CS", "cs"):
            name = str(operands[0])
            if name not in spaces:
                problems.append("%s: colour space %s" % (where, name))
            if op == "CS":
                stroke_space = spaces.get(name, name)
        elif op == "m":
            current = apply(ctm, float(operands[0]), float(operands[1]))
        elif op == "l":
            point = apply(ctm, float(operands[0]), float(operands[1]))
            path.append((current, point))
            current = point
        elif op in ("S", "s", "f", "F", "f*", "B", "B*", "b", "b*", "n"):
            if op == "S" and stroke_space == "/All":
                marks.segments.extend(path)
            path = []
        elif op == "re":
            path = []
        elif op == "BI":
            problems.append("%s: an inline image" % where)
        elif op == "Do":
            xobjects = resources.get("/XObject")
            form = xobjects.get(str(operands[0])) if xobjects is not None else None
            if form is None or form.get("/Subtype") != "/Form":
                problems.append("%s: draws %s, not a form" % (where, operands[0]))
                continue
            if form.get("/Group") is not None:
                problems.append("%s: form %s has a transparency group" % (where, operands[0]))
            matrix = [float(v) for v in form.get("/Matrix", [1, 0, 0, 1, 0, 0])]
            walk(form, form.get("/Resources"), multiply(matrix, ctm), where + " " + str(operands[0]),
                 problems, marks, fonts_seen, depth + 1)


def check(path, width, height, bleed, with_marks):
    problems = []
    read = {}
    with open(path, "rb") as raw:
        header = raw.read(8)
    if header != b"%PDF-1.3":
        problems.append("header %r, not PDF 1.3" % header)
    pdf = pikepdf.open(path)
    if pdf.is_encrypted:
        problems.append("encrypted")
    info = pdf.trailer.get("/Info")
    expected = {"/GTS_PDFXVersion": "PDF/X-1:2001", "/GTS_PDFXConformance": "PDF/X-1a:2001"}
    for key, value in expected.items():
        if info is None or str(info.get(key, "")) != value:
            problems.append("Info %s is %r, not %r" % (key, None if info is None else info.get(key), value))
    if info is None or info.get("/Trapped") not in (pikepdf.Name("/True"), pikepdf.Name("/False")):
        problems.append("Info /Trapped is not True or False")
    for key in ("/Title", "/CreationDate", "/ModDate"):
        if info is None or not str(info.get(key, "")):
            problems.append("Info %s missing" % key)
    read["title"] = str(info.get("/Title", "")) if info is not None else ""
    ids = pdf.trailer.get("/ID")
    if ids is None or len(ids) != 2 or not bytes(ids[0]):
        problems.append("no document ID")
    intents = [i for i in pdf.Root.get("/OutputIntents", []) if i.get("/S") == "/GTS_PDFX"]
    if len(intents) != 1:
        problems.append("%d GTS_PDFX output intents, not one" % len(intents))
    else:
        intent = intents[0]
        identifier = str(intent.get("/OutputConditionIdentifier", ""))
        registry = str(intent.get("/RegistryName", ""))
        read["condition"] = identifier
        read["registry"] = registry
        # Without a profile the condition must be a registered one.
        if intent.get("/DestOutputProfile") is None and not (
                registry == "http://www.color.org" and re.fullmatch(r"FOGRA\d+|CGATS TR \d+|GRACoL\S*|SWOP\S*",
                                                                    identifier)):
            problems.append("no profile and no registered condition (%r in %r)" % (identifier, registry))
    # No colour space other than CMYK and separations over it anywhere.
    for obj in pdf.objects:
        text = repr(obj) if isinstance(obj, (pikepdf.Array, pikepdf.Dictionary)) else ""
        for forbidden in re.findall(r"/(?:DeviceRGB|DeviceGray|ICCBased|CalRGB|CalGray|Lab|Indexed)\b", text):
            problems.append("object %s names %s" % (obj.objgen, forbidden))
    fonts_seen = set()
    read["pages"] = []
    for number, page in enumerate(pdf.pages, 1):
        where = "page %d" % number
        media, trim, bleed_box = box(page, "/MediaBox"), box(page, "/TrimBox"), box(page, "/BleedBox")
        if trim is None or bleed_box is None:
            problems.append("%s: no TrimBox or BleedBox" % where)
            continue
        trim_mm = [mm(v) for v in trim]
        bleed_mm = [mm(v) for v in bleed_box]
        media_mm = [mm(v) for v in media]
        read["pages"].append({"media": media_mm, "trim": trim_mm, "bleed": bleed_mm})
        if abs(trim_mm[2] - trim_mm[0] - width) > EXACT_MM or abs(trim_mm[3] - trim_mm[1] - height) > EXACT_MM:
            problems.append("%s: trim %.3f x %.3f mm, not %.2f x %.2f" % (
                where, trim_mm[2] - trim_mm[0], trim_mm[3] - trim_mm[1], width, height))
        grown = [trim_mm[0] - bleed, trim_mm[1] - bleed, trim_mm[2] + bleed, trim_mm[3] + bleed]
        if any(abs(a - b) > EXACT_MM for a, b in zip(grown, bleed_mm)):
            problems.append("%s: bleed box %s, not the trim %s mm larger" % (where, bleed_mm, bleed))
        inside = (media_mm[0] <= bleed_mm[0] + 1e-6 and media_mm[1] <= bleed_mm[1] + 1e-6
                  and media_mm[2] >= bleed_mm[2] - 1e-6 and media_mm[3] >= bleed_mm[3] - 1e-6)
        if not inside:
            problems.append("%s: bleed box beyond the media box" % where)
        if not with_marks and any(abs(a - b) > EXACT_MM for a, b in zip(media_mm, bleed_mm)):
            problems.append("%s: media box %s is not the bleed box" % (where, media_mm))
        marks = Marks()
        if page.obj.get("/Group") is not None:
            problems.append("%s: a transparency group" % where)
        walk(page, page.obj.get("/Resources"), [1, 0, 0, 1, 0, 0], where, problems, marks, fonts_seen)
        if page.obj.get("/Annots") is not None:
            problems.append("%s: annotations" % where)
        # Crop marks: eight, in line with the trim's edges, wholly outside
        # the bleed and within the media.
        segments = [((mm(a[0]), mm(a[1])), (mm(b[0]), mm(b[1]))) for a, b in marks.segments]
        if with_marks and len(segments) != 8:
            problems.append("%s: %d crop marks, not 8" % (where, len(segments)))
        if not with_marks and segments:
            problems.append("%s: crop marks on a page without room for them" % where)
        for (x1, y1), (x2, y2) in segments:
            left, right, low, high = min(x1, x2), max(x1, x2), min(y1, y2), max(y1, y2)
            outside = (right < bleed_mm[0] - 1e-6 or left > bleed_mm[2] + 1e-6
                       or high < bleed_mm[1] - 1e-6 or low > bleed_mm[3] + 1e-6)
            in_line = any(abs(v - e) < EXACT_MM for v in (x1, y1) for e in trim_mm)
            within = left >= media_mm[0] and right <= media_mm[2] and low >= media_mm[1] and high <= media_mm[3]
            if not (outside and in_line and within):
                problems.append("%s: crop mark %.2f,%.2f-%.2f,%.2f mm not outside the bleed in line with the cut"
                                % (where, x1, y1, x2, y2))
    read["problems"] = problems
    return read


def main():
    arguments = sys.argv[1:]
    if not arguments or len(arguments) % 5:
        sys.exit(__doc__)
    results = []
    for at in range(0, len(arguments), 5):
        path, width, height, bleed, marks = arguments[at:at + 5]
        results.append(check(path, float(width), float(height), float(bleed), marks == "1"))
    print(json.dumps(results, ensure_ascii=False))


if __name__ == "__main__":
    main()
