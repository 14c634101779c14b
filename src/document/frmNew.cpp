// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/frmNew.h"

#include "platform/Pictures.h"
#include "platform/Twips.h"
#include "platform/WindowHost.h"

#include <QLabel>
#include <QPushButton>

frmNew::frmNew(WindowHost& host, Choices choices)
    : SecondaryWindow(&host.window(),
                      QStringLiteral("New document? Current content will be lost..."),
                      QSize(4995, 1830), Place::Centred),
      choices_(std::move(choices)) {
    // The window is designed for a narrow 8-point face; wider type would not fit its
    // labels.
    QFont small = font();
    small.setFamilies({QStringLiteral("Liberation Sans"), small.family()});
    small.setPointSize(8);
    setFont(small);
    QPushButton* newButton =
        addButton(QStringLiteral("Command1"), QStringLiteral("New"), 720, 45, 1140, 375);
    QPushButton* cancel =
        addButton(QStringLiteral("Command2"), QStringLiteral("Cancel"), 720, 1350, 1140, 375);
    QLabel* label1 = addLabel(QStringLiteral("Label1"),
                              QStringLiteral("Create a new blank document."), 1935, 45, 2940, 240);
    QPushButton* loadBlank =
        addButton(QStringLiteral("Command4"), QStringLiteral("Load Blank"), 720, 540, 1140, 375);
    QLabel* label2 = addLabel(
        QStringLiteral("Label2"),
        QStringLiteral("Create a new blank document with headers and meta tags already in place."),
        1935, 540, 2940, 465);
    QLabel* label4 = addLabel(QStringLiteral("Label4"),
                              QStringLiteral("Return to current document."), 1935, 1350, 2940, 240);
    addHorizontalLine(QStringLiteral("Line1"), 315, 1215, 4815);
    auto* image = place(new QLabel, QStringLiteral("Image1"), 90, 45, 540, 540);
    const int side = Twips::toPixels(540);
    image->setPixmap(Pictures::programIcon().pixmap(QSize(side, side), devicePixelRatioF()));
    image->setScaledContents(true);

    setFocusOrder({newButton, cancel, label1, loadBlank, label2, label4});

    connect(newButton, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(cancel, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(loadBlank, &QPushButton::clicked, this, [this] { Command4_Click(); });
}

void frmNew::Command1_Click() {
    if (choices_.empty()) {
        close();
    }
}

void frmNew::Command2_Click() {
    close();
}

void frmNew::Command4_Click() {
    if (choices_.template_()) {
        close();
    }
}
