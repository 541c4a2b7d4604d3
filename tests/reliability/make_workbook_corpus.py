"""Writes the seed corpus of the workbook reader fuzzer: small packages and CSV files.

Usage: make_workbook_corpus.py FOLDER. The packages are written part by part from the Office
Open XML layout, stored and deflated, so that mutations reach the zip layer and the XML alike.
"""

import os
import sys
import zipfile

MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG_REL = "http://schemas.openxmlformats.org/package/2006/relationships"
CT = "http://schemas.openxmlformats.org/package/2006/content-types"
SHEET_CT = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"


def content_types(sheets, shared, styles):
    parts = [f'<Override PartName="/xl/worksheets/sheet{i}.xml" ContentType="{SHEET_CT}"/>'
             for i in range(1, sheets + 1)]
    if shared:
        parts.append('<Override PartName="/xl/sharedStrings.xml" ContentType="application/'
                     'vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>')
    if styles:
        parts.append('<Override PartName="/xl/styles.xml" ContentType="application/'
                     'vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>')
    return (f'<?xml version="1.0" encoding="UTF-8"?><Types xmlns="{CT}">'
            '<Default Extension="rels" ContentType="application/'
            'vnd.openxmlformats-package.relationships+xml"/>'
            '<Default Extension="xml" ContentType="application/xml"/>'
            '<Override PartName="/xl/workbook.xml" ContentType="application/'
            'vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
            + "".join(parts) + "</Types>")


def package(path, sheet_bodies, shared=None, styles=None, names="", compression=zipfile.ZIP_DEFLATED):
    sheet_list = "".join(f'<sheet name="{name}" sheetId="{i}" r:id="rId{i}"/>'
                         for i, (name, _) in enumerate(sheet_bodies, start=1))
    rels = [f'<Relationship Id="rId{i}" Type="{REL}/worksheet" Target="worksheets/sheet{i}.xml"/>'
            for i in range(1, len(sheet_bodies) + 1)]
    extra = len(sheet_bodies)
    if shared is not None:
        extra += 1
        rels.append(f'<Relationship Id="rId{extra}" Type="{REL}/sharedStrings" '
                    'Target="sharedStrings.xml"/>')
    if styles is not None:
        extra += 1
        rels.append(f'<Relationship Id="rId{extra}" Type="{REL}/styles" Target="styles.xml"/>')
    with zipfile.ZipFile(path, "w", compression) as zf:
        zf.writestr("[Content_Types].xml",
                    content_types(len(sheet_bodies), shared is not None, styles is not None))
        zf.writestr("_rels/.rels",
                    f'<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="{PKG_REL}">'
                    f'<Relationship Id="rId1" Type="{REL}/officeDocument" '
                    'Target="xl/workbook.xml"/></Relationships>')
        zf.writestr("xl/workbook.xml",
                    f'<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="{MAIN}" '
                    f'xmlns:r="{REL}"><sheets>{sheet_list}</sheets>{names}</workbook>')
        zf.writestr("xl/_rels/workbook.xml.rels",
                    f'<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="{PKG_REL}">'
                    + "".join(rels) + "</Relationships>")
        for i, (_, body) in enumerate(sheet_bodies, start=1):
            zf.writestr(f"xl/worksheets/sheet{i}.xml",
                        f'<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="{MAIN}">'
                        f"{body}</worksheet>")
        if shared is not None:
            items = "".join(f"<si><t xml:space=\"preserve\">{text}</t></si>" for text in shared)
            zf.writestr("xl/sharedStrings.xml",
                        f'<?xml version="1.0" encoding="UTF-8"?><sst xmlns="{MAIN}" '
                        f'count="{len(shared)}" uniqueCount="{len(shared)}">{items}</sst>')
        if styles is not None:
            zf.writestr("xl/styles.xml",
                        f'<?xml version="1.0" encoding="UTF-8"?><styleSheet xmlns="{MAIN}">'
                        f"{styles}</styleSheet>")


STYLES = ('<numFmts count="1"><numFmt numFmtId="164" formatCode="0.00%"/></numFmts>'
          '<fonts count="2"><font><sz val="11"/><name val="Calibri"/></font>'
          '<font><b/><sz val="14"/><name val="Arial"/></font></fonts>'
          '<fills count="3"><fill><patternFill patternType="none"/></fill>'
          '<fill><patternFill patternType="gray125"/></fill>'
          '<fill><patternFill patternType="solid"><fgColor rgb="FFFF0000"/></patternFill></fill>'
          '</fills><borders count="2"><border/><border><top style="thin"><color rgb="FF000000"/>'
          '</top></border></borders><cellXfs count="2"><xf numFmtId="0" fontId="0" fillId="0" '
          'borderId="0"/><xf numFmtId="164" fontId="1" fillId="2" borderId="1" applyAlignment="1">'
          '<alignment horizontal="center" wrapText="1"/></xf></cellXfs>')


def write_corpus(folder):
    os.makedirs(folder, exist_ok=True)
    out = lambda name: os.path.join(folder, name)
    package(out("values.xlsx"), [("Sheet1", '<sheetData><row r="1"><c r="A1"><v>42</v></c>'
                                            '<c r="B1" t="b"><v>1</v></c>'
                                            '<c r="C1" t="inlineStr"><is><t>text</t></is></c>'
                                            '</row></sheetData>')],
            compression=zipfile.ZIP_STORED)
    package(out("shared_styles.xlsx"),
            [("Data", '<cols><col min="1" max="2" width="20" customWidth="1"/></cols>'
                      '<sheetData><row r="1"><c r="A1" t="s" s="1"><v>0</v></c>'
                      '<c r="B1" t="s"><v>1</v></c></row><row r="3"><c r="C3" s="1"><v>0.5</v>'
                      '</c></row></sheetData><mergeCells count="1"><mergeCell ref="A2:B2"/>'
                      '</mergeCells>')],
            shared=["first &amp; second", "_x000a_ line"], styles=STYLES)
    package(out("formulas_names.xlsx"),
            [("One", '<sheetData><row r="1"><c r="A1"><v>2</v></c><c r="B1"><f>A1*3</f><v>6</v>'
                     '</c><c r="C1" t="str"><f>Two!A1&amp;"x"</f><v>yx</v></c></row>'
                     '</sheetData>'),
             ("Two", '<sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>y</t></is></c>'
                     '<c r="B1" t="e"><f>1/0</f><v>#DIV/0!</v></c></row></sheetData>')],
            names='<definedNames><definedName name="Total">One!$A$1:$B$1</definedName>'
                  '</definedNames>', compression=zipfile.ZIP_STORED)
    with open(out("plain.csv"), "wb") as file:
        file.write(b"name,amount,note\r\nwidget,12.5,\"a, b\"\r\ngadget,-3,\"say \"\"hi\"\"\"\r\n")
    with open(out("bom_multiline.csv"), "wb") as file:
        file.write("\ufeffk\u00e9y,\"two\nlines\"\n=1+1,'00123\n".encode("utf-8"))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_workbook_corpus.py FOLDER")
    write_corpus(sys.argv[1])
