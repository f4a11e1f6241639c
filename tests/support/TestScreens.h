#pragma once

// The screens of Qt's offscreen platform, laid out by a test as a desktop lays out its monitors:
// each one's name, place in pixels and dots per inch. The platform tells Qt of every change the
// way a desktop's platform does, so Qt raises its own signals: screens added and removed, moved or
// resized, given another resolution, another one made the primary.

#include <QList>
#include <QRect>
#include <QString>

namespace testsupport {

struct TestScreen
{
    QString name;
    QRect geometry;
    int dpi = 96;
};

// Lays the screens out, the first being the primary, and delivers the changes Qt hears of before
// it returns. Screens are told apart by their names: a name already there is that screen moved,
// resized or set to another resolution. False when the platform cannot lay screens out (only
// the offscreen platform can).
bool layOutScreens(const QList<TestScreen> &screens);

} // namespace testsupport
