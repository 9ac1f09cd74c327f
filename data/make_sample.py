#!/usr/bin/env python3
"""Writes data/sample.reg, the registry Moxalo shows when no other source is found.

The file is a regedit export of HKEY_CLASSES_ROOT as a Windows 10 machine with Office, VS Code,
Python, 7-Zip, Chrome and Acrobat Reader would hold it: extension keys, the file types they
name, and the thousands of COM keys beside them that a scan has to skip. Every name, path and
GUID here is made up or common knowledge; GUIDs come from a fixed name-based hash, so the output
is the same on every run.

Usage: make_sample.py [output]   (default: sample.reg beside this script)
"""

import base64
import hashlib
import re
import sys
import uuid
from dataclasses import dataclass, field
from pathlib import Path

# ----------------------------------------------------------------------------------------------
# Values and small helpers used by the tables
# ----------------------------------------------------------------------------------------------


@dataclass(frozen=True)
class Value:
    kind: str  # "sz", "expand", "dword", "binary" or "none"
    data: object


def sz(text):
    return Value("sz", text)


def expand(text):
    return Value("expand", text)


def dword(number):
    return Value("dword", number)


def binary(data):
    return Value("binary", bytes(data))


EMPTY_NONE = Value("none", b"")

# %SystemRoot% and friends make a value REG_EXPAND_SZ, as Windows stores them; "%1" does not.
ENVIRONMENT_REFERENCE = re.compile(r"%[A-Za-z][A-Za-z0-9_()]*%")


def text(string):
    """A string value, stored as REG_EXPAND_SZ when it names an environment variable."""
    return expand(string) if ENVIRONMENT_REFERENCE.search(string) else sz(string)


GUID_NAMESPACE = uuid.UUID("6d6f7861-6c6f-5361-6d70-6c6552656721")


def guid(seed):
    """A made-up GUID, the same for the same seed on every run."""
    return "{" + str(uuid.uuid5(GUID_NAMESPACE, seed)).upper() + "}"


def appx_progid(app):
    """A made-up packaged-app ProgID of the usual AppX + 32 lower-case characters shape."""
    digest = hashlib.sha1(app.encode()).digest()
    return "AppX" + base64.b32encode(digest).decode().lower()[:32]


def pick(seed, percent):
    """A stable yes/no choice, true for about `percent` of the seeds."""
    return hashlib.sha1(seed.encode()).digest()[0] * 100 < percent * 256


# ----------------------------------------------------------------------------------------------
# Programs referred to by commands and icons
# ----------------------------------------------------------------------------------------------

SYS32 = r"%SystemRoot%\System32"
NOTEPAD = r"%SystemRoot%\system32\NOTEPAD.EXE"
MSPAINT = r"%systemroot%\system32\mspaint.exe"
RUNDLL = r"%SystemRoot%\System32\rundll32.exe"
WMPLAYER = r"%ProgramFiles(x86)%\Windows Media Player\wmplayer.exe"
OFFICE = r"C:\Program Files\Microsoft Office\root\Office16"
VSCODE = r"C:\Users\Sam\AppData\Local\Programs\Microsoft VS Code"
SEVEN_ZIP = r"C:\Program Files\7-Zip"
EDGE = r"C:\Program Files (x86)\Microsoft\Edge\Application\msedge.exe"
CHROME = r"C:\Program Files\Google\Chrome\Application\chrome.exe"
READER = r"C:\Program Files (x86)\Adobe\Acrobat Reader DC\Reader\AcroRd32.exe"
PY_LAUNCHER = r"C:\Windows\py.exe"
PYTHON = r"C:\Program Files\Python311"
POWERSHELL = r"C:\Windows\System32\WindowsPowerShell\v1.0"

# ----------------------------------------------------------------------------------------------
# File types
# ----------------------------------------------------------------------------------------------


@dataclass
class Verb:
    name: str
    command: str | None  # None: the verb has no command subkey
    label: str | None = None  # display text, the verb key's own value
    values: dict = field(default_factory=dict)  # further values on the verb key
    delegate: str | None = None  # DelegateExecute handler on the command key


@dataclass
class FileType:
    name: str | None
    icon: str | None = None
    verbs: list = field(default_factory=list)
    default_verb: str | None = None
    values: dict = field(default_factory=dict)  # FriendlyTypeName, EditFlags, ...
    clsid: str | None = None


TYPES = {}


def add_type(key, file_type):
    assert key.upper() not in {k.upper() for k in TYPES}, key
    TYPES[key] = file_type


def friendly(module, number):
    return {"FriendlyTypeName": expand(f"@{module},-{number}")}


def open_verb(command, label=None):
    return Verb("open", command, label)


def notepad_verbs(with_print=True):
    verbs = [open_verb(f"{NOTEPAD} %1")]
    if with_print:
        verbs += [
            Verb("print", f"{NOTEPAD} /p %1"),
            Verb("printto", rf'{SYS32}\notepad.exe /pt "%1" "%2" "%3" "%4"'),
        ]
    return verbs


def script_verbs(host):
    return [
        Verb("edit", rf'{SYS32}\Notepad.exe "%1"', "&Edit"),
        open_verb(rf'{SYS32}\{host} "%1" %*'),
        Verb("open2", rf'{SYS32}\CScript.exe "%1" %*', "Open &with Command Prompt"),
        Verb("print", rf'{SYS32}\Notepad.exe /p "%1"'),
    ]


def run_verbs():
    return [
        open_verb('"%1" %*'),
        Verb("runas", '"%1" %*', values={"HasLUAShield": sz("")}),
        Verb(
            "runasuser",
            "",
            "@shell32.dll,-50944",
            {"Extended": sz("")},
            delegate=guid("runas user handler"),
        ),
    ]


def image_verbs():
    viewer = r'"%ProgramFiles%\Windows Photo Viewer\PhotoViewer.dll"'
    return [
        Verb("edit", f'"{MSPAINT}" "%1"'),
        open_verb(f"{RUNDLL} {viewer}, ImageView_Fullscreen %1"),
        Verb("print", "", delegate=guid("photo print handler")),
        Verb("printto", rf'{RUNDLL} "{SYS32}\shimgvw.dll", ImageView_PrintTo /pt "%1" "%2" "%3" "%4"'),
        Verb(
            "setdesktopwallpaper",
            None,
            values={"MUIVerb": expand(r"@%SystemRoot%\System32\shell32.dll,-37785")},
        ),
    ]


def add_system_types():
    txt = FileType(
        "Text Document",
        rf"{SYS32}\imageres.dll,-102",
        notepad_verbs(),
        values={**friendly(r"%SystemRoot%\system32\notepad.exe", 469), "EditFlags": dword(0x210000)},
    )
    add_type("txtfile", txt)
    add_type("inifile", FileType("Configuration settings", rf"{SYS32}\imageres.dll,-69", notepad_verbs()))
    add_type(
        "inffile",
        FileType(
            "Setup Information",
            rf"{SYS32}\imageres.dll,-69",
            [Verb("Install", rf"{RUNDLL} setupapi,InstallHinfSection DefaultInstall 132 %1")]
            + notepad_verbs(False),
        ),
    )
    msinfo = [open_verb(rf'{SYS32}\msinfo32.exe "%1"')]
    add_type("MSInfoFile", FileType("System Information File", None, msinfo))
    for key, name in (("batfile", "Windows Batch File"), ("cmdfile", "Windows Command Script")):
        verbs = [Verb("edit", rf'{SYS32}\NOTEPAD.EXE %1')] + run_verbs()
        verbs.append(Verb("print", rf'{SYS32}\NOTEPAD.EXE /p "%1"'))
        add_type(key, FileType(name, rf"{SYS32}\imageres.dll,-68", verbs, values={"EditFlags": dword(0x30)}))
    add_type("comfile", FileType("MS-DOS Application", rf"{SYS32}\shell32.dll,2", run_verbs()[:2]))
    exe_values = {**friendly(rf"{SYS32}\shell32.dll", 10150), "EditFlags": binary([0x38, 0x07, 0, 0])}
    add_type("exefile", FileType("Application", "%1", run_verbs(), values=exe_values))
    for key, name, index in (
        ("dllfile", "Application extension", -67),
        ("sysfile", "System file", -67),
        ("ocxfile", "ActiveX control", -67),
        ("drvfile", "Device driver", -67),
        ("tlbfile", "Type library", -67),
        ("muifile", "Language resource", -67),
    ):
        add_type(key, FileType(name, rf"{SYS32}\imageres.dll,{index}"))
    control = rf'{RUNDLL} shell32.dll,Control_RunDLL "%1",%*'
    add_type("cplfile", FileType("Control panel item", rf"{SYS32}\shell32.dll,-154", [open_verb(control)]))
    screen_saver = [
        Verb("config", '"%1"', "C&onfigure"),
        Verb("install", rf"{RUNDLL} desk.cpl,InstallScreenSaver %l", "&Install"),
        open_verb('"%1" /S', "&Test"),
    ]
    add_type("scrfile", FileType("Screen saver", "%1", screen_saver))
    mmc = [
        Verb("Author", rf'{SYS32}\mmc.exe "%1" %*', "&Author"),
        open_verb(rf'{SYS32}\mmc.exe "%1" %*'),
        Verb("RunAs", rf'{SYS32}\mmc.exe "%1" %*'),
    ]
    add_type("MSCFile", FileType("Microsoft Common Console Document", rf"{SYS32}\mmc.exe,-3", mmc))
    add_installer_types()
    add_script_types()
    add_shortcut_types()


def add_installer_types():
    msiexec = rf"{SYS32}\msiexec.exe"
    package = [
        open_verb(f'"{msiexec}" /i "%1" %*', "&Install"),
        Verb("repair", f'"{msiexec}" /f "%1" %*', "Re&pair"),
        Verb("runas", None, values={"Extended": sz("")}),
        Verb("uninstall", f'"{msiexec}" /x "%1" %*', "&Uninstall"),
    ]
    add_type("Msi.Package", FileType("Windows Installer Package", f"{msiexec},0", package))
    add_type(
        "Msi.Patch",
        FileType("Windows Installer Patch", f"{msiexec},1", [open_verb(f'"{msiexec}" /p "%1" %*', "&Apply")]),
    )
    add_type("Msi.Transform", FileType("Windows Installer Transform", f"{msiexec},2"))
    update = [open_verb(rf'{SYS32}\wusa.exe "%1" %*')]
    update_type = FileType("Microsoft Update Standalone Package", rf"{SYS32}\wusa.exe,-101", update)
    add_type("Microsoft.System.Update.1", update_type)
    reg = [
        Verb("edit", rf'{SYS32}\notepad.exe "%1"', "&Edit"),
        open_verb(r'regedit.exe "%1"', "Mer&ge"),
        Verb("print", rf'{SYS32}\notepad.exe /p "%1"'),
    ]
    regedit = r"%SystemRoot%\regedit.exe"
    add_type("regfile", FileType("Registration Entries", regedit + ",1", reg, values=friendly(regedit, 309)))


