#include "dialog_driver.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <cstdio>

#include "session.h"

namespace {
template <typename Widget>
Widget* find(QWidget* dialog, const char* name) {
  auto* widget = dialog->findChild<Widget*>(QString::fromLatin1(name));
  if (widget == nullptr) throw ScenarioError(std::string("the dialog has no ") + name);
  return widget;
}

void say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

std::string shown(QWidget* dialog) {
  const auto pair = [&](const char* slider, const char* spin) {
    return "slider " + std::to_string(find<QSlider>(dialog, slider)->value()) + ", spin box " +
           std::to_string(find<QSpinBox>(dialog, spin)->value());
  };
  return "lower " + pair("horizontalSlider", "spinBox") + "; raise " +
         pair("horizontalSlider_2", "spinBox_2");
}

void typeInto(QSpinBox* spinBox, const std::string& text) {
  spinBox->setFocus();
  spinBox->selectAll();
  for (char c : text) {
    const QString key(QChar::fromLatin1(c));
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, key);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, key);
    QApplication::sendEvent(spinBox, &press);
    QApplication::sendEvent(spinBox, &release);
  }
}

void pressKey(QWidget* widget, Qt::Key key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QApplication::sendEvent(widget, &release);
}

// Plays the actions on the open dialog; the last one closes it.
void play(QDialog* dialog, const std::vector<std::string>& actions) {
  say("  dialog opened: " + shown(dialog));
  for (std::size_t i = 0; i < actions.size(); ++i) {
    const std::string& action = actions[i];
    const bool takesValue = action.find('-') != std::string::npos;
    if (takesValue && i + 1 >= actions.size())
      throw ScenarioError("configure: " + action + " needs a value");
    if (action == "lower-slider" || action == "raise-slider") {
      find<QSlider>(dialog, action == "lower-slider" ? "horizontalSlider" : "horizontalSlider_2")
          ->setValue(std::stoi(actions[++i]));
    } else if (action == "lower-spin" || action == "raise-spin") {
      typeInto(find<QSpinBox>(dialog, action == "lower-spin" ? "spinBox" : "spinBox_2"),
               actions[++i]);
    } else if (action == "ok" || action == "cancel") {
      say("  dialog closed by " + action + ": " + shown(dialog));
      find<QDialogButtonBox>(dialog, "buttonBox")
          ->button(action == "ok" ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
          ->click();
      return;
    } else if (action == "escape") {
      say("  dialog closed by Escape: " + shown(dialog));
      pressKey(dialog, Qt::Key_Escape);
      return;
    } else if (action == "close") {
      say("  dialog closed by its window's close: " + shown(dialog));
      dialog->close();
      return;
    } else if (action == "quit") {
      say("  the application quits while the dialog is open: " + shown(dialog));
      QCoreApplication::exit(0);
      return;
    } else {
      throw ScenarioError("configure: unknown action " + action);
    }
  }
  throw ScenarioError(
      "configure: the actions leave the dialog open; end with ok, cancel, "
      "escape, close or quit");
}
}  // namespace

void configureWithActions(const std::vector<std::string>& actions,
                          const std::function<void()>& openDialog) {
  if (actions.empty()) {
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
      throw ScenarioError("configure needs actions when there is no display");
    openDialog();  // on a desktop the user handles the dialog
    return;
  }
  std::string failure;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    try {
      if (dialog == nullptr) throw ScenarioError("configure opened no modal dialog");
      play(dialog, actions);
    } catch (const std::exception& error) {
      failure = error.what();
      if (dialog != nullptr) dialog->done(0);
    }
  });
  openDialog();
  if (!failure.empty()) throw ScenarioError(failure);
}
