// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/StatusBar.h"

#include "platform/Twips.h"
#include "platform/WindowHost.h"

#include <QLabel>
#include <QLocale>
#include <QTime>
#include <QTimer>

namespace {

constexpr int kStatusHeight = 255;  // twips

const QString kCredit =
    QStringLiteral("Quindo HTML Editor \u00a9 1999 Tamblor9, written by Tamblor");

}  // namespace

StatusBar::StatusBar(WindowHost& host, QWidget* parent) : QStatusBar(parent), host_(host) {
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(true);
    setFixedHeight(Twips::toPixels(kStatusHeight));
    setFocusPolicy(Qt::TabFocus);
    auto addPanel = [this](const QString& text, int stretch) {
        auto* panel = new QLabel(text, this);
        // The panels never hold the window wider than the user makes it: they cut their
        // text instead.
        panel->setMinimumWidth(1);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        addPermanentWidget(panel, stretch);
        return panel;
    };
    QLabel* credit = addPanel(kCredit, 1);
    credit->setObjectName(QStringLiteral("Panel1"));
    credit->setToolTip(kCredit);
    // The second panel is a clock; its design text is "12:34 PM".
    QLabel* clock = addPanel(QStringLiteral("12:34 PM"), 0);
    clock->setObjectName(QStringLiteral("Panel2"));
    auto* tick = new QTimer(clock);
    auto showTime = [clock] {
        clock->setText(
            QLocale(QLocale::English).toString(QTime::currentTime(), QStringLiteral("h:mm AP")));
    };
    connect(tick, &QTimer::timeout, clock, showTime);
    showTime();
    tick->start(15000);
    addPanel(QStringLiteral("doc"), 0)->setObjectName(QStringLiteral("Panel3"));
    addPanel(QStringLiteral("Current Document"), 0)->setObjectName(QStringLiteral("Panel4"));
}

void StatusBar::mnuViewStatusBar_Click() {
    const QString tick = QStringLiteral("mnuViewStatusBar");
    const bool shown = !host_.isChecked(tick);
    setVisible(shown);
    host_.setChecked(tick, shown);
}
