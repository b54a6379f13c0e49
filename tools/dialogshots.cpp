// SPDX-License-Identifier: MIT
// Pictures of the secondary windows for people to look at, not a test: writes colourpicker.png,
// swatches.png, workfolderdialog.png, aboutbox.png, aboutbox-full.png and helplinkdialog.png into the
// folder given (default "."), in the language of the locale. Run it under a virtual display:
//   xvfb-run -a build/bin/dialogshots /tmp/shots     (LANG=ja_JP.UTF-8 for the Japanese texts)
#include <QApplication>
#include <QDir>
#include <QHBoxLayout>

#include "dialogs/ui/aboutbox.h"
#include "dialogs/ui/colourbutton.h"
#include "dialogs/ui/colourpicker.h"
#include "dialogs/ui/colourswatch.h"
#include "dialogs/ui/desktophelpopener.h"
#include "dialogs/ui/helplinkdialog.h"
#include "dialogs/ui/messageboxservice.h"
#include "dialogs/ui/workfolderdialog.h"
#include "dialogs/workfoldertext.h"
#include "platform/tempfile.h"
#include "stringtable.h"

namespace {

void Shoot(QWidget& widget, const QString& folder, const QString& name) {
    widget.show();
    QApplication::processEvents();
    widget.grab().save(folder + '/' + name + ".png");
    widget.hide();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    aw::MessageBoxService messages; // nothing is clicked: neither is ever used
    aw::DesktopHelpOpener help(messages);

    QWidget swatches;
    auto* layout = new QHBoxLayout(&swatches);
    const auto swatch = [&](int id, QSize size, aw::Rgb foreground) {
        auto* made = new aw::ColourSwatch(id, &swatches);
        made->setFixedSize(size);
        made->SetForeground(foreground);
        layout->addWidget(made);
        return made;
    };
    auto* font = swatch(1022, {21, 21}, {255, 0, 0});
    auto* plain = swatch(1023, {45, 33}, {255, 0, 0});
    plain->SetBackground({255, 255, 153});
    swatch(1023, {45, 33}, {255, 255, 255})->SetBackgroundPicture(139);
    for (int state : {1, 0}) {
        auto* button = new aw::ColourButton(&swatches);
        button->setFixedSize(47, 61);
        button->SetFillColour({51, 102, 255});
        button->SetState(state);
        layout->addWidget(button);
    }
    Shoot(swatches, folder, "swatches");

    aw::ColourPicker picker(1, {255, 0, 0}, {255, 255, 255}, 16, 39, plain, font);
    Shoot(picker, folder, "colourpicker");
    aw::WorkFolderDialog option(aw::ShownWorkFolder(aw::SystemTempPath()), messages, help);
    Shoot(option, folder, "workfolderdialog");
    aw::AboutBox about(Qt::NoModifier, nullptr);
    Shoot(about, folder, "aboutbox");
    aw::AboutBox full(Qt::ShiftModifier | Qt::ControlModifier, nullptr);
    Shoot(full, folder, "aboutbox-full");
    aw::HelpLinkDialog note(aw::LoadText(aw::TextId::NamesChanged),
                            aw::LoadText(aw::TextId::InformationCaption), 2001, help);
    Shoot(note, folder, "helplinkdialog");
    return 0;
}
