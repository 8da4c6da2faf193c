// The series page (dialog 131): one radio button and one model list per
// series, and "set as default printer". The lists hold the models of
// setup.ini in file order. This file is OS-independent.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "setup/pages/wizard_page.h"

namespace kit::setup {

inline constexpr int kSeriesDialogId = 131;
inline constexpr int kSeriesGroupId = 1094;
inline constexpr std::array<int, kSeriesCount> kSeriesRadioIds = {1019, 1020, 1021, 1073};
inline constexpr std::array<int, kSeriesCount> kSeriesListIds = {1030, 1031, 1032, 1074};
inline constexpr int kSeriesDefaultId = 1046;

class CPrinterSeries final : public WizardPage {
 public:
  explicit CPrinterSeries(const WizardContext& context) : WizardPage(context) {}

  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;

  // -1 while no series is chosen.
  int series_index() const { return series_index_; }
  // ANSI bytes, at most 199 characters.
  const std::string& model_name() const { return model_name_; }
  bool set_as_default() const { return set_as_default_; }
  bool has_models() const { return has_models_; }

 private:
  void ChooseSeries(ui::Window& window, int series);
  void TakeSelection(ui::Window& window, int series);

  std::array<std::vector<std::string>, kSeriesCount> models_;
  int series_index_ = -1;
  std::string model_name_;
  bool set_as_default_ = false;
  bool has_models_ = false;
};

}  // namespace kit::setup