def add_script_types():
    for key, name, host, icon in (
        ("VBSFile", "VBScript Script File", "WScript.exe", 3),
        ("VBEFile", "VBScript Encoded File", "WScript.exe", 3),
        ("JSFile", "JScript Script File", "WScript.exe", 3),
        ("JSEFile", "JScript Encoded File", "WScript.exe", 3),
        ("WSFFile", "Windows Script File", "WScript.exe", 2),
    ):
        add_type(key, FileType(name, rf"{SYS32}\WScript.exe,{icon}", script_verbs(host)))
    settings = [open_verb(rf'{SYS32}\WScript.exe "%1" %*')]
    add_type("WSHFile", FileType("Windows Script Host Settings File", rf"{SYS32}\WScript.exe,1", settings))
    mshta = rf'%SystemRoot%\SysWOW64\mshta.exe "%1" {guid("html application host")} %*'
    add_type("htafile", FileType("HTML Application", mshta.split(" ")[0] + ",1", [open_verb(mshta)]))
    run = (
        f'"{POWERSHELL}\\powershell.exe" "-Command" "if((Get-ExecutionPolicy ) -ne \'AllSigned\') '
        "{ Set-ExecutionPolicy -Scope Process Bypass }; & '%1'\""
    )
    ps1 = [
        Verb("0", run, "Run with PowerShell"),
        Verb("Edit", f'"{POWERSHELL}\\powershell_ise.exe" "%1"', "Edit"),
        Verb("Open", f'"{SYS32}\\notepad.exe" "%1"'),
    ]
    icon = f'"{POWERSHELL}\\powershell.exe",1'
    add_type("Microsoft.PowerShellScript.1", FileType("Windows PowerShell Script", icon, ps1, "Open"))
    for suffix, name in (
        ("Module", "Windows PowerShell Script Module"),
        ("Data", "Windows PowerShell Data File"),
        ("XMLData", "Windows PowerShell XML Document"),
        ("Console", "Windows PowerShell Console File"),
    ):
        notepad = [Verb("Open", f'"{SYS32}\\notepad.exe" "%1"')]
        add_type(f"Microsoft.PowerShell{suffix}.1", FileType(name, icon, notepad))


def add_shortcut_types():
    shortcut = {"IsShortcut": sz(""), "NeverShowExt": sz(""), "EditFlags": dword(1)}
    add_type("lnkfile", FileType("Shortcut", values={**shortcut, **friendly(rf"{SYS32}\shell32.dll", 4153)}))
    add_type("piffile", FileType("Shortcut to MS-DOS Program", values=shortcut, verbs=[open_verb('"%1" %*')]))
    url = [
        open_verb(rf"{RUNDLL} ieframe.dll,OpenURL %l"),
        Verb("print", f'{RUNDLL} mshtml.dll,PrintHTML "%1"'),
    ]
    link = {"IsShortcut": sz("")}
    add_type("InternetShortcut", FileType("Internet Shortcut", rf"{SYS32}\url.dll,0", url, values=link))
    add_type("Microsoft.Website", FileType("Pinned Site Shortcut", rf"{SYS32}\ieframe.dll,-190", values=link))
    for key, name, helper in (
        ("chm.file", "Compiled HTML Help file", r"%SystemRoot%\hh.exe %1"),
        ("hlpfile", "Help File", r"%SystemRoot%\winhlp32.exe %1"),
    ):
        add_type(key, FileType(name, helper.split(" ")[0] + ",0", [open_verb(helper)]))


def add_web_types():
    ie = r'"C:\Program Files\Internet Explorer\iexplore.exe" %1'
    html = [
        Verb("edit", f'"{NOTEPAD}" %1', "&Edit"),
        open_verb(ie),
        Verb("opennew", ie, "Open in &new window"),
        Verb("print", rf'{RUNDLL} {SYS32}\mshtml.dll,PrintHTML "%1"'),
        Verb("printto", rf'{RUNDLL} {SYS32}\mshtml.dll,PrintHTML "%1" "%2" "%3" "%4"'),
    ]
    icon = r"C:\Program Files\Internet Explorer\iexplore.exe,-17"
    add_type("htmlfile", FileType("HTML Document", icon, html, clsid=guid("HTML Document")))
    add_type("mhtmlfile", FileType("MHTML Document", icon, html[1:3], clsid=guid("HTML Document")))
    edit = Verb("edit", f"{NOTEPAD} %1", "&Edit")
    add_type("xmlfile", FileType("XML Document", rf"{SYS32}\msxml3.dll,-128", [edit] + html[1:2]))
    add_type("xslfile", FileType("XSL Stylesheet", rf"{SYS32}\msxml3.dll,-129", [edit]))
    style = FileType("Cascading Style Sheet Document", rf"{SYS32}\imageres.dll,-102", notepad_verbs(False))
    add_type("CSSfile", style)
    add_type("svgfile", FileType("SVG Document", f"{EDGE},6", [open_verb(f'"{EDGE}" --single-argument %1')]))
    browsers = (
        ("MSEdgeHTM", "Microsoft Edge HTML Document", EDGE, 0),
        ("MSEdgeMHT", "Microsoft Edge MHT Document", EDGE, 0),
        ("MSEdgePDF", "Microsoft Edge PDF Document", EDGE, 11),
        ("ChromeHTML", "Chrome HTML Document", CHROME, 0),
    )
    for key, name, program, index in browsers:
        add_type(key, FileType(name, f"{program},{index}", [open_verb(f'"{program}" --single-argument %1')]))
    reader = [
        open_verb(f'"{READER}" "%1"'),
        Verb("Print", f'"{READER}" /p /h "%1"', "&Print"),
        Verb("Printto", f'"{READER}" /t "%1" "%2" "%3" "%4"'),
        Verb("Read", f'"{READER}" "%1"', "Open with Adobe Acrobat Reader DC"),
    ]
    add_type("AcroExch.Document.DC", FileType("Adobe Acrobat Document", f"{READER},1", reader, "Read"))
    xps = [open_verb(rf'"{SYS32}\xpsrchvw.exe" "%1"')]
    add_type("Windows.XPSReachViewer", FileType("XPS Document", rf"{SYS32}\xpsrchvw.exe,-1", xps))


def add_image_types():
    for key, name, index, label in (
        ("jpegfile", "JPEG image", -72, 30596),
        ("pngfile", "PNG File", -71, 30597),
        ("giffile", "GIF File", -71, 30598),
        ("Paint.Picture", "Bitmap Image", -70, 30599),
        ("TIFImage.Document", "TIFF File", -122, 30600),
        ("wdpfile", "HD Photo File", -72, 30601),
        ("emffile", "EMF File", -70, 30602),
        ("wmffile", "WMF File", -70, 30603),
    ):
        values = {"EditFlags": dword(0x10000), **friendly(rf"{SYS32}\shell32.dll", label)}
        add_type(key, FileType(name, rf"{SYS32}\imageres.dll,{index}", image_verbs(), values=values))
    add_type("icofile", FileType("Icon", "%1", [open_verb(f'"{MSPAINT}" "%1"')]))
    add_type("curfile", FileType("Cursor", "%1"))
    add_type("anifile", FileType("Animated Cursor", "%1"))


def wmp_type(name, icon):
    verbs = [
        Verb("Enqueue", f'"{WMPLAYER}" /Task:Enqueue "%L"', "&Add to Windows Media Player list"),
        open_verb(f'"{WMPLAYER}" /prefetch:6 /Open "%L"'),
        Verb("play", f'"{WMPLAYER}" /prefetch:6 /Play "%L"', "&Play"),
    ]
    values = {"EditFlags": dword(0x10000), **friendly(rf"{SYS32}\wmploc.dll", 1000 + icon)}
    return FileType(name, rf"{SYS32}\wmploc.dll,-{icon}", verbs, "play", values)


# Windows Media Player types: key suffix, type name, icon resource.
WMP_TYPES = [
    ("3G2", "3G2 Video File", 737),
    ("3GP", "3GP Video File", 737),
    ("AC3", "AC3 File", 732),
    ("ADTS", "ADTS Audio", 732),
    ("AIFF", "AIFF Format Sound", 732),
    ("ASF", "Windows Media Audio/Video file", 730),
    ("ASX", "Windows Media Audio/Video playlist", 736),
    ("AU", "AU Format Sound", 732),
    ("AVI", "AVI File", 737),
    ("CDA", "CD Audio Track", 733),
    ("DVR", "Microsoft Recorded TV Show", 737),
    ("EC3", "EC3 File", 732),
    ("FLAC", "FLAC File", 732),
    ("M2TS", "MPEG-2 TS Video", 737),
    ("M3U", "M3U File", 736),
    ("M4A", "MPEG-4 Audio", 732),
    ("MIDI", "MIDI Sequence", 734),
    ("MK3D", "MK3D Video File", 737),
    ("MKA", "MKA Audio File", 732),
    ("MKV", "MKV Video File", 737),
    ("MOV", "QuickTime Movie", 737),
    ("MP3", "MP3 Format Sound", 732),
    ("MP4", "MP4 Video", 737),
    ("MPEG", "Movie Clip", 737),
    ("TTS", "MPEG-2 TS Video", 737),
    ("WAV", "Wave Sound", 732),
    ("WAX", "Windows Media Audio shortcut", 736),
    ("WM", "Windows Media Audio/Video file", 730),
    ("WMA", "Windows Media Audio file", 731),
    ("WMV", "Windows Media Video file", 730),
    ("WMX", "Windows Media Audio/Video playlist", 736),
    ("WPL", "Windows Media Player playlist", 736),
    ("WTV", "Microsoft Recorded TV Show", 737),
    ("WVX", "Windows Media Video playlist", 736),
]

PHOTOS = appx_progid("Photos")
MOVIES = appx_progid("Movies and TV")
MUSIC = appx_progid("Music")


def add_appx_type(key, name, app):
    # Packaged apps start through an activation contract, so their open verb has no command.
    activation = {
        "ActivatableClassId": sz(f"App.AppX{key[4:12]}.mca"),
        "PackageId": sz(app),
        "ContractId": sz("Windows.File"),
    }
    icon = f"@{{{app}?ms-resource://{app.split('_')[0]}/Files/Assets/FileIcon.png}}"
    add_type(key, FileType(name, icon, [Verb("open", None, values=activation)]))


def add_media_types():
    for suffix, name, icon in WMP_TYPES:
        add_type(f"WMP11.AssocFile.{suffix}", wmp_type(name, icon))
    add_appx_type(PHOTOS, "Photos Image File", "Microsoft.Windows.Photos_8wekyb3d8bbwe")
    add_appx_type(MOVIES, "Movies & TV Video File", "Microsoft.ZuneVideo_8wekyb3d8bbwe")
    add_appx_type(MUSIC, "Groove Music Audio File", "Microsoft.ZuneMusic_8wekyb3d8bbwe")


