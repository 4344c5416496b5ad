// The settings dialog and the configuration flow, driven through the real widgets. Nothing
// blocks on exec(): a zero-delay timer handles the open dialog and closes it.

#include "config/config_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMetaMethod>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QVBoxLayout>
#include <QWindow>
#include <QtTest>
#include <functional>
#include <memory>

#include "config/configure_flow.h"
#include "ducking/talk_tracking.h"
#include "settings/settings_file.h"

namespace {
const QString settingsFile = QString::fromLatin1(settingsFileName);
const QString temporaryFile = settingsFile + QStringLiteral(".tmp");
const QByteArray directoryInItsPlace = "<directory>";

void writeFile(const QString& name, const QByteArray& content) {
  QFile file(name);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(content), qint64(content.size()));
}

// A settings file is a few bytes; reading no more keeps a device in its place from hanging us.
QByteArray settingsFileContent() {
  QFile file(settingsFile);
  if (!file.open(QIODevice::ReadOnly)) return "<unreadable>";
  return file.read(64);
}

template <typename Widget>
Widget* child(QWidget& dialog, const char* name) {
  auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
  if (widget == nullptr) qFatal("the dialog has no %s", name);
  return widget;
}

QPushButton* button(QWidget& dialog, QDialogButtonBox::StandardButton which) {
  return child<QDialogButtonBox>(dialog, "buttonBox")->button(which);
}

struct Shown {
  int lowerSpin, lowerSlider, raiseSpin, raiseSlider;
};

Shown shownValues(QWidget& dialog) {
  return {child<QSpinBox>(dialog, "spinBox")->value(),
          child<QSlider>(dialog, "horizontalSlider")->value(),
          child<QSpinBox>(dialog, "spinBox_2")->value(),
          child<QSlider>(dialog, "horizontalSlider_2")->value()};
}

void expectShown(QWidget& dialog, int lower, int raise) {
  const Shown shown = shownValues(dialog);
  QCOMPARE(shown.lowerSpin, lower);
  QCOMPARE(shown.lowerSlider, lower);
  QCOMPARE(shown.raiseSpin, raise);
  QCOMPARE(shown.raiseSlider, raise);
}

// As a user would: drag the lower slider, type into the raise spin box.
void enterValues(QWidget& dialog, int lower, int raise) {
  child<QSlider>(dialog, "horizontalSlider")->setValue(lower);
  auto* raiseBox = child<QSpinBox>(dialog, "spinBox_2");
  raiseBox->selectAll();
  QTest::keyClicks(raiseBox, QString::number(raise));
}

void closeBy(const QString& how, QDialog& dialog) {
  if (how == QLatin1String("ok")) {
    button(dialog, QDialogButtonBox::Ok)->click();
  } else if (how == QLatin1String("cancel")) {
    button(dialog, QDialogButtonBox::Cancel)->click();
  } else if (how == QLatin1String("escape")) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : &dialog, Qt::Key_Escape);
  } else if (how == QLatin1String("window")) {
    // The window system's close request, as from the title bar.
    dialog.windowHandle()->close();
  } else {
    QFAIL("unknown way of closing");
  }
}

bool anyDialogRan = false;

enum class Drive { Closes, EndsTheRunOtherwise };

// Runs the configuration flow as the host does. `drive` gets the open dialog and closes it;
// should it leave the dialog open, the dialog is ended without accept or reject so that
// exec() returns.
void runFlow(const std::function<void(QDialog&)>& drive, Drive kind = Drive::Closes) {
  anyDialogRan = true;
  bool driven = false;
  bool leftOpen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) qFatal("no modal dialog is open");
    driven = true;
    drive(*dialog);
    if (kind == Drive::Closes && dialog->isVisible()) {
      leftOpen = true;
      dialog->done(QDialog::Rejected);
    }
  });
  runConfigureDialog();
  QVERIFY(driven);
  QVERIFY2(!leftOpen, "the dialog stayed open");
}

