#include "Keys.h"

namespace window {

QString keysHelp()
{
    return QStringLiteral(
        "Tangenter i fönstret:\n"
        "  Retur, nedåtpil   rullar ner det upprullade fönstret\n"
        "  Esc               stänger panelen som är öppen (som Avbryt, Nej),\n"
        "                    annars rullar upp fönstret\n"
        "  Ctrl+N            Ny\n"
        "  Ctrl+S            Spara; Retur i namnrutan är OK\n"
        "  Ctrl+Delete       Radera\n"
        "  Ctrl+Q            Avsluta\n"
        "  Ctrl+L            till listan, som glider ut; pilarna visar anteckningarna\n"
        "  Tab, Skift+Tab    mellan kontrollerna; blanksteg eller Retur trycker på knappen");
}

} // namespace window
