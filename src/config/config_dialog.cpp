#include "config/config_dialog.h"

#include "settings/settings_file.h"

namespace {
// What the last dialog read; a value the file cannot give keeps what it held.
std::int32_t dialogLowerPercent;
std::int32_t dialogRaisePercent;
}  // namespace

Config::Config() : QDialog(nullptr) {
  readSettingsFile(settingsFileName, dialogLowerPercent, dialogRaisePercent);
  if (dialogRaisePercent == 0) dialogRaisePercent = defaultRaisePercent;
  setupUi(this, dialogLowerPercent, dialogRaisePercent);
}

Config::~Config() = default;

void Config::accept() {
  captureValues();
  QDialog::accept();
}

// Cancel, Escape and the window's close come here: they keep the values shown as well.
void Config::reject() {
  captureValues();
  QDialog::reject();
}

void Config::captureValues() {
  lowerValue = horizontalSlider->value();
  raiseValue = horizontalSlider_2->value();
  captured = true;
}
