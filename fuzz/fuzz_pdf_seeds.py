#!/usr/bin/env python3
"""Writes the small hand-made seed documents of fuzz_pdf into seeds/pdf/.

plot.pdf in the same folder was written by the test suite's PDF helper
(tests/image/support/MakePdf.cpp). The encrypted seed (no password needed to view it) and the one with
compressed object streams are made from minimal.pdf with qpdf.
"""
import os
import subprocess
import zlib

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds", "pdf")


def document(pages, extra_objects=()):
    """A PDF with one page per (page dictionary entries, content) pair."""
    objects = [b"<< /Type /Catalog /Pages 2 0 R >>", None]
    kids = []
    for entries, content, compress in pages:
        data = zlib.compress(content) if compress else content
        flt = b" /Filter /FlateDecode" if compress else b""
        objects.append(b"<< /Length %d%s >>\nstream\n" % (len(data), flt) + data + b"\nendstream")
        contents = len(objects)
        objects.append(b"<< /Type /Page /Parent 2 0 R " + entries + b" /Contents %d 0 R >>" % contents)
        kids.append(b"%d 0 R" % len(objects))
    objects[1] = b"<< /Type /Pages /Kids [" + b" ".join(kids) + b"] /Count %d >>" % len(kids)
    objects.extend(extra_objects)
    out = b"%PDF-1.5\n%\xe2\xe3\xcf\xd3\n"
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    out += b"".join(b"%010d 00000 n \n" % o for o in offsets)
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
    return out


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


PATHS = (b"1 0 0 RG 2 w 10 10 m 90 60 l S 0 0 1 rg 20 20 30 15 re f "
         b"0.5 g 50 5 m 60 40 70 -10 95 30 c h B q 1 0 0 1 5 5 cm 0 1 0 RG [3 2] 0 d 5 45 80 0 re S Q")
TEXT = b"BT /F1 12 Tf 10 30 Td (Fig. 3 x = 1.5) Tj 0 -14 Td 0.5 Tc (y \\(mm\\)) Tj ET"
IMAGE = (b"q 40 0 0 30 10 10 cm /Im1 Do Q "
         b"q 20 0 0 20 60 20 cm BI /W 2 /H 2 /CS /G /BPC 8 ID \x00\xff\xff\x00 EI Q")
SHADE = b"q 0 0 100 60 re W n /Sh1 sh Q"

def main():
    os.makedirs(HERE, exist_ok=True)
    write("minimal.pdf", document([
        (b"/MediaBox [0 0 100 60]", PATHS, False),
        (b"/MediaBox [0 0 100.5 60.25] /CropBox [5 5 95 55] /Rotate 90", PATHS, True),
    ]))
    font = b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"
    resources = b"/Resources << /Font << /F1 %d 0 R >> /XObject << /Im1 %d 0 R >> /Shading << /Sh1 %d 0 R >> >>"
    pixels = bytes((x * 60) % 256 for x in range(4 * 3 * 3))
    image = b"<< /Type /XObject /Subtype /Image /Width 4 /Height 3 /ColorSpace /DeviceRGB /BitsPerComponent 8 " \
            b"/Length %d >>\nstream\n" % len(pixels) + pixels + b"\nendstream"
    shading = b"<< /ShadingType 2 /ColorSpace /DeviceRGB /Coords [0 0 100 0] " \
              b"/Function << /FunctionType 2 /Domain [0 1] /C0 [1 0 0] /C1 [0 0 1] /N 1 >> /Extend [true true] >>"
    # Pages take objects 3..6; the font, image and shading follow them.
    write("resources.pdf", document([
        (b"/MediaBox [0 0 100 60] " + resources % (7, 8, 9), TEXT + b" " + IMAGE, True),
        (b"/MediaBox [0 0 100 60] " + resources % (7, 8, 9), SHADE + b" " + TEXT, False),
    ], [font, image, shading]))
    minimal = os.path.join(HERE, "minimal.pdf")
    subprocess.run(["qpdf", "--encrypt", "", "owner", "256", "--", minimal,
                    os.path.join(HERE, "encrypted.pdf")], check=True)
    subprocess.run(["qpdf", "--object-streams=generate", minimal,
                    os.path.join(HERE, "object-streams.pdf")], check=True)


if __name__ == "__main__":
    main()
