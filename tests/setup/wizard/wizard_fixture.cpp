#include "tests/setup/wizard/wizard_fixture.h"

#include <atomic>
#include <fstream>

#include "common/bmp/bmp.h"

namespace kit::setup::testing {
namespace {

std::atomic<int> g_serial{0};

}  // namespace

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

WizardRun::WizardRun(const std::string& preset, bool administrator) {
  folder_ = std::filesystem::temp_directory_path() /
            ("kitsetup-test-" + std::to_string(::getpid()) + "-" + std::to_string(g_serial++));
  std::filesystem::remove_all(folder_);
  std::string error;
  if (!sim::CreateMachine(folder_, preset, administrator, &error)) ADD_FAILURE() << error;
  sim::ProcessOptions process;
  process.module_path = kKitProgram;
  machine_ = sim::Machine::Open(folder_, process, &error);
  if (!machine_) ADD_FAILURE() << error;
}

WizardRun::~WizardRun() {
  app_.reset();
  machine_.reset();
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

void WizardRun::SetSystem(const std::string& key, const nlohmann::json& value) {
  std::string error;
  machine_->store().Update(
      [&](nlohmann::json& s) {
        s["system"][key] = value;
        return true;
      },
      &error);
}

StartResult WizardRun::Run(const KitFiles& kit, const std::function<void(ui::headless::Dialog&)>& drive) {
  for (const auto& [relative, text] : kit.files) {
    const auto path = machine_->HostPath(u"C:\\kit\\" + FromUtf8(relative));
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  CKitsetupApp::Options options;
  options.platform = &machine_->platform();
  options.usb = &usb;
  options.host.message_box = [this](std::u16string_view text, std::u16string_view) {
    startup_messages.emplace_back(text);
  };
  options.host.run_modal = [this, drive](ui::Page& frame) {
    ui::headless::Dialog dialog(frame, env);
    dialog.Create();
    if (drive && !dialog.Ended()) drive(dialog);
    frame_result = dialog.Result();
    return frame_result;
  };
  app_ = std::make_unique<CKitsetupApp>(std::move(options));
  return app_->Run();
}

std::vector<std::u16string> WizardRun::FrameMessages() const {
  std::vector<std::u16string> out;
  for (const auto& box : env.MessageBoxes()) out.push_back(box.text);
  return out;
}

ui::headless::Dialog& PageOf(ui::headless::Dialog& frame, int index) { return *frame.Children().at(index); }

int VisiblePage(ui::headless::Dialog& frame) {
  int shown = -1;
  const auto children = frame.Children();
  for (std::size_t i = 0; i < children.size(); ++i)
    if (frame.ChildVisible(*children[i])) {
      if (shown >= 0) return -2;  // two pages at once is a fault
      shown = static_cast<int>(i);
    }
  return shown;
}

}  // namespace kit::setup::testing
