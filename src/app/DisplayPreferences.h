// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class WindowHost;

// The Options menu's display preferences: the font size of the whole editing area, the
// font face of the selection, and the ticks that show the choice. Each choice is stored
// at once; start-up restores the stored ones through the same commands.
class DisplayPreferences {
  public:
    explicit DisplayPreferences(WindowHost& host) : host_(host) {}

    void mnuqn8_Click();
    void mnuqn10_Click();
    void mnuqn12_Click();
    void mnuqn14_Click();
    void mnuqnarial_Click();
    void mnuqntimes_Click();
    void mnuqnverdana_Click();

    // Runs the commands of the stored size and face (an unknown stored value runs none).
    void restoreStored();

  private:
    void setFontSize(int points);
    void setFontFace(const QString& face);
    void setChecks(const QStringList& group, const QString& checked);

    WindowHost& host_;
};
