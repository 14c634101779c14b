// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/GoToLine.h"

#include "platform/EditingArea.h"
#include "platform/SecondaryWindow.h"
#include "platform/WindowHost.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

namespace {

class GoToWindow : public SecondaryWindow {
  public:
    GoToWindow(QWidget* owner, GoToLine& command)
        : SecondaryWindow(owner, QStringLiteral("Go to Line"), QSize(3900, 1260), Place::System,
                          /*topmost=*/true),
          command_(command) {
        label = addLabel(QStringLiteral("lblLine"), QString(), 120, 165, 2100, 255,
                         /*plain=*/true);
        number = place(new QSpinBox, QStringLiteral("txtLine"), 2280, 120, 1500, 330);
        auto* ok = addButton(QStringLiteral("cmdOK"), QStringLiteral("OK"), 1080, 720, 1275, 375);
        ok->setDefault(true);
        auto* cancel =
            addButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), 2505, 720, 1275, 375);
        setFocusOrder({number, ok, cancel});
        connect(ok, &QPushButton::clicked, this, [this] { accept(); });
        connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    }

    // The range and the caret's line, from the page as it is now.
    void fill(int lines, int current) {
        label->setText(QStringLiteral("Line number (1 to %1):").arg(lines));
        number->setRange(1, lines);
        number->setValue(current);
        number->setFocus(Qt::OtherFocusReason);
        number->selectAll();
    }

    QLabel* label;
    QSpinBox* number;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        // Return presses the focused push button, and OK anywhere else.
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && !qobject_cast<QPushButton*>(focusWidget())) {
            accept();
            return;
        }
        SecondaryWindow::keyPressEvent(event);
    }

  private:
    void accept() {
        number->interpretText();
        const int line = number->value();
        close();
        command_.go(line);
    }
    GoToLine& command_;
};

}  // namespace

const QString GoToLine::kWindowName = QStringLiteral("frmGoTo");

void GoToLine::show() {
    EditingArea& area = host_.editingArea();
    const auto lines = static_cast<int>(area.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT));
    const auto current = static_cast<int>(area.SendScintilla(
        QsciScintillaBase::SCI_LINEFROMPOSITION,
        static_cast<unsigned long>(area.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS))));
    auto* window = static_cast<GoToWindow*>(host_.showSecondaryWindow(
        kWindowName, [this] { return new GoToWindow(&host_.window(), *this); }));
    window->activateWindow();
    window->fill(lines, current + 1);
}

void GoToLine::go(int line) {
    EditingArea& area = host_.editingArea();
    const auto lines = static_cast<int>(area.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT));
    // SCI_GOTOLINE puts the caret at the start of the line and scrolls it into view.
    area.SendScintilla(QsciScintillaBase::SCI_GOTOLINE,
                       static_cast<unsigned long>(std::clamp(line, 1, lines) - 1));
    area.SendScintilla(QsciScintillaBase::SCI_CHOOSECARETX);
    host_.window().activateWindow();
    area.SetFocus();
}
