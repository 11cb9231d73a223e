#!/usr/bin/env bash
# Remakes the spreadsheet fixtures of this folder with the programs that write such files in real life.
# Needs (only here, not for the build or the tests): libreoffice-calc-nogui, python3-openpyxl, gcc with
# libxlsxwriter-dev, iconv. Run it from anywhere; it writes into this folder.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home
mkdir -p "$HOME"
lo() { soffice --headless "-env:UserInstallation=file://$work/profile" "$@" >/dev/null 2>&1; }

# LibreOffice: the main sheet (shared strings, rich-text runs, dates and times in several formats,
# booleans, an empty column and row, a merged range, a cell beyond the headings) as .xlsx, .xls and .csv.
cp "$here/lo-basic.fods" "$work/lo-basic.fods"
(cd "$work" && lo --convert-to xlsx lo-basic.fods && lo --convert-to xls lo-basic.fods &&
    lo --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1' lo-basic.fods)
cp "$work/lo-basic.xlsx" "$work/lo-basic.xls" "$here/"
cp "$work/lo-basic.csv" "$here/lo-utf8.csv"
{ printf '\xEF\xBB\xBF'; cat "$work/lo-basic.csv"; } >"$here/lo-utf8-bom.csv"
iconv -f UTF-8 -t GBK "$work/lo-basic.csv" >"$here/lo-gbk.csv"

# openpyxl: the same dates in the 1900 and the 1904 date system, booleans, numbers kept to 17 digits,
# custom date formats, an error value, a merged range and a text-formatted cell.
/usr/bin/python3 - "$here" <<'PY'
import datetime, sys
import openpyxl
from openpyxl.utils.datetime import CALENDAR_MAC_1904
here = sys.argv[1]
for system in ("1900", "1904"):
    wb = openpyxl.Workbook()
    if system == "1904":
        wb.epoch = CALENDAR_MAC_1904
    ws = wb.active
    ws.title = "档案"
    ws.append(["档案编号", "日期", "日期时间", "金额", "是否", "中文日期", None, "备注"])
    ws.append(["B001", datetime.date(2009, 3, 25), datetime.datetime(2009, 3, 25, 10, 11, 12), 0.1 + 0.2, True,
               datetime.date(1999, 12, 31), None, "#DIV/0!"])
    ws.append(["B002", datetime.date(1904, 1, 2), datetime.datetime(2020, 2, 29, 23, 59, 59), 123456789012, False,
               datetime.date(2024, 2, 29), None, "文本"])
    ws.append([])
    ws.append(["B003", datetime.date(1970, 1, 1), None, -1234.5, None, None, None, "合并"])
    for row in ws.iter_rows(min_row=2, max_row=5):
        row[1].number_format = "yyyy-mm-dd"
        row[2].number_format = "yyyy-mm-dd hh:mm:ss"
        row[5].number_format = '[$-804]yyyy"年"m"月"d"日";@'
    ws["D3"].number_format = "0.00"
    ws["B6"] = "00123"
    ws["B6"].number_format = "@"
    ws["J6"] = "远处"
    ws.merge_cells("H5:I6")
    wb.save(f"{here}/openpyxl-{system}.xlsx")
empty = openpyxl.Workbook()
empty.save(f"{here}/openpyxl-empty.xlsx")
PY

# libxlsxwriter in constant-memory mode writes inline strings.
cat >"$work/inline.c" <<'C'
#include <xlsxwriter.h>
int main(int argc, char** argv)
{
    lxw_workbook_options options = {.constant_memory = LXW_TRUE};
    lxw_workbook* wb = workbook_new_opt(argv[1], &options);
    lxw_worksheet* ws = workbook_add_worksheet(wb, "明细");
    lxw_format* date = workbook_add_format(wb);
    format_set_num_format(date, "yyyy-mm-dd");
    lxw_datetime d = {2021, 7, 1, 0, 0, 0};
    worksheet_write_string(ws, 0, 0, "编号", NULL);
    worksheet_write_string(ws, 0, 1, "名称", NULL);
    worksheet_write_string(ws, 0, 2, "日期", NULL);
    worksheet_write_string(ws, 0, 3, "数量", NULL);
    worksheet_write_string(ws, 1, 0, "C001", NULL);
    worksheet_write_string(ws, 1, 1, "内联字符串 & <符号>", NULL);
    worksheet_write_datetime(ws, 1, 2, &d, date);
    worksheet_write_number(ws, 1, 3, 3, NULL);
    worksheet_write_string(ws, 3, 0, "C002", NULL);
    worksheet_write_string(ws, 3, 1, "  前后空格  ", NULL);
    worksheet_write_number(ws, 3, 3, 2.5, NULL);
    return workbook_close(wb);
}
C
gcc "$work/inline.c" -o "$work/inline" $(pkg-config --cflags --libs xlsxwriter)
"$work/inline" "$here/xlsxwriter-inline.xlsx"

# Files that are not what they claim to be.
head -c 3000 "$here/lo-basic.xlsx" >"$here/damaged-truncated.xlsx"
head -c 3000 "$here/lo-basic.xls" >"$here/damaged-truncated.xls"
/usr/bin/python3 - "$here" <<'PY'
import sys, zipfile, struct
here = sys.argv[1]
# A byte changed inside the compressed worksheet: the entry no longer inflates to what its checksum says.
data = bytearray(open(f"{here}/lo-basic.xlsx", "rb").read())
with zipfile.ZipFile(f"{here}/lo-basic.xlsx") as z:
    info = z.getinfo("xl/worksheets/sheet1.xml")
name_len, extra_len = struct.unpack("<HH", data[info.header_offset + 26:info.header_offset + 30])
start = info.header_offset + 30 + name_len + extra_len
data[start + info.compress_size // 2] ^= 0x55
open(f"{here}/damaged-crc.xlsx", "wb").write(bytes(data))
# A word-processing document named like a workbook.
with zipfile.ZipFile(f"{here}/foreign-docx.xlsx", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("[Content_Types].xml", '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>')
    z.writestr("_rels/.rels", '<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/></Relationships>')
    z.writestr("word/document.xml", '<?xml version="1.0"?><document/>')
# An encrypted workbook as Office stores it: a compound file with EncryptionInfo and EncryptedPackage.
FREE, END, FATSECT = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD
def entry(name, kind, child, right, start, size):
    raw = name.encode("utf-16-le") + b"\0\0"
    return (raw.ljust(64, b"\0") + struct.pack("<HBB", len(raw), kind, 1) +
            struct.pack("<III", FREE, right, child) + b"\0" * 16 + b"\0" * 4 + b"\0" * 16 +
            struct.pack("<IQ", start, size))
fat = [FATSECT, END] + list(range(3, 10)) + [END] + list(range(11, 18)) + [END]
fat += [FREE] * (128 - len(fat))
header = (b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + b"\0" * 16 + struct.pack("<HHHHH", 0x3E, 3, 0xFFFE, 9, 6) +
          b"\0" * 6 + struct.pack("<IIIIIIIII", 0, 1, 1, 0, 4096, END, 0, END, 0) +
          struct.pack("<I", 0) + struct.pack("<I", FREE) * 108)
directory = (entry("Root Entry", 5, 1, FREE, END, 0) + entry("EncryptionInfo", 2, FREE, 2, 2, 4096) +
             entry("EncryptedPackage", 2, FREE, FREE, 10, 4096) + b"\0" * 128)
body = struct.pack("<128I", *fat) + directory + bytes(range(256)) * 16 + bytes(reversed(range(256))) * 16
open(f"{here}/encrypted.xlsx", "wb").write(header + body)
PY
# LibreOffice writes a password-protected .xls with a FILEPASS record.
/usr/bin/python3 - "$work" "$here" <<'PY'
import subprocess, sys, time, uno
from com.sun.star.beans import PropertyValue
work, here = sys.argv[1], sys.argv[2]
def pv(n, v):
    p = PropertyValue(); p.Name = n; p.Value = v; return p
proc = subprocess.Popen(["soffice", "--headless", f"-env:UserInstallation=file://{work}/profile2",
                         "--accept=socket,host=localhost,port=2207;urp;", "--norestore"],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
    for _ in range(120):
        try:
            ctx = resolver.resolve("uno:socket,host=localhost,port=2207;urp;StarOffice.ComponentContext")
            break
        except Exception:
            time.sleep(0.5)
    desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
    doc = desktop.loadComponentFromURL(f"file://{work}/lo-basic.fods", "_blank", 0, (pv("Hidden", True),))
    doc.storeToURL(f"file://{here}/encrypted.xls", (pv("FilterName", "MS Excel 97"), pv("Password", "secret")))
    doc.close(True)
    try:
        desktop.terminate()
    except Exception:
        pass
finally:
    try:
        proc.wait(timeout=30)
    except Exception:
        proc.kill()
PY
: >"$here/empty.csv"
printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR' >"$here/picture.xlsx"
echo "fixtures written to $here"
