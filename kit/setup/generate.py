#!/usr/bin/env python3
"""Writes the setup wizard's generated kit data: the three language files
(English in code page 1252, simplified Chinese in code page 936, traditional
Chinese in code page 950), the licence texts, placeholder help files and the
left-band picture DRVCONFIG/Left.bmp, and the placeholder payload: a small
text file in W32/ and W64/ for every driver, monitor and system
file the configuration names, RegUtility/Regutility.exe, and the class-printer
INFs (W32/Setup.inf, W64/Setup.inf; the Inffilename forms in ../usbmodes). The plug-in
module and its language files are laid in by the build's packaging step.

    generate.py                     everything, beside itself
    generate.py --left-bitmap OUT   only the left-band picture, to OUT

The text files are kept in the repository; the picture is not: the build
makes it into its own copy of the kit's data with --left-bitmap."""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# section -> [(key, English, simplified Chinese, traditional Chinese)]
TEXTS = [
    ("Setup", [
        ("Caption", "Printer Driver Setup", "打印机驱动安装程序", "印表機驅動安裝程式"),
        ("Help", "Press F1 for help", "按 F1 获取帮助", "按 F1 取得說明"),
        ("Back", "< Back", "< 上一步", "< 上一步"),
        ("Next", "Next >", "下一步 >", "下一步 >"),
        ("Install", "Install", "安装", "安裝"),
        ("Cancel", "Cancel", "取消", "取消"),
        ("Close", "Another setup program or the uninstaller is running. Close it first.",
         "另一个安装程序或卸载程序正在运行，请先关闭它。", "另一個安裝程式或解除安裝程式正在執行，請先關閉它。"),
        ("Nonsupport", "This version of Windows is not supported.", "不支持此版本的 Windows。", "不支援此版本的 Windows。"),
        ("PortNull", "No port is configured for the printers of this package.",
         "此安装包的打印机没有配置端口。", "此安裝套件的印表機沒有設定連接埠。"),
    ]),
    ("Message", [
        ("IDS_ABOUTBOX", "About Printer Driver Setup...", "关于打印机驱动安装程序...", "關於印表機驅動安裝程式..."),
        ("IDS_X64", "This package is for 32-bit Windows only.", "此安装包仅适用于 32 位 Windows。", "此安裝套件僅適用於 32 位元 Windows。"),
        ("IDS_X32", "This package is for 64-bit Windows only.", "此安装包仅适用于 64 位 Windows。", "此安裝套件僅適用於 64 位元 Windows。"),
        ("IDS_ADMIN", "Please log on as an administrator to install the driver.", "请以管理员身份登录后安装驱动。", "請以系統管理員身分登入後安裝驅動程式。"),
        ("IDS_ERR_NOLEFT", "Cannot load DRVCONFIG\\Left.bmp.", "无法加载 DRVCONFIG\\Left.bmp。", "無法載入 DRVCONFIG\\Left.bmp。"),
        ("IDS_ERR_SYSTEM", "Unknown operating system.", "未知的操作系统。", "未知的作業系統。"),
        ("IDS_ERR_SELPRINTER", "Please select a printer model.", "请选择打印机型号。", "請選擇印表機型號。"),
        ("IDS_NOTSUPPORTNT", "This printer is not supported on Windows NT 4.0.", "此打印机不支持 Windows NT 4.0。", "此印表機不支援 Windows NT 4.0。"),
        ("IDS_NOTSUPPORT2003", "This printer is not supported on Windows Server 2003.", "此打印机不支持 Windows Server 2003。", "此印表機不支援 Windows Server 2003。"),
        ("IDS_NOTSUPPORTVISTA", "This printer is not supported on Windows Vista.", "此打印机不支持 Windows Vista。", "此印表機不支援 Windows Vista。"),
        ("IDS_NOTSUPPORT2008", "This printer is not supported on Windows Server 2008.", "此打印机不支持 Windows Server 2008。", "此印表機不支援 Windows Server 2008。"),
        ("IDS_NOTSUPPORTWin7", "This printer is not supported on Windows 7 and later.", "此打印机不支持 Windows 7 及更高版本。", "此印表機不支援 Windows 7 及更新版本。"),
        ("IDS_TYPICAL_NOTES", "Only the typical installation is available for this printer.", "此打印机只能使用典型安装。", "此印表機只能使用一般安裝。"),
        ("IDS_ERR_NOSUPPORTINTERFACE", "The selected port is not supported.", "不支持所选端口。", "不支援所選連接埠。"),
        ("IDS_ERR_NOSUPPORTUSB", "USB ports are not supported on Windows NT 4.0.", "Windows NT 4.0 不支持 USB 端口。", "Windows NT 4.0 不支援 USB 連接埠。"),
        ("IDS_ERR_UNSUPPORTCOM", "Serial ports are not available for this printer on this system.", "此系统上该打印机不能使用串口。", "此系統上該印表機不能使用序列埠。"),
        ("IDS_ERR_UPDATEUSB", "The USB device driver will be installed.", "将安装 USB 设备驱动。", "將安裝 USB 裝置驅動程式。"),
        ("IDS_ERR_IPADDRISNULL", "Please enter the printer's IP address.", "请输入打印机的 IP 地址。", "請輸入印表機的 IP 位址。"),
        ("IDS_ERR_ADDPORTERROR", "The TCP/IP port could not be created.", "无法创建 TCP/IP 端口。", "無法建立 TCP/IP 連接埠。"),
        ("IDS_ERR_NOUSBDEVICE", "No printer answers on USB.", "USB 上没有打印机响应。", "USB 上沒有印表機回應。"),
        ("IDS_ERR_ONEPRINTER", "Connect only one printer.", "请只连接一台打印机。", "請只連接一台印表機。"),
        ("IDS_INF_CHANGEID", "Change the printer's USB id to match the selected port?", "是否更改打印机的 USB 编号以匹配所选端口？", "是否變更印表機的 USB 編號以符合所選連接埠？"),
        ("IDS_ERR_CLASSPRINTERIDERROR", "The printer cannot be found.", "找不到打印机。", "找不到印表機。"),
        ("IDS_ERR_HARDWAREIDNULL", "No hardware id is configured for this printer.", "此打印机没有配置硬件编号。", "此印表機沒有設定硬體編號。"),
        ("IDS_ERR_ALLOCMEMORY", "Out of memory.", "内存不足。", "記憶體不足。"),
        ("IDS_ERR_GETWINDIR", "Cannot find the Windows folder.", "找不到 Windows 文件夹。", "找不到 Windows 資料夾。"),
        ("IDS_ERR_GETSYSDIR", "Cannot find the system folder.", "找不到系统文件夹。", "找不到系統資料夾。"),
        ("IDS_ERR_GETDRIVERDIR", "Cannot find the printer driver folder.", "找不到打印机驱动文件夹。", "找不到印表機驅動程式資料夾。"),
        ("IDS_ERR_GETPRODIR", "Cannot find the print processor folder.", "找不到打印处理器文件夹。", "找不到列印處理器資料夾。"),
        ("IDS_ERR_DIRTYPE", "Unknown copy destination.", "未知的复制目标。", "未知的複製目標。"),
        ("IDS_ERR_COPYFIEL", "Cannot copy the file ", "无法复制文件 ", "無法複製檔案 "),
        # Follows the system's own text, which ends in its own stop.
        ("IDS_ERR_COPYFIEL1", "", "", ""),
        # A Windows file the install needs that the system lacks: the kit
        # carries none of Windows' own files. The file's name goes between.
        ("IDS_ERR_NOSYSTEMFILE", "This Windows lacks its system file ", "此 Windows 缺少系统文件 ", "此 Windows 缺少系統檔案 "),
        ("IDS_ERR_NOSYSTEMFILE1", ", which the printer driver needs. Install it from the Windows setup disc or its service pack, then run the setup again.",
         "，打印机驱动需要该文件。请从 Windows 安装光盘或其服务包安装该文件，然后重新运行安装程序。",
         "，印表機驅動程式需要該檔案。請從 Windows 安裝光碟或其服務套件安裝該檔案，然後重新執行安裝程式。"),
        ("IDS_ERR_LOSTDRIVERFILE", "A driver file is missing from the configuration.", "配置中缺少驱动文件。", "設定中缺少驅動程式檔案。"),
        ("IDS_ERR_NEEDRESTART", "A file is in use. Restart Windows and run the setup again.", "文件正在使用，请重新启动 Windows 后再安装。", "檔案正在使用中，請重新啟動 Windows 後再安裝。"),
        ("IDS_ERR_ADDMONITOR", "The port monitor could not be installed.", "无法安装端口监视器。", "無法安裝連接埠監視器。"),
        ("IDS_ERR_ADDPROCESSOR", "The print processor could not be installed.", "无法安装打印处理器。", "無法安裝列印處理器。"),
        ("IDS_ERR_ADDPRNDRV3", "The printer driver could not be installed.", "无法安装打印机驱动。", "無法安裝印表機驅動程式。"),
        ("IDS_ERR_ADDPRINTER", "The printer could not be created.", "无法创建打印机。", "無法建立印表機。"),
        ("IDS_ERR_TOOMANY", "Too many printers of this model are installed.", "此型号的打印机安装过多。", "此型號的印表機安裝過多。"),
        ("IDS_INF_NTRESTART", "The driver is installed.", "驱动已安装。", "驅動程式已安裝。"),
        ("IDS_INF_USBRESTART", "The driver is installed. Connect the printer to USB now.", "驱动已安装，请连接 USB 打印机。", "驅動程式已安裝，請連接 USB 印表機。"),
        ("IDS_INF_RESTART", "Restart Windows now?", "现在重新启动 Windows 吗？", "現在重新啟動 Windows 嗎？"),
        ("IDS_ERR_EXITWIN", "Windows could not be restarted.", "无法重新启动 Windows。", "無法重新啟動 Windows。"),
    ]),
    ("Legal", [
        ("Agreement", "Licence agreement", "许可协议", "授權合約"),
        ("Accept", "I accept the agreement", "我接受此协议", "我接受此合約"),
        ("Reject", "I do not accept the agreement", "我不接受此协议", "我不接受此合約"),
    ]),
    ("Series", [
        ("Select", "Select the printer", "选择打印机", "選擇印表機"),
        ("Receipt", "Receipt printer", "票据打印机", "收據印表機"),
        ("Ticket", "Ticket printer", "票券打印机", "票券印表機"),
        ("Label", "Label printer", "标签打印机", "標籤印表機"),
        ("Embedded", "Embedded printer", "嵌入式打印机", "嵌入式印表機"),
        ("Default", "Set as default printer", "设为默认打印机", "設為預設印表機"),
    ]),
    ("Mode", [
        ("Type", "Installation type", "安装类型", "安裝類型"),
        ("Typical", "Typical", "典型", "一般"),
        ("Advanced", "Advanced", "高级", "進階"),
        ("Remarks", "Remarks", "说明", "說明"),
        ("Note1", "Typical: installs the driver on the standard port of the printer.", "典型：在打印机的标准端口上安装驱动。", "一般：在印表機的標準連接埠上安裝驅動程式。"),
        ("Note2", "Advanced: choose one of several USB ports\\1for printers connected side by side.", "高级：为并排连接的打印机\\1选择多个 USB 端口之一。", "進階：為並排連接的印表機\\1選擇多個 USB 連接埠之一。"),
        ("Note3", "The printer's USB id is changed to match the port.", "打印机的 USB 编号将与端口匹配。", "印表機的 USB 編號將與連接埠相符。"),
    ]),
    ("System", [
        ("Select", "Detected Windows version", "检测到的 Windows 版本", "偵測到的 Windows 版本"),
    ]),
    ("Confirm", [
        ("Set", "Port settings", "端口设置", "連接埠設定"),
        ("Ports", "Ports", "端口", "連接埠"),
        ("Com", "Serial settings", "串口设置", "序列埠設定"),
        ("BaudRate", "Baud rate", "波特率", "鮑率"),
        ("Parity", "Parity", "校验", "同位檢查"),
        ("ByteSize", "Data bits", "数据位", "資料位元"),
        ("StopBits", "Stop bits", "停止位", "停止位元"),
        ("Protocol", "Flow control", "流控制", "流量控制"),
        ("Raster", "Raster Graphic Printing", "光栅图形打印", "點陣圖形列印"),
        ("Parity.Even", "Even", "偶", "偶"),
        ("Parity.Mark", "Mark", "标记", "標記"),
        ("Parity.None", "None", "无", "無"),
        ("Parity.Odd", "Odd", "奇", "奇"),
        ("Parity.Space", "Space", "空格", "空格"),
        ("Protocol.None", "None", "None", "None"),
        ("Protocol.Xonoff", "Xon/Xoff", "Xon/Xoff", "Xon/Xoff"),
        ("Protocol.Hardware", "Hardware", "Hardware", "Hardware"),
    ]),
    ("Progress", [
        ("Wait", "Installing the driver, please wait...", "正在安装驱动，请稍候...", "正在安裝驅動程式，請稍候..."),
    ]),
    ("About", [
        ("Version", "Printer Driver Setup Version 3.10", "打印机驱动安装程序 3.10 版", "印表機驅動安裝程式 3.10 版"),
        ("Copyright", "Copyright (C) Veldran", "版权所有 (C) Veldran", "版權所有 (C) Veldran"),
        ("OK", "OK", "确定", "確定"),
        ("Caption", "About Printer Driver Setup", "关于打印机驱动安装程序", "關於印表機驅動安裝程式"),
    ]),
    ("Help Guide", [
        ("Caption", "Printer Driver Setup Guide", "打印机驱动安装指南", "印表機驅動安裝指南"),
    ]),
]

