#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes workbooks with LibreOffice, which this script starts privately.

  make-workbooks.py tests OUTDIR     the workbooks of the end-to-end tests
  make-workbooks.py samples OUTDIR   the sample workbooks installed with the program

Each sheet of a test workbook holds a word of its own (ALPHA-TEXT, ...), so a
printed page tells which sheet it came from.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

import uno
from com.sun.star.awt import Point, Rectangle, Size
from com.sun.star.beans import PropertyValue
from com.sun.star.table import CellRangeAddress

OFFICE = "/usr/lib/libreoffice/program/soffice"


def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


class Office:
    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="corvane-workbooks-")
        pipe = "corvane-workbooks-%d" % os.getpid()
        env = dict(os.environ, TMPDIR=self.root)
        self.process = subprocess.Popen(
            [OFFICE, "-env:UserInstallation=" + uno.systemPathToFileUrl(self.root + "/profile"),
             "--headless", "--invisible", "--norestore", "--nologo", "--nodefault", "--nolockcheck",
             "--accept=pipe,name=%s;urp;" % pipe],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
        for _ in range(600):
            try:
                ctx = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
                break
            except Exception:
                time.sleep(0.1)
        else:
            raise SystemExit("LibreOffice did not start")
        self.ctx = ctx
        self.desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)

    def close(self):
        try:
            self.desktop.terminate()
        except Exception:
            pass
        try:
            self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            os.killpg(self.process.pid, 9)
            self.process.wait()
        shutil.rmtree(self.root, ignore_errors=True)

    def workbook(self, sheets):
        """A new workbook whose sheets are (name, rows) pairs, rows a list of lists."""
        # Not hidden: a hidden document does not save which sheet is active.
        doc = self.desktop.loadComponentFromURL("private:factory/scalc", "_blank", 0, ())
        all_sheets = doc.Sheets
        for index, (name, rows) in enumerate(sheets):
            if index < all_sheets.Count:
                all_sheets.getByIndex(index).Name = name
            else:
                all_sheets.insertNewByName(name, index)
            sheet = all_sheets.getByName(name)
            for r, row in enumerate(rows):
                for c, value in enumerate(row):
                    cell = sheet.getCellByPosition(c, r)
                    if isinstance(value, str) and value.startswith("="):
                        cell.Formula = value
                    elif isinstance(value, str):
                        cell.String = value
                    else:
                        cell.Value = value
            columns = sheet.Columns
            for c in range(max((len(row) for row in rows), default=0)):
                columns.getByIndex(c).OptimalWidth = True
        while all_sheets.Count > len(sheets):
            all_sheets.removeByName(all_sheets.getByIndex(all_sheets.Count - 1).Name)
        return doc

    @staticmethod
    def activate(doc, name):
        doc.CurrentController.setActiveSheet(doc.Sheets.getByName(name))

    @staticmethod
    def save(doc, path, filter_name, extra=()):
        # invoke() keeps the types of typed values, such as encryption data.
        uno.invoke(doc, "storeToURL", (uno.systemPathToFileUrl(os.path.abspath(path)),
                                       (prop("FilterName", filter_name),) + tuple(extra)))
        doc.close(True)


XLSX = "Calc MS Excel 2007 XML"
XLSM = "Calc MS Excel 2007 VBA XML"
XLS = "MS Excel 97"
XLTX = "Calc MS Excel 2007 XML Template"
ODS = "calc8"


def encryption(password):
    """The store argument that encrypts an xlsx file with a password."""
    def named(name, value):
        return uno.createUnoStruct("com.sun.star.beans.NamedValue", name, value)
    p = prop("EncryptionData", None)
    p.Value = uno.Any("[]com.sun.star.beans.NamedValue", (named("OOXPassword", password), named("CryptoType", "Standard")))
    return p


