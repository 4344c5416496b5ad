#include "config/configure_flow.h"

#include "config/config_dialog.h"
#include "ducking/talk_tracking.h"
#include "settings/settings_file.h"

void runConfigureDialog() {
  Config dialog;
  dialog.exec();
  // A run ended from outside (the application quitting) closed nothing: keep what is live.
  if (!dialog.valuesCaptured()) return;
  setLivePercents(dialog.lowerValue, dialog.raiseValue);
  saveSettings();
}
