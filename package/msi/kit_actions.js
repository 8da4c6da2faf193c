// The package's removal of the printers its install made (a deferred,
// elevated custom action): runs Uninstall.exe quietly and waits for it. A
// removal that did not do what it was asked (status 1: a printer, driver or
// processor stayed; 2: refused before any change, as when jobs are queued
// or another Uninstall runs) fails the package's removal: msiexec ends 1603,
// the package stays, and its log (/l*v) holds Uninstall's reason, the last
// lines of its own log. 3010 (done, Windows must restart) is done.
//
// 3010 is passed on: the removal leaves a mark that RestartWhenAsked, after
// InstallFinalize, turns into the installer's "restart at the end", so that
// msiexec ends 3010 too (a deferred action may not set the session's modes:
// Microsoft, "Obtaining Context Information for Deferred Execution Custom
// Actions").
//
// CustomActionData: the command line, a "|", the path of Uninstall's log, a
// "|", then the path of the restart mark.
var kSuccess = 1, kFailure = 3;  // msiDoActionStatusSuccess, msiDoActionStatusFailure
var kRestartNeeded = 3010;
var kRunModeRebootAtEnd = 6;  // msiRunModeRebootAtEnd, settable (Session.Mode)
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
  var last = data.lastIndexOf("|"), split = data.lastIndexOf("|", last - 1);
  var command = data.substring(0, split), log = data.substring(split + 1, last), mark = data.substring(last + 1);
  var status;
  try {
    status = new ActiveXObject("WScript.Shell").Run(command, kHidden, true);
  } catch (e) {
    Report("The printers of the package were not removed: Uninstall.exe could not be started (" + e.message + ").");
    return kFailure;
  }
  if (status == kRestartNeeded) {
    try {
      new ActiveXObject("Scripting.FileSystemObject").CreateTextFile(mark, true).Close();
    } catch (e) {
      Report("Windows must restart to finish the removal of the printers (the mark " + mark + " could not be written).");
    }
  }
  if (status == 0 || status == kRestartNeeded) return kSuccess;
  Report("The printers of the package were not removed: Uninstall.exe ended with status " + status + ": " +
         LastLines(log, kReasonLines));
  return kFailure;
}

// After InstallFinalize, in the removal's own session: the removal asked for
// a restart (QuietRemoval's mark), so the package's removal ends 3010.
function RestartWhenAsked() {
  var files = new ActiveXObject("Scripting.FileSystemObject");
  var mark = Session.Property("TempFolder") + kRestartMark;
  if (!files.FileExists(mark)) return kSuccess;
  files.DeleteFile(mark);
  Session.Mode(kRunModeRebootAtEnd) = true;
  return kSuccess;
}

// Right after the older kit's removal (RemoveExistingProducts), before
// anything of the newer one is installed: that removal takes the older
// package's record of its printers along, and a removal that failed is
// rolled back with the record. A record still there means the older kit
// and its printers stay, so the newer install stops here (msiexec 1603)
// instead of going on over them.
function OlderKitRemoved() {
  var record = Session.Property("INSTALLFOLDER") + kRecordFile;
  if (!new ActiveXObject("Scripting.FileSystemObject").FileExists(record)) return kSuccess;
  Report("The older printer driver kit could not be removed (" + record + " is still there), so the newer one was " +
         "not installed; the older kit's removal log, " + Session.Property("TempFolder") + kRemovalLog + ", says why.");
  return kFailure;
}