def group_sheets(path, sheet_numbers):
    """Marks the given sheets (1-based) of an xlsx file as selected together."""
    temp = path + ".tmp"
    with zipfile.ZipFile(path) as source, zipfile.ZipFile(temp, "w", zipfile.ZIP_DEFLATED) as target:
        for item in source.infolist():
            data = source.read(item.filename)
            for number in sheet_numbers:
                if item.filename == "xl/worksheets/sheet%d.xml" % number:
                    text = data.decode("utf-8")
                    if 'tabSelected="' not in text:
                        text = text.replace("<sheetView ", '<sheetView tabSelected="1" ', 1)
                    else:
                        text = text.replace('tabSelected="false"', 'tabSelected="true"').replace('tabSelected="0"', 'tabSelected="1"')
                    data = text.encode("utf-8")
            target.writestr(item, data)
    os.replace(temp, path)


def write_minimal_xlsx(path, word):
    """An xlsx file of one sheet written without a page setup, as some
    generators leave it: its paper is the system's default."""
    main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
    relationships = "http://schemas.openxmlformats.org/package/2006/relationships"
    office_relationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    spreadsheet = "application/vnd.openxmlformats-officedocument.spreadsheetml"
    head = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    parts = {
        "[Content_Types].xml": '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
        '<Default Extension="xml" ContentType="application/xml"/>'
        '<Override PartName="/xl/workbook.xml" ContentType="%s.sheet.main+xml"/>'
        '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="%s.worksheet+xml"/></Types>'
        % (spreadsheet, spreadsheet),
        "_rels/.rels": '<Relationships xmlns="%s"><Relationship Id="rId1" Type="%s/officeDocument" '
        'Target="xl/workbook.xml"/></Relationships>' % (relationships, office_relationships),
        "xl/workbook.xml": '<workbook xmlns="%s" xmlns:r="%s"><sheets><sheet name="Plain" sheetId="1" '
        'r:id="rId1"/></sheets></workbook>' % (main, office_relationships),
        "xl/_rels/workbook.xml.rels": '<Relationships xmlns="%s"><Relationship Id="rId1" Type="%s/worksheet" '
        'Target="worksheets/sheet1.xml"/></Relationships>' % (relationships, office_relationships),
        "xl/worksheets/sheet1.xml": '<worksheet xmlns="%s"><sheetData><row r="1"><c r="A1" t="inlineStr">'
        '<is><t>%s</t></is></c></row></sheetData></worksheet>' % (main, word),
    }
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as target:
        for name, text in parts.items():
            target.writestr(name, head + text)


def sheet(word, lines=3):
    return [[word, "row %d" % (i + 1)] for i in range(lines)]


