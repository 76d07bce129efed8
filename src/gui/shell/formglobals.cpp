// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/formglobals.h"

#include "core/common/apptexts.h"
#include "core/common/settingsstore.h"
#include "core/common/twips.h"
#include "core/shell/shelltexts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace Globals {

namespace {

void centre(QWidget &window)
{
    const QScreen *screen = window.screen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = window.frameGeometry().size();
    window.move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

} // namespace

void CenterForm(QWidget &window)
{
    centre(window);
    // A window manager frames the window only once it is shown, so the size
    // above lacked the title bar and the window would sit half of it too low.
    // It is centred again, frame and all, as soon as the frame is known,
    // unless it was moved meanwhile. Without a window manager no frame comes.
    constexpr int intervalMs = 20;
    constexpr int shownTicks = 150;
    auto *frameWait = new QTimer(&window);
    frameWait->setInterval(intervalMs);
    QObject::connect(frameWait, &QTimer::timeout, &window,
                     [&window, frameWait, placed = window.pos(), ticks = 0]() mutable {
                         if (!window.isVisible())
                             return;
                         const bool framed = window.frameGeometry().size() != window.size();
                         if (framed && window.pos() == placed)
                             centre(window);
                         if (framed || window.pos() != placed || ++ticks > shownTicks)
                             frameWait->deleteLater();
                     });
    frameWait->start();
}

namespace {

void setBackground(QWidget &widget, const QColor &colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
}

bool isSkinnable(const QWidget *widget)
{
    return qobject_cast<const QRadioButton *>(widget) || qobject_cast<const QCheckBox *>(widget)
        || qobject_cast<const QGroupBox *>(widget) || qobject_cast<const QLabel *>(widget);
}

} // namespace

bool ApplySkin(QWidget &window, const QString &programFolder)
{
    const QFileInfo skin(QDir(programFolder).filePath(ShellTexts::skinFile()));
    if (!skin.isFile() || skin.isHidden())
        return false;

    const QColor buttonFace = window.palette().color(QPalette::Button);
    setBackground(window, buttonFace);
    window.setAutoFillBackground(true);
    const auto children = window.findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (isSkinnable(child))
            setBackground(*child, buttonFace);
    }

    QFile file(skin.filePath());
    if (file.open(QIODevice::ReadOnly | QIODevice::Text))
        qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
    return true;
}

void SaveWindowPlacement(const QWidget &window, SettingsStore &settings)
{
    const QString app = AppTexts::settingsApplication();
    const QString section = AppTexts::settingsSection();
    const std::pair<QString, std::function<int(const QRect &)>> placement[] = {
        {ShellTexts::keyLeft(), [](const QRect &r) { return r.x(); }},
        {ShellTexts::keyTop(), [](const QRect &r) { return r.y(); }},
        {ShellTexts::keyWidth(), [](const QRect &r) { return r.width(); }},
        {ShellTexts::keyHeight(), [](const QRect &r) { return r.height(); }},
    };
    for (const auto &[key, part] : placement) {
        if (window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
            continue;
        const double twips = Twips::fromPixels(part(window.frameGeometry()));
        settings.SaveSetting(app, section, key, QString::number(qRound64(twips)));
    }
}

} // namespace Globals