LANGUAGES = [("EN", 1, "cp1252"), ("CN", 2, "cp936"), ("TCN", 3, "cp950")]

LICENCE = {
    "EN": "PRINTER DRIVER LICENCE AGREEMENT\r\n\r\nThis sample licence stands in for the maker's agreement.\r\n"
          "You may install and use the driver with printers of this family.\r\n",
    "CN": "打印机驱动许可协议\r\n\r\n本示例许可代替制造商的协议。\r\n您可以在本系列打印机上安装和使用此驱动。\r\n",
    "TCN": "印表機驅動程式授權合約\r\n\r\n本範例授權代替製造商的合約。\r\n您可以在本系列印表機上安裝和使用此驅動程式。\r\n",
}


def write(relative, data):
    path = os.path.join(HERE, *relative.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def profile_value(text):
    """A value as a profile file holds it: in double quotes when it begins
    or ends with a blank, which the profile functions would trim."""
    return '"%s"' % text if text != text.strip(" \t") else text


def language_files():
    for code, column, codec in LANGUAGES:
        lines = []
        for section, keys in TEXTS:
            lines.append("[%s]" % section)
            for entry in keys:
                lines.append("%s=%s" % (entry[0], profile_value(entry[column])))
            lines.append("")
        write("language/setup_%s.ini" % code, "\r\n".join(lines).encode(codec))
        write("License_%s.txt" % code, LICENCE[code].encode(codec))
        write("Guide/Guide_%s.chm" % code, b"placeholder help file\r\n")


def left_bitmap(width=104, height=280):
    """A 24-bit band: a vertical blue gradient with a lighter stripe."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):  # stored bottom row first
        t = y / (height - 1)
        row = bytearray()
        for x in range(width):
            stripe = 40 if 20 <= x < 28 else 0
            b = min(255, int(120 + 120 * t) + stripe)
            g = min(255, int(40 + 80 * t) + stripe)
            r = min(255, int(10 + 30 * t) + stripe)
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        rows.append(bytes(row))
    pixels = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


SUFFIXES = ["98", "NT", "2K", "XP", "2003", "Vista", "2008", "Win7"]

# series file stem -> [(model, port section keys)]
SERIES = [
    ("setup_receipt", "ReceiptPrinter", [
        ("VRT-Q40", dict(USBSUPPORTED=1, LPTSUPPORTED=1, COMSUPPORTED=1, NETSUPPORTED=1, LPTDEFAULT=2,
                         RASTERVISIABLE=0, AdvancedSetup=1, BaudRate=9600)),
        ("VRT-D45", dict(USBSUPPORTED=0, LPTSUPPORTED=0, COMSUPPORTED=1, NETSUPPORTED=0, LPTDEFAULT=0,
                         RASTERVISIABLE=0, AdvancedSetup=0, BaudRate=38400, COMMONNAME="KVCOM")),
    ]),
    ("setup_Ticket", "TicketPrinter", [
        ("VRT-T80", dict(USBSUPPORTED=1, LPTSUPPORTED=1, COMSUPPORTED=0, NETSUPPORTED=1, LPTDEFAULT=1,
                         RASTERVISIABLE=0, AdvancedSetup=0, BaudRate=19200)),
    ]),
    ("setup_Label", "LabelPrinter", [
        ("VRT-L50", dict(USBSUPPORTED=1, LPTSUPPORTED=1, COMSUPPORTED=1, NETSUPPORTED=0, LPTDEFAULT=1,
                         RASTERVISIABLE=1, AdvancedSetup=1, BaudRate=115200)),
    ]),
    ("setup_Embedded", "EmbeddedPrinter", [
        ("VRT-E20", dict(USBSUPPORTED=1, LPTSUPPORTED=0, COMSUPPORTED=1, NETSUPPORTED=0, LPTDEFAULT=0,
                         RASTERVISIABLE=0, AdvancedSetup=0, BaudRate=9600)),
    ]),
]

# The system's print processor: setup registers none for it.
SYSTEM_PROCESSOR = "WinPrint"

SUPPORT = dict(SystemNTSupported=0, System2003Supported=1, SystemVistaSupported=1, System2008Supported=1,
               SystemWin7Supported=1)


def model_section(model, suffix):
    short = model.replace("-", "")
    lines = ["[%s.%s]" % (model, suffix), "GDIDRIVERNAME=%s" % model]
    for kind in "SPUN":
        lines.append("DriverName%s=%s" % (kind, model))
    # Both flavours print through the system's own processor: the job reaches
    # it as RAW or NT EMF and every printer command is the driver's, so a
    # processor of the kit's own would replay what "WinPrint" replays.
    lines += ["GDIPrintProcessor=%s" % SYSTEM_PROCESSOR, "STDPrintProcessor=%s" % SYSTEM_PROCESSOR, "ATTRIBUTES=0"]
    for flavour in ("GDI", "STD"):
        lines += [
            "%sDriverPath=UNIDRV.DLL" % flavour,
            "%sDataFile=%s%s.GPD" % (flavour, short, "G" if flavour == "GDI" else "S"),
            "%sConfigFile=UNIDRVUI.DLL" % flavour,
            "%sHelpFile=UNIDRV.HLP" % flavour,
            "%sProcessorDLLName=0" % flavour,
            "%sDataFileDLLName=0" % flavour,
            "%sDataOemuiDLL=%s" % (flavour, "VRTQ40UI.DLL" if model == "VRT-Q40" else "0"),
            "%sDataOemuniDLL=%s%s.DLL" % (flavour, short, "R"),
            "%sDataOemuniini=%s.INI" % (flavour, short),
            "%s2KDDKDEV=1" % flavour,
        ]
    lines += ["ControlFontFile=%s" % ("VRTQ40CONTROL.dat" if model == "VRT-Q40" else "0"),
              "USBInternalID=0",
              "LanguageResourceFile1=%s" % ("LANGUAGE_VRTQ40.DAT" if model == "VRT-Q40" else "0"),
              "LanguageResourceFile2=%s" % ("ENG_VRTQ40.res" if model == "VRT-Q40" else "0"),
              "LanguageResourceFile3=%s" % ("CHN_VRTQ40.res" if model == "VRT-Q40" else "0"),
              "LanguageResourceFile4=%s" % ("CHF_VRTQ40.res" if model == "VRT-Q40" else "0"),
              "DriverlogViewer=0", "DriverlogINI=0", ""]
    return lines


def series_files():
    for stem, _, models in SERIES:
        for bits, tail in (("32", ""), ("64", "_64")):
            lines = []
            for model, port in models:
                lines.append("[%s.PORT]" % model)
                for k, v in list(port.items()) + list(SUPPORT.items()):
                    lines.append("%s=%s" % (k, v))
                lines.append("")
                for suffix in SUFFIXES:
                    lines += model_section(model, suffix)
            write("DRVCONFIG/%s%s.ini" % (stem, tail), "\r\n".join(lines).encode("cp1252"))


# The USB printer-class driver: the device-id suffix a class printer reports
# for each key suffix of [USBCLASSPRINTER] (the port index it answers on, or
# none), the INF file stem a configuration may name (Inffilename) and the
# configurations of the USB routing (SupportedUSBMODE 0, 1 and 2).
CLASS_SUFFIXES = [("(U)1", "U1"), ("(U)2", "U2"), ("(U)3", "U3"), ("(U)4", "U4"), ("(U)", "U")]
CLASS_INF_STEM = "KVROCLS"
USB_MODES = [(0, "err"), (1, CLASS_INF_STEM), (2, "err")]


def usb_models():
    return [m for _, _, models in SERIES for m, port in models if port["USBSUPPORTED"]]


def class_printer_ids():
    """[USBCLASSPRINTER]: key -> device id without "USBPRINT\\" (Install adds it)."""
    return [(model + key, "KVRO" + model + tail) for model in usb_models() for key, tail in CLASS_SUFFIXES]


def setup_ini(usb_mode=0, inf_file_name="err"):
    entries = [(m, suffix) for _, suffix, models in SERIES for m, _ in models]
    lines = ["[DEVICENAME]", "DEVICENUMBER=%d" % len(entries)]
    for i, (model, suffix) in enumerate(entries, 1):
        lines.append("DEVICENAME%d=%s-%s" % (i, model, suffix))
    lines += ["DEFAULTNAME=1", "LOADLICENSE=1", "LANGUAGE=0", "Supported32OR64=0", "GDISTDSign=0",
              "SupportedUSBMODE=%d" % usb_mode, "Inffilename=%s" % inf_file_name, ""]
    lines += ["[SUPPORTED-USB-DEVICE]"]
    for model, _ in entries:
        for n in range(1, 5):
            lines.append("USB_%s_%d=1" % (model, n))
    lines += ["", "[USBCLASSPRINTER]"] + ["%s=%s" % entry for entry in class_printer_ids()] + [""]
    for suffix in SUFFIXES:
        lines += ["[COMMON-MONITOR.%s]" % suffix,
                  "USBLMONitorName=KVR Language Monitor", "USBLMONitorDLLName=KVRLMON.DLL", "USBLMONitorVersion=3",
                  "USBMONitorPName=KVR USB Port", "USBMONitorPDLLName=KVRUSBMON.DLL",
                  "USBMONitorPUIDLLName=KVRUSBUI.DLL", "USBMONitorVersion=5",
                  "COMMONitorPName=KVR Serial Port", "COMMONitorPDLLName=KVRCOMMON.DLL",
                  "COMMONitorPUIDLLName=KVRCOMUI.DLL", "COMMONitorVersion=2",
                  "COMMonitorVisiable=1", ""]
    lines += ["[ProcessorVersion]", "DriverVersion=4", ""]
    return "\r\n".join(lines).encode("cp1252")


def setup_configurations():
    """The shipped DRVCONFIG/setup.ini (mode 0, the default INF), and one
    setup.ini for each USB routing mode in ../usbmodes/ for trying the others
    (mode 1 names its class-printer INFs by Inffilename)."""
    write("DRVCONFIG/setup.ini", setup_ini())
    for mode, inf in USB_MODES:
        write("../usbmodes/setup_usbmode%d.ini" % mode, setup_ini(mode, inf))


def class_printer_inf(decoration):
    """The printer-class driver package of the USB models for one bitness: a
    model line per [USBCLASSPRINTER] key, its description equal to the key
    (the printer Install makes the default is found by that name)."""
    lines = ["; Printer-class driver package of the KVRO USB printers (%s)." % decoration,
             "; Install 3 binds it to the print-class device of a connected printer.", "",
             "[Version]", 'Signature   = "$Windows NT$"', "Class       = Printer",
             "ClassGuid   = {4D36E979-E325-11CE-BFC1-08002BE10318}", "Provider    = %Mfg%",
             "DriverVer   = 06/01/2013,3.1.0.0", "CatalogFile = KVROCLS.cat", "",
             "[Manufacturer]", "%%Mfg%% = KVRO, %s" % decoration, "",
             ]
    # The undecorated models section serves Windows 2000, which knows no
    # decorations.
    for section in ("KVRO", "KVRO.%s" % decoration):
        lines.append("[%s]" % section)
        for key, device_id in class_printer_ids():
            model = key[:key.index("(U)")]
            lines.append('"%s" = %s_Install, USBPRINT\\%s, %s' % (key, model.replace("-", ""), device_id, device_id))
        lines.append("")
    for model in usb_models():
        short = model.replace("-", "")
        files = ["%sG.GPD" % short, "%sR.DLL" % short, "%s.INI" % short]
        if model == "VRT-Q40":
            files.append("VRTQ40UI.DLL")
        lines += ["[%s_Install]" % short, "CopyFiles   = %s_Files" % short, "DataSection = UNIDRV_DATA",
                  "DataFile    = %sG.GPD" % short, "Include     = NTPRINT.INF", "Needs       = UNIDRV.OEM", "",
                  "[%s_Files]" % short] + files + [""]
    lines += ["[DestinationDirs]", "DefaultDestDir = 66000", "", "[SourceDisksNames]", "1 = %Disk%,,,", "",
              "[SourceDisksFiles]"]
    for model in usb_models():
        short = model.replace("-", "")
        lines += ["%sG.GPD = 1" % short, "%sR.DLL = 1" % short, "%s.INI = 1" % short]
    lines += ["VRTQ40UI.DLL = 1", "", "[Strings]", 'Mfg  = "KVRO"', 'Disk = "KVRO Printer Driver Disk"', ""]
    return "\r\n".join(lines).encode("cp1252")


def class_printer_infs():
    """W32/ and W64/: "Setup.inf", the INF of the shipped configuration
    (default Inffilename). The INFs a configuration names by Inffilename
    ("<stem>32.inf", "<stem>64.inf") go beside the routing configurations in
    ../usbmodes/W32 and W64: a kit that switches to that configuration copies
    them into its payload folders; the shipped kit holds only what its own
    setup.ini names."""
    for folder, bits, decoration in (("W32", "32", "NTx86"), ("W64", "64", "NTamd64")):
        data = class_printer_inf(decoration)
        write("%s/Setup.inf" % folder, data)
        write("../usbmodes/%s/%s%s.inf" % (folder, CLASS_INF_STEM, bits), data)


# Files of the payload besides each model's data file, rendering plug-in and
# its INI: the Unidrv core (taken from the package where the system has no
# copy), the kit's monitors, the Windows 95 Unidrv files and the
# control-font table. Windows' own files the driver's tools need on XP
# (srclient.dll, framedyn.dll, newdev.dll) are not in the kit: the install
# takes them from the system and stops with a message when it lacks one.
COMMON_PAYLOAD = [
    "UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP", "TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL",
    "KVRLMON.DLL", "KVRUSBMON.DLL", "KVRUSBUI.DLL", "KVRCOMMON.DLL", "KVRCOMUI.DLL",
    "ICONLIB.DLL", "DMCOLOR.DLL",
    "VRTQ40CONTROL.dat",
]
# Provided by the packaging step from the plug-in's build and kit/plugin.
PACKAGED = {"VRTQ40UI.DLL", "LANGUAGE_VRTQ40.DAT", "ENG_VRTQ40.res", "CHN_VRTQ40.res", "CHF_VRTQ40.res"}


def payload():
    names = list(COMMON_PAYLOAD)
    for _, _, models in SERIES:
        short_names = [m.replace("-", "") for m, _ in models]
        for short in short_names:
            # The GPD files and the plug-in INI are written from the model
            # table by the build's gpdgen (print/gpd) and kept in the tree.
            names += ["%sR.DLL" % short]
    for folder in ("W32", "W64"):
        for name in names:
            if name not in PACKAGED:
                write("%s/%s" % (folder, name), ("placeholder %s for %s\r\n" % (name, folder)).encode("ascii"))
    write("RegUtility/Regutility.exe", b"placeholder post-install tool\r\n")


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "--left-bitmap":
        out = os.path.abspath(sys.argv[2])
        os.makedirs(os.path.dirname(out), exist_ok=True)
        with open(out, "wb") as f:
            f.write(left_bitmap())
        sys.exit(0)
    if len(sys.argv) != 1:
        sys.exit("usage: generate.py [--left-bitmap OUT]")
    payload()
    setup_configurations()
    class_printer_infs()
    series_files()
    language_files()
    write("DRVCONFIG/Left.bmp", left_bitmap())
