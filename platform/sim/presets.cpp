// Machine presets. Each preset is a Windows version with its folders,
// built-in spooler objects and the facts its programs see.
#include "platform/sim/presets.h"

#include <fstream>

#include "platform/sim/core.h"
#include "platform/sim/store.h"

namespace kit::sim {
namespace {

namespace fs = std::filesystem;

// 2026-12-07 09:00:00, the machine's local time when it is created.
constexpr std::uint64_t kCreationTimeMs = 1796634000000ull;

struct Preset {
  const char* id;
  const char* description;
  int major, minor, build;
  int sp;
  int product_type;
  int arch;
  int lang;
  int acp;
  int oemcp;
  const char* windows_dir;
  const char* product_name;
};

constexpr Preset kPresets[] = {
    {"win7-x64-en", "Windows 7 SP1 x64, English", 6, 1, 7601, 1, 1, 9, 1033, 1252, 437, "C:\\Windows",
     "Windows 7 Professional"},
    {"win7-x86-zh-cn", "Windows 7 SP1 x86, simplified Chinese", 6, 1, 7601, 1, 1, 0, 2052, 936, 936, "C:\\Windows",
     "Windows 7 Ultimate"},
    {"winxp-x86-en", "Windows XP SP3 x86, English", 5, 1, 2600, 3, 1, 0, 1033, 1252, 437, "C:\\WINDOWS",
     "Microsoft Windows XP"},
    {"win81-x64-zh-tw", "Windows 8.1 x64, traditional Chinese (programs see 6.2)", 6, 3, 9600, 0, 1, 9, 1028, 950, 950,
     "C:\\Windows", "Windows 8.1 Pro"},
    {"win2003-x64-en", "Windows Server 2003 SP2 x64, English", 5, 2, 3790, 2, 3, 9, 1033, 1252, 437, "C:\\WINDOWS",
     "Microsoft Windows Server 2003"},
    {"win2000-x86-en", "Windows 2000 SP4, English", 5, 0, 2195, 4, 1, 0, 1033, 1252, 437, "C:\\WINNT",
     "Microsoft Windows 2000"},
    {"win8-x64-en", "Windows 8 x64, English", 6, 2, 9200, 0, 1, 9, 1033, 1252, 437, "C:\\Windows", "Windows 8 Pro"},
    {"winnt4-x86-en", "Windows NT 4.0 SP6, English", 4, 0, 1381, 6, 1, 0, 1033, 1252, 437, "C:\\WINNT",
     "Microsoft Windows NT 4.0"},
    // Windows 9x (product type 0): its own path through the setup wizard.
    {"win95-x86-en", "Windows 95 OSR2, English", 4, 0, 1111, 0, 0, 0, 1033, 1252, 437, "C:\\WINDOWS",
     "Microsoft Windows 95"},
};

}  // namespace

const std::vector<std::string>& DefaultFontFamilies() {
  static const std::vector<std::string> families = {"Arial", "Courier New", "Times New Roman", "Tahoma",
                                                    "Verdana", "Georgia", "Lucida Console", "Trebuchet MS"};
  return families;
}

namespace {

const std::vector<std::string> kUnidrvFiles = {"unidrvui.dll", "unidrv.dll", "unires.dll",
                                               "unidrv.hlp",   "stdnames.gpd", "ttfsub.gpd"};

// Entry points Windows NT 4.0 does not have: besides the WOW64 and
// native-system calls of later versions, DeletePrinterDriverEx (Windows 2000).
void MarkNt4Gaps(const Preset& preset, Json& system) {
  if (preset.major != 4) return;
  system["missing_procs"] = {"KERNEL32.DLL!ISWOW64PROCESS", "KERNEL32.DLL!WOW64DISABLEWOW64FSREDIRECTION",
                             "KERNEL32.DLL!WOW64REVERTWOW64FSREDIRECTION", "KERNEL32.DLL!GETNATIVESYSTEMINFO",
                             "WINSPOOL.DRV!DELETEPRINTERDRIVEREXA", "WINSPOOL.DRV!DELETEPRINTERDRIVEREXW"};
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

void PutLe(Bytes& b, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

Json RegSz(const std::string& text) {
  Bytes data;
  for (char16_t c : FromUtf8(text)) {
    data.push_back(static_cast<std::uint8_t>(c & 0xFF));
    data.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  data.push_back(0);
  data.push_back(0);
  return {{"t", kRegSz}, {"d", ToHex(data)}};
}

// A registry node at `path` below `root`, created on demand.
Json& Node(Json& root, const std::string& path) {
  Json* node = &root;
  std::size_t pos = 0;
  while (pos <= path.size()) {
    auto next = path.find('\\', pos);
    if (next == std::string::npos) next = path.size();
    if (next > pos) {
      Json& k = (*node)["k"];
      node = &k[path.substr(pos, next - pos)];
      if (node->is_null()) *node = Json::object();
    }
    pos = next + 1;
  }
  return *node;
}

bool WriteHostFile(const fs::path& path, const Bytes& content) {
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
  return static_cast<bool>(out);
}

// Maps "C:\Windows\x" onto the machine's drive folder.
fs::path OnDrive(const fs::path& folder, const std::string& windows_path) {
  fs::path p = folder / kDriveCFolder;
  std::size_t pos = 3;
  while (pos <= windows_path.size()) {
    auto next = windows_path.find('\\', pos);
    if (next == std::string::npos) next = windows_path.size();
    if (next > pos) p /= windows_path.substr(pos, next - pos);
    pos = next + 1;
  }
  return p;
}

// The port class entries of Windows 9x: COM1 and COM2 (port subclass 1,
// with their settings as a DCB record: 9600 baud, 8 data bits, no parity,
// 1 stop bit, no flow control) and LPT1 (subclass 0).
void AddPortClassEntries(Json& hklm) {
  const std::string root = "SYSTEM\\CurrentControlSet\\Services\\Class\\Ports\\";  // the case of the keys beside it
  auto binary = [](const Bytes& data) { return Json{{"t", kRegBinary}, {"d", ToHex(data)}}; };
  Bytes dcb;
  PutLe(dcb, 28, 4);      // DCBlength
  PutLe(dcb, 9600, 4);    // BaudRate
  PutLe(dcb, 0x1011, 4);  // binary mode, DTR and RTS on
  PutLe(dcb, 0, 2);       // wReserved
  PutLe(dcb, 512, 2);     // XonLim
  PutLe(dcb, 512, 2);     // XoffLim
  for (std::uint8_t b : {8, 0, 0, 0x11, 0x13, 0, 0, 0}) dcb.push_back(b);  // ByteSize … EvtChar
  PutLe(dcb, 0, 2);       // wReserved1
  for (const char* entry : {"0000", "0001"}) {
    Json& v = Node(hklm, root + entry)["v"];
    v["DriverDesc"] = RegSz("Communications Port");
    v["PortSubClass"] = binary({1});
    v["DCB"] = binary(dcb);
  }
  Json& lpt = Node(hklm, root + "0002")["v"];
  lpt["DriverDesc"] = RegSz("Printer Port");
  lpt["PortSubClass"] = binary({0});
}

// Windows 9x: platform 1, no service or WOW64 functions of NT, the system
// folder "SYSTEM" (also the printer-driver and print-processor folder), the
// "Windows 4.0" environment, the user profile in "win.ini", and the Unidrv
// core in "Sysbckup" for setup programs to restore.
void MakeWindows9x(const fs::path& folder, const std::string& windir, Json* state) {
  Json& s = *state;
  Json& sys = s["system"];
  sys["platform_id"] = static_cast<int>(kVerPlatformWin32Windows);
  sys["csd"] = " B";
  sys["has_is_wow64_process"] = false;
  sys["has_wow64_functions"] = false;
  sys["has_native_system_info"] = false;
  sys["has_cfgmgr32"] = false;
  sys["missing_procs"] = {"KERNEL32.DLL!ISWOW64PROCESS", "KERNEL32.DLL!WOW64DISABLEWOW64FSREDIRECTION",
                          "KERNEL32.DLL!WOW64REVERTWOW64FSREDIRECTION", "KERNEL32.DLL!GETNATIVESYSTEMINFO",
                          "WINSPOOL.DRV!SETDEFAULTPRINTERA", "WINSPOOL.DRV!SETDEFAULTPRINTERW"};
  const std::string env = "Windows 4.0";
  for (auto& p : s["spooler"]["processors"]) p["environment"] = env;
  Json& hklm = s["registry"]["HKLM"];
  Node(hklm, "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\" + env + "\\Print Processors\\winprint")["v"]
      ["Driver"] = RegSz("winprint.dll");

  std::error_code ec;
  fs::remove_all(OnDrive(folder, windir + "\\system32"), ec);
  const Bytes stub = Text("virtual machine system file\n");
  for (const char* dll : {"kernel32.dll", "spoolss.dll", "localspl.dll", "tcpmon.dll", "usbmon.dll", "winspool.drv",
                          "setupapi.dll", "winprint.dll"}) {
    WriteHostFile(OnDrive(folder, windir + "\\SYSTEM\\" + dll), stub);
  }
  WriteHostFile(OnDrive(folder, windir + "\\SYSBCKUP\\UNIDRV.DLL"), Text("system unidrv.dll\n"));
  AddPortClassEntries(hklm);
  WriteHostFile(OnDrive(folder, windir + "\\win.ini"),
                Text("[windows]\r\nload=\r\nrun=\r\n\r\n[Ports]\r\nLPT1:=\r\nCOM1:=9600,n,8,1\r\n"
                     "COM2:=9600,n,8,1\r\nFILE:=\r\n"));
}

}  // namespace

std::vector<PresetInfo> ListPresets() {
  std::vector<PresetInfo> out;
  for (const auto& p : kPresets) out.push_back({p.id, p.description});
  return out;
}

const std::vector<std::string>& UnidrvComponentNames() { return kUnidrvFiles; }

Bytes WriteCabinet(const std::vector<std::pair<std::string, Bytes>>& files) {
  constexpr std::uint32_t kHeaderSize = 36, kFolderSize = 8, kMaxBlock = 32768;
  Bytes data;
  for (const auto& f : files) data.insert(data.end(), f.second.begin(), f.second.end());
  Bytes file_table;
  std::uint32_t offset = 0;
  for (const auto& f : files) {
    PutLe(file_table, static_cast<std::uint32_t>(f.second.size()), 4);
    PutLe(file_table, offset, 4);
    PutLe(file_table, 0, 2);       // folder 0
    PutLe(file_table, 0x5987, 2);  // date: 2024-12-07
    PutLe(file_table, 0x4800, 2);  // time: 09:00
    PutLe(file_table, 0x20, 2);    // archive
    file_table.insert(file_table.end(), f.first.begin(), f.first.end());
    file_table.push_back(0);
    offset += static_cast<std::uint32_t>(f.second.size());
  }
  const std::uint32_t blocks = data.empty() ? 0 : static_cast<std::uint32_t>((data.size() + kMaxBlock - 1) / kMaxBlock);
  const std::uint32_t files_offset = kHeaderSize + kFolderSize;
  const std::uint32_t data_offset = files_offset + static_cast<std::uint32_t>(file_table.size());
  const std::uint32_t total = data_offset + blocks * 8 + static_cast<std::uint32_t>(data.size());
  Bytes cab = {'M', 'S', 'C', 'F'};
  PutLe(cab, 0, 4);
  PutLe(cab, total, 4);
  PutLe(cab, 0, 4);
  PutLe(cab, files_offset, 4);
  PutLe(cab, 0, 4);
  cab.push_back(3);  // version 1.3
  cab.push_back(1);
  PutLe(cab, 1, 2);  // one folder
  PutLe(cab, static_cast<std::uint32_t>(files.size()), 2);
  PutLe(cab, 0, 2);  // flags
  PutLe(cab, 0, 2);  // set id
  PutLe(cab, 0, 2);  // cabinet index
  PutLe(cab, data_offset, 4);
  PutLe(cab, blocks, 2);
  PutLe(cab, 0, 2);  // no compression
  cab.insert(cab.end(), file_table.begin(), file_table.end());
  for (std::uint32_t b = 0; b < blocks; ++b) {
    const std::size_t start = static_cast<std::size_t>(b) * kMaxBlock;
    const std::size_t size = std::min<std::size_t>(kMaxBlock, data.size() - start);
    PutLe(cab, 0, 4);  // no checksum
    PutLe(cab, static_cast<std::uint32_t>(size), 2);
    PutLe(cab, static_cast<std::uint32_t>(size), 2);
    cab.insert(cab.end(), data.begin() + static_cast<std::ptrdiff_t>(start),
               data.begin() + static_cast<std::ptrdiff_t>(start + size));
  }
  return cab;
}

bool CreateMachine(const fs::path& folder, const std::string& preset_id, bool administrator, std::string* error) {
  const Preset* preset = nullptr;
  for (const auto& p : kPresets) {
    if (preset_id == p.id) preset = &p;
  }
  if (!preset) {
    *error = "unknown preset '" + preset_id + "'";
    return false;
  }
  std::error_code ec;
  if (fs::exists(folder / kStateFileName, ec)) {
    *error = "a machine already exists in " + folder.string();
    return false;
  }
  const bool x64 = preset->arch == 9;
  const bool vista = preset->major >= 6;
  const std::string windir = preset->windows_dir;
  const std::string env = x64 ? "Windows x64" : "Windows NT x86";
  const std::string env_dir = x64 ? "x64" : "W32X86";

  Json s;
  s["format"] = kStateFormat;
  s["version"] = kStateVersion;
  s["system"] = {{"preset", preset->id},
                 {"description", preset->description},
                 {"major", preset->major},
                 {"minor", preset->minor},
                 {"build", preset->build},
                 {"platform_id", 2},
                 {"csd", preset->sp ? "Service Pack " + std::to_string(preset->sp) : std::string()},
                 {"sp_major", preset->sp},
                 {"product_type", preset->product_type},
                 {"arch", preset->arch},
                 {"processors", 2},
                 {"lang", preset->lang},
                 {"user_lang", preset->lang},
                 {"acp", preset->acp},
                 {"oemcp", preset->oemcp},
                 {"admin", administrator},
                 {"windows_dir", windir},
                 {"has_is_wow64_process", preset->major > 5 || (preset->major == 5 && preset->minor >= 1)},
                 {"has_wow64_functions", x64 || vista},
                 {"has_native_system_info", preset->major > 5 || (preset->major == 5 && preset->minor >= 1)},
                 {"has_cfgmgr32", true},
                 {"missing_libraries", Json::array()},
                 {"missing_procs", Json::array()}};
  if (preset->major == 5 && preset->minor == 0) {
    s["system"]["missing_procs"] = {"KERNEL32.DLL!ISWOW64PROCESS", "KERNEL32.DLL!WOW64DISABLEWOW64FSREDIRECTION",
                                    "KERNEL32.DLL!WOW64REVERTWOW64FSREDIRECTION", "KERNEL32.DLL!GETNATIVESYSTEMINFO"};
  } else if (!x64 && !vista) {
    s["system"]["missing_procs"] = {"KERNEL32.DLL!WOW64DISABLEWOW64FSREDIRECTION",
                                    "KERNEL32.DLL!WOW64REVERTWOW64FSREDIRECTION"};
  }
  MarkNt4Gaps(*preset, s["system"]);
  Json fonts = DefaultFontFamilies();
  if (preset->lang == 2052) {
    for (const char* face : {"SimSun", "NSimSun", "SimHei"}) fonts.push_back(face);
  } else if (preset->lang == 1028) {
    for (const char* face : {"MingLiU", "PMingLiU"}) fonts.push_back(face);
  }
  s["system"]["font_families"] = fonts;
  s["clock"] = {{"now_ms", kCreationTimeMs}, {"boot_ms", kCreationTimeMs}, {"slept_ms", 0}};

  // Registry.
  Json hklm = Json::object(), hkcu = Json::object();
  Json& cv = Node(hklm, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
  cv["v"]["ProductName"] = RegSz(preset->product_name);
  cv["v"]["CurrentVersion"] = RegSz(std::to_string(preset->major) + "." + std::to_string(preset->minor));
  cv["v"]["CurrentBuildNumber"] = RegSz(std::to_string(preset->build));
  Json& ports = Node(hklm, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports");
  for (const char* p : {"COM1:", "COM2:", "COM3:", "COM4:"}) ports["v"][p] = RegSz("9600,n,8,1");
  Node(hklm, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print\\Printers");
  if (x64) Node(hklm, "SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion");
  const std::string monitors = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";
  Node(hklm, monitors + "Local Port")["v"]["Driver"] = RegSz("localspl.dll");
  Node(hklm, monitors + "Standard TCP/IP Port")["v"]["Driver"] = RegSz("tcpmon.dll");
  Node(hklm, monitors + "USB Monitor")["v"]["Driver"] = RegSz("usbmon.dll");
  // Windows' own print processor, on 64-bit Windows in the 32-bit
  // environment too (what a 32-bit program lists by default).
  std::vector<std::string> processor_envs = {env};
  if (x64) processor_envs.push_back("Windows NT x86");
  for (const auto& e : processor_envs) {
    Node(hklm, "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\" + e + "\\Print Processors\\winprint")["v"]
        ["Driver"] = RegSz("winprint.dll");
  }
  Node(hklm, "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\" + env + "\\Drivers");
  Node(hkcu, "Software");
  s["registry"] = {{"HKLM", hklm}, {"HKCU", hkcu}, {"HKCR", Json::object()}, {"HKU", Json::object()}};

  // Spooler.
  Json sp;
  sp["epoch"] = 1;
  sp["monitors"] = Json::array({{{"name", "Local Port"}, {"dll", "localspl.dll"}, {"builtin", true}},
                                {{"name", "Standard TCP/IP Port"}, {"dll", "tcpmon.dll"}, {"builtin", true}},
                                {{"name", "USB Monitor"}, {"dll", "usbmon.dll"}, {"builtin", true}}});
  sp["ports"] = Json::array();
  for (const char* p : {"LPT1:", "LPT2:", "LPT3:", "COM1:", "COM2:", "COM3:", "COM4:", "FILE:"}) {
    sp["ports"].push_back({{"name", p}, {"monitor", "Local Port"}, {"description", "Local Port"}, {"type", 3}});
  }
  sp["processors"] = Json::array();
  for (const auto& e : processor_envs) {
    sp["processors"].push_back({{"name", "winprint"}, {"environment", e}, {"dll", "winprint.dll"}, {"builtin", true}});
  }
  sp["drivers"] = Json::array();
  sp["printers"] = Json::array();
  sp["jobs"] = Json::array();
  sp["next_job"] = 1;
  sp["default_printer"] = "";
  sp["port_map"] = Json::object();
  sp["forms"] = Json::array({
      {{"flags", 1}, {"name", "Letter"}, {"width", 215900}, {"height", 279400}, {"left", 0}, {"top", 0}, {"right", 215900}, {"bottom", 279400}},
      {{"flags", 1}, {"name", "Legal"}, {"width", 215900}, {"height", 355600}, {"left", 0}, {"top", 0}, {"right", 215900}, {"bottom", 355600}},
      {{"flags", 1}, {"name", "A4"}, {"width", 210000}, {"height", 297000}, {"left", 0}, {"top", 0}, {"right", 210000}, {"bottom", 297000}},
      {{"flags", 1}, {"name", "A5"}, {"width", 148000}, {"height", 210000}, {"left", 0}, {"top", 0}, {"right", 148000}, {"bottom", 210000}},
  });
  s["spooler"] = sp;
  s["services"] = {{"Spooler", {{"state", 4}}}, {"PlugPlay", {{"state", 4}}}};
  s["devices"] = {{"next_inst", 2}, {"list", Json::array()}, {"store", Json::array()}, {"reenumerations", 0}};
  s["files"] = Json::object();
  s["faults"] = {{"calls", Json::array()}, {"paths", Json::array()}};
  for (const char* list : {"windows", "mutexes", "launches", "broadcasts", "restarts"}) s[list] = Json::array();
  s["programs"] = Json::object();

  // Drive C:.
  const Bytes stub = Text("virtual machine system file\n");
  std::vector<std::string> folders = {windir,
                                      windir + "\\inf",
                                      windir + "\\Temp",
                                      windir + "\\system32\\drivers",
                                      windir + "\\system32\\wbem",
                                      windir + "\\system32\\spool\\drivers\\" + env_dir + "\\3",
                                      windir + "\\system32\\spool\\prtprocs\\" + env_dir,
                                      windir + "\\system32\\spool\\printers",
                                      "C:\\Program Files",
                                      "C:\\Users\\User\\AppData\\Roaming",
                                      "C:\\Users\\User\\AppData\\Local\\Temp"};
  if (x64) {
    folders.push_back(windir + "\\SysWOW64");
    folders.push_back(windir + "\\system32\\spool\\drivers\\W32X86\\3");
    folders.push_back(windir + "\\system32\\spool\\prtprocs\\W32X86");
  }
  for (const auto& f : folders) fs::create_directories(OnDrive(folder, f), ec);
  // srclient.dll (System Restore's client) and wbem\framedyn.dll (the WMI
  // provider framework) are there from XP on, as on Windows.
  for (const char* dll : {"kernel32.dll", "localspl.dll", "tcpmon.dll", "usbmon.dll", "winspool.drv", "setupapi.dll",
                          "newdev.dll", "cfgmgr32.dll", "srclient.dll", "wbem\\framedyn.dll"}) {
    WriteHostFile(OnDrive(folder, windir + "\\system32\\" + dll), stub);
    if (x64) WriteHostFile(OnDrive(folder, windir + "\\SysWOW64\\" + dll), stub);
  }
  WriteHostFile(OnDrive(folder, windir + "\\system32\\spool\\prtprocs\\" + env_dir + "\\winprint.dll"), stub);
  if (x64) WriteHostFile(OnDrive(folder, windir + "\\system32\\spool\\prtprocs\\W32X86\\winprint.dll"), stub);
  // Where the Unidrv files come from: the driver store from Vista on, the
  // driver cache's cabinet before.
  if (vista) {
    const std::string repo = windir + "\\system32\\DriverStore\\FileRepository\\ntprint.inf_" +
                             (x64 ? "amd64" : "x86") + "_neutral_4616c3a6b4e35c3f\\" + (x64 ? "Amd64" : "I386");
    for (const auto& f : kUnidrvFiles) WriteHostFile(OnDrive(folder, repo + "\\" + f), Text("system " + f + "\n"));
  } else {
    std::vector<std::pair<std::string, Bytes>> members;
    for (const auto& f : kUnidrvFiles) members.push_back({f, Text("system " + f + "\n")});
    members.push_back({"other.dll", Text("not a unidrv file\n")});
    WriteHostFile(OnDrive(folder, windir + "\\Driver Cache\\" + (x64 ? "AMD64" : "i386") + "\\driver.cab"),
                  WriteCabinet(members));
  }
  if (preset->product_type == 0) MakeWindows9x(folder, windir, &s);
  Store store(folder);
  return store.Create(s, error) == StoreError::kNone;
}

}  // namespace kit::sim
