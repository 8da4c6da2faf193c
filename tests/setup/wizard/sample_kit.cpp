#include "tests/setup/wizard/sample_kit.h"

#include <cstdint>
#include <vector>

#include "common/bmp/bmp.h"

namespace kit::setup::testing {

std::string SmallBitmapFile() {
  std::vector<std::uint8_t> out;
  bmp::InfoHeader info;
  info.width = 4;
  info.height = 2;
  info.bits_per_pixel = 24;
  const std::size_t stride = 12;
  bmp::FileHeader file;
  file.pixel_offset = bmp::kHeadersSize;
  file.file_size = static_cast<std::uint32_t>(bmp::kHeadersSize + stride * 2);
  bmp::AppendFileHeader(out, file);
  bmp::AppendInfoHeader(out, info);
  for (int i = 0; i < 24; ++i) out.push_back(static_cast<std::uint8_t>(i * 10));
  return std::string(out.begin(), out.end());
}

KitFiles SampleKit() {
  KitFiles k;
  k.Set("DRVCONFIG\\setup.ini",
        "[DEVICENAME]\r\n"
        "DEVICENUMBER=6\r\n"
        "DEVICENAME1=VRT-Q40-ReceiptPrinter\r\n"
        "DEVICENAME2=VRT-D45-ReceiptPrinter\r\n"
        "DEVICENAME3=VRT-T80-TicketPrinter\r\n"
        "DEVICENAME4=VRT-L50-LabelPrinter\r\n"
        "DEVICENAME5=VRT-Q40\r\n"
        "DEVICENAME6=VRT-E20-EmbeddedPrinter\r\n"
        "DEFAULTNAME=1\r\n"
        "LOADLICENSE=1\r\n"
        "LANGUAGE=0\r\n"
        "Supported32OR64=0\r\n"
        "[COMMON-MONITOR.XP]\r\nCOMMonitorVisiable=1\r\n"
        "[COMMON-MONITOR.2003]\r\nCOMMonitorVisiable=1\r\n"
        "[COMMON-MONITOR.Win7]\r\nCOMMonitorVisiable=1\r\n");
  const std::string receipt =
      "[VRT-Q40.PORT]\r\nUSBSUPPORTED=1\r\nLPTSUPPORTED=1\r\nCOMSUPPORTED=1\r\nNETSUPPORTED=1\r\n"
      "BaudRate=9600\r\nAdvancedSetup=1\r\nSystem2003Supported=1\r\nSystemVistaSupported=1\r\n"
      "System2008Supported=1\r\nSystemWin7Supported=1\r\n"
      "[VRT-D45.PORT]\r\nCOMSUPPORTED=1\r\nBaudRate=14400\r\nSystemWin7Supported=1\r\nCOMMONNAME=VRCOM\r\n";
  const std::string ticket =
      "[VRT-T80.PORT]\r\nUSBSUPPORTED=1\r\nLPTSUPPORTED=1\r\nLPTDEFAULT=1\r\nSystemWin7Supported=0\r\n"
      "System2003Supported=1\r\n";
  const std::string label = "[VRT-L50.PORT]\r\nLPTSUPPORTED=1\r\nCOMSUPPORTED=1\r\nSystemWin7Supported=1\r\n";
  const std::string embedded =
      "[VRT-E20.PORT]\r\nUSBSUPPORTED=1\r\nCOMSUPPORTED=1\r\nRASTERVISIABLE=1\r\nSystemWin7Supported=1\r\n";
  for (const char* bits : {"", "_64"}) {
    k.Set(std::string("DRVCONFIG\\setup_receipt") + bits + ".ini", receipt);
    k.Set(std::string("DRVCONFIG\\setup_Ticket") + bits + ".ini", ticket);
    k.Set(std::string("DRVCONFIG\\setup_Label") + bits + ".ini", label);
    k.Set(std::string("DRVCONFIG\\setup_Embedded") + bits + ".ini", embedded);
  }
  k.Set("DRVCONFIG\\Left.bmp", SmallBitmapFile());
  k.Set("Guide\\Guide_EN.chm", "help");
  k.Set("License_EN.txt", "LICENCE AGREEMENT\r\nUse at will.\r\n");
  k.Set("language\\setup_EN.ini",
        "[Setup]\r\nCaption=Printer Driver Setup\r\nHelp=Press F1 for help\r\nBack=< Back\r\nNext=Next >\r\n"
        "Install=Install\r\nCancel=Cancel\r\nClose=Close the other wizard first\r\n"
        "Nonsupport=This Windows is not supported\r\nPortNull=No port kind\r\n"
        "[Message]\r\nIDS_ABOUTBOX=About Setup...\r\nIDS_X64=32-bit only\r\nIDS_X32=64-bit only\r\n"
        "IDS_ADMIN=Administrators only\r\nIDS_ERR_NOLEFT=No left picture\r\nIDS_NOTSUPPORTWin7=Not on Windows 7\r\n"
        "IDS_NOTSUPPORT2003=Not on Server 2003\r\nIDS_TYPICAL_NOTES=Typical only\r\n"
        "IDS_ERR_UPDATEUSB=USB driver missing\r\nIDS_ERR_UNSUPPORTCOM=No serial ports\r\n"
        "IDS_ERR_SELPRINTER=Select a model\r\nIDS_ERR_ONEPRINTER=Connect one printer\r\n"
        "IDS_ERR_NOUSBDEVICE=No USB printer\r\nIDS_INF_CHANGEID=Change the id?\r\n"
        "[Legal]\r\nAgreement=Licence\r\nAccept=I accept\r\nReject=I do not accept\r\n"
        "[Series]\r\nSelect=Series\r\nReceipt=Receipt\r\nTicket=Ticket\r\nLabel=Label\r\nEmbedded=Embedded\r\n"
        "Default=Set as default\r\n"
        "[Mode]\r\nType=Type\r\nTypical=Typical\r\nAdvanced=Advanced\r\nRemarks=Remarks\r\nNote1=Note one\r\n"
        "Note2=Note two\r\nNote3=Note three\r\n"
        "[System]\r\nSelect=Windows\r\n"
        "[Confirm]\r\nSet=Port\r\nPorts=Ports\r\nCom=Serial\r\nBaudRate=Baud\r\nParity=Parity\r\n"
        "ByteSize=Bits\r\nStopBits=Stop\r\nProtocol=Flow\r\nRaster=Raster\r\nParity.Even=Even\r\n"
        "Parity.Mark=Mark\r\nParity.None=None\r\nParity.Odd=Odd\r\nParity.Space=Space\r\n"
        "Protocol.None=None\r\nProtocol.Xonoff=Xon/Xoff\r\nProtocol.Hardware=Hardware\r\n"
        "[About]\r\nCaption=About\r\nVersion=V1\r\nCopyright=C\r\nOK=OK\r\n"
        "[Help Guide]\r\nCaption=Kit Guide\r\n");
  return k;
}

}  // namespace kit::setup::testing
