// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AuxiliaryWindows.h"

#include "app/Credits.h"
#include "app/ProgramInfo.h"
#include "app/SettingsStore.h"
#include "platform/Pictures.h"
#include "platform/PlainTextBox.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

struct LabelDesign {
    const char* name;
    QString text;
    int left;
    int top;
    int width;
    int height;
};

QList<QWidget*> addLabels(SecondaryWindow& window, std::initializer_list<LabelDesign> labels) {
    QList<QWidget*> added;
    for (const LabelDesign& l : labels) {
        added << window.addLabel(QString::fromLatin1(l.name), l.text, l.left, l.top, l.width,
                                 l.height);
    }
    return added;
}

QPlainTextEdit* addTextBox(SecondaryWindow& window, int left, int top, int width, int height,
                           bool scrollBars) {
    auto* box = window.place(new PlainTextBox, QStringLiteral("Text1"), left, top, width, height);
    const Qt::ScrollBarPolicy policy = scrollBars ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    box->setHorizontalScrollBarPolicy(policy);
    box->setVerticalScrollBarPolicy(policy);
    // With a horizontal bar long lines scroll; without one they wrap at the box's edge.
    box->setLineWrapMode(scrollBars ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    return box;
}

}  // namespace

// ---- frmfirst -------------------------------------------------------------------------

frmfirst::frmfirst(QWidget* owner)
    : SecondaryWindow(owner, QStringLiteral("Quindo"), QSize(3360, 2310), Place::Centred,
                      /*topmost=*/true) {
    label1_ = addLabel(QStringLiteral("Label1"), welcomeText(), 45, 45, 3255, 1725);
    // This label keeps the default text colour on the window background.
    QPalette colours = label1_->palette();
    colours.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::WindowText));
    label1_->setPalette(colours);
    command1_ =
        addButton(QStringLiteral("Command1"), QStringLiteral("Close"), 1125, 1890, 1185, 330);
    connect(command1_, &QPushButton::clicked, this, &frmfirst::Command1_Click);
    setFocusOrder({label1_, command1_});
}

QString frmfirst::welcomeText() {
    return QStringLiteral(
        "Welcome to Quindo!  It appears this is the first time you have run the Editor.  "
        "Please take a moment to read \"Using Quindo\" in the Help menu to become familiar "
        "with the editor and it's functions.  If you want to add right click editing to your "
        "HTML documents, then select Options and then Set Registry Keys. Thanks and happy "
        "creating! -Tamblor.");
}

void frmfirst::Command1_Click() {
    close();
}

// ---- frmAbout -------------------------------------------------------------------------

frmAbout::frmAbout(QWidget* owner)
    : SecondaryWindow(owner, QStringLiteral("Tamblor Hyper Text Editor"), QSize(3960, 3915),
                      Place::Centred) {
    auto* image1 = place(new QLabel, QStringLiteral("Image1"), 45, 45, Pictures::kLogoTwips,
                         Pictures::kLogoTwips);
    image1->setScaledContents(true);
    image1->setPixmap(
        Pictures::logo(Twips::toDevicePixels(Pictures::kLogoTwips, devicePixelRatioF())));
    image1->setToolTip(Credits::logoTip());

    // In focus order; the Tab numbers of the design run 0 (Label3) to 7 (Label7).
    const QList<QWidget*> labels = addLabels(
        *this,
        {
            {"Label3", Credits::webAddress(), 630, 855, 3135, 255},
            {"Label1", QStringLiteral("Quindo HTML Editor"), 630, 45, 3135, 255},
            {"Label2", Credits::makerLine(), 630, 585, 3135, 255},
            {"Label4", Credits::emailAddress(), 630, 1125, 3135, 255},
            {"Label5",
             QStringLiteral("This is the third generation of Quindo.  A few crashes and changes in "
                            "Visual Studio have caused me to rewrite this program several times.  "
                            "The good side is, it's better than ever and excellent for hardcore "
                            "HTML geeks and newbies alike.  I hope you enjoy it."),
             630, 1440, 3135, 1605},
        });
    command1_ =
        addButton(QStringLiteral("Command1"), QStringLiteral("Close"), 1575, 3465, 1230, 330);
    connect(command1_, &QPushButton::clicked, this, &frmAbout::Command1_Click);
    label6_ = addLabel(QStringLiteral("Label6"), QString(), 630, 3105, 3135, 255);
    label7_ = addLabel(QStringLiteral("Label7"), QString(), 630, 315, 3135, 255);
    setFocusOrder(labels + QList<QWidget*>{command1_, label6_, label7_});
}

void frmAbout::Form_Load() {
    const QString count =
        SettingsStore::read(QStringLiteral("Run"), QStringLiteral("Value"), QStringLiteral("0"));
    label6_->setText(QStringLiteral("Quindo has been run ") + count + QStringLiteral(" times."));
    label7_->setText(ProgramInfo::versionText());
}

void frmAbout::Command1_Click() {
    close();
}

// ---- frmList --------------------------------------------------------------------------

frmList::frmList(QWidget* owner)
    : SecondaryWindow(owner, QStringLiteral("List Code Examples"), QSize(2715, 2700),
                      Place::System) {
    text1_ = addTextBox(*this, 45, 45, 2625, 2625, /*scrollBars=*/false);
    // The box keeps line breaks of its own; a CR LF pair becomes one of them.
    text1_->setPlainText(exampleText());
    setFocusOrder({text1_});
}

QString frmList::exampleText() {
    return QStringLiteral(
        "Unordered List with Bullets-\r\n"
        "<UL>\r\n"
        "  <LI>Bullet 1</LI>\r\n"
        "  <LI>Bullet 2</LI>\r\n"
        "  <LI>Bullet 3</LI>\r\n"
        "</UL>\r\n"
        "Ordered List with Numbers-\r\n"
        "<OL>\r\n"
        "  <LI>Line #1</LI>\r\n"
        "  <LI>Line #2</LI>\r\n"
        "  <LI>Line #3</LI>\r\n"
        "</OL>\r\n");
}

QString frmList::text() const {
    return text1_->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

// ---- frmPad ---------------------------------------------------------------------------

frmPad::frmPad(QWidget* owner)
    : SecondaryWindow(owner, QStringLiteral("Scratch Pad"), QSize(2355, 2355), Place::System,
                      /*topmost=*/true) {
    text1_ = addTextBox(*this, 45, 45, 2265, 2265, /*scrollBars=*/true);
    setFocusOrder({text1_});
    // The notes go with the window: one stray Escape must not lose them.
    setClosesOnEscape(false);
}
