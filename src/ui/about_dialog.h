#pragma once

#include <QDialog>

#include "ui/platform/platform.h"

namespace quillet {

// The about box: the program's logo, title, version and what it is for, and a way to the
// desktop's system-information program.
class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(Platform& platform, QWidget* parent = nullptr);

    // Starts the first system-information program found on PATH, without waiting for it; says
    // so when none is installed or none would start.
    void startSystemInfo();

private:
    Platform& platform_;
};

}  // namespace quillet
