// The menus of the image editor window, built from one entry table per menu.
//
// An entry without a handler is a command whose operation is not part of the program yet: it
// is shown, with its caption, shortcut and hint, but stays disabled. Giving it its handler in
// the table is all it takes to make it work.
#include "TDIBMainForm.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include <initializer_list>
#include <vector>

namespace {

using Handler = void (TDIBMainForm::*)();

enum class Kind { Item, Separator, Submenu, EndSubmenu };

struct Entry {
    Kind kind;
    const char* name = "";
    const char* caption = "";
    const char* shortcut = ""; // portable text: "Ctrl+N", "Shift+Alt+S", "Del"
    const char* hint = "";
    Handler handler = nullptr;
};

Entry item(const char* name, const char* caption, const char* shortcut, const char* hint,
           Handler handler = nullptr) {
    return {Kind::Item, name, caption, shortcut, hint, handler};
}

Entry separator() {
    return {Kind::Separator};
}

Entry submenu(const char* name, const char* caption, const char* hint = "") {
    return {Kind::Submenu, name, caption, "", hint};
}

Entry endSubmenu() {
    return {Kind::EndSubmenu};
}

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

void TDIBMainForm::createMenus() {
    auto makeMenu = [this](QWidget* parent, const char* name, const char* caption,
                           const char* hint) {
        auto* menu = new QMenu(text(caption), parent);
        menu->setObjectName(QLatin1String(name));
        // The entry that opens the menu carries its name too, so that every command is
        // found the same way.
        menu->menuAction()->setObjectName(QLatin1String(name));
        menu->menuAction()->setStatusTip(text(hint));
        registerCommand(menu->menuAction(), true);
        return menu;
    };
    auto fill = [this, &makeMenu](QMenu* top, std::initializer_list<Entry> entries) {
        std::vector<QMenu*> open{top};
        for (const Entry& e : entries) {
            QMenu* menu = open.back();
            switch (e.kind) {
            case Kind::Separator:
                menu->addSeparator();
                break;
            case Kind::Submenu: {
                QMenu* sub = makeMenu(menu, e.name, e.caption, e.hint);
                menu->addMenu(sub);
                open.push_back(sub);
                break;
            }
            case Kind::EndSubmenu:
                open.pop_back();
                break;
            case Kind::Item: {
                auto* action = new QAction(text(e.caption), menu);
                action->setObjectName(QLatin1String(e.name));
                action->setShortcut(
                    QKeySequence(QLatin1String(e.shortcut), QKeySequence::PortableText));
                action->setStatusTip(text(e.hint));
                if (e.handler) {
                    connect(action, &QAction::triggered, this, e.handler);
                }
                menu->addAction(action);
                registerCommand(action, e.handler != nullptr);
                break;
            }
            }
        }
    };
    auto topMenu = [this, &makeMenu](const char* name, const char* caption, const char* hint) {
        QMenu* menu = makeMenu(MainMenu, name, caption, hint);
        MainMenu->addMenu(menu);
        return menu;
    };

    File1 = topMenu("File1", "&Datei", "Dateibefehle");
    fill(File1, {
                    item("FileNewItem", "&Neu...", "Ctrl+N", "Neue Datei erzeugen",
                         &TDIBMainForm::FileNewItemClick),
                    item("FileOpenItem", "Ö&ffnen...", "Ctrl+O", "Existierende Datei öffnen",
                         &TDIBMainForm::FileOpenItemClick),
                    separator(),
                    item("FileSaveItem", "S&peichern", "Ctrl+S", "Aktuelle Datei speichern",
                         &TDIBMainForm::FileSaveItemClick),
                    item("FileSaveAsItem", "Speichern &unter...", "F12",
                         "Aktuelle Datei speichern unter...", &TDIBMainForm::FileSaveAsItemClick),
                    separator(),
                    item("Bildscannen1", "Bild &scannen...", "",
                         "Holt ein Bild vom ausgewählen Scanner", &TDIBMainForm::Bildscannen1Click),
                    item("Scannerauswhlne1", "Scanner auswä&hlen...", "",
                         "Läßt Sie einen Scanner auswählen", &TDIBMainForm::Scannerauswhlne1Click),
                    separator(),
                    item("Druckereinrichten1", "Drucker &einrichten...", "",
                         "Läßt Sie den Drucker einrichten", &TDIBMainForm::Druckereinrichten1Click),
                    item("Drucken1", "&Drucken...", "Ctrl+P", "Druckt das Bild",
                         &TDIBMainForm::Drucken1Click),
                    separator(),
                    item("FileExitItem", "&Beenden", "", "Programm beenden",
                         &TDIBMainForm::FileExitItemClick),
                });

    Bearbeiten1 = topMenu("Bearbeiten1", "&Bearbeiten", "");
    fill(
        Bearbeiten1,
        {
            item("Rckgngig1", "&Rückgängig", "Ctrl+Z", "Macht die letzte Aktion Rückgängig",
                 &TDIBMainForm::Rckgngig1Click),
            separator(),
            item("CutItem", "&Ausschneiden", "Ctrl+X", "In die Zwischenablage verschieben",
                 &TDIBMainForm::CutItemClick),
            item("CopyItem", "&Kopieren", "Ctrl+C", "In die Zwischenablage kopieren",
                 &TDIBMainForm::CopyItemClick),
            submenu("PasteItem", "&Einfügen", "Aus der der Zwischenablage einfügen"),
            item("AlsBild1", "Als neues &Bild", "Ctrl+V", "", &TDIBMainForm::AlsBild1Click),
            item("AlsAuswahl1", "Als neue &Auswahl", "Ctrl+E", "", &TDIBMainForm::AlsAuswahl1Click),
            item("AlstransparenteAuswahl1", "Als &transparente Auswahl", "Shift+Ctrl+E", "",
                 &TDIBMainForm::AlstransparenteAuswahl1Click),
            endSubmenu(),
            item("Lschen1", "&Löschen", "Del",
                 "Füllt die aktuelle Auswahl oder das gesamte Bild mit der Hintergrundfarbe",
                 &TDIBMainForm::Lschen1Click),
            separator(),
            item("Zwischenablagelschen1", "&Zwischenablage löschen", "",
                 "Löscht die Zwischenablage", &TDIBMainForm::Zwischenablagelschen1Click),
        });

    Betrachten1 = topMenu("Betrachten1", "B&etrachten", "");
    {
        auto* oneToOne = new QAction(text("&Nicht vergrößert (1:1)"), Betrachten1);
        oneToOne->setObjectName(QStringLiteral("Nichtvergrert111"));
        oneToOne->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+N")));
        oneToOne->setStatusTip(text("Zeigt das Bild in seiner Orginalgröße"));
        connect(oneToOne, &QAction::triggered, this, [this] { SetZoom(1, 1); });
        Betrachten1->addAction(oneToOne);
        registerCommand(oneToOne, true);
        // N211 ... N1611 show n:1, N121 ... N1161 show 1:n; the digits 2 to 9 are accelerators.
        QMenu* larger =
            makeMenu(Betrachten1, "Vergrert1", "Ver&größert", "Zeigt das Bild vergrößert");
        QMenu* smaller =
            makeMenu(Betrachten1, "Verkleinert1", "Ver&kleinert", "Zeigt das Bild verkleinert");
        Betrachten1->addMenu(larger);
        Betrachten1->addMenu(smaller);
        for (int n = 2; n <= 16; ++n) {
            const QString digits = n <= 9 ? QStringLiteral("&%1").arg(n) : QString::number(n);
            auto* in = new QAction(digits + QStringLiteral(":1"), larger);
            in->setObjectName(QStringLiteral("N") + QString::number(n) + QStringLiteral("11"));
            connect(in, &QAction::triggered, this, [this, n] { SetZoom(n, 1); });
            larger->addAction(in);
            registerCommand(in, true);
            auto* out = new QAction(QStringLiteral("1:") + digits, smaller);
            // "1:11" would take the name of "11:1"; it gets the next free one.
            out->setObjectName(n == 11 ? QStringLiteral("N1112")
                                       : QStringLiteral("N1") + QString::number(n) +
                                             QStringLiteral("1"));
            connect(out, &QAction::triggered, this, [this, n] { SetZoom(1, n); });
            smaller->addAction(out);
            registerCommand(out, true);
        }
        Betrachten1->addSeparator();
        auto* bars = new QAction(text("Werkzeugleisten..."), Betrachten1);
        bars->setObjectName(QStringLiteral("Toolbars1"));
        bars->setStatusTip(text("Legt die angezeigten Werkzeugleisten fest"));
        connect(bars, &QAction::triggered, this, &TDIBMainForm::Toolbars1Click);
        Betrachten1->addAction(bars);
        registerCommand(bars, true);
    }

    Bild1 = topMenu("Bild1", "B&ild", "");
    fill(
        Bild1,
        {
            item("Horizontalspiegeln1", "&Horizontal spiegeln", "Ctrl+I",
                 "Spiegelt das Bild an einer horizontalen Geraden",
                 &TDIBMainForm::Horizontalspiegeln1Click),
            item("Vertikalspiegeln1", "&Vertikal spiegeln", "Ctrl+M",
                 "Spiegelt das Bild an einer vertikalen Geraden",
                 &TDIBMainForm::Vertikalspiegeln1Click),
            item("Rotieren1", "&Rotieren...", "Ctrl+R", "Rotiert das Bild",
                 &TDIBMainForm::Rotieren1Click),
            separator(),
            item("Randhinzufgen1", "R&and hinzufügen...", "", "Fügt einen Rand hinzu",
                 &TDIBMainForm::Randhinzufgen1Click),
            item("Rahmenvergrern1", "&Leinwandgröße ändern...", "", "Ändert die Größe des Bildes",
                 &TDIBMainForm::Rahmenvergrern1Click),
            item("ZurAuswahlverkleinern1", "Zur Auswahl ver&kleinern", "Shift+Alt+S",
                 "Lässt nur die Auswahl übrig", &TDIBMainForm::ZurAuswahlverkleinern1Click),
            item("Grendern1", "&Größe ändern...", "Shift+Alt+R",
                 "Vergrößert oder verkleinert das Bild", &TDIBMainForm::Grendern1Click),
            separator(),
            submenu("Deformationen1", "&Deformationen", "Deformiert das Bild"),
            item("Perspektive1", "&Perspektive/Schrägstellen...", "", "",
                 &TDIBMainForm::Perspektive1Click),
            item("Wlben1", "&Wölben...", "", "", &TDIBMainForm::Wlben1Click),
            endSubmenu(),
            submenu("Effekte1", "E&ffekte", "Wendet spezielle Effekte auf die Auswahl an"),
            item("Druckknopferstellen1", "Druckknopf erstellen...", "", "",
                 &TDIBMainForm::Druckknopferstellen1Click),
            item("Schattenhinzufgen1", "&Schatten hinzufügen...", "", "",
                 &TDIBMainForm::Schattenhinzufgen1Click),
            endSubmenu(),
            separator(),
            submenu("EckFilter1", "&Eck Filter", "Filter die sich auf Ecken im Bild auswirken"),
            item("Eckenhervorheben1", "&Ecken hervorheben", "", "",
                 &TDIBMainForm::BuiltinFilterItemClick),
            item("Eckenfinden1", "Ecken &finden", "", "", &TDIBMainForm::BuiltinFilterItemClick),
            item("HorizontaleEckenfinden1", "&Horizontale Ecken finden", "", "",
                 &TDIBMainForm::BuiltinFilterItemClick),
            item("VertikaleEckenfinden1", "&Vertikale Ecken finden", "", "",
                 &TDIBMainForm::BuiltinFilterItemClick),
            item("Konturenzeichnen1", "&Konturen zeichnen", "", "",
                 &TDIBMainForm::BuiltinFilterItemClick),
            endSubmenu(),
            submenu("FokussierungsFilter1", "Foku&ssierungs Filter",
                    "Filter die die Schärfe regulieren"),
            item("SchwachWeichzeichnen1", "Schwach We&ichzeichnen", "", "",
                 &TDIBMainForm::BuiltinFilterItemClick),
            item("Soften1", "&Weichzeichnen", "", "", &TDIBMainForm::BuiltinFilterItemClick),
            item("StarkSoften1", "Stark W&eichzeichnen", "", "",
                 &TDIBMainForm::BuiltinFilterItemClick),
            separator(),
            item("Sharpen1", "&Schärfen", "", "", &TDIBMainForm::BuiltinFilterItemClick),
            item("StarkSchrfen1", "Stark Sch&ärfen", "", "", &TDIBMainForm::BuiltinFilterItemClick),
            endSubmenu(),
            submenu("Strungen1", "&Störungen", "Filter die Störungen erzeugen oder entfernen"),
            item("Hinzufgen1", "&Hinzufügen...", "", "", &TDIBMainForm::Hinzufgen1Click),
            item("Entfernen1", "&Entfernen...", "", "", &TDIBMainForm::Entfernen1Click),
            endSubmenu(),
            submenu("SpezialFilter1", "Spe&zial Filter", "Spezielle Filter"),
            item("Erweitern1", "&Erweitern", "", "", &TDIBMainForm::Erweitern1Click),
            item("Emboss1", "Emboss &Horizontal", "", "", &TDIBMainForm::BuiltinFilterItemClick),
            item("EmbossVertikal1", "Emboss &Vertikal", "", "",
                 &TDIBMainForm::BuiltinFilterItemClick),
            item("Auswachen1", "&Auswaschen", "", "", &TDIBMainForm::Auswachen1Click),
            item("MosaikEffekt1", "&Mosaik Effekt...", "", "", &TDIBMainForm::MosaikEffekt1Click),
            endSubmenu(),
            separator(),
            item("BenutzerdefinierteFilter1", "Benu&tzerdefinierte Filter...", "",
                 "Lässt Sie eigene Filter erstellen, bearbeiten und anwenden",
                 &TDIBMainForm::BenutzerdefinierteFilter1Click),
        });

    Farben1 = topMenu("Farben1", "F&arben", "");
    fill(Farben1,
         {
             submenu("Anpassen1", "&Anpassen", "Verändert wichtige Eigenschaften der Bildfarbe"),
             item("HelligkeitundKontrast1", "&Helligkeit, Kontrast und Sättigung...", "", "",
                  &TDIBMainForm::HelligkeitundKontrast1Click),
             item("GammaKorrektion1", "Gamma  &Korrektur...", "", "",
                  &TDIBMainForm::GammaKorrektion1Click),
             item("GlanzlichtMitteSchatten1", "&Glanzlicht, Mitte, Schatten...", "", "",
                  &TDIBMainForm::GlanzlichtMitteSchatten1Click),
             item("RotGrnBlau1", "&Rot/Grün/Blau...", "", "", &TDIBMainForm::RotGrnBlau1Click),
             endSubmenu(),
             item("Colorieren1", "&Colorieren...", "Shift+Alt+L",
                  "Macht ein Schwarz-Weiß Bild farbig", &TDIBMainForm::Colorieren1Click),
             item("Graustufen1", "&Graustufen", "", "Nimmt einem farbiges Bild die Farbe",
                  &TDIBMainForm::Graustufen1Click),
             item("HistogramFunktionen1", "&Farbverteilung optimieren", "",
                  "Verteielt die Farben über das gesamte Histogramm",
                  &TDIBMainForm::HistogramFunktionen1Click),
             item("Farbenumkehren1", "Farben &umkehren", "", "Aus hell wird dunkel und umgekehrt",
                  &TDIBMainForm::Farbenumkehren1Click),
             item("Tiefebeschrnken1", "Tiefe &beschränken...", "Shift+Alt+Z",
                  "Beschränkt die Anzahl der Bits pro Pixel", &TDIBMainForm::Tiefebeschrnken1Click),
             item("Solarisieren1", "S&olarisieren...", "",
                  "Kehrt die Farben ab einer bestimmten Helligkeit um",
                  &TDIBMainForm::Solarisieren1Click),
             separator(),
             item("PaletteladenBildanpassen1", "&Palette laden + Bild anpassen...", "Shift+Alt+O",
                  "Lädt eine andere Farbpalette", &TDIBMainForm::PaletteladenBildanpassen1Click),
             item("Paletteladen1", "Palette &laden...", "",
                  "Lädt eine andere Farbpalette; läßt die Pixel gleich",
                  &TDIBMainForm::Paletteladen1Click),
             item("Palettespeichern1", "Palette &speichern...", "", "Speichert die Farbpalette",
                  &TDIBMainForm::Palettespeichern1Click),
             item("Paletteeditieren1", "Palette &editieren...", "Shift+Alt+P",
                  "Verändert die Farbpalette", &TDIBMainForm::Paletteeditieren1Click),
             separator(),
             item("BenutzteFarbenzhlen1", "&Benutzte Farben zählen", "",
                  "Zählt die in der Auswahl benutzen Farben",
                  &TDIBMainForm::BenutzteFarbenzhlen1Click),
             submenu("Farbtiefeverkleinern1", "Farbtiefe ver&kleinern",
                     "Verkleinert die Zahl der benutzen Farben"),
             item("N2Farbent1Bit1", "&2 Farben (1 Bit)...", "", "",
                  &TDIBMainForm::N2Farbent1Bit1Click),
             item("N16Farbent4Bit1", "&16 Farben (4 Bit)...", "", "",
                  &TDIBMainForm::N16Farbent4Bit1Click),
             item("N256Farbent8Bit1", "2&56 Farben (8 Bit)...", "", "",
                  &TDIBMainForm::N256Farbent8Bit1Click),
             separator(),
             item("XFarben4Bit8Bit1", "&X Farben (4 Bit/8 Bit)...", "", "",
                  &TDIBMainForm::XFarben4Bit8Bit1Click),
             endSubmenu(),
             submenu("Farbtiefevergrern1", "Farbtiefe &vergrößern",
                     "Vergrößert die Zahl der benutzten Farben"),
             item("N16Farbent4Bit2", "&16 Farben (4 Bit)", "", "",
                  &TDIBMainForm::N16Farbent4Bit2Click),
             item("N256Farbent8Bit2", "2&56 Farben (8 Bit)", "", "",
                  &TDIBMainForm::N256Farbent8Bit2Click),
             item("N16MillionenFarbent24Bit1", "1&6 Millionen Farben (24 Bit)", "", "",
                  &TDIBMainForm::N16MillionenFarbent24Bit1Click),
             endSubmenu(),
         });

    Auswahl1 = topMenu("Auswahl1", "&Auswahl", "");
    fill(Auswahl1,
         {
             item("Allesauswhlen1", "&Alles auswählen", "Ctrl+A", "Wählt das gesamte Bild aus",
                  &TDIBMainForm::Allesauswhlen1Click),
             item("Nichtauswhlen1", "&Nicht auswählen", "Ctrl+D",
                  "Deaktiviert die aktuelle Auswahl", &TDIBMainForm::Nichtauswhlen1Click),
             item("Auswahlumkeheren1", "Auswahl &umkehren", "Shift+Ctrl+I",
                  "Kehrt die aktuelle Auswahl um", &TDIBMainForm::Auswahlumkeheren1Click),
             separator(),
             item("VomUntergrundlsen1", "Vom Untergrund &lösen", "Ctrl+F",
                  "Lößt die Auswahl vom Hintergrund", &TDIBMainForm::VomUntergrundlsen1Click),
             item("MitUntergrundverschmelzen1", "Mit Untergrund &verschmelzen", "Shift+Ctrl+F",
                  "Die Auswahl wird unbeweglich und mit dem Hintergund verbunden",
                  &TDIBMainForm::MitUntergrundverschmelzen1Click),
         });
}