// A dialog that reads `lower` and `raise` from the file, so that a later one falls back on them.
void primeDialogReading(int lower, int raise) {
  anyDialogRan = true;
  writeFile(settingsFile, QByteArray::number(lower) + '\n' + QByteArray::number(raise) + '\n');
  { Config reading; }
  QVERIFY(QFile::remove(settingsFile));
}

// Answers only the texts asked for in the "Dialog" context without disambiguation.
class MarkingTranslator : public QTranslator {
 public:
  QString translate(const char* context, const char* sourceText, const char* disambiguation,
                    int) const override {
    if (qstrcmp(context, "Dialog") != 0 || disambiguation != nullptr) return QString();
    return QStringLiteral("<%1>").arg(QString::fromUtf8(sourceText));
  }
  bool isEmpty() const override { return false; }
};
}  // namespace

class ConfigDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void firstDialogWithoutFileShowsZeroAndFull();
  void pairsFollowEachOther_data();
  void pairsFollowEachOther();
  void initialValuesComeFromTheFile_data();
  void initialValuesComeFromTheFile();
  void everyCloseAppliesAndSavesTheSliders_data();
  void everyCloseAppliesAndSavesTheSliders();
  void raiseZeroIsSavedAndLiveButTheNextDialogShowsFull();
  void quitWhileOpenAppliesAndSavesNothing();
  void leftoverTemporaryFileNeverDamagesTheSettings();
  void saveThatCannotWriteKeepsTheOldFileAndTheNewLiveValues_data();
  void saveThatCannotWriteKeepsTheOldFileAndTheNewLiveValues();
  void structureIsTheForm();
  void textsAreTranslatedInTheDialogContext();

 private:
  std::unique_ptr<QTemporaryDir> workDir;
  QString previousDir;
};

void ConfigDialogTest::init() {
  previousDir = QDir::currentPath();
  workDir = std::make_unique<QTemporaryDir>();
  QVERIFY(workDir->isValid());
  QVERIFY(QDir::setCurrent(workDir->path()));
  setLivePercents(1, 2);
}

void ConfigDialogTest::cleanup() {
  QDir::setCurrent(previousDir);
  workDir.reset();
  QVERIFY2(QApplication::topLevelWidgets().isEmpty(), "a window outlived its test");
}

void ConfigDialogTest::firstDialogWithoutFileShowsZeroAndFull() {
  if (anyDialogRan) QSKIP("needs a process in which no dialog has read the file yet");
  Config dialog;
  expectShown(dialog, 0, 100);
}

void ConfigDialogTest::pairsFollowEachOther_data() {
  QTest::addColumn<QString>("spinBox");
  QTest::addColumn<QString>("slider");
  QTest::addColumn<QString>("otherSpinBox");
  QTest::newRow("lower") << "spinBox"
                         << "horizontalSlider"
                         << "spinBox_2";
  QTest::newRow("raise") << "spinBox_2"
                         << "horizontalSlider_2"
                         << "spinBox";
}

void ConfigDialogTest::pairsFollowEachOther() {
  QFETCH(QString, spinBox);
  QFETCH(QString, slider);
  QFETCH(QString, otherSpinBox);
  primeDialogReading(50, 50);
  Config dialog;
  auto* box = dialog.findChild<QSpinBox*>(spinBox);
  auto* bar = dialog.findChild<QSlider*>(slider);
  auto* other = dialog.findChild<QSpinBox*>(otherSpinBox);
  QVERIFY(box && bar && other);

  bar->setValue(40);
  QCOMPARE(box->value(), 40);
  box->setValue(60);
  QCOMPARE(bar->value(), 60);
  QTest::keyClick(bar, Qt::Key_Right);
  QCOMPARE(box->value(), 61);
  QCOMPARE(other->value(), 50);
}

