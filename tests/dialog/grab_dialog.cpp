// Draws the settings dialog as built, with the values of the settings file in the working
// directory, into an image file: duckvolt_dialog_grab FILE.png

#include <QApplication>
#include <QPixmap>

#include "config/config_dialog.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    qCritical("usage: %s FILE.png", argv[0]);
    return 2;
  }
  Config dialog;
  dialog.show();
  QApplication::processEvents();
  if (!dialog.grab().save(QString::fromLocal8Bit(argv[1]))) {
    qCritical("cannot write %s", argv[1]);
    return 1;
  }
  return 0;
}
