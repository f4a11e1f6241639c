#include "Fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <sched.h>
#include <system_error>

#ifdef ZENTAVO_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace runtime {

std::jthread loadFontConfigurationAhead()
{
#ifdef ZENTAVO_HAVE_FONTCONFIG
    try {
        return std::jthread([] {
            // Only a processor that would otherwise be idle: the main thread, making the
            // application object, and the display server need both of a small machine's.
            const sched_param none{};
            sched_setscheduler(0, SCHED_IDLE, &none);
            loadFontConfiguration();
        });
    } catch (const std::system_error &) {
        // No thread to be had: the configuration loads when the main thread asks for it.
    }
#endif
    return {};
}

void loadFontConfiguration()
{
#ifdef ZENTAVO_HAVE_FONTCONFIG
    // fontconfig's default configuration, the one Qt uses. Asked on two threads at once, each
    // loads it and the first to finish is kept, so neither waits for the other.
    FcInit();
#endif
}

void registerTahoma()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    // Debian's fonts-wine puts its Tahoma where fontconfig does not look. Registering it even
    // where the desktop has a Tahoma of its own does no harm.
    const char *const wineTahoma = "/usr/share/wine/fonts/tahoma.ttf";
    if (!QFile::exists(QString::fromLatin1(wineTahoma)))
        return;
#ifdef ZENTAVO_HAVE_FONTCONFIG
    // Added to fontconfig before Qt first lists the installed fonts, Tahoma is among them when it
    // does; added through Qt, it would make Qt list them all a second time.
    FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8 *>(wineTahoma));
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        return;
#endif
    // Qt had listed the fonts already, or the build has no fontconfig.
    QFontDatabase::addApplicationFont(QString::fromLatin1(wineTahoma));
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