# Office types: key, application, type name, icon index.
OFFICE_TYPES = [
    ("Word.Document.12", "WINWORD", "Microsoft Word Document", 1),
    ("Word.Document.8", "WINWORD", "Microsoft Word 97 - 2003 Document", 1),
    ("Word.DocumentMacroEnabled.12", "WINWORD", "Microsoft Word Macro-Enabled Document", 1),
    ("Word.Template.12", "WINWORD", "Microsoft Word Template", 2),
    ("Word.Template.8", "WINWORD", "Microsoft Word 97 - 2003 Template", 2),
    ("Word.TemplateMacroEnabled", "WINWORD", "Microsoft Word Macro-Enabled Template", 2),
    ("Word.RTF.8", "WINWORD", "Rich Text Format", 1),
    ("Word.OpenDocumentText.12", "WINWORD", "OpenDocument Text", 15),
    ("Word.Backup.8", "WINWORD", "Microsoft Word Backup Document", 1),
    ("Excel.Sheet.12", "EXCEL", "Microsoft Excel Worksheet", 1),
    ("Excel.Sheet.8", "EXCEL", "Microsoft Excel 97-2003 Worksheet", 1),
    ("Excel.SheetMacroEnabled.12", "EXCEL", "Microsoft Excel Macro-Enabled Worksheet", 1),
    ("Excel.SheetBinaryMacroEnabled.12", "EXCEL", "Microsoft Excel Binary Worksheet", 1),
    ("Excel.Template", "EXCEL", "Microsoft Excel Template", 2),
    ("Excel.Template.8", "EXCEL", "Microsoft Excel 97-2003 Template", 2),
    ("Excel.TemplateMacroEnabled", "EXCEL", "Microsoft Excel Macro-Enabled Template", 2),
    ("Excel.Addin", "EXCEL", "Microsoft Excel Add-In", 3),
    ("Excel.AddInMacroEnabled", "EXCEL", "Microsoft Excel Macro-Enabled Add-In", 3),
    ("Excel.XLL", "EXCEL", "Microsoft Excel XLL Add-In", 3),
    ("Excel.Workspace", "EXCEL", "Microsoft Excel Workspace", 4),
    ("Excel.CSV", "EXCEL", "Microsoft Excel Comma Separated Values File", 5),
    ("Excel.SLK", "EXCEL", "Microsoft Excel SYLK Data File", 5),
    ("Excel.OpenDocumentSpreadsheet.12", "EXCEL", "OpenDocument Spreadsheet", 15),
    ("PowerPoint.Show.12", "POWERPNT", "Microsoft PowerPoint Presentation", 1),
    ("PowerPoint.Show.8", "POWERPNT", "Microsoft PowerPoint 97-2003 Presentation", 1),
    ("PowerPoint.ShowMacroEnabled.12", "POWERPNT", "Microsoft PowerPoint Macro-Enabled Presentation", 1),
    ("PowerPoint.SlideShow.12", "POWERPNT", "Microsoft PowerPoint Slide Show", 2),
    ("PowerPoint.SlideShow.8", "POWERPNT", "Microsoft PowerPoint 97-2003 Slide Show", 2),
    ("PowerPoint.SlideShowMacroEnabled.12", "POWERPNT", "Microsoft PowerPoint Macro-Enabled Slide Show", 2),
    ("PowerPoint.Template.12", "POWERPNT", "Microsoft PowerPoint Template", 3),
    ("PowerPoint.Template.8", "POWERPNT", "Microsoft PowerPoint 97-2003 Template", 3),
    ("PowerPoint.TemplateMacroEnabled.12", "POWERPNT", "Microsoft PowerPoint Macro-Enabled Template", 3),
    ("PowerPoint.Addin.12", "POWERPNT", "Microsoft PowerPoint Add-In", 4),
    ("PowerPoint.Addin.8", "POWERPNT", "Microsoft PowerPoint 97-2003 Add-In", 4),
    ("PowerPoint.Slide.12", "POWERPNT", "Microsoft PowerPoint Slide", 5),
    ("PowerPoint.SlideMacroEnabled.12", "POWERPNT", "Microsoft PowerPoint Macro-Enabled Slide", 5),
    ("PowerPoint.OpenDocumentPresentation.12", "POWERPNT", "OpenDocument Presentation", 15),
    ("OneNote.Section.1", "ONENOTE", "Microsoft OneNote Section", 1),
    ("OneNote.TableOfContents.12", "ONENOTE", "Microsoft OneNote Table Of Contents", 2),
    ("OneNote.Package", "ONENOTE", "Microsoft OneNote Single File Package", 3),
    ("Outlook.File.msg.15", "OUTLOOK", "Outlook Item", 1),
    ("Outlook.File.pst.15", "OUTLOOK", "Outlook Data File", 2),
    ("Outlook.File.ost.15", "OUTLOOK", "Outlook Offline Data File", 2),
    ("Outlook.File.oft.15", "OUTLOOK", "Outlook Item Template", 1),
    ("Outlook.File.eml.15", "OUTLOOK", "E-mail Message", 1),
    ("Outlook.File.ics.15", "OUTLOOK", "iCalendar File", 3),
    ("Outlook.File.vcs.15", "OUTLOOK", "vCalendar File", 3),
    ("Publisher.Document.16", "MSPUB", "Microsoft Publisher Document", 1),
    ("Access.Application.16", "MSACCESS", "Microsoft Access Database", 1),
    ("Access.MDBFile", "MSACCESS", "Microsoft Access Database", 1),
    ("Access.ACCDEFile.16", "MSACCESS", "Microsoft Access ACCDE Database", 2),
]


def office_verbs(app):
    exe = rf"{OFFICE}\{app}.EXE"
    verbs = [open_verb(f'"{exe}" /n "%1"'), Verb("New", f'"{exe}" /n /t "%1"', "&New")]
    if app in ("WINWORD", "EXCEL", "POWERPNT"):
        verbs += [
            Verb("OpenAsReadOnly", f'"{exe}" /r "%1"', "Open as Read-Only"),
            Verb("Print", f'"{exe}" /p "%1"', "&Print"),
            Verb("Printto", f'"{exe}" /pt "%2" "%3" "%4" "%1"'),
            Verb("ViewProtected", "", "Open in Protected &View", delegate=guid("office protected view")),
        ]
    if app == "POWERPNT":
        verbs.append(Verb("Show", f'"{exe}" /s "%1"', "Sho&w"))
    return verbs


def add_office_types():
    for key, app, name, index in OFFICE_TYPES:
        exe = rf"{OFFICE}\{app}.EXE"
        add_type(key, FileType(name, f"{exe},{index}", office_verbs(app), "Open", clsid=guid(key)))
    # Version-independent ProgIDs name the current version.
    for key in ("Word.Document", "Excel.Sheet", "PowerPoint.Show"):
        current = key + ".12"
        add_type(key, FileType(TYPES[current].name, values={"CurVer": sz(current)}))


# VS Code types: extension without dot, type name, icon file in resources\win32.
VSCODE_TYPES = [
    ("bash", "Bash Source File", "shell"),
    ("c", "C Source File", "c"),
    ("cc", "C++ Source File", "cpp"),
    ("clj", "Clojure Source File", "default"),
    ("cljs", "ClojureScript Source File", "default"),
    ("code-workspace", "Code Workspace", "code"),
    ("coffee", "CoffeeScript Source File", "default"),
    ("cpp", "C++ Source File", "cpp"),
    ("cs", "C# Source File", "csharp"),
    ("cshtml", "CSHTML Source File", "html"),
    ("csproj", "C# Project File", "xml"),
    ("csx", "C# Script File", "csharp"),
    ("css", "CSS Source File", "css"),
    ("cxx", "C++ Source File", "cpp"),
    ("dockerfile", "Dockerfile Source File", "default"),
    ("dtd", "Document Type Definition Source File", "xml"),
    ("editorconfig", "Editor Config Source File", "config"),
    ("edn", "Extensible Data Notation Source File", "default"),
    ("fs", "F# Source File", "default"),
    ("fsi", "F# Signature Source File", "default"),
    ("fsx", "F# Script Source File", "default"),
    ("gitattributes", "Git Attributes Source File", "config"),
    ("gitconfig", "Git Config Source File", "config"),
    ("gitignore", "Git Ignore Source File", "config"),
    ("go", "Go Source File", "go"),
    ("gradle", "Gradle Source File", "default"),
    ("groovy", "Groovy Source File", "default"),
    ("h", "C Header Source File", "c"),
    ("handlebars", "Handlebars Source File", "default"),
    ("hbs", "Handlebars Source File", "default"),
    ("hh", "C++ Header Source File", "cpp"),
    ("hpp", "C++ Header Source File", "cpp"),
    ("htm", "HTML Source File", "html"),
    ("html", "HTML Source File", "html"),
    ("hxx", "C++ Header Source File", "cpp"),
    ("ini", "INI Source File", "config"),
    ("jade", "Jade Source File", "jade"),
    ("jav", "Java Source File", "java"),
    ("java", "Java Source File", "java"),
    ("js", "JavaScript Source File", "javascript"),
    ("jsx", "JavaScript Source File", "react"),
    ("json", "JSON Source File", "json"),
    ("jsp", "Java Server Pages Source File", "html"),
    ("less", "LESS Source File", "less"),
    ("log", "Log File", "default"),
    ("lua", "Lua Source File", "default"),
    ("m", "Objective C Source File", "default"),
    ("markdown", "Markdown Source File", "markdown"),
    ("md", "Markdown Source File", "markdown"),
    ("mdown", "Markdown Source File", "markdown"),
    ("mdtext", "Markdown Source File", "markdown"),
    ("mdtxt", "Markdown Source File", "markdown"),
    ("mdwn", "Markdown Source File", "markdown"),
    ("mjs", "JavaScript Source File", "javascript"),
    ("mkd", "Markdown Source File", "markdown"),
    ("mkdn", "Markdown Source File", "markdown"),
    ("ml", "OCaml Source File", "default"),
    ("mli", "OCaml Source File", "default"),
    ("php", "PHP Source File", "php"),
    ("phtml", "PHP Source File", "php"),
    ("pl", "Perl Source File", "default"),
    ("pl6", "Perl 6 Source File", "default"),
    ("pm", "Perl Module Source File", "default"),
    ("pm6", "Perl 6 Module Source File", "default"),
    ("pod", "Perl POD Source File", "default"),
    ("properties", "Properties Source File", "default"),
    ("ps1", "PowerShell Source File", "powershell"),
    ("psd1", "PowerShell Module Manifest Source File", "powershell"),
    ("psgi", "Perl CGI Source File", "default"),
    ("psm1", "PowerShell Module Source File", "powershell"),
    ("py", "Python Source File", "python"),
    ("pyi", "Python Source File", "python"),
    ("r", "R Source File", "default"),
    ("rb", "Ruby Source File", "ruby"),
    ("rhistory", "R History Source File", "default"),
    ("rprofile", "R Profile Source File", "default"),
    ("rs", "Rust Source File", "default"),
    ("rst", "Restructured Text Source File", "default"),
    ("sass", "Sass Source File", "sass"),
    ("scss", "Sass Source File", "sass"),
    ("sh", "Shell Script Source File", "shell"),
    ("shtml", "SHTML Source File", "html"),
    ("sql", "SQL Source File", "sql"),
    ("svg", "SVG Source File", "xml"),
    ("t", "Perl Source File", "default"),
    ("tex", "LaTeX Source File", "default"),
    ("ts", "TypeScript Source File", "typescript"),
    ("tsx", "TypeScript Source File", "react"),
    ("txt", "Text File", "default"),
    ("vb", "Visual Basic Source File", "default"),
    ("vue", "Vue Source File", "vue"),
    ("wxi", "WiX Include Source File", "default"),
    ("wxl", "WiX Localization Source File", "default"),
    ("wxs", "WiX Source File", "default"),
    ("xaml", "XAML Source File", "xml"),
    ("xhtml", "HTML Source File", "html"),
    ("xml", "XML Source File", "xml"),
    ("yaml", "YAML Source File", "yaml"),
    ("yml", "YAML Source File", "yaml"),
    ("zsh", "ZSH Source File", "shell"),
]


def add_vscode_types():
    code = rf"{VSCODE}\Code.exe"
    for ext, name, icon in VSCODE_TYPES:
        verb = open_verb(f'"{code}" "%1"')
        verb.values = {"Icon": sz(code)}
        values = {"AppUserModelID": sz("Microsoft.VisualStudioCode")}
        icon_file = rf"{VSCODE}\resources\app\resources\win32\{icon}.ico"
        add_type(f"VSCode.{ext}", FileType(name, icon_file, [verb], values=values))


def add_developer_types():
    launcher = [open_verb(f'"{PY_LAUNCHER}" "%L" %*')]
    idle = Verb("editwithidle", None, values={"MUIVerb": sz("&Edit with IDLE"), "Subcommands": sz("")})
    # Installers outside Windows often give FriendlyTypeName as plain text.
    plain = {"FriendlyTypeName": sz("Python File")}
    add_type("Python.File", FileType("Python File", f"{PY_LAUNCHER},1", launcher + [idle], values=plain))
    windowless = [open_verb(rf'"C:\Windows\pyw.exe" "%L" %*'), idle]
    add_type("Python.NoConFile", FileType("Python File (no console)", f"{PY_LAUNCHER},1", windowless))
    add_type("Python.CompiledFile", FileType("Compiled Python File", f"{PY_LAUNCHER},2", launcher))
    add_type("Python.Extension", FileType("Python Extension Module", f"{PY_LAUNCHER},3"))
    add_type("Python.ArchiveFile", FileType("Python Zip Application File", f"{PY_LAUNCHER},5", launcher))
    zipped = FileType("Python Zip Application File (no console)", f"{PY_LAUNCHER},5", windowless[:1])
    add_type("Python.NoConArchiveFile", zipped)
    javaw = r"C:\Program Files\Java\jre1.8.0_361\bin\javaw.exe"
    java = [open_verb(f'"{javaw}" -jar "%1" %*')]
    jar_values = {"FriendlyTypeName": sz("Executable Jar File")}
    add_type("jarfile", FileType("Executable Jar File", javaw + ",0", java, values=jar_values))
    studio = r"C:\Program Files\Microsoft Visual Studio\2022\Community\Common7\IDE\devenv.exe"
    for key, name in (
        ("VisualStudio.Launcher.sln", "Microsoft Visual Studio Solution"),
        ("VisualStudio.vcxproj.17.0", "VC++ Project"),
        ("VisualStudio.props.17.0", "Project Property File"),
        ("VisualStudio.resx.17.0", "Microsoft Visual Studio Resource File"),
    ):
        add_type(key, FileType(name, f"{studio},1", [open_verb(f'"{studio}" "%1"')], "Open"))


