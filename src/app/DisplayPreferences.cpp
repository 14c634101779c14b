// SPDX-License-Identifier: GPL-3.0-or-later
// The Options menu's display preferences: font size of the whole editing area, font face
// of the selection, and the ticks that show the choice.
#include "app/DisplayPreferences.h"

#include "app/SettingsStore.h"
#include "platform/EditingArea.h"
#include "platform/WindowHost.h"

#include <QStringList>

#include <utility>

namespace {

const QStringList kSizeItems = {QStringLiteral("mnuqn8"), QStringLiteral("mnuqn10"),
                                QStringLiteral("mnuqn12"), QStringLiteral("mnuqn14")};
const QStringList kFaceItems = {QStringLiteral("mnuqnarial"), QStringLiteral("mnuqntimes"),
                                QStringLiteral("mnuqnverdana")};

}  // namespace

void DisplayPreferences::setChecks(const QStringList& group, const QString& checked) {
    for (const QString& name : group) {
        host_.setChecked(name, name == checked);
    }
}

void DisplayPreferences::setFontSize(int points) {
    SettingsStore::write(QStringLiteral("fontsize"), QStringLiteral("Value"),
                         QString::number(points));
    host_.editingArea().setBaseFontSize(points);
    setChecks(kSizeItems, QStringLiteral("mnuqn%1").arg(points));
}

void DisplayPreferences::setFontFace(const QString& face) {
    host_.editingArea().setSelectionFace(face);
    SettingsStore::write(QStringLiteral("font"), QStringLiteral("Value"), face);
    const QString item = face == QLatin1String("Arial")             ? kFaceItems[0]
                         : face == QLatin1String("Times New Roman") ? kFaceItems[1]
                                                                    : kFaceItems[2];
    setChecks(kFaceItems, item);
}

void DisplayPreferences::mnuqn8_Click() {
    setFontSize(8);
}

void DisplayPreferences::mnuqn10_Click() {
    setFontSize(10);
}

void DisplayPreferences::mnuqn12_Click() {
    setFontSize(12);
}

void DisplayPreferences::mnuqn14_Click() {
    setFontSize(14);
}

void DisplayPreferences::mnuqnarial_Click() {
    setFontFace(QStringLiteral("Arial"));
}

void DisplayPreferences::mnuqntimes_Click() {
    setFontFace(QStringLiteral("Times New Roman"));
}

void DisplayPreferences::mnuqnverdana_Click() {
    setFontFace(QStringLiteral("Verdana"));
}

void DisplayPreferences::restoreStored() {
    using Command = void (DisplayPreferences::*)();
    const std::pair<QLatin1String, Command> sizes[] = {
        {QLatin1String("8"), &DisplayPreferences::mnuqn8_Click},
        {QLatin1String("10"), &DisplayPreferences::mnuqn10_Click},
        {QLatin1String("12"), &DisplayPreferences::mnuqn12_Click},
        {QLatin1String("14"), &DisplayPreferences::mnuqn14_Click},
    };
    const std::pair<QLatin1String, Command> faces[] = {
        {QLatin1String("Arial"), &DisplayPreferences::mnuqnarial_Click},
        {QLatin1String("Times New Roman"), &DisplayPreferences::mnuqntimes_Click},
        {QLatin1String("Verdana"), &DisplayPreferences::mnuqnverdana_Click},
    };
    const QString size = SettingsStore::read(QStringLiteral("fontsize"), QStringLiteral("Value"),
                                             QStringLiteral("10"));
    for (const auto& [value, command] : sizes) {
        if (size == value) {
            (this->*command)();
        }
    }
    const QString face = SettingsStore::read(QStringLiteral("font"), QStringLiteral("Value"),
                                             QStringLiteral("Verdana"));
    for (const auto& [value, command] : faces) {
        if (face == value) {
            (this->*command)();
        }
    }
}
