#include "Fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <system_error>

#ifdef ZENTAVO_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace runtime {

std::jthread loadFontConfigurationAhead()
{
#ifdef ZENTAVO_HAVE_FONTCONFIG
    try {
        // Loads fontconfig's default configuration, the one Qt uses; fontconfig makes sure it
        // is loaded once however many threads ask.
        return std::jthread([] { FcInit(); });
    } catch (const std::system_error &) {
        // No thread to be had: Qt loads the configuration itself, as it otherwise would.
    }
#endif
    return {};
}

void registerTahoma()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    // Debian's fonts-wine puts its Tahoma where fontconfig does not look. Registering it even
    // where the desktop has a Tahoma of its own does no harm, and asking first would cost a scan
    // of every installed font at start-up.
    const QString wineTahoma = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
    if (QFile::exists(wineTahoma))
        QFontDatabase::addApplicationFont(wineTahoma);
}

QFont designFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

} // namespace runtime
