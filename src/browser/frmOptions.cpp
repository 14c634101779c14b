// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/frmOptions.h"

#include "app/ProgramInfo.h"
#include "browser/BrowserPreference.h"
#include "browser/EditEntry.h"
#include "platform/Dialogs.h"
#include "platform/Pictures.h"
#include "platform/Twips.h"
#include "platform/WindowHost.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace {

const QString kSelectText = QStringLiteral(
    "Select the Internet Browser to use with Quindo. You must select a browser in order to "
    "preview your web pages and to use the online help documents.  Most people use Netscape "
    "Navigator or Internet Explorer.");
const QString kInstallText =
    QStringLiteral("Set Registry Keys to add right click editing to your Web Documents.");
const QString kInstalledText = QStringLiteral(
    "You can now right-click on an HTML file and select -Edit with Quindo- to launch the "
    "program and edit your web documents.");
const QString kInstalledTitle = QStringLiteral("Registry Updated Successfully.");
const QString kInstallFailedText = QStringLiteral(
    "There was an error writing to the Windows Registry,  please make sure you have "
    "administrative rights.  Otherwise, you could have a damaged Registry Database that could "
    "lead to serious problems with Windows.");
const QString kInstallFailedTitle = QStringLiteral("Registry Error");

// The entry shows the program's icon: the picture file beside the program when there is
// one, otherwise the icon installed under the program's name.
QString entryIcon() {
    const QString beside = ProgramInfo::besideProgram(QStringLiteral("quindo.svg"));
    return QFileInfo::exists(beside) ? beside : QStringLiteral("quindo");
}

}  // namespace

frmOptions::frmOptions(WindowHost& host)
    : SecondaryWindow(&host.window(), QStringLiteral("Quindo Options"), QSize(4200, 3180),
                      Place::System),
      host_(host) {
    auto* image = place(new QLabel, QStringLiteral("Image1"), 45, 45, Pictures::kLogoTwips,
                        Pictures::kLogoTwips);
    image->setPixmap(
        Pictures::logo(Twips::toDevicePixels(Pictures::kLogoTwips, devicePixelRatioF())));
    image->setScaledContents(true);

    command1_ = addButton(QStringLiteral("Command1"), QStringLiteral("Select"), 675, 90, 960, 375);
    QLabel* label1 = addLabel(QStringLiteral("Label1"), kSelectText, 1710, 45, 2355, 1545);
    command2_ =
        addButton(QStringLiteral("Command2"), QStringLiteral("Install"), 675, 1710, 960, 375);
    QLabel* label2 = addLabel(QStringLiteral("Label2"), kInstallText, 1710, 1665, 2355, 735);
    addHorizontalLine(QStringLiteral("Line1"), 180, 2520, 3960);
    command3_ =
        addButton(QStringLiteral("Command3"), QStringLiteral("Close"), 1530, 2655, 960, 375);
    setFocusOrder({command1_, label1, command2_, label2, command3_});

    connect(command1_, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(command2_, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(command3_, &QPushButton::clicked, this, [this] { Command3_Click(); });
}

void frmOptions::Command1_Click() {
    if (ChooseBrowser(host_.dialogs())) {
        close();
    }
}

void frmOptions::Command2_Click() {
    if (!EditEntry::install(ProgramInfo::programPath(), entryIcon())) {
        host_.dialogs().messageBox(kInstallFailedText, Dialogs::Buttons::Ok, Dialogs::Icon::None,
                                   kInstallFailedTitle);
        return;
    }
    host_.dialogs().messageBox(kInstalledText, Dialogs::Buttons::Ok, Dialogs::Icon::None,
                               kInstalledTitle);
    close();
}

void frmOptions::Command3_Click() {
    close();
}

void ShowOptionsWindow(WindowHost& host) {
    host.showSecondaryWindow(QStringLiteral("frmOptions"),
                             [&host] { return new frmOptions(host); });
}
