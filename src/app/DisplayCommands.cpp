// SPDX-License-Identifier: GPL-3.0-or-later
// The Options menu's display preferences: font size of the whole editing area, font face
// of the selection, and the ticks that show the choice.
#include "app/SettingsStore.h"
#include "ui/frmMain.h"
#include "ui/platform/EditingArea.h"

#include <QAction>

namespace {

const QStringList kSizeItems = {QStringLiteral("mnuqn8"), QStringLiteral("mnuqn10"),
                                QStringLiteral("mnuqn12"), QStringLiteral("mnuqn14")};
const QStringList kFaceItems = {QStringLiteral("mnuqnarial"), QStringLiteral("mnuqntimes"),
                                QStringLiteral("mnuqnverdana")};

}  // namespace

void frmMain::setFontSize(int points) {
    SettingsStore::write(QStringLiteral("fontsize"), QStringLiteral("Value"),
                         QString::number(points));
    text1_->setBaseFontSize(points);
    setChecks(kSizeItems, QStringLiteral("mnuqn%1").arg(points));
}

void frmMain::setFontFace(const QString& face) {
    text1_->setSelectionFace(face);
    SettingsStore::write(QStringLiteral("font"), QStringLiteral("Value"), face);
    const QString item = face == QLatin1String("Arial")             ? kFaceItems[0]
                         : face == QLatin1String("Times New Roman") ? kFaceItems[1]
                                                                    : kFaceItems[2];
    setChecks(kFaceItems, item);
}

void frmMain::mnuqn8_Click() {
    setFontSize(8);
}

void frmMain::mnuqn10_Click() {
    setFontSize(10);
}

void frmMain::mnuqn12_Click() {
    setFontSize(12);
}

void frmMain::mnuqn14_Click() {
    setFontSize(14);
}

void frmMain::mnuqnarial_Click() {
    setFontFace(QStringLiteral("Arial"));
}

void frmMain::mnuqntimes_Click() {
    setFontFace(QStringLiteral("Times New Roman"));
}

void frmMain::mnuqnverdana_Click() {
    setFontFace(QStringLiteral("Verdana"));
}
