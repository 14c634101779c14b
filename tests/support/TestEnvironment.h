// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTemporaryDir>

// A private config home for the settings store, a private state home for recovery copies, and a
// program folder with copies of the data files, for the life of one test program. Create it before
// any QSettings is used.
class TestEnvironment {
  public:
    TestEnvironment();
    QString configHome() const { return config_.path(); }
    QString settingsFile() const;
    // Removes every stored setting.
    void resetSettings();
    // The INI file's text, to check what was written.
    QString settingsText() const;

  private:
    QTemporaryDir config_;
    QTemporaryDir state_;
};