def make_tests(office, out):
    doc = office.workbook([("Alpha", sheet("ALPHA-TEXT")), ("Bravo", sheet("BRAVO-TEXT")),
                           ("Charlie", sheet("CHARLIE-TEXT"))])
    office.activate(doc, "Bravo")
    office.save(doc, out + "/three-sheets.xlsx", XLSX)

    doc = office.workbook([("One", sheet("ONE-TEXT")), ("Two", sheet("TWO-TEXT"))])
    office.activate(doc, "One")
    office.save(doc, out + "/two-sheets.ods", ODS)

    doc = office.workbook([("Legacy1", sheet("LEGACY-ONE")), ("Legacy2", sheet("LEGACY-TWO"))])
    office.activate(doc, "Legacy2")
    office.save(doc, out + "/legacy.xls", XLS)

    doc = office.workbook([("G1", sheet("GROUP-ONE")), ("G2", sheet("GROUP-TWO")), ("G3", sheet("GROUP-THREE"))])
    office.activate(doc, "G1")
    office.save(doc, out + "/grouped.xlsx", XLSX)
    group_sheets(out + "/grouped.xlsx", [1, 2])

    # One sheet of four pages, each starting with its own word.
    words = ["PAGE-ONE", "PAGE-TWO", "PAGE-THREE", "PAGE-FOUR"]
    doc = office.workbook([("Pages", [[word] for word in words])])
    rows = doc.Sheets.getByName("Pages").Rows
    for r in range(1, len(words)):
        rows.getByIndex(r).IsStartOfNewPage = True
    office.save(doc, out + "/four-pages.xlsx", XLSX)

    doc = office.workbook([("Secret", sheet("SECRET-TEXT"))])
    office.save(doc, out + "/protected.xlsx", XLSX, (encryption("secret"),))

    with open(out + "/three-sheets.xlsx", "rb") as good:
        data = good.read()
    with open(out + "/damaged.xlsx", "wb") as damaged:
        damaged.write(data[: len(data) // 2])
    open(out + "/empty.xlsx", "wb").close()
    write_minimal_xlsx(out + "/no-page-setup.xlsx", "PLAIN-TEXT")
    with open(out + "/text.xlsx", "w") as text:
        text.write("This is a plain text file, not a workbook.\n")

    make_empty_sheet_tests(office, out)
    make_legacy_tests(office, out)
    make_page_setup_tests(office, out)
    make_paper_tests(office, out)
    make_encrypted_legacy(out + "/legacy.xls", out)


def with_filepass(source, target, version, key_bits=128):
    """An Excel 97-2003 workbook that says it is encrypted with RC4 through
    CryptoAPI, as Excel writes it for a password: a FILEPASS record in place of
    the few records between the BOF and the code page. The salt and verifier
    are random, so no password opens it, and nothing after it need be
    encrypted: an office stops at the FILEPASS."""
    data = bytearray(open(source, "rb").read())
    bof = data.find(bytes.fromhex("0908100000060500"))
    if bof < 0:
        raise SystemExit(source + ": no workbook BOF record")
    start = end = bof + 20
    # INTERFACEHDR, MMS, INTERFACEEND and WRITEACCESS: the room to fill.
    for _ in range(4):
        end += 4 + int.from_bytes(data[end + 2:end + 4], "little")
    crypto_api, rc4, sha1, full = 0x04, 0x6801, 0x8004, 1
    header = struct.pack("<8I", crypto_api, 0, rc4, sha1, key_bits, full, 0, 0) + "\0".encode("utf-16-le")
    verifier = struct.pack("<I", 16) + os.urandom(32) + struct.pack("<I", 20) + os.urandom(20)
    body = struct.pack("<HHHII", 1, version, 2, crypto_api, len(header)) + header + verifier
    record = struct.pack("<HH", 0x2F, len(body)) + body
    filler = end - start - len(record) - 4
    record += struct.pack("<HH", 0xE1, filler) + bytes(filler)
    data[start:end] = record
    with open(target, "wb") as out:
        out.write(data)


def make_encrypted_legacy(source, out):
    """Password-protected Excel 97-2003 workbooks of both kinds: one LibreOffice
    asks the password of, one whose encryption it refuses by an error code."""
    with_filepass(source, out + "/encrypted-cryptoapi.xls", version=4)
    with_filepass(source, out + "/encrypted-cryptoapi-v2.xls", version=2)


def set_paper(doc, sheet_name, width, height):
    """Gives a sheet a page style of its own on paper of width x height (hundredths of a millimetre)."""
    own_page_style(doc, sheet_name)
    style = doc.StyleFamilies.getByName("PageStyles").getByName(sheet_name + "Style")
    style.IsLandscape = width > height
    style.Width = width
    style.Height = height


def make_paper_tests(office, out):
    """Workbooks laid out on a paper of their own, whatever the system's default is."""
    doc = office.workbook([("Europe", sheet("A4-TEXT"))])
    set_paper(doc, "Europe", 21000, 29700)
    office.save(doc, out + "/a4-paper.xlsx", XLSX)

    doc = office.workbook([("America", sheet("LETTER-TEXT"))])
    set_paper(doc, "America", 21590, 27940)
    office.save(doc, out + "/letter-paper.xlsx", XLSX)

    # An upright A4 sheet between two landscape A3 ones: three runs of paper.
    doc = office.workbook([("Broad1", sheet("BROAD-ONE")), ("Upright", sheet("UPRIGHT-TEXT")),
                           ("Broad2", sheet("BROAD-TWO"))])
    set_paper(doc, "Broad1", 42000, 29700)
    set_paper(doc, "Upright", 21000, 29700)
    set_paper(doc, "Broad2", 42000, 29700)
    office.activate(doc, "Upright")
    office.save(doc, out + "/mixed-paper.ods", ODS)


def make_page_setup_tests(office, out):
    """A sheet wider than any paper and one taller than a page, sharing the default page style."""
    words = ["COLUMN%02d-WORD" % (c + 1) for c in range(40)]
    wide = [words] + [["%d.%d" % (r + 1, c + 1) for c in range(40)] for r in range(3)]
    tall = [["TALL-TEXT"]] + [["line %d" % (r + 1)] for r in range(150)]
    doc = office.workbook([("Wide", wide), ("Tall", tall)])
    office.activate(doc, "Wide")
    office.save(doc, out + "/wide.xlsx", XLSX)


def set_print_area(doc, sheet_name, columns_and_rows):
    """Gives a sheet one print area: (first column, first row, last column, last row), from 0."""
    area = CellRangeAddress()
    area.Sheet = doc.Sheets.ElementNames.index(sheet_name)
    area.StartColumn, area.StartRow, area.EndColumn, area.EndRow = columns_and_rows
    doc.Sheets.getByName(sheet_name).setPrintAreas((area,))


def draw_page(doc, sheet_name):
    return doc.DrawPages.getByIndex(doc.Sheets.ElementNames.index(sheet_name))


def add_shape(doc, sheet_name, text):
    shape = doc.createInstance("com.sun.star.drawing.RectangleShape")
    draw_page(doc, sheet_name).add(shape)
    shape.Position = Point(1000, 1000)
    shape.Size = Size(6000, 2000)
    shape.String = text


def add_picture(office, doc, sheet_name, png):
    provider = office.ctx.ServiceManager.createInstanceWithContext("com.sun.star.graphic.GraphicProvider",
                                                                   office.ctx)
    graphic = provider.queryGraphic((prop("URL", uno.systemPathToFileUrl(os.path.abspath(png))),))
    shape = doc.createInstance("com.sun.star.drawing.GraphicObjectShape")
    draw_page(doc, sheet_name).add(shape)
    shape.Graphic = graphic
    shape.Position = Point(1000, 1000)
    shape.Size = Size(4000, 4000)


def make_empty_sheet_tests(office, out):
    """Workbooks whose active sheet has nothing, or only drawings, to print."""
    doc = office.workbook([("S1", sheet("ALPHA-TEXT")), ("S2", []), ("S3", sheet("CHARLIE-TEXT"))])
    office.activate(doc, "S2")
    office.save(doc, out + "/empty-middle.xlsx", XLSX)

    doc = office.workbook([("S1", []), ("S2", sheet("BRAVO-TEXT")), ("S3", sheet("CHARLIE-TEXT"))])
    office.activate(doc, "S1")
    office.save(doc, out + "/empty-first.ods", ODS)

    doc = office.workbook([("S1", sheet("ALPHA-TEXT")), ("S2", [])])
    office.activate(doc, "S2")
    office.save(doc, out + "/empty-last.xlsx", XLSX)

    # Bold and a number format put no ink on a page.
    doc = office.workbook([("Words", sheet("WORDS-TEXT")), ("Formatted", [])])
    cells = doc.Sheets.getByName("Formatted").getCellRangeByName("A1:C4")
    cells.CharWeight = 150
    cells.NumberFormat = 4
    office.activate(doc, "Formatted")
    office.save(doc, out + "/formatted-empty.xlsx", XLSX)

    doc = office.workbook([("Words", sheet("WORDS-TEXT")), ("Ranged", [["OUTSIDE-TEXT"]])])
    set_print_area(doc, "Ranged", (2, 4, 3, 7))
    office.activate(doc, "Ranged")
    office.save(doc, out + "/ranged-empty.ods", ODS)

    doc = office.workbook([("Words", sheet("WORDS-TEXT")), ("Drawing", [])])
    add_shape(doc, "Drawing", "SHAPE-TEXT")
    office.activate(doc, "Drawing")
    office.save(doc, out + "/shape-only.ods", ODS)

    doc = office.workbook([("Words", sheet("WORDS-TEXT")), ("Picture", [])])
    add_picture(office, doc, "Picture", os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources",
                                                     "icons", "corvane-128.png"))
    office.activate(doc, "Picture")
    office.save(doc, out + "/image-only.xlsx", XLSX)

    # A formula whose text is empty: LibreOffice gives the sheet a page and
    # draws nothing on it (no header or footer either, as in Excel's files).
    doc = office.workbook([("Words", sheet("WORDS-TEXT")), ("Blank", [])])
    doc.Sheets.getByName("Blank").getCellByPosition(0, 0).Formula = '=""'
    own_page_style(doc, "Blank")
    office.activate(doc, "Blank")
    office.save(doc, out + "/empty-text.xls", XLS)

    data = [["North", 4], ["East", 7], ["South", 5], ["West", 9], [], ["DATA-TEXT"]]
    doc = office.workbook([("Data", data), ("Chart", [])])
    address = CellRangeAddress()
    address.Sheet = 0
    address.StartColumn, address.StartRow, address.EndColumn, address.EndRow = 0, 0, 1, 3
    rect = Rectangle()
    rect.X, rect.Y, rect.Width, rect.Height = 500, 500, 12000, 7000
    doc.Sheets.getByName("Chart").Charts.addNewByName("Units", rect, (address,), False, True)
    office.activate(doc, "Chart")
    office.save(doc, out + "/chart-only.xlsx", XLSX)


def own_page_style(doc, sheet_name, header=None, footer=None):
    """Gives a sheet a page style of its own; no header or footer unless given."""
    styles = doc.StyleFamilies.getByName("PageStyles")
    style = doc.createInstance("com.sun.star.style.PageStyle")
    styles.insertByName(sheet_name + "Style", style)
    doc.Sheets.getByName(sheet_name).PageStyle = sheet_name + "Style"
    style.HeaderIsOn = header is not None
    style.FooterIsOn = footer is not None
    if header is not None:
        content = style.RightPageHeaderContent
        content.CenterText.String = header
        style.RightPageHeaderContent = content
    if footer is not None:
        content = style.RightPageFooterContent
        content.CenterText.String = footer
        style.RightPageFooterContent = content


def make_legacy_tests(office, out):
    """Excel 97-2003 workbooks whose active sheet is not the first, with what
    real ones have around it."""
    words = ["ALFA-WORD", "BETA-WORD", "GAMMA-WORD", "DELTA-WORD", "EPSILON-WORD", "ZETA-WORD"]
    data = [["North", 4], ["East", 7], ["South", 5]]
    doc = office.workbook([("S%d" % (i + 1), sheet(word) + (data if i == 0 else [])) for i, word in enumerate(words)])
    add_chart(doc, "S2", "Units", (0, 3, 1, 5), 500, 2500, 9000, 6000)
    active = doc.Sheets.getByName("S4")
    set_print_area(doc, "S4", (0, 0, 1, 2))
    own_page_style(doc, "S4", header="HEADER-MARK", footer="FOOTER-MARK")
    office.activate(doc, "S4")
    doc.CurrentController.select(active.getCellRangeByName("A2:B3"))
    office.save(doc, out + "/legacy-many.xls", XLS)

    doc = office.workbook([("H1", sheet("HIDDEN-WORD")), ("H2", sheet("SHOWN-WORD")), ("H3", sheet("LAST-WORD"))])
    office.activate(doc, "H3")
    doc.Sheets.getByName("H1").IsVisible = False
    office.save(doc, out + "/legacy-hidden-first.xls", XLS)

    doc = office.workbook([("E1", sheet("FULL-WORD")), ("E2", [])])
    office.activate(doc, "E2")
    office.save(doc, out + "/legacy-empty-active.xls", XLS)

    # A blank form: borders and nothing else.
    doc = office.workbook([("Words", sheet("WORDS-TEXT")), ("Form", [])])
    own_page_style(doc, "Form")
    form = doc.Sheets.getByName("Form").getCellRangeByName("B2:E12")
    line = uno.createUnoStruct("com.sun.star.table.BorderLine2")
    line.OuterLineWidth = 35
    line.LineWidth = 35
    form.TopBorder = form.BottomBorder = form.LeftBorder = form.RightBorder = line
    office.activate(doc, "Form")
    office.save(doc, out + "/bordered-form.xls", XLS)

    # Fill colours inside a print area.
    doc = office.workbook([("Words", sheet("WORDS-TEXT")), ("Filled", [])])
    own_page_style(doc, "Filled")
    doc.Sheets.getByName("Filled").getCellRangeByName("B2:D8").CellBackColor = 0x3366CC
    set_print_area(doc, "Filled", (0, 0, 5, 10))
    office.activate(doc, "Filled")
    office.save(doc, out + "/filled-area.ods", ODS)

    doc = office.workbook([("T1", sheet("TEMPLATE-ONE")), ("T2", sheet("TEMPLATE-TWO"))])
    office.activate(doc, "T2")
    office.save(doc, out + "/template.xltx", XLTX)


def add_chart(doc, sheet_name, name, cell_range, x, y, width, height):
    sheet = doc.Sheets.getByName(sheet_name)
    address = CellRangeAddress()
    address.Sheet = doc.Sheets.ElementNames.index(sheet_name)
    address.StartColumn, address.StartRow, address.EndColumn, address.EndRow = cell_range
    rect = Rectangle()
    rect.X, rect.Y, rect.Width, rect.Height = x, y, width, height
    sheet.Charts.addNewByName(name, rect, (address,), True, True)


def make_samples(office, out):
    regions = ["North", "East", "South", "West"]
    quarters = []
    for q, factor in enumerate([1.0, 1.12, 0.97, 1.25], start=1):
        rows = [["Quarter %d sales" % q, "", ""], ["Region", "Units", "Revenue"]]
        for i, region in enumerate(regions):
            units = int((120 + 35 * i) * factor)
            rows.append([region, units, "=B%d*24.5" % (len(rows) + 1)])
        rows.append(["Total", "=SUM(B3:B6)", "=SUM(C3:C6)"])
        quarters.append(("Q%d" % q, rows))
    summary = [["Year summary", ""], ["Quarter", "Revenue"]]
    for q in range(1, 5):
        summary.append(["Q%d" % q, "=Q%d.C7" % q])
    summary.append(["Year", "=SUM(B3:B6)"])
    doc = office.workbook(quarters + [("Summary", summary)])
    add_chart(doc, "Summary", "Revenue", (0, 1, 1, 5), 500, 4000, 12000, 7000)
    office.activate(doc, "Summary")
    office.save(doc, out + "/Quarterly Sales.xlsx", XLSX)

    income = [["Income", "Amount"], ["Sales", 182000], ["Services", 41000], ["Other", 3500], ["Total", "=SUM(B2:B4)"]]
    expenses = [["Expenses", "Amount"], ["Salaries", 120000], ["Rent", 24000], ["Travel", 9300],
                ["Supplies", 4100], ["Total", "=SUM(B2:B5)"]]
    doc = office.workbook([("Income", income), ("Expenses", expenses)])
    office.activate(doc, "Expenses")
    office.save(doc, out + "/Budget 2014.xls", XLS)

    stock = [["Item", "In stock", "Reorder at"], ["Paper A4 (box)", 42, 10], ["Toner black", 6, 4],
             ["Toner colour", 3, 4], ["Staples", 120, 20], ["Folders", 75, 25]]
    orders = [["Order", "Item", "Quantity"], [1041, "Toner colour", 4], [1042, "Folders", 50]]
    doc = office.workbook([("Stock", stock), ("Orders", orders)])
    office.activate(doc, "Orders")
    office.save(doc, out + "/Inventory.ods", ODS)

    days = ["Monday", "Tuesday", "Wednesday", "Thursday", "Friday"]
    week = [["Day", "Start", "End", "Hours"]] + [[d, 9, 17, "=C%d-B%d" % (i + 2, i + 2)] for i, d in enumerate(days)]
    week.append(["Total", "", "", "=SUM(D2:D6)"])
    doc = office.workbook([("Week 1", week), ("Week 2", week)])
    office.activate(doc, "Week 1")
    office.save(doc, out + "/Timesheet.xlsm", XLSM)


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("tests", "samples"):
        raise SystemExit(__doc__)
    out = sys.argv[2]
    os.makedirs(out, exist_ok=True)
    office = Office()
    try:
        (make_tests if sys.argv[1] == "tests" else make_samples)(office, out)
    finally:
        office.close()


if __name__ == "__main__":
    main()
