#pragma once
#include <QDialog>
#include <QObject>
#include <cstdint>

#include "ui_config/ui_config.h"

// The settings dialog: two slider and spin box pairs, shown with what the settings file
// holds (or what the previous dialog read when the file cannot be read).
class Config : public QDialog, public Ui::Dialog {
  Q_OBJECT

 public:
  Config();
  ~Config() override;

  // The sliders' values, captured by accept and reject; valid only when valuesCaptured().
  std::int32_t raiseValue;
  std::int32_t lowerValue;

  // False when the modal run ended without accept or reject, e.g. the application quitting.
  bool valuesCaptured() const { return captured; }

 protected slots:
  void accept() override;
  void reject() override;

 private:
  void captureValues();

  bool captured = false;
};