void ConfigDialogTest::initialValuesComeFromTheFile_data() {
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<int>("lower");
  QTest::addColumn<int>("raise");
  QTest::addColumn<QByteArray>("saved");

  // An earlier dialog read 30 and 80: a value the file cannot give shows that reading.
  QTest::newRow("two values") << QByteArray("45\n70\n") << 45 << 70 << QByteArray("45\n70\n");
  QTest::newRow("above range") << QByteArray("150\n150\n") << 100 << 100
                               << QByteArray("100\n100\n");
  QTest::newRow("negative") << QByteArray("-5\n-20\n") << 0 << 0 << QByteArray("0\n0\n");
  QTest::newRow("raise 0 means full")
      << QByteArray("45\n0\n") << 45 << 100 << QByteArray("45\n100\n");
  QTest::newRow("only lower") << QByteArray("45\n") << 45 << 80 << QByteArray("45\n80\n");
  QTest::newRow("bad first value")
      << QByteArray("loud\n70\n") << 30 << 80 << QByteArray("30\n80\n");
  QTest::newRow("missing") << QByteArray() << 30 << 80 << QByteArray("30\n80\n");
  QTest::newRow("directory in its place") << directoryInItsPlace << 30 << 80 << directoryInItsPlace;
}

void ConfigDialogTest::initialValuesComeFromTheFile() {
  QFETCH(QByteArray, file);
  QFETCH(int, lower);
  QFETCH(int, raise);
  QFETCH(QByteArray, saved);
  primeDialogReading(30, 80);
  if (file == directoryInItsPlace) {
    QVERIFY(QDir().mkdir(settingsFile));
  } else if (!file.isNull()) {
    writeFile(settingsFile, file);
  }

  runFlow([&](QDialog& dialog) {
    expectShown(dialog, lower, raise);
    closeBy(QStringLiteral("ok"), dialog);
  });

  QCOMPARE(lowerPercent(), lower);
  QCOMPARE(raisePercent(), raise);
  if (saved == directoryInItsPlace) {
    QVERIFY(QFileInfo(settingsFile).isDir());
  } else {
    QCOMPARE(settingsFileContent(), saved);
  }
  QVERIFY(!QFileInfo::exists(temporaryFile));
}

void ConfigDialogTest::everyCloseAppliesAndSavesTheSliders_data() {
  QTest::addColumn<QString>("how");
  QTest::addColumn<int>("lower");
  QTest::addColumn<int>("raise");
  QTest::newRow("ok") << "ok" << 45 << 70;
  QTest::newRow("cancel") << "cancel" << 45 << 70;
  QTest::newRow("escape") << "escape" << 45 << 70;
  QTest::newRow("window close") << "window" << 45 << 70;
  QTest::newRow("lower above raise") << "ok" << 90 << 20;
}

void ConfigDialogTest::everyCloseAppliesAndSavesTheSliders() {
  QFETCH(QString, how);
  QFETCH(int, lower);
  QFETCH(int, raise);
  writeFile(settingsFile, "30\n80\n");

  runFlow([&](QDialog& dialog) {
    enterValues(dialog, lower, raise);
    expectShown(dialog, lower, raise);
    // Nothing outside the dialog changes while it is open.
    QCOMPARE(lowerPercent(), 1);
    QCOMPARE(raisePercent(), 2);
    QCOMPARE(settingsFileContent(), QByteArray("30\n80\n"));
    closeBy(how, dialog);
  });

  QCOMPARE(lowerPercent(), lower);
  QCOMPARE(raisePercent(), raise);
  QCOMPARE(settingsFileContent(),
           QByteArray::number(lower) + '\n' + QByteArray::number(raise) + '\n');
  QVERIFY(!QFileInfo::exists(temporaryFile));
}

void ConfigDialogTest::raiseZeroIsSavedAndLiveButTheNextDialogShowsFull() {
  writeFile(settingsFile, "30\n80\n");
  runFlow([](QDialog& dialog) {
    child<QSlider>(dialog, "horizontalSlider_2")->setValue(0);
    closeBy(QStringLiteral("ok"), dialog);
  });
  QCOMPARE(raisePercent(), 0);
  QCOMPARE(settingsFileContent(), QByteArray("30\n0\n"));

  runFlow([](QDialog& dialog) {
    expectShown(dialog, 30, 100);
    closeBy(QStringLiteral("cancel"), dialog);
  });
}

