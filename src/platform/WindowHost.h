// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class Dialogs;
class EditingArea;
class QWidget;

// What the features see of the main window: its editing area, the dialogs, the caption,
// the menu ticks and the small windows it keeps. The features keep their own state and
// reach the window only through this interface, so each can be driven by a test without
// the rest of the program.
class WindowHost {
  public:
    virtual ~WindowHost() = default;

    // The main window itself, as the owner of the small windows it shows.
    virtual QWidget& window() = 0;
    virtual EditingArea& editingArea() = 0;
    virtual Dialogs& dialogs() = 0;

    virtual QString caption() const = 0;
    virtual void setCaption(const QString& caption) = 0;

    // The tick of a checkable menu item, by control name.
    virtual bool isChecked(const QString& controlName) const = 0;
    virtual void setChecked(const QString& controlName, bool checked) = 0;

    // The open small window of that name, or null.
    virtual QWidget* secondaryWindow(const QString& name) const = 0;
    // Shows the window of that name: creates it with make() when it is not open,
    // otherwise leaves the open one as it is and raises it.
    virtual QWidget* showSecondaryWindow(const QString& name,
                                         const std::function<QWidget*()>& make) = 0;
    // Closes every small window, in the order of the way out.
    virtual void closeSecondaryWindows() = 0;
};
