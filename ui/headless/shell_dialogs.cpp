// The headless stand-ins of the system's shell dialogs and of other sheets:
// the folder dialog answered from a queue or a responder, and the open
// property sheets of one environment.
// This file is OS-independent.
#include <algorithm>

#include "ui/headless/dialog.h"
#include "ui/headless/sheet.h"

namespace kit::ui::headless {

std::optional<std::u16string> Environment::ShowFolderDialog(std::u16string_view title) {
  folder_titles_.emplace_back(title);
  if (!folder_answers_.empty()) {
    std::optional<std::u16string> answer = std::move(folder_answers_.front());
    folder_answers_.pop_front();
    return answer;
  }
  if (folder_responder) return folder_responder(title);
  return std::nullopt;
}

std::optional<std::u16string> Environment::ShowOpenFileDialog(const OpenFileRequest& request) {
  file_requests_.push_back(request);
  std::optional<std::u16string> answer;
  if (!file_answers_.empty()) {
    answer = std::move(file_answers_.front());
    file_answers_.pop_front();
  } else if (file_responder) {
    answer = file_responder(request);
  }
  // The dialog's buffer holds no longer path: it reports the buffer too small.
  if (answer && request.path_capacity > 0 && answer->size() >= request.path_capacity) return std::nullopt;
  return answer;
}

std::optional<std::u16string> Dialog::OpenFileDialog(const OpenFileRequest& request) {
  return env_.ShowOpenFileDialog(request);
}

void Environment::RegisterSheet(Sheet* sheet) { sheets_.push_back(sheet); }
void Environment::UnregisterSheet(Sheet* sheet) { std::erase(sheets_, sheet); }

std::optional<std::u16string> Dialog::BrowseForFolder(std::u16string_view title) {
  return env_.ShowFolderDialog(title);
}

int Dialog::RelabelOtherSheets(std::u16string_view title_part, const std::vector<std::u16string>& titles) {
  int relabelled = 0;
  for (Sheet* other : env_.Sheets()) {
    if (other == sheet_ || other->Caption().find(title_part) == std::u16string::npos) continue;
    // A sheet captioned as this one is of the same kind: not relabelled.
    if (sheet_ != nullptr && other->Caption() == sheet_->Caption()) continue;
    const int count = other->TabCount();
    const int first = count - static_cast<int>(titles.size());
    for (std::size_t i = 0; i < titles.size(); ++i)
      if (first + static_cast<int>(i) >= 0) other->SetTabTitle(first + static_cast<int>(i), titles[i]);
    ++relabelled;
  }
  return relabelled;
}

}  // namespace kit::ui::headless
