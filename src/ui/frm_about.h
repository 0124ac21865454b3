#pragma once

#include <QDialog>

#include "ui/platform/platform.h"

class QFrame;
class QLabel;
class QPushButton;

namespace quillet {

// The about box: the program's logo, title, version and what it is for, and a way to the
// desktop's system-information program.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(Platform& platform, QWidget* parent = nullptr);

    // Starts the first system-information program found on PATH, without waiting for it; says
    // so when none is installed or none would start.
    void StartSysInfo();

    void cmdOK_Click();
    void cmdSysInfo_Click();

private:
    void BuildControls();
    void Form_Load();

    Platform& platform_;

    QLabel* Image1 = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QFrame* Line1[2] = {};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
};

}  // namespace quillet
