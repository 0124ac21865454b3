#include "ui/about_dialog.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "ui/app_identity.h"

namespace quillet {

namespace {

// The system-information programs of the common Linux desktops, the most thorough first.
const char* const kSystemInformationPrograms[] = {"hardinfo2", "hardinfo", "kinfocenter", "cpu-x"};

}  // namespace

AboutDialog::AboutDialog(Platform& platform, QWidget* parent) : QDialog(parent), platform_(platform) {
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(tr("About %1").arg(ProgramName()));

    auto* logo = new QLabel;
    logo->setPixmap(QPixmap(QStringLiteral(":/quillet/about-logo.png")));
    auto* title = new QLabel(ProgramName());
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    title->setFont(big);
    auto* version = new QLabel(tr("Version %1").arg(VersionText()));
    version->setObjectName(QStringLiteral("versionLabel"));
    auto* description = new QLabel(
        tr("With this DBF app you can view and convert the contents of a DBF file to a wide range of formats !"));
    description->setWordWrap(true);
    auto* rule = new QFrame;
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    QPushButton* systemInfo = buttons->addButton(tr("&System Info..."), QDialogButtonBox::ActionRole);
    systemInfo->setObjectName(QStringLiteral("systemInfoButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(systemInfo, &QPushButton::clicked, this, &AboutDialog::startSystemInfo);

    auto* grid = new QGridLayout(this);
    grid->addWidget(logo, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(title, 0, 1);
    grid->addWidget(version, 1, 1);
    grid->addWidget(description, 2, 1);
    grid->addWidget(rule, 3, 0, 1, 2);
    grid->addWidget(buttons, 4, 0, 1, 2);
    grid->setColumnMinimumWidth(1, description->fontMetrics().averageCharWidth() * 40);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutDialog::startSystemInfo() {
    for (const char* name : kSystemInformationPrograms) {
        const QString program = platform_.FindProgram(QString::fromLatin1(name));
        if (!program.isEmpty() && platform_.StartProgram(program, {})) return;
    }
    platform_.ShowMessage(this, ProgramName(), tr("System Information Is Unavailable At This Time"), MessageIcon::None);
}

}  // namespace quillet
