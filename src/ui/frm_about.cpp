#include "ui/frm_about.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "ui/app_identity.h"
#include "ui/caption_font.h"
#include "ui/twips.h"

namespace quillet {

namespace {

// The system-information programs of the common Linux desktops, the most thorough first.
const char* const kSystemInformationPrograms[] = {"hardinfo2", "hardinfo", "kinfocenter", "cpu-x"};

}  // namespace

frmAbout::frmAbout(Platform& platform, QWidget* parent) : QDialog(parent), platform_(platform) {
    setObjectName(QStringLiteral("frmAbout"));
    BuildControls();
    Form_Load();
}

void frmAbout::BuildControls() {
    const TwipsLayout layout(*this);
    setFixedSize(layout.Pixels(6015), layout.Pixels(3555));

    Image1 = new QLabel(this);
    layout.Place(Image1, "Image1", 240, 240, 960, 960);
    Image1->setPixmap(QPixmap(QStringLiteral(":/quillet/about-logo.png")));
    Image1->setScaledContents(true);
    lblTitle = new QLabel(this);
    layout.Place(lblTitle, "lblTitle", 1440, 240, 4335, 480);
    lblVersion = new QLabel(this);
    layout.Place(lblVersion, "lblVersion", 1440, 780, 4335, 255);
    lblDescription = new QLabel(
        QStringLiteral("With this DBF app you can view and convert the contents of a DBF file to a wide range of formats !"),
        this);
    layout.Place(lblDescription, "lblDescription", 1440, 1125, 4335, 780);
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // An etched rule: a shadow line with a light line under it.
    for (int i = 0; i < 2; ++i) {
        Line1[i] = new QFrame(this);
        layout.Place(Line1[i], i == 0 ? "Line1_0" : "Line1_1", 120, 2115 + 15 * i, 5775, 15);
        Line1[i]->setAutoFillBackground(true);
        Line1[i]->setBackgroundRole(i == 0 ? QPalette::Mid : QPalette::Light);
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    layout.Place(cmdOK, "cmdOK", 4515, 2370, 1260, 375);
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    layout.Place(cmdSysInfo, "cmdSysInfo", 4515, 2850, 1260, 375);

    setTabOrder(cmdOK, cmdSysInfo);
    FitCaptions(this, {});
    QFont title = font();
    title.setPointSizeF(font().pointSizeF() * 2);
    title.setBold(true);
    lblTitle->setFont(title);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("About ") + ProgramName());
    lblVersion->setText(QStringLiteral("Version ") + VersionText());
    lblTitle->setText(ProgramName());
}

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo() {
    for (const char* name : kSystemInformationPrograms) {
        const QString program = platform_.FindProgram(QString::fromLatin1(name));
        if (!program.isEmpty() && platform_.StartProgram(program, {})) return;
    }
    platform_.ShowMessage(this, ProgramName(), QStringLiteral("System Information Is Unavailable At This Time"), MessageIcon::None);
}

}  // namespace quillet