def add_archive_types():
    manager = rf'"{SEVEN_ZIP}\7zFM.exe" "%1"'
    archives = ("7z", "7z"), ("rar", "rar"), ("tar", "tar"), ("xz", "xz"), ("bz2", "bzip2"), ("lzma", "lzma")
    for index, (short, name) in enumerate(archives):
        plain = {"FriendlyTypeName": sz(name + " Archive")} if short in ("7z", "rar") else {}
        icon = rf"{SEVEN_ZIP}\7z.dll,{index}"
        add_type(f"7-Zip.{short}", FileType(name + " Archive", icon, [open_verb(manager)], "", plain))
    zipped = [
        Verb("find", None, values={"SuppressionPolicy": dword(0x80)}),
        Verb("open", "", delegate=guid("zip folder open")),
    ]
    zip_values = {**friendly(rf"{SYS32}\zipfldr.dll", 10195), "EditFlags": dword(0x200000)}
    zip_type = FileType("Compressed (zipped) Folder", rf"{SYS32}\zipfldr.dll", zipped, values=zip_values)
    zip_type.clsid = guid("Compressed Folder")
    add_type("CompressedFolder", zip_type)
    cabinet = FileType("Cabinet File", rf"{SYS32}\cabview.dll,0", values=friendly(rf"{SYS32}\cabview.dll", 2))
    cabinet.clsid = guid("Cabinet Folder")
    add_type("CABFolder", cabinet)
    disc = [
        Verb("burn", rf'{SYS32}\isoburn.exe "%1"', "@%SystemRoot%\\System32\\isoburn.exe,-351"),
        Verb("mount", "", "@shell32.dll,-37376", delegate=guid("disc image mount")),
    ]
    add_type("Windows.IsoFile", FileType("Disc Image File", rf"{SYS32}\imageres.dll,-5205", disc, "mount"))
    disk = FileType("Hard Disk Image File", rf"{SYS32}\imageres.dll,-5206", disc[1:], "mount")
    add_type("Windows.VhdFile", disk)
    add_type("Windows.WimFile", FileType("Windows Imaging Format File", rf"{SYS32}\imageres.dll,-5207"))


def add_desktop_types():
    fontview = rf"{SYS32}\fontview.exe"
    font_verbs = [
        Verb("install", "", "@fontext.dll,-8007", delegate=guid("font install")),
        Verb("preview", f"{fontview} %1", "Pre&view"),
        Verb("print", f"{fontview} /p %1"),
    ]
    for key, name, index in (
        ("ttffile", "TrueType font file", -10),
        ("otffile", "OpenType font file", -11),
        ("ttcfile", "TrueType collection font file", -10),
        ("fonfile", "Font file", -12),
        ("pfmfile", "Type 1 font file", -13),
    ):
        add_type(key, FileType(name, rf"{SYS32}\fontext.dll,{index}", font_verbs, "preview"))
    crypt = rf"{RUNDLL} cryptext.dll,"
    for key, name, action in (
        ("CERFile", "Security Certificate", "CryptExtOpenCER"),
        ("CATFile", "Security Catalog", "CryptExtOpenCAT"),
        ("CRLFile", "Certificate Revocation List", "CryptExtOpenCRL"),
        ("CertificateStoreFile", "Microsoft Serialized Certificate Store", "CryptExtOpenSTR"),
        ("P7RFile", "PKCS #7 Certificates", "CryptExtOpenPKCS7"),
        ("P7SFile", "PKCS #7 Signature", "CryptExtOpenPKCS7"),
        ("P10File", "Certificate Request", "CryptExtOpenP10"),
        ("PFXFile", "Personal Information Exchange", "CryptExtAddPFX"),
        ("STLFile", "Certificate Trust List", "CryptExtOpenCTL"),
    ):
        verbs = [open_verb(f"{crypt}{action} %1")]
        if key in ("CERFile", "PFXFile", "P7RFile"):
            verbs.insert(0, Verb("add", f"{crypt}CryptExtAddCER %1", "&Install Certificate"))
        add_type(key, FileType(name, rf"{SYS32}\certmgr.dll,-6169", verbs))
    add_session_types()


def add_session_types():
    theme = rf"{RUNDLL} {SYS32}\themecpl.dll,OpenThemeAction %1"
    for key, name in (
        ("themefile", "Windows Theme File"),
        ("themepackfile", "Windows Theme Pack"),
        ("desktopthemepackfile", "Windows Desktop Theme Pack"),
    ):
        add_type(key, FileType(name, rf"{SYS32}\themecpl.dll,-700", [open_verb(theme)]))
    for key, name, icon in (("SearchFolder", "Saved Search", -18), ("LibraryFolder", "Library", -1001)):
        browse = [Verb("open", "", delegate=guid(name + " folder"))]
        add_type(key, FileType(name, rf"{SYS32}\imageres.dll,{icon}", browse))
    rdp = [
        Verb("Connect", rf'{SYS32}\mstsc.exe "%1"', "Connect"),
        Verb("Edit", rf'{SYS32}\mstsc.exe -edit "%1"', "&Edit"),
        open_verb(rf'{SYS32}\mstsc.exe "%1"'),
    ]
    add_type("RDP.File", FileType("Remote Desktop Connection", rf"{SYS32}\mstsc.exe,10", rdp, "Connect"))
    clickonce = [open_verb(rf"{RUNDLL} dfshim.dll,ShOpenVerbApplication %1")]
    add_type("Application.Manifest", FileType("Application Manifest", rf"{SYS32}\dfshim.dll,2", clickonce))
    add_type("Application.Reference", FileType("Application Reference", rf"{SYS32}\dfshim.dll,2", clickonce))
    events = [open_verb(rf'{SYS32}\eventvwr.exe /l:"%1"')]
    add_type("evtxfile", FileType("Event Log", rf"{SYS32}\eventvwr.exe,0", events))
    profile = [Verb("install", "", "&Install Profile", delegate=guid("colour profile"))]
    add_type("icmfile", FileType("ICC Profile", rf"{SYS32}\mscms.dll,-202", profile))
    wab = r"%ProgramFiles%\Windows Mail\wab.exe"
    for key, name, switch, index in (
        ("vcard_wab_auto_file", "vCard File", "/vcard", 1),
        ("contact_wab_auto_file", "Contact File", "/Contact", 2),
    ):
        add_type(key, FileType(name, f"{wab},{index}", [open_verb(f'"{wab}" {switch} "%1"')]))
    torrent = r"C:\Program Files\qBittorrent\qbittorrent.exe"
    torrent_open = [open_verb(f'"{torrent}" "%1"')]
    add_type("qBittorrent.File.Torrent", FileType("Torrent File", f'"{torrent}",1', torrent_open))


def build_types():
    add_system_types()
    add_web_types()
    add_image_types()
    add_media_types()
    add_office_types()
    add_vscode_types()
    add_developer_types()
    add_archive_types()
    add_desktop_types()


# ----------------------------------------------------------------------------------------------
# Extensions: extension, type key (None: no default value), content type, perceived type
# ----------------------------------------------------------------------------------------------