void ConfigDialogTest::quitWhileOpenAppliesAndSavesNothing() {
  writeFile(settingsFile, "30\n80\n");
  bool flowReturned = false;
  // The host's own event loop runs the flow; the application is told to quit meanwhile.
  QTimer::singleShot(0, [&] {
    runFlow(
        [](QDialog& dialog) {
          enterValues(dialog, 45, 70);
          QCoreApplication::quit();
        },
        Drive::EndsTheRunOtherwise);
    flowReturned = true;
  });
  QCoreApplication::exec();

  QVERIFY(flowReturned);
  QCOMPARE(lowerPercent(), 1);
  QCOMPARE(raisePercent(), 2);
  QCOMPARE(settingsFileContent(), QByteArray("30\n80\n"));
  QVERIFY(!QFileInfo::exists(temporaryFile));
}

// A save cut short between writing and renaming leaves its temporary file behind.
void ConfigDialogTest::leftoverTemporaryFileNeverDamagesTheSettings() {
  writeFile(settingsFile, "30\n80\n");
  writeFile(temporaryFile, "9");

  runFlow([](QDialog& dialog) {
    expectShown(dialog, 30, 80);
    enterValues(dialog, 45, 70);
    closeBy(QStringLiteral("ok"), dialog);
  });

  QCOMPARE(settingsFileContent(), QByteArray("45\n70\n"));
  QVERIFY(!QFileInfo::exists(temporaryFile));
}

void ConfigDialogTest::saveThatCannotWriteKeepsTheOldFileAndTheNewLiveValues_data() {
  QTest::addColumn<QString>("obstacle");
  QTest::newRow("directory where the temporary file goes") << "directory";
  QTest::newRow("disk full") << "full";
}

void ConfigDialogTest::saveThatCannotWriteKeepsTheOldFileAndTheNewLiveValues() {
  QFETCH(QString, obstacle);
  writeFile(settingsFile, "30\n80\n");
  if (obstacle == QLatin1String("directory")) {
    QVERIFY(QDir().mkdir(temporaryFile));
  } else {
    // Opens fine, then every write fails.
    if (!QFileInfo::exists(QStringLiteral("/dev/full"))) QSKIP("no /dev/full here");
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), temporaryFile));
  }

  runFlow([](QDialog& dialog) {
    enterValues(dialog, 45, 70);
    closeBy(QStringLiteral("ok"), dialog);
  });

  QCOMPARE(lowerPercent(), 45);
  QCOMPARE(raisePercent(), 70);
  QCOMPARE(settingsFileContent(), QByteArray("30\n80\n"));
  QVERIFY(QFileInfo(settingsFile).isFile());
  if (obstacle == QLatin1String("directory")) {
    QVERIFY2(QFileInfo(temporaryFile).isDir(), "the save removed what it had not made");
  } else {
    QVERIFY2(!QFileInfo(temporaryFile).isSymLink(), "the failed temporary file was left");
  }

  // The next dialog shows the file, not the live values.
  runFlow([](QDialog& dialog) {
    expectShown(dialog, 30, 80);
    closeBy(QStringLiteral("cancel"), dialog);
  });
}

