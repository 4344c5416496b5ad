// The settings dialog's form, in the shape the user-interface compiler gives, kept as source
// so that it builds against Qt 4.7 and Qt 5 alike. setupUi also takes the two initial values.
#ifndef UI_CONFIG_H
#define UI_CONFIG_H

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QMetaObject>
#include <QSlider>
#include <QSpinBox>
#include <QString>
#include <QVBoxLayout>

QT_BEGIN_NAMESPACE

class Ui_Dialog {
 public:
  QVBoxLayout* verticalLayout;
  QGridLayout* gridLayout;
  QLabel* label;
  QSpinBox* spinBox;
  QSlider* horizontalSlider;
  QGridLayout* gridLayout_2;
  QLabel* label_2;
  QSpinBox* spinBox_2;
  QSlider* horizontalSlider_2;
  QDialogButtonBox* buttonBox;

  void setupUi(QDialog* Dialog, int lower, int raise) {
    if (Dialog->objectName().isEmpty()) Dialog->setObjectName(QString::fromUtf8("Dialog"));
    Dialog->resize(351, 196);
    verticalLayout = new QVBoxLayout(Dialog);
    verticalLayout->setObjectName(QString::fromUtf8("verticalLayout"));
    gridLayout = new QGridLayout();
    gridLayout->setObjectName(QString::fromUtf8("gridLayout"));
    label = new QLabel(Dialog);
    label->setObjectName(QString::fromUtf8("label"));

    gridLayout->addWidget(label, 0, 0, 1, 1);

    spinBox = new QSpinBox(Dialog);
    spinBox->setObjectName(QString::fromUtf8("spinBox"));
    spinBox->setMinimum(0);
    spinBox->setMaximum(100);
    spinBox->setValue(lower);

    gridLayout->addWidget(spinBox, 0, 1, 1, 1);

    horizontalSlider = new QSlider(Dialog);
    horizontalSlider->setObjectName(QString::fromUtf8("horizontalSlider"));
    horizontalSlider->setMaximum(100);
    horizontalSlider->setValue(lower);
    horizontalSlider->setOrientation(Qt::Horizontal);

    gridLayout->addWidget(horizontalSlider, 1, 0, 1, 2);

    verticalLayout->addLayout(gridLayout);

    gridLayout_2 = new QGridLayout();
    gridLayout_2->setObjectName(QString::fromUtf8("gridLayout_2"));
    label_2 = new QLabel(Dialog);
    label_2->setObjectName(QString::fromUtf8("label_2"));

    gridLayout_2->addWidget(label_2, 0, 0, 1, 1);

    spinBox_2 = new QSpinBox(Dialog);
    spinBox_2->setObjectName(QString::fromUtf8("spinBox_2"));
    spinBox_2->setMaximum(100);
    spinBox_2->setValue(raise);

    gridLayout_2->addWidget(spinBox_2, 0, 1, 1, 1);

    horizontalSlider_2 = new QSlider(Dialog);
    horizontalSlider_2->setObjectName(QString::fromUtf8("horizontalSlider_2"));
    horizontalSlider_2->setMaximum(100);
    horizontalSlider_2->setValue(raise);
    horizontalSlider_2->setOrientation(Qt::Horizontal);

    gridLayout_2->addWidget(horizontalSlider_2, 1, 0, 1, 2);

    verticalLayout->addLayout(gridLayout_2);

    buttonBox = new QDialogButtonBox(Dialog);
    buttonBox->setObjectName(QString::fromUtf8("buttonBox"));
    buttonBox->setOrientation(Qt::Horizontal);
    buttonBox->setStandardButtons(QDialogButtonBox::Cancel | QDialogButtonBox::Ok);

    verticalLayout->addWidget(buttonBox);

    retranslateUi(Dialog);
    QObject::connect(buttonBox, SIGNAL(accepted()), Dialog, SLOT(accept()));
    QObject::connect(buttonBox, SIGNAL(rejected()), Dialog, SLOT(reject()));
    QObject::connect(horizontalSlider, SIGNAL(valueChanged(int)), spinBox, SLOT(setValue(int)));
    QObject::connect(spinBox, SIGNAL(valueChanged(int)), horizontalSlider, SLOT(setValue(int)));
    QObject::connect(horizontalSlider_2, SIGNAL(valueChanged(int)), spinBox_2, SLOT(setValue(int)));
    QObject::connect(spinBox_2, SIGNAL(valueChanged(int)), horizontalSlider_2, SLOT(setValue(int)));

    QMetaObject::connectSlotsByName(Dialog);
  }  // setupUi

  void retranslateUi(QDialog* Dialog) {
    Dialog->setWindowTitle(QCoreApplication::translate("Dialog", "Dialog", nullptr));
    label->setText(QCoreApplication::translate(
        "Dialog", "lower winamp volume to x% when somebody is speaking    ", nullptr));
    label_2->setText(QCoreApplication::translate(
        "Dialog", "raise winamp volume to x% when nobody is speaking         ", nullptr));
  }  // retranslateUi
};

namespace Ui {
class Dialog : public Ui_Dialog {};
}  // namespace Ui

QT_END_NAMESPACE

#endif  // UI_CONFIG_H