EXTENSIONS = [
    # plain text and settings
    (".txt", "txtfile", "text/plain", "text"),
    (".log", "txtfile", "text/plain", "text"),
    (".text", "txtfile", "text/plain", "text"),
    (".ini", "inifile", None, "text"),
    (".inf", "inffile", None, "text"),
    (".nfo", "MSInfoFile", None, None),
    (".csv", "Excel.CSV", "application/vnd.ms-excel", "text"),
    (".xml", "xmlfile", "text/xml", "text"),
    (".xsl", "xslfile", "text/xml", "text"),
    (".config", None, "text/xml", "text"),
    (".manifest", None, "application/x-ms-manifest", "text"),
    (".css", "CSSfile", "text/css", "text"),
    (".dtd", "VSCode.dtd", "application/xml-dtd", "text"),
    # scripts and programs
    (".bat", "batfile", "application/x-msdownload", "application"),
    (".cmd", "cmdfile", None, "application"),
    (".com", "comfile", "application/x-msdownload", "application"),
    (".exe", "exefile", "application/x-msdownload", "application"),
    (".dll", "dllfile", "application/x-msdownload", "application"),
    (".sys", "sysfile", None, "system"),
    (".ocx", "ocxfile", None, None),
    (".drv", "drvfile", None, "system"),
    (".tlb", "tlbfile", None, None),
    (".olb", "tlbfile", None, None),
    (".mui", "muifile", None, "system"),
    (".cpl", "cplfile", "application/cpl+xml", "system"),
    (".scr", "scrfile", "application/x-msdownload", "application"),
    (".msc", "MSCFile", None, None),
    (".msi", "Msi.Package", None, "compressed"),
    (".msp", "Msi.Patch", None, "compressed"),
    (".mst", "Msi.Transform", None, None),
    (".msu", "Microsoft.System.Update.1", None, "compressed"),
    (".reg", "regfile", None, "text"),
    (".vbs", "VBSFile", "text/vbscript", "text"),
    (".vbe", "VBEFile", None, None),
    (".js", "JSFile", "text/javascript", "text"),
    (".jse", "JSEFile", None, None),
    (".wsf", "WSFFile", "text/xml", "text"),
    (".wsh", "WSHFile", None, None),
    (".hta", "htafile", "application/hta", None),
    (".ps1", "Microsoft.PowerShellScript.1", None, "text"),
    (".psm1", "Microsoft.PowerShellModule.1", None, "text"),
    (".psd1", "Microsoft.PowerShellData.1", None, "text"),
    (".ps1xml", "Microsoft.PowerShellXMLData.1", None, "text"),
    (".psc1", "Microsoft.PowerShellConsole.1", None, "text"),
    (".py", "Python.File", "text/plain", "text"),
    (".pyw", "Python.NoConFile", "text/plain", "text"),
    (".pyc", "Python.CompiledFile", None, None),
    (".pyo", "Python.CompiledFile", None, None),
    (".pyd", "Python.Extension", None, None),
    (".pyz", "Python.ArchiveFile", "application/x-zip-compressed", None),
    (".pyzw", "Python.NoConArchiveFile", "application/x-zip-compressed", None),
    (".jar", "jarfile", "application/java-archive", None),
    (".sln", "VisualStudio.Launcher.sln", None, "text"),
    (".vcxproj", "VisualStudio.vcxproj.17.0", "text/xml", "text"),
    (".props", "VisualStudio.props.17.0", "text/xml", "text"),
    (".resx", "VisualStudio.resx.17.0", "text/xml", "text"),
    # shortcuts, help and web
    (".lnk", "lnkfile", None, None),
    (".pif", "piffile", None, None),
    (".url", "InternetShortcut", None, None),
    (".website", "Microsoft.Website", "application/x-mswebsite", None),
    (".chm", "chm.file", None, None),
    (".hlp", "hlpfile", None, None),
    (".htm", "htmlfile", "text/html", "text"),
    (".html", "htmlfile", "text/html", "text"),
    (".xhtml", "htmlfile", "application/xhtml+xml", "text"),
    (".xht", "htmlfile", "application/xhtml+xml", "text"),
    (".shtml", "htmlfile", "text/html", "text"),
    (".mht", "mhtmlfile", "message/rfc822", None),
    (".mhtml", "mhtmlfile", "message/rfc822", None),
    (".svg", "svgfile", "image/svg+xml", "image"),
    (".svgz", "svgfile", "image/svg+xml", "image"),
    (".pdf", "AcroExch.Document.DC", "application/pdf", "document"),
    (".xps", "Windows.XPSReachViewer", "application/vnd.ms-xpsdocument", "document"),
    (".oxps", "Windows.XPSReachViewer", "application/oxps", "document"),
    (".htc", None, "text/x-component", None),
    (".swf", None, "application/x-shockwave-flash", None),
    # images
    (".jpg", "jpegfile", "image/jpeg", "image"),
    (".jpeg", "jpegfile", "image/jpeg", "image"),
    (".jpe", "jpegfile", "image/jpeg", "image"),
    (".jfif", "jpegfile", "image/jpeg", "image"),
    (".png", "pngfile", "image/png", "image"),
    (".gif", "giffile", "image/gif", "image"),
    (".bmp", "Paint.Picture", "image/bmp", "image"),
    (".dib", "Paint.Picture", "image/bmp", "image"),
    (".rle", "Paint.Picture", "image/bmp", "image"),
    (".tif", "TIFImage.Document", "image/tiff", "image"),
    (".tiff", "TIFImage.Document", "image/tiff", "image"),
    (".ico", "icofile", "image/x-icon", "image"),
    (".cur", "curfile", None, "image"),
    (".ani", "anifile", None, "image"),
    (".wdp", "wdpfile", "image/vnd.ms-photo", "image"),
    (".jxr", "wdpfile", "image/vnd.ms-photo", "image"),
    (".emf", "emffile", "image/x-emf", "image"),
    (".wmf", "wmffile", "image/x-wmf", "image"),
    (".heic", PHOTOS, "image/heic", "image"),
    (".heif", PHOTOS, "image/heif", "image"),
    (".webp", PHOTOS, "image/webp", "image"),
    (".avif", PHOTOS, "image/avif", "image"),
    (".arw", PHOTOS, "image/x-sony-arw", "image"),
    (".cr2", PHOTOS, "image/x-canon-cr2", "image"),
    (".cr3", PHOTOS, "image/x-canon-cr3", "image"),
    (".nef", PHOTOS, "image/x-nikon-nef", "image"),
    (".dng", PHOTOS, "image/x-adobe-dng", "image"),
    (".orf", PHOTOS, "image/x-olympus-orf", "image"),
    (".raf", PHOTOS, "image/x-fuji-raf", "image"),
    (".xbm", None, "image/x-xbitmap", None),
    (".psd", None, None, "image"),
    # audio
    (".mp3", "WMP11.AssocFile.MP3", "audio/mpeg", "audio"),
    (".wav", "WMP11.AssocFile.WAV", "audio/wav", "audio"),
    (".wma", "WMP11.AssocFile.WMA", "audio/x-ms-wma", "audio"),
    (".mid", "WMP11.AssocFile.MIDI", "audio/mid", "audio"),
    (".midi", "WMP11.AssocFile.MIDI", "audio/mid", "audio"),
    (".rmi", "WMP11.AssocFile.MIDI", "audio/mid", "audio"),
    (".aac", "WMP11.AssocFile.ADTS", "audio/vnd.dlna.adts", "audio"),
    (".adt", "WMP11.AssocFile.ADTS", "audio/vnd.dlna.adts", "audio"),
    (".adts", "WMP11.AssocFile.ADTS", "audio/vnd.dlna.adts", "audio"),
    (".m4a", "WMP11.AssocFile.M4A", "audio/mp4", "audio"),
    (".flac", "WMP11.AssocFile.FLAC", "audio/x-flac", "audio"),
    (".aif", "WMP11.AssocFile.AIFF", "audio/aiff", "audio"),
    (".aiff", "WMP11.AssocFile.AIFF", "audio/aiff", "audio"),
    (".aifc", "WMP11.AssocFile.AIFF", "audio/aiff", "audio"),
    (".au", "WMP11.AssocFile.AU", "audio/basic", "audio"),
    (".snd", "WMP11.AssocFile.AU", "audio/basic", "audio"),
    (".cda", "WMP11.AssocFile.CDA", "application/x-cda", "audio"),
    (".mka", "WMP11.AssocFile.MKA", "audio/x-matroska", "audio"),
    (".ac3", "WMP11.AssocFile.AC3", "audio/ac3", "audio"),
    (".ec3", "WMP11.AssocFile.EC3", "audio/ec3", "audio"),
    (".ogg", MUSIC, "audio/ogg", "audio"),
    (".oga", MUSIC, "audio/ogg", "audio"),
    (".opus", MUSIC, "audio/ogg", "audio"),
    (".amr", MUSIC, "audio/amr", "audio"),
    (".m3u", "WMP11.AssocFile.M3U", "audio/x-mpegurl", "audio"),
    (".wpl", "WMP11.AssocFile.WPL", "application/vnd.ms-wpl", None),
    (".wax", "WMP11.AssocFile.WAX", "audio/x-ms-wax", "audio"),
    (".asx", "WMP11.AssocFile.ASX", "video/x-ms-asf", None),
    (".wvx", "WMP11.AssocFile.WVX", "video/x-ms-wvx", "video"),
    (".wmx", "WMP11.AssocFile.WMX", "video/x-ms-wmx", "video"),
    # video
    (".mp4", "WMP11.AssocFile.MP4", "video/mp4", "video"),
    (".mp4v", "WMP11.AssocFile.MP4", "video/mp4", "video"),
    (".m4v", "WMP11.AssocFile.MP4", "video/mp4", "video"),
    (".mov", "WMP11.AssocFile.MOV", "video/quicktime", "video"),
    (".avi", "WMP11.AssocFile.AVI", "video/avi", "video"),
    (".wmv", "WMP11.AssocFile.WMV", "video/x-ms-wmv", "video"),
    (".wm", "WMP11.AssocFile.WM", "video/x-ms-wm", "video"),
    (".asf", "WMP11.AssocFile.ASF", "video/x-ms-asf", "video"),
    (".mkv", "WMP11.AssocFile.MKV", "video/x-matroska", "video"),
    (".mk3d", "WMP11.AssocFile.MK3D", "video/x-matroska-3d", "video"),
    (".mpg", "WMP11.AssocFile.MPEG", "video/mpeg", "video"),
    (".mpeg", "WMP11.AssocFile.MPEG", "video/mpeg", "video"),
    (".mpe", "WMP11.AssocFile.MPEG", "video/mpeg", "video"),
    (".m1v", "WMP11.AssocFile.MPEG", "video/mpeg", "video"),
    (".m2v", "WMP11.AssocFile.MPEG", "video/mpeg", "video"),
    (".mp2", "WMP11.AssocFile.MPEG", "video/mpeg", "video"),
    (".mpv2", "WMP11.AssocFile.MPEG", "video/mpeg", "video"),
    (".m2t", "WMP11.AssocFile.M2TS", "video/vnd.dlna.mpeg-tts", "video"),
    (".m2ts", "WMP11.AssocFile.M2TS", "video/vnd.dlna.mpeg-tts", "video"),
    (".mts", "WMP11.AssocFile.M2TS", "video/vnd.dlna.mpeg-tts", "video"),
    (".ts", "WMP11.AssocFile.TTS", "video/vnd.dlna.mpeg-tts", "video"),
    (".tts", "WMP11.AssocFile.TTS", "video/vnd.dlna.mpeg-tts", "video"),
    (".3gp", "WMP11.AssocFile.3GP", "video/3gpp", "video"),
    (".3gpp", "WMP11.AssocFile.3GP", "video/3gpp", "video"),
    (".3g2", "WMP11.AssocFile.3G2", "video/3gpp2", "video"),
    (".3gp2", "WMP11.AssocFile.3G2", "video/3gpp2", "video"),
    (".wtv", "WMP11.AssocFile.WTV", "video/wtv", "video"),
    (".dvr-ms", "WMP11.AssocFile.DVR", "video/x-ms-dvr", "video"),
    (".webm", MOVIES, "video/webm", "video"),
    (".ogv", MOVIES, "video/ogg", "video"),
    (".flv", "VLC.flv", "video/x-flv", "video"),
    (".vob", None, None, "video"),
    # Office
    (".doc", "Word.Document.8", "application/msword", "document"),
    (".docx", "Word.Document.12", "application/vnd.openxmlformats-officedocument.wordprocessingml.document", "document"),
    (".docm", "Word.DocumentMacroEnabled.12", "application/vnd.ms-word.document.macroEnabled.12", "document"),
    (".dot", "Word.Template.8", "application/msword", "document"),
    (".dotx", "Word.Template.12", "application/vnd.openxmlformats-officedocument.wordprocessingml.template", "document"),
    (".dotm", "Word.TemplateMacroEnabled", "application/vnd.ms-word.template.macroEnabled.12", "document"),
    (".rtf", "Word.RTF.8", "application/msword", "document"),
    (".odt", "Word.OpenDocumentText.12", "application/vnd.oasis.opendocument.text", "document"),
    (".wbk", "Word.Backup.8", "application/msword", "document"),
    (".xls", "Excel.Sheet.8", "application/vnd.ms-excel", "document"),
    (".xlsx", "Excel.Sheet.12", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet", "document"),
    (".xlsm", "Excel.SheetMacroEnabled.12", "application/vnd.ms-excel.sheet.macroEnabled.12", "document"),
    (".xlsb", "Excel.SheetBinaryMacroEnabled.12", "application/vnd.ms-excel.sheet.binary.macroEnabled.12", "document"),
    (".xlt", "Excel.Template.8", "application/vnd.ms-excel", "document"),
    (".xltx", "Excel.Template", "application/vnd.openxmlformats-officedocument.spreadsheetml.template", "document"),
    (".xltm", "Excel.TemplateMacroEnabled", "application/vnd.ms-excel.template.macroEnabled.12", "document"),
    (".xla", "Excel.Addin", "application/vnd.ms-excel", None),
    (".xlam", "Excel.AddInMacroEnabled", "application/vnd.ms-excel.addin.macroEnabled.12", None),
    (".xll", "Excel.XLL", None, None),
    (".xlw", "Excel.Workspace", "application/vnd.ms-excel", None),
    (".slk", "Excel.SLK", "application/vnd.ms-excel", "text"),
    (".ods", "Excel.OpenDocumentSpreadsheet.12", "application/vnd.oasis.opendocument.spreadsheet", "document"),
    (".ppt", "PowerPoint.Show.8", "application/vnd.ms-powerpoint", "document"),
    (".pptx", "PowerPoint.Show.12", "application/vnd.openxmlformats-officedocument.presentationml.presentation", "document"),
    (".pptm", "PowerPoint.ShowMacroEnabled.12", "application/vnd.ms-powerpoint.presentation.macroEnabled.12", "document"),
    (".pps", "PowerPoint.SlideShow.8", "application/vnd.ms-powerpoint", "document"),
    (".ppsx", "PowerPoint.SlideShow.12", "application/vnd.openxmlformats-officedocument.presentationml.slideshow", "document"),
    (".ppsm", "PowerPoint.SlideShowMacroEnabled.12", "application/vnd.ms-powerpoint.slideshow.macroEnabled.12", "document"),
    (".pot", "PowerPoint.Template.8", "application/vnd.ms-powerpoint", "document"),
    (".potx", "PowerPoint.Template.12", "application/vnd.openxmlformats-officedocument.presentationml.template", "document"),
    (".potm", "PowerPoint.TemplateMacroEnabled.12", "application/vnd.ms-powerpoint.template.macroEnabled.12", "document"),
    (".ppa", "PowerPoint.Addin.8", "application/vnd.ms-powerpoint", None),
    (".ppam", "PowerPoint.Addin.12", "application/vnd.ms-powerpoint.addin.macroEnabled.12", None),
    (".sldx", "PowerPoint.Slide.12", "application/vnd.openxmlformats-officedocument.presentationml.slide", "document"),
    (".sldm", "PowerPoint.SlideMacroEnabled.12", "application/vnd.ms-powerpoint.slide.macroEnabled.12", "document"),
    (".odp", "PowerPoint.OpenDocumentPresentation.12", "application/vnd.oasis.opendocument.presentation", "document"),
    (".one", "OneNote.Section.1", "application/onenote", None),
    (".onetoc2", "OneNote.TableOfContents.12", "application/onenote", None),
    (".onepkg", "OneNote.Package", "application/msonenote", None),
    (".msg", "Outlook.File.msg.15", "application/vnd.ms-outlook", None),
    (".pst", "Outlook.File.pst.15", None, None),
    (".ost", "Outlook.File.ost.15", None, None),
    (".oft", "Outlook.File.oft.15", "application/vnd.ms-outlook", None),
    (".eml", "Outlook.File.eml.15", "message/rfc822", None),
    (".ics", "Outlook.File.ics.15", "text/calendar", "text"),
    (".vcs", "Outlook.File.vcs.15", "text/x-vcalendar", "text"),
    (".pub", "Publisher.Document.16", "application/vnd.ms-publisher", "document"),
    (".accdb", "Access.Application.16", "application/msaccess", None),
    (".mdb", "Access.MDBFile", "application/msaccess", None),
    (".accde", "Access.ACCDEFile.16", "application/msaccess", None),
    # archives and disc images
    (".zip", "CompressedFolder", "application/x-zip-compressed", "compressed"),
    (".cab", "CABFolder", "application/vnd.ms-cab-compressed", "compressed"),
    (".7z", "7-Zip.7z", None, "compressed"),
    (".rar", "7-Zip.rar", None, "compressed"),
    (".tar", "7-Zip.tar", "application/x-tar", "compressed"),
    (".xz", "7-Zip.xz", None, "compressed"),
    (".bz2", "7-Zip.bz2", None, "compressed"),
    (".lzma", "7-Zip.lzma", None, "compressed"),
    (".gz", None, "application/x-gzip", "compressed"),
    (".tgz", None, "application/x-compressed", "compressed"),
    (".z", None, "application/x-compress", "compressed"),
    (".iso", "Windows.IsoFile", "application/x-iso9660-image", None),
    (".img", "Windows.IsoFile", None, None),
    (".vhd", "Windows.VhdFile", None, None),
    (".vhdx", "Windows.VhdFile", None, None),
    (".wim", "Windows.WimFile", None, None),
    (".dl_", None, None, "compressed"),
    (".ex_", None, None, "compressed"),
    # fonts, certificates and desktop files
    (".ttf", "ttffile", "application/x-font-ttf", None),
    (".otf", "otffile", "font/otf", None),
    (".ttc", "ttcfile", None, None),
    (".fon", "fonfile", None, None),
    (".pfm", "pfmfile", None, None),
    (".cer", "CERFile", "application/x-x509-ca-cert", None),
    (".crt", "CERFile", "application/x-x509-ca-cert", None),
    (".der", "CERFile", "application/x-x509-ca-cert", None),
    (".cat", "CATFile", "application/vnd.ms-pki.seccat", None),
    (".crl", "CRLFile", "application/pkix-crl", None),
    (".sst", "CertificateStoreFile", "application/vnd.ms-pki.certstore", None),
    (".p7b", "P7RFile", "application/x-pkcs7-certificates", None),
    (".p7c", "P7RFile", "application/pkcs7-mime", None),
    (".p7r", "P7RFile", "application/x-pkcs7-certreqresp", None),
    (".p7s", "P7SFile", "application/pkcs7-signature", None),
    (".p10", "P10File", "application/pkcs10", None),
    (".p12", "PFXFile", "application/x-pkcs12", None),
    (".pfx", "PFXFile", "application/x-pkcs12", None),
    (".stl", "STLFile", "application/vnd.ms-pki.stl", None),
    (".theme", "themefile", None, None),
    (".themepack", "themepackfile", None, None),
    (".deskthemepack", "desktopthemepackfile", None, None),
    (".search-ms", "SearchFolder", None, None),
    (".library-ms", "LibraryFolder", "application/windows-library+xml", None),
    (".rdp", "RDP.File", "application/x-rdp", None),
    (".application", "Application.Manifest", "application/x-ms-application", None),
    (".appref-ms", "Application.Reference", None, None),
    (".evtx", "evtxfile", None, None),
    (".icm", "icmfile", "application/vnd.ms-color.iccprofile", None),
    (".icc", "icmfile", "application/vnd.ms-color.iccprofile", None),
    (".vcf", "vcard_wab_auto_file", "text/x-vcard", "text"),
    (".contact", "contact_wab_auto_file", "text/x-ms-contact", None),
    (".torrent", "qBittorrent.File.Torrent", "application/x-bittorrent", None),
    (".ZFSendToTarget", "CLSID\\" + guid("Compressed Folder Send To"), None, None),
    (".DeskLink", "CLSID\\" + guid("Desktop Send To"), None, None),
    (".MAPIMail", "CLSID\\" + guid("Mail Recipient Send To"), None, None),
    # leftovers: a program gone, or a key with nothing in it
    (".dwg", "AutoCAD.Drawing.24", "application/acad", None),
    (".nzb", "NZBGet.nzb", None, None),
    (".bak", None, None, None),
    (".old", None, None, None),
    (".dmp", None, None, None),
    (".tmp", None, None, None),
    (".etl", None, None, None),
    (".bin", None, "application/octet-stream", None),
    (".dat", None, None, None),
]

# VS Code sets these as the extension's own type only where nothing else claimed the extension.
VSCODE_OWNED = [ext for ext, *_ in VSCODE_TYPES]

# Extensions with an OpenWithList, and the programs in it.
OPEN_WITH_LIST = {
    ".txt": ["notepad.exe", "wordpad.exe", "Code.exe"],
    ".log": ["notepad.exe"],
    ".ex_": ["7zFM.exe"],
    ".ini": ["notepad.exe"],
    ".inf": ["notepad.exe"],
    ".xml": ["notepad.exe", "iexplore.exe", "msedge.exe"],
    ".css": ["notepad.exe"],
    ".htm": ["iexplore.exe", "notepad.exe", "msedge.exe", "chrome.exe"],
    ".html": ["iexplore.exe", "notepad.exe", "msedge.exe", "chrome.exe"],
    ".mht": ["iexplore.exe"],
    ".svg": ["msedge.exe", "chrome.exe"],
    ".pdf": ["AcroRd32.exe", "msedge.exe"],
    ".jpg": ["mspaint.exe", "ehshell.exe"],
    ".jpeg": ["mspaint.exe"],
    ".png": ["mspaint.exe"],
    ".gif": ["mspaint.exe", "iexplore.exe"],
    ".bmp": ["mspaint.exe"],
    ".dib": ["mspaint.exe"],
    ".tif": ["mspaint.exe"],
    ".tiff": ["mspaint.exe"],
    ".ico": ["mspaint.exe"],
    ".emf": ["mspaint.exe"],
    ".wmf": ["mspaint.exe"],
    ".mp3": ["wmplayer.exe", "vlc.exe"],
    ".wav": ["wmplayer.exe", "SoundRecorder.exe"],
    ".wma": ["wmplayer.exe"],
    ".mid": ["wmplayer.exe"],
    ".m4a": ["wmplayer.exe", "vlc.exe"],
    ".mp4": ["wmplayer.exe", "vlc.exe"],
    ".avi": ["wmplayer.exe", "vlc.exe"],
    ".wmv": ["wmplayer.exe"],
    ".mkv": ["vlc.exe"],
    ".mov": ["vlc.exe"],
    ".flv": ["vlc.exe"],
    ".rtf": ["wordpad.exe", "WINWORD.EXE"],
    ".doc": ["WINWORD.EXE", "wordpad.exe"],
    ".docx": ["WINWORD.EXE", "wordpad.exe"],
    ".odt": ["wordpad.exe"],
    ".csv": ["EXCEL.EXE", "notepad.exe"],
    ".zip": ["7zFM.exe"],
    ".7z": ["7zFM.exe"],
    ".py": ["Code.exe", "notepad.exe"],
    ".bak": ["notepad.exe"],
}

# Extensions whose OpenWithProgids name further types (beside any VS Code adds).
OPEN_WITH_PROGIDS = {
    ".htm": ["MSEdgeHTM", "ChromeHTML"],
    ".html": ["MSEdgeHTM", "ChromeHTML"],
    ".shtml": ["MSEdgeHTM"],
    ".xhtml": ["MSEdgeHTM", "ChromeHTML"],
    ".xht": ["MSEdgeHTM"],
    ".mht": ["MSEdgeMHT"],
    ".mhtml": ["MSEdgeMHT"],
    ".svg": ["MSEdgeHTM", "ChromeHTML"],
    ".pdf": ["MSEdgePDF", "ChromeHTML"],
    ".jpg": [PHOTOS],
    ".jpeg": [PHOTOS],
    ".png": [PHOTOS],
    ".gif": [PHOTOS],
    ".bmp": [PHOTOS],
    ".tif": [PHOTOS],
    ".mp3": [MUSIC],
    ".m4a": [MUSIC],
    ".wma": [MUSIC],
    ".mp4": [MOVIES],
    ".mkv": [MOVIES],
    ".avi": [MOVIES],
    ".mov": [MOVIES],
    ".rtf": ["Word.RTF.8"],
    ".tar": ["7-Zip.tar"],
    ".gz": ["7-Zip.tar"],
    ".dmp": ["txtfile"],
}

# Keys Explorer's New menu reads, with their values.
SHELL_NEW = {
    ".txt": {"ItemName": expand(r"@%SystemRoot%\system32\notepad.exe,-470"), "NullFile": sz("")},
    ".rtf": {"Data": sz(r"{\rtf1}")},
    ".zip": {"Data": binary([0x50, 0x4B, 0x05, 0x06] + [0] * 18)},
    ".bmp": {"ItemName": expand(r"@%systemroot%\system32\mspaint.exe,-59414"), "NullFile": sz("")},
    ".docx": {"FileName": sz(rf"{OFFICE}\..\..\VFS\Windows\ShellNew\winword12.docx")},
    ".xlsx": {"FileName": sz("excel12.xlsx")},
    ".pptx": {"FileName": sz("pwrpnt12.pptx")},
    ".lnk": {
        "Command": sz(rf"{RUNDLL} appwiz.cpl,NewLinkHere %1"),
        "Handler": sz(guid("new shortcut")),
        "IconPath": expand(rf"{SYS32}\shell32.dll,-16769"),
    },
    ".contact": {"command": sz(r'"%ProgramFiles%\Windows Mail\Wab.exe" /CreateContact "%1"')},
}

# Extensions whose text the indexer reads with the plain-text filter.
TEXT_FILTER = [".txt", ".log", ".text", ".ini", ".inf", ".reg", ".bat", ".cmd", ".c", ".cpp", ".h", ".cs",
               ".css", ".js", ".py", ".ps1", ".md", ".json", ".xml", ".csv", ".sql", ".tmp"]

# ----------------------------------------------------------------------------------------------
# The registry tree
# ----------------------------------------------------------------------------------------------


class Key:
    def __init__(self, name):
        self.name = name
        self.values = {}  # name -> Value, in insertion (creation) order
        self.children = {}  # upper-case name -> Key

    def child(self, path):
        key = self
        for part in path.split("\\"):
            folded = part.upper()
            if folded not in key.children:
                key.children[folded] = Key(part)
            key = key.children[folded]
        return key

    def set(self, name, value):
        self.values[name] = value
        return self


def put_type(root, key_name, file_type):
    key = root.child(key_name)
    if file_type.name is not None:
        key.set("", sz(file_type.name))
    for name, value in file_type.values.items():
        key.set(name, value)
    if file_type.clsid:
        root.child(key_name + r"\CLSID").set("", sz(file_type.clsid))
    if file_type.icon:
        root.child(key_name + r"\DefaultIcon").set("", text(file_type.icon))
    if file_type.verbs or file_type.default_verb is not None:
        shell = root.child(key_name + r"\shell")
        if file_type.default_verb is not None:
            shell.set("", sz(file_type.default_verb))
        for verb in file_type.verbs:
            put_verb(shell, verb)


def put_verb(shell, verb):
    key = shell.child(verb.name)
    if verb.label is not None:
        key.set("", sz(verb.label))
    for name, value in verb.values.items():
        key.set(name, value)
    if verb.command is None:
        return
    command = key.child("command")
    if verb.command:
        command.set("", text(verb.command))
    if verb.delegate:
        command.set("DelegateExecute", sz(verb.delegate))


def put_extensions(root):
    claimed = set()
    for ext, type_key, content_type, perceived in EXTENSIONS:
        key = root.child(ext)
        claimed.add(ext)
        if type_key is not None:
            key.set("", sz(type_key))
        if content_type is not None:
            key.set("Content Type", sz(content_type))
        if perceived is not None:
            key.set("PerceivedType", sz(perceived))
    for ext in VSCODE_OWNED:
        key = root.child("." + ext)
        if "." + ext not in claimed:
            key.set("", sz(f"VSCode.{ext}"))
        key.child("OpenWithProgids").set(f"VSCode.{ext}", EMPTY_NONE)
    put_extension_subkeys(root)


def put_extension_subkeys(root):
    for ext, programs in OPEN_WITH_LIST.items():
        for program in programs:
            root.child(rf"{ext}\OpenWithList\{program}")
    for ext, progids in OPEN_WITH_PROGIDS.items():
        for progid in progids:
            root.child(rf"{ext}\OpenWithProgids").set(progid, EMPTY_NONE)
    for ext, values in SHELL_NEW.items():
        shell_new = root.child(rf"{ext}\ShellNew")
        for name, value in values.items():
            shell_new.set(name, value)
    for ext in TEXT_FILTER:
        root.child(rf"{ext}\PersistentHandler").set("", sz(guid("Plain Text persistent handler")))
    root.child(r".MAPIMail\shellex\DropHandler").set("", sz(guid("Mail Recipient Send To")))


# Programs that appear in Open With lists, with their command lines.
APPLICATIONS = {
    "notepad.exe": rf"{SYS32}\NOTEPAD.EXE %1",
    "wordpad.exe": r'"%ProgramFiles%\Windows NT\Accessories\WORDPAD.EXE" "%1"',
    "mspaint.exe": f'"{MSPAINT}" "%1"',
    "iexplore.exe": r'"C:\Program Files\Internet Explorer\iexplore.exe" %1',
    "msedge.exe": f'"{EDGE}" --single-argument %1',
    "chrome.exe": f'"{CHROME}" --single-argument %1',
    "AcroRd32.exe": f'"{READER}" "%1"',
    "wmplayer.exe": f'"{WMPLAYER}" /prefetch:6 /Open "%L"',
    "vlc.exe": r'"C:\Program Files\VideoLAN\VLC\vlc.exe" --started-from-file "%1"',
    "WINWORD.EXE": rf'"{OFFICE}\WINWORD.EXE" /n "%1"',
    "EXCEL.EXE": rf'"{OFFICE}\EXCEL.EXE" "%1"',
    "7zFM.exe": rf'"{SEVEN_ZIP}\7zFM.exe" "%1"',
    "Code.exe": rf'"{VSCODE}\Code.exe" "%1"',
    "python.exe": rf'"{PYTHON}\python.exe" "%1"',
    "pythonw.exe": rf'"{PYTHON}\pythonw.exe" "%1"',
    "regedit.exe": r'%SystemRoot%\regedit.exe "%1"',
    "write.exe": r'%SystemRoot%\system32\write.exe "%1"',
    "photoviewer.dll": None,
}


APPLICATION_NAMES = {
    "vlc.exe": "VLC media player",
    "Code.exe": "Visual Studio Code",
    "AcroRd32.exe": "Adobe Acrobat Reader DC",
}


def put_applications(root):
    for program, command in APPLICATIONS.items():
        key = root.child(rf"Applications\{program}")
        if program in APPLICATION_NAMES:
            key.set("FriendlyAppName", sz(APPLICATION_NAMES[program]))
        if command is None:
            key.child(r"SupportedTypes").set(".jpg", sz("")).set(".png", sz(""))
            continue
        root.child(rf"Applications\{program}\shell\open\command").set("", text(command))
    root.child(r"Applications\notepad.exe").set("NoOpenWith", sz(""))


def put_type_keys(root):
    for key_name, file_type in TYPES.items():
        put_type(root, key_name, file_type)
    idle = r"Python.File\shell\editwithidle\shell\edit311"
    root.child(idle).set("", sz("Edit with IDLE 3.11 (64-bit)"))
    root.child(idle + r"\command").set("", sz(rf'"{PYTHON}\pythonw.exe" -m idlelib "%L" %*'))
    for key_name, file_type in TYPES.items():
        if key_name.startswith("MSEdge"):
            app = root.child(key_name + r"\Application")
            app.set("ApplicationName", sz("Microsoft Edge"))
            app.set("ApplicationCompany", sz("Microsoft Corporation"))
            app.set("ApplicationIcon", sz(f"{EDGE},0"))
            app.set("AppUserModelId", sz("MSEdge"))


def put_shell_folders(root):
    cmd_here = {"": sz("@shell32.dll,-8506"), "Extended": sz(""), "NoWorkingDirectory": sz("")}
    for base in ("Directory", r"Directory\Background"):
        cmd = root.child(base + r"\shell\cmd")
        for name, value in cmd_here.items():
            cmd.set(name, value)
        root.child(base + r"\shell\cmd\command").set("", sz('cmd.exe /s /k pushd "%V"'))
        code = root.child(base + r"\shell\VSCode")
        code.set("", sz("Open w&ith Code")).set("Icon", sz(rf"{VSCODE}\Code.exe"))
        root.child(base + r"\shell\VSCode\command").set("", sz(rf'"{VSCODE}\Code.exe" "%V"'))
    root.child("Directory").set("", sz("File Folder")).set("EditFlags", dword(0x100000))
    root.child(r"Directory\DefaultIcon").set("", expand(rf"{SYS32}\imageres.dll,-3"))
    root.child(r"Directory\shell\find").set("", sz("Search\u2026")).set("SuppressionPolicy", dword(0x80))
    root.child(r"Directory\shell\find\command").set("", expand(r"%SystemRoot%\Explorer.exe"))
    root.child(r"Directory\shellex\ContextMenuHandlers\7-Zip").set("", sz(guid("7-Zip shell extension")))
    root.child("Drive").set("", sz("Drive"))
    root.child(r"Drive\DefaultIcon").set("", expand(rf"{SYS32}\imageres.dll,-32"))
    root.child(r"Drive\shell\find\command").set("", expand(r"%SystemRoot%\Explorer.exe"))
    root.child(r"Drive\shell\manage-bde").set("MUIVerb", sz("@bdeunlock.exe,-100"))
    put_folder_keys(root)


def put_folder_keys(root):
    root.child("Folder").set("", sz("Folder")).set("EditFlags", binary([0xD2, 0x03, 0, 0]))
    root.child(r"Folder\DefaultIcon").set("", expand(rf"{SYS32}\shell32.dll,3"))
    root.child(r"Folder\shell").set("", sz("open"))
    root.child(r"Folder\shell\explore").set("MultiSelectModel", sz("Document"))
    root.child(r"Folder\shell\explore\command").set("DelegateExecute", sz(guid("explore folder")))
    root.child(r"Folder\shell\open").set("MultiSelectModel", sz("Document"))
    open_command = root.child(r"Folder\shell\open\command")
    open_command.set("", expand(r"%SystemRoot%\Explorer.exe")).set("DelegateExecute", sz(guid("open folder")))
    new_window = root.child(r"Folder\shell\opennewwindow")
    new_window.set("MUIVerb", sz("@shell32.dll,-8517")).set("LaunchExplorerFlags", dword(1))
    root.child(r"Folder\shell\opennewwindow\command").set("DelegateExecute", sz(guid("open folder")))
    root.child(r"Folder\shell\pintohome").set("MUIVerb", sz("@shell32.dll,-51377"))
    root.child("*").set("AlwaysShowExt", sz(""))
    root.child(r"*\shell\VSCode").set("", sz("Edit with &Code")).set("Icon", sz(rf"{VSCODE}\Code.exe"))
    root.child(r"*\shell\VSCode\command").set("", sz(rf'"{VSCODE}\Code.exe" "%1"'))
    for handler in ("7-Zip", "EPP", "ModernSharing", "Open With"):
        root.child(rf"*\shellex\ContextMenuHandlers\{handler}").set("", sz(guid(handler + " context menu")))
    root.child(r"AllFilesystemObjects\shellex\ContextMenuHandlers\SendTo").set("", sz(guid("Send To menu")))
    open_as = rf"{RUNDLL} {SYS32}\shell32.dll,OpenAs_RunDLL %1"
    root.child(r"Unknown\shell\openas\command").set("", expand(open_as))


def put_system_associations(root):
    for perceived in ("image", "audio", "video", "text", "document", "compressed"):
        key = root.child(rf"SystemFileAssociations\{perceived}")
        key.set("ExtendedTileInfo", sz("prop:System.ItemType;System.Size;System.DateModified"))
    edit = root.child(r"SystemFileAssociations\image\shell\edit")
    edit.set("", sz("@%SystemRoot%\\System32\\shell32.dll,-31403"))
    edit.child("command").set("", text(f'"{MSPAINT}" "%1"'))
    wallpaper = root.child(r"SystemFileAssociations\image\shell\setdesktopwallpaper")
    wallpaper.set("MultiSelectModel", sz("Single"))
    for ext in (".jpg", ".png", ".bmp", ".mp3", ".mp4", ".txt", ".docx", ".pdf"):
        assoc = root.child(rf"SystemFileAssociations\{ext}")
        assoc.set("PerceivedType", sz(next(p for e, _, _, p in EXTENSIONS if e == ext) or "document"))
        assoc.set("FullDetails", sz("prop:System.PropGroup.Description;System.Title;System.Author"))
    mime_root = root.child(r"MIME\Database\Content Type")
    for ext, _, content_type, _ in EXTENSIONS:
        if content_type and content_type.upper() not in mime_root.children:
            mime_root.child(content_type).set("Extension", sz(ext))


# ----------------------------------------------------------------------------------------------
# COM registrations: the bulk of a real HKEY_CLASSES_ROOT, none of it file types
# ----------------------------------------------------------------------------------------------

COM_AREAS = [
    ("Shell", r"%SystemRoot%\System32\shell32.dll"),
    ("Windows Search", r"%SystemRoot%\System32\SearchFolder.dll"),
    ("Windows Media", r"%SystemRoot%\System32\wmp.dll"),
    ("Media Foundation", r"%SystemRoot%\System32\mfcore.dll"),
    ("Direct3D", r"%SystemRoot%\System32\d3d11.dll"),
    ("DirectShow", r"%SystemRoot%\System32\quartz.dll"),
    ("Network List", r"%SystemRoot%\System32\netprofm.dll"),
    ("Task Scheduler", r"%SystemRoot%\System32\taskschd.dll"),
    ("Print", r"%SystemRoot%\System32\prntvpt.dll"),
    ("Speech", r"%SystemRoot%\System32\Speech\Common\sapi.dll"),
    ("Sync Center", r"%SystemRoot%\System32\SyncCenter.dll"),
    ("Font", r"%SystemRoot%\System32\fontext.dll"),
    ("Photo", r"%ProgramFiles%\Windows Photo Viewer\PhotoViewer.dll"),
    ("Audio", r"%SystemRoot%\System32\AudioSes.dll"),
    ("Bluetooth", r"%SystemRoot%\System32\bthprops.cpl"),
    ("Wireless", r"%SystemRoot%\System32\wlanpref.dll"),
    ("Device", r"%SystemRoot%\System32\DeviceCenter.dll"),
    ("Credential", r"%SystemRoot%\System32\credui.dll"),
    ("Tablet Input", r"%CommonProgramFiles%\microsoft shared\ink\tiptsf.dll"),
    ("Accessibility", r"%SystemRoot%\System32\oleacc.dll"),
    ("XPS", r"%SystemRoot%\System32\XpsServices.dll"),
    ("Imaging", r"%SystemRoot%\System32\WindowsCodecs.dll"),
    ("Color", r"%SystemRoot%\System32\mscms.dll"),
    ("Portable Device", r"%SystemRoot%\System32\PortableDeviceApi.dll"),
    ("Location", r"%SystemRoot%\System32\LocationApi.dll"),
    ("Sensor", r"%SystemRoot%\System32\sensorsapi.dll"),
    ("Storage", r"%SystemRoot%\System32\StorageUsage.dll"),
    ("Backup", r"%SystemRoot%\System32\sdshext.dll"),
    ("Firewall", r"%SystemRoot%\System32\FirewallAPI.dll"),
    ("Update", r"%SystemRoot%\System32\wuapi.dll"),
    ("Installer", r"%SystemRoot%\System32\msi.dll"),
    ("Certificate", r"%SystemRoot%\System32\certenroll.dll"),
    ("Cryptography", r"%SystemRoot%\System32\cryptext.dll"),
    ("Remote Desktop", r"%SystemRoot%\System32\mstscax.dll"),
    ("Text Services", r"%SystemRoot%\System32\msctf.dll"),
    ("Handwriting", r"%CommonProgramFiles%\microsoft shared\ink\InkObj.dll"),
    ("Theme", r"%SystemRoot%\System32\themeui.dll"),
    ("Power", r"%SystemRoot%\System32\powercpl.dll"),
    ("Display", r"%SystemRoot%\System32\display.dll"),
    ("Office", r"C:\Program Files\Common Files\Microsoft Shared\Office16\mso.dll"),
    ("OneDrive", r"C:\Users\Sam\AppData\Local\Microsoft\OneDrive\23.061.0319.0003\FileSyncShell64.dll"),
    ("Acrobat", r"C:\Program Files (x86)\Adobe\Acrobat Reader DC\Reader\AcroRd32.dll"),
]

COM_ROLES = [
    "Manager", "Provider", "Handler", "Factory", "Enumerator", "Property Handler",
    "Thumbnail Provider", "Preview Handler", "Context Menu", "Icon Overlay", "Data Object",
    "Filter", "Source", "Sink", "Broker", "Service", "Host", "Settings", "Options", "Control",
]

THREADING = ["Apartment", "Both", "Free", "Apartment", "Both"]


def com_classes():
    """The made-up COM classes: (name, server, threading, has a ProgID, local server)."""
    classes = []
    for area, server in COM_AREAS:
        for role in COM_ROLES:
            name = f"{area} {role}"
            if not pick(name, 50):
                continue
            threading = THREADING[hashlib.sha1(name.encode()).digest()[1] % len(THREADING)]
            classes.append((name, server, threading, pick(name + " progid", 30), pick(name + " exe", 10)))
    return classes


def put_com_class(root, name, server, threading, has_progid, local):
    clsid = root.child(rf"CLSID\{guid(name)}")
    clsid.set("", sz(name))
    if local:
        exe = server.rsplit("\\", 1)[0] + "\\" + name.split()[0].lower() + "host.exe"
        clsid.child("LocalServer32").set("", text(f'"{exe}" -Embedding'))
        clsid.set("AppID", sz(guid(name + " app")))
    else:
        clsid.child("InprocServer32").set("", text(server)).set("ThreadingModel", sz(threading))
    if has_progid:
        put_progid(root, name, clsid)


def put_progid(root, name, clsid):
    words = name.split(" ")
    progid = f"{words[0]}.{''.join(words[1:])}"
    assert progid.upper() not in root.children, progid
    clsid.child("ProgID").set("", sz(progid + ".1"))
    clsid.child("VersionIndependentProgID").set("", sz(progid))
    root.child(progid).set("", sz(name))
    root.child(progid + r"\CLSID").set("", sz(guid(name)))
    root.child(progid + r"\CurVer").set("", sz(progid + ".1"))
    root.child(progid + ".1").set("", sz(name))
    root.child(progid + r".1\CLSID").set("", sz(guid(name)))


def put_com(root):
    for cls in com_classes():
        put_com_class(root, *cls)
        name = cls[0]
        if pick(name + " interface", 50):
            put_interface(root, "I" + name.replace(" ", ""))
        if cls[4]:
            put_app_id(root, name)
    for area, server in COM_AREAS:
        put_type_library(root, area, server)
    put_well_known_com(root)


def put_interface(root, name):
    key = root.child(rf"Interface\{guid(name)}")
    key.set("", sz(name))
    key.child("NumMethods").set("", sz(str(3 + hashlib.sha1(name.encode()).digest()[0] % 20)))
    key.child("ProxyStubClsid32").set("", sz(guid("PSOAInterface")))
    if pick(name + " typelib", 50):
        key.child("TypeLib").set("", sz(guid(name.split("I", 1)[1] + " typelib"))).set("Version", sz("1.0"))


def put_app_id(root, name):
    app = root.child(rf"AppID\{guid(name + ' app')}")
    app.set("", sz(name)).set("LaunchPermission", binary(hashlib.sha1(name.encode()).digest() * 4))
    exe = name.split()[0].lower() + "host.exe"
    root.child(rf"AppID\{exe}").set("AppID", sz(guid(name + " app")))


def put_type_library(root, area, server):
    base = rf"TypeLib\{guid(area + ' typelib')}"
    root.child(base + r"\1.0").set("", sz(f"{area} Type Library"))
    root.child(base + r"\1.0\0\win32").set("", text(server))
    root.child(base + r"\1.0\0\win64").set("", text(server))
    root.child(base + r"\1.0\FLAGS").set("", sz("0"))
    root.child(base + r"\1.0\HELPDIR").set("", text(server.rsplit("\\", 1)[0]))


def put_well_known_com(root):
    # The CLSID keys that types and send-to extensions above point at.
    for name, icon in (
        ("HTML Document", r"C:\Program Files\Internet Explorer\iexplore.exe,-17"),
        ("Compressed Folder", rf"{SYS32}\zipfldr.dll"),
        ("Cabinet Folder", rf"{SYS32}\cabview.dll,0"),
        ("Compressed Folder Send To", rf"{SYS32}\zipfldr.dll"),
        ("Desktop Send To", rf"{SYS32}\imageres.dll,-110"),
        ("Mail Recipient Send To", rf"{SYS32}\sendmail.dll,-2001"),
        ("Plain Text persistent handler", None),
        ("PSOAInterface", None),
    ):
        key = root.child(rf"CLSID\{guid(name)}").set("", sz(name))
        server = key.child("InprocServer32")
        server.set("", text(rf"{SYS32}\shell32.dll")).set("ThreadingModel", sz("Apartment"))
        if icon:
            key.child("DefaultIcon").set("", text(icon))
    for key_name, _, _, _ in OFFICE_TYPES:
        key = root.child(rf"CLSID\{guid(key_name)}").set("", sz(TYPES[key_name].name))
        key.child("ProgID").set("", sz(key_name))
        key.child("LocalServer32").set("", sz(rf'{OFFICE}\{key_name.split(".")[0].upper()}.EXE /Automation'))
    for progid, name in (
        ("Shell.Application", "Shell Automation Service"),
        ("Scripting.FileSystemObject", "FileSystem Object"),
        ("WScript.Shell", "Windows Script Host Shell Object"),
        ("MSXML2.DOMDocument.6.0", "XML DOM Document 6.0"),
        ("ADODB.Connection", "ADODB.Connection"),
        ("InternetExplorer.Application", "Internet Explorer(Ver 1.0)"),
    ):
        root.child(progid).set("", sz(name))
        root.child(progid + r"\CLSID").set("", sz(guid(progid)))
        root.child(rf"CLSID\{guid(progid)}").set("", sz(name))
        root.child(rf"CLSID\{guid(progid)}\ProgID").set("", sz(progid))


# ----------------------------------------------------------------------------------------------
# Writing the export
# ----------------------------------------------------------------------------------------------

HEADER = "Windows Registry Editor Version 5.00"
ROOT = "HKEY_CLASSES_ROOT"
HEX_WRAP = 77  # the exporter breaks a hex line once it reaches this many characters


def escape(string):
    return string.replace("\\", "\\\\").replace('"', '\\"').replace("\r", "\\r").replace("\n", "\\n")


def hex_data(prefix, data):
    out = [prefix]
    length = len(prefix)
    for index, byte in enumerate(data):
        out.append(f"{byte:02x}")
        if index == len(data) - 1:
            break
        out.append(",")
        length += 3
        if length >= HEX_WRAP:
            out.append("\\\r\n  ")
            length = 2
    return "".join(out)


def value_line(name, value):
    prefix = "@=" if name == "" else f'"{escape(name)}"='
    if value.kind == "sz":
        return f'{prefix}"{escape(value.data)}"'
    if value.kind == "dword":
        return f"{prefix}dword:{value.data:08x}"
    if value.kind == "expand":
        return hex_data(prefix + "hex(2):", (value.data + "\0").encode("utf-16-le"))
    if value.kind == "binary":
        return hex_data(prefix + "hex:", value.data)
    return hex_data(prefix + "hex(0):", value.data)


def write_key(lines, path, key):
    lines.append("")
    lines.append(f"[{path}]")
    for name, value in key.values.items():
        lines.append(value_line(name, value))
    for folded in sorted(key.children):
        child = key.children[folded]
        write_key(lines, f"{path}\\{child.name}", child)


def export(root):
    lines = [HEADER]
    write_key(lines, ROOT, root)
    return ("\ufeff" + "\r\n".join(lines) + "\r\n\r\n").encode("utf-16-le")


# ----------------------------------------------------------------------------------------------
# Checks on the finished tree, then the file
# ----------------------------------------------------------------------------------------------


def find(root, path):
    key = root
    for part in path.split("\\"):
        key = key.children.get(part.upper())
        if key is None:
            return None
    return key


def check(root):
    extensions = [k for k in root.children.values() if k.name.startswith(".")]
    assert len(extensions) >= 300, len(extensions)
    with_list = [k for k in extensions if "OPENWITHLIST" in k.children]
    assert 35 <= len(with_list) <= 50, len(with_list)
    missing = {type_key for _, type_key, _, _ in EXTENSIONS if type_key and not find(root, type_key)}
    assert missing == {"VLC.flv", "AutoCAD.Drawing.24", "NZBGet.nzb"}, missing
    assert_open_with_lists_under_extensions(root)


def assert_open_with_lists_under_extensions(key, depth=0):
    for child in key.children.values():
        if child.name.upper() == "OPENWITHLIST":
            assert depth == 1 and key.name.startswith("."), key.name
        assert_open_with_lists_under_extensions(child, depth + 1)


def build():
    build_types()
    root = Key(ROOT)
    put_extensions(root)
    put_type_keys(root)
    put_applications(root)
    put_shell_folders(root)
    put_system_associations(root)
    put_com(root)
    check(root)
    return root


def main():
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("sample.reg")
    target.write_bytes(export(build()))


if __name__ == "__main__":
    main()
