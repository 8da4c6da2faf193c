// The package's removal of the printers its install made (a deferred,
// elevated custom action): runs Uninstall.exe quietly and waits for it. A
// removal that did not do what it was asked (status 1: a printer, driver or
// processor stayed; 2: refused before any change, as when jobs are queued
// or another Uninstall runs) fails the package's removal: msiexec ends 1603,
// the package stays, and its log (/l*v) holds Uninstall's reason, the last
// lines of its own log. 3010 (done, Windows must restart) is done.
//
// CustomActionData: the command line, a "|", then the path of Uninstall's log.
var kSuccess = 1, kFailure = 3;  // msiDoActionStatusSuccess, msiDoActionStatusFailure
var kRestartNeeded = 3010;
var kMessageError = 0x01000000;  // INSTALLMESSAGE_ERROR: logged, and shown when msiexec has a UI
var kHidden = 0, kForReading = 1, kDefaultEncoding = -2;
var kReasonLines = 3;

function LastLines(path, count) {
  try {
    var file = new ActiveXObject("Scripting.FileSystemObject").OpenTextFile(path, kForReading, false, kDefaultEncoding);
    var lines = file.AtEndOfStream ? [] : file.ReadAll().split(/\r?\n/);
    file.Close();
    var kept = [];
    for (var i = lines.length - 1; i >= 0 && kept.length < count; --i) {
      if (lines[i].replace(/\s+/g, "") != "") kept.unshift(lines[i]);
    }
    return kept.join(" / ");
  } catch (e) {
    return "its log " + path + " cannot be read";
  }
}

function Report(text) {
  var record = Session.Installer.CreateRecord(1);
  record.StringData(0) = "[1]";
  record.StringData(1) = text;
  Session.Message(kMessageError, record);
}

function QuietRemoval() {
  var data = Session.Property("CustomActionData");
  var split = data.lastIndexOf("|");
  var command = data.substring(0, split), log = data.substring(split + 1);
  var status;
  try {
    status = new ActiveXObject("WScript.Shell").Run(command, kHidden, true);
  } catch (e) {
    Report("The printers of the package were not removed: Uninstall.exe could not be started (" + e.message + ").");
    return kFailure;
  }
  if (status == 0 || status == kRestartNeeded) return kSuccess;
  Report("The printers of the package were not removed: Uninstall.exe ended with status " + status + ": " +
         LastLines(log, kReasonLines));
  return kFailure;
}