void ConfigDialogTest::structureIsTheForm() {
  Config dialog;
  QCOMPARE(dialog.objectName(), QStringLiteral("Dialog"));
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Dialog"));
  QCOMPARE(dialog.size(), QSize(351, 196));
  QVERIFY(dialog.parentWidget() == nullptr);

  auto* verticalLayout = qobject_cast<QVBoxLayout*>(dialog.layout());
  QVERIFY(verticalLayout != nullptr);
  QCOMPARE(verticalLayout->objectName(), QStringLiteral("verticalLayout"));
  QCOMPARE(verticalLayout->count(), 3);
  auto* buttonBox = child<QDialogButtonBox>(dialog, "buttonBox");
  QCOMPARE(verticalLayout->itemAt(2)->widget(), static_cast<QWidget*>(buttonBox));
  QCOMPARE(buttonBox->orientation(), Qt::Horizontal);
  QCOMPARE(buttonBox->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

  const struct {
    const char* grid;
    const char* label;
    const char* spinBox;
    const char* slider;
    const char* text;
  } pairs[] = {
      {"gridLayout", "label", "spinBox", "horizontalSlider",
       "lower winamp volume to x% when somebody is speaking    "},
      {"gridLayout_2", "label_2", "spinBox_2", "horizontalSlider_2",
       "raise winamp volume to x% when nobody is speaking         "},
  };
  for (int i = 0; i < 2; ++i) {
    const auto& pair = pairs[i];
    auto* grid = qobject_cast<QGridLayout*>(verticalLayout->itemAt(i)->layout());
    QVERIFY(grid != nullptr);
    QCOMPARE(grid->objectName(), QString::fromLatin1(pair.grid));
    auto* label = child<QLabel>(dialog, pair.label);
    auto* spinBox = child<QSpinBox>(dialog, pair.spinBox);
    auto* slider = child<QSlider>(dialog, pair.slider);
    QCOMPARE(label->text(), QString::fromLatin1(pair.text));
    QCOMPARE(spinBox->minimum(), 0);
    QCOMPARE(spinBox->maximum(), 100);
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 100);
    QCOMPARE(slider->orientation(), Qt::Horizontal);

    const struct {
      QWidget* widget;
      int row, column, rowSpan, columnSpan;
    } cells[] = {{label, 0, 0, 1, 1}, {spinBox, 0, 1, 1, 1}, {slider, 1, 0, 1, 2}};
    for (const auto& cell : cells) {
      QCOMPARE(cell.widget->parentWidget(), static_cast<QWidget*>(&dialog));
      int row = -1, column = -1, rowSpan = -1, columnSpan = -1;
      grid->getItemPosition(grid->indexOf(cell.widget), &row, &column, &rowSpan, &columnSpan);
      QCOMPARE(row, cell.row);
      QCOMPARE(column, cell.column);
      QCOMPARE(rowSpan, cell.rowSpan);
      QCOMPARE(columnSpan, cell.columnSpan);
    }
  }

  const QMetaObject& meta = Config::staticMetaObject;
  QCOMPARE(dialog.metaObject(), &meta);
  QCOMPARE(meta.className(), "Config");
  QCOMPARE(meta.superClass(), &QDialog::staticMetaObject);
  QCOMPARE(meta.propertyCount(), meta.propertyOffset());
  QCOMPARE(meta.methodCount() - meta.methodOffset(), 2);
  const char* const slotSignatures[] = {"accept()", "reject()"};
  for (int i = 0; i < 2; ++i) {
    const QMetaMethod method = meta.method(meta.methodOffset() + i);
    QCOMPARE(method.methodSignature(), QByteArray(slotSignatures[i]));
    QCOMPARE(method.methodType(), QMetaMethod::Slot);
    QCOMPARE(method.access(), QMetaMethod::Protected);
  }
}

void ConfigDialogTest::textsAreTranslatedInTheDialogContext() {
  MarkingTranslator translator;
  QCoreApplication::installTranslator(&translator);
  Config dialog;
  QCoreApplication::removeTranslator(&translator);
  QCOMPARE(dialog.windowTitle(), QStringLiteral("<Dialog>"));
  QCOMPARE(child<QLabel>(dialog, "label")->text(),
           QStringLiteral("<lower winamp volume to x% when somebody is speaking    >"));
  QCOMPARE(child<QLabel>(dialog, "label_2")->text(),
           QStringLiteral("<raise winamp volume to x% when nobody is speaking         >"));
}

QTEST_MAIN(ConfigDialogTest)
#include "config_dialog_test.moc"
