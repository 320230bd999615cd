// The commands of "Bild" and "Farben" and printing, reached through their menus and shortcuts as
// the user reaches them: each answers its dialog, changes the picture as its operation does
// with the values chosen, and leaves the undo steps it should.
#include "editor/ui/TDIBMainForm.h"
#include "editor/ui/TPrintForm.h"
#include "editor/ui/TUserFilterForm.h"

#include "ModalDialogs.h"
#include "Pictures.h"
#include "TestSupport.h"
#include "foundation/DibCopy.h"
#include "foundation/grafikrw3/Quantize.h"
#include "foundation/ui/FileDialogs.h"
#include "image/ImageDocument.h"
#include "imageops/Adjustments.h"
#include "imageops/ColorCount.h"
#include "imageops/Deformations.h"
#include "imageops/Effects.h"
#include "imageops/Filters.h"
#include "imageops/PaletteFile.h"
#include "imageops/UserFilterFile.h"
#include "imageops/ui/TAddBForm.h"
#include "imageops/ui/TButtonForm.h"
#include "imageops/ui/TCanvasSForm.h"
#include "imageops/ui/TColizeForm.h"
#include "imageops/ui/TDelNoiseForm.h"
#include "imageops/ui/TGammaForm.h"
#include "imageops/ui/THKForm.h"
#include "imageops/ui/TLightForm.h"
#include "imageops/ui/TMosaikForm.h"
#include "imageops/ui/TNoiseForm.h"
#include "imageops/ui/TPerspForm.h"
#include "imageops/ui/TPosterFaktor.h"
#include "imageops/ui/TRGBForm.h"
#include "imageops/ui/TResizeForm.h"
#include "imageops/ui/TRotateForm.h"
#include "imageops/ui/TShadowForm.h"
#include "imageops/ui/TSolarfaktor.h"
#include "imageops/ui/TWoelbenForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

using namespace imageops;

namespace {

// Answers a dialog of type Form: `set` chooses the values, then OK.
template <typename Form>
std::function<void(QWidget*)> answer(std::function<void(Form&)> set) {
    return [set](QWidget* w) {
        auto* form = qobject_cast<Form*>(w);
        ASSERT_NE(form, nullptr) << w->metaObject()->className();
        set(*form);
        form->OkBitBtn1->click();
    };
}

OwnedDib copyOf(const dib& d) {
    return OwnedDib(copyDib(d));
}

// The document as it was before a command.
struct Before {
    OwnedDib picture;
    OwnedDib mask;
    bool selaktiv = false;
    std::uint32_t col1 = 0, col2 = 0;
    Selection selection() const { return Selection(&mask.get(), selaktiv); }
    // The picture changed in place by `operation`.
    template <typename Operation>
    OwnedDib changed(const Operation& operation) const {
        OwnedDib result = copyOf(picture.get());
        (void)operation(result.get());
        return result;
    }
};

struct Case {
    const char* name;
    QString path;         // the menus' titles from the menu bar down
    const char* shortcut; // portable text; empty when it has none
    int bits = 24;
    bool select = false;                             // the rectangle kSelected is selected first
    std::function<void(QWidget*)> dialog;            // null: the command shows none
    std::function<OwnedDib(const Before&)> expected; // null: some change, by chance
    int steps = 1;                                   // undo steps the command leaves
};

const QRect kSelected(4, 3, 14, 9);

// A palette file of 16 colours unlike the standard ones.
bool writeSixteenColours(const QString& path) {
    LPAL sixteen{};
    sixteen.ver = kPaletteVersion;
    sixteen.num = 16;
    for (int i = 0; i < 16; ++i) {
        sixteen.pal[i] = {std::uint8_t(i * 17), std::uint8_t(255 - i * 17), std::uint8_t(i * 5), 0};
    }
    return writePaletteFile(path, sixteen);
}

// The colour table's entries as red, green, blue.
std::vector<std::uint32_t> colours(const dib& d) {
    std::vector<std::uint32_t> entries;
    for (std::uint32_t i = 0; i < DIBColorTableSize(d); ++i) {
        const PALETTEENTRY& e = d.pal.pal[i];
        entries.push_back(std::uint32_t(e.peRed) << 16 | std::uint32_t(e.peGreen) << 8 | e.peBlue);
    }
    return entries;
}

QString menuPath(const QAction* action) {
    QStringList titles;
    for (QObject* p = action->parent(); p; p = p->parent()) {
        if (auto* menu = qobject_cast<QMenu*>(p)) {
            titles.prepend(menu->title());
        }
    }
    return titles.join(QLatin1Char('/'));
}

class ImageCommands : public ::testing::Test {
protected:
    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    ImageDocument& doc() { return form.doc(); }
    QAction* command(const char* name) { return form.findChild<QAction*>(QLatin1String(name)); }

    // Runs the case through the menu item, and through the shortcut when it has one.
    void check(const Case& c) {
        QAction* action = command(c.name);
        ASSERT_NE(action, nullptr) << c.name;
        EXPECT_EQ(menuPath(action), c.path) << c.name;
        EXPECT_EQ(action->shortcut(),
                  QKeySequence(QLatin1String(c.shortcut), QKeySequence::PortableText))
            << c.name;
        for (const bool byKeys : {false, true}) {
            if (byKeys && !*c.shortcut) {
                break;
            }
            SCOPED_TRACE(std::string(c.name) + (byKeys ? " by its shortcut" : " by its menu"));
            form.NewWindow(patternPicture(24, 16, c.bits), QStringLiteral("T"));
            if (c.select) {
                doc().selectShape(kSelected.left(), kSelected.top(), kSelected.right(),
                                  kSelected.bottom(), false, SelectionMode::Replace);
            }
            // Reachable: the item and every menu above it are enabled.
            ASSERT_TRUE(action->isEnabled());
            for (QObject* p = action->parent(); p; p = p->parent()) {
                if (auto* menu = qobject_cast<QMenu*>(p)) {
                    ASSERT_TRUE(menu->menuAction()->isEnabled()) << menu->title().toStdString();
                }
            }
            const Before before{copyOf(doc().di.get()), copyOf(doc().seldib.get()), doc().selaktiv,
                                std::uint32_t(doc().col1), std::uint32_t(doc().col2)};
            if (c.dialog) {
                whenModalShows(c.dialog);
            }
            if (byKeys) {
                // A closed dialog leaves no window active here, as a window manager would.
                form.activateWindow();
                ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
                QTest::keySequence(&form, action->shortcut());
            } else {
                action->trigger();
            }
            QApplication::processEvents();
            EXPECT_EQ(doc().CanUndo, c.steps);
            EXPECT_EQ(form.ShowProzent->value(), 0);
            // The size and depth shown are those of the picture now, before any mouse move.
            EXPECT_EQ(form.statusText(1), doc().imageSummary());
            if (c.expected) {
                const OwnedDib expected = c.expected(before);
                EXPECT_EQ(DIBBitCount(doc().di.get()), DIBBitCount(expected.get()));
                EXPECT_EQ(pixelValues(doc().di.get()), pixelValues(expected.get()));
                EXPECT_EQ(colours(doc().di.get()), colours(expected.get()));
            } else {
                EXPECT_NE(pixelBytes(doc().di.get()), pixelBytes(before.picture.get()));
            }
            // Every step goes back to the picture before the command.
            for (int i = 0; i < c.steps; ++i) {
                command("Rckgngig1")->trigger();
            }
            EXPECT_EQ(pixelBytes(doc().di.get()), pixelBytes(before.picture.get()));
            EXPECT_EQ(colours(doc().di.get()), colours(before.picture.get()));
        }
    }

    TDIBMainForm form;
};

const QString kBild = QStringLiteral("B&ild");
const QString kFarben = QStringLiteral("F&arben");

TEST_F(ImageCommands, BildTransformsAndNewSizes) {
    BorderParams borders;
    CanvasParams canvas;
    ResizeParams size;
    RotateParams turn;
    turn.winkel = RotateParams::Winkel::Grad90;
    turn.rechts = true;
    const Case cases[] = {
        {"Horizontalspiegeln1",
         kBild,
         "Ctrl+I",
         24,
         false,
         {},
         [](const Before& b) { return MirrorDibH(b.picture.get()); }},
        {"Vertikalspiegeln1",
         kBild,
         "Ctrl+M",
         4,
         false,
         {},
         [](const Before& b) { return MirrorDibV(b.picture.get()); }},
        // Without a selection: the command's step and the new picture's.
        {"Rotieren1", kBild, "Ctrl+R", 8, false,
         answer<TRotateForm>([&](TRotateForm& f) { f.setParams(turn); }),
         [](const Before& b) { return RotRight(b.picture.get()); }, 2},
        {"Randhinzufgen1", kBild, "", 24, false, answer<TAddBForm>([&](TAddBForm& f) {
             f.setParams({2, 3, 4, 5});
             borders = f.params();
         }),
         [&](const Before& b) { return AddBorders(b.picture.get(), borders, b.col2); }},
        {"Rahmenvergrern1", kBild, "", 1, false, answer<TCanvasSForm>([&](TCanvasSForm& f) {
             f.BreitEdit->setValue(330);
             canvas = f.params();
         }),
         [&](const Before& b) { return NewCanvas(b.picture.get(), canvas, b.col2); }},
        {"ZurAuswahlverkleinern1",
         kBild,
         "Shift+Alt+S",
         8,
         true,
         {},
         [](const Before& b) {
             CanvasParams cut{kSelected.width(), kSelected.height(), -kSelected.left(),
                              -kSelected.top()};
             return NewCanvas(b.picture.get(), cut, 0);
         }},
        {"Grendern1", kBild, "Shift+Alt+R", 24, false, answer<TResizeForm>([&](TResizeForm& f) {
             f.setParams({50, 21, true});
             size = f.params();
         }),
         [&](const Before& b) { return Resize(b.picture.get(), size); }},
    };
    for (const Case& c : cases) {
        check(c);
    }
    EXPECT_EQ(borders.lef_, 4);
    EXPECT_EQ(canvas.Breit, 330);
    EXPECT_EQ(size.breit, 50);

    // Turning a selection is one step; cancelled dialogs leave none.
    form.NewWindow(patternPicture(24, 16, 24), QStringLiteral("T"));
    doc().selectShape(2, 2, 9, 5, false, SelectionMode::Replace);
    whenModalShows(answer<TRotateForm>([&](TRotateForm& f) { f.setParams(turn); }));
    command("Rotieren1")->trigger();
    EXPECT_EQ(doc().CanUndo, 1);
    EXPECT_EQ(doc().selrect.Right - doc().selrect.Left + 1, 4);
    for (const char* name : {"Rotieren1", "Randhinzufgen1", "Grendern1"}) {
        whenModalShows([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
        command(name)->trigger();
    }
    EXPECT_EQ(doc().CanUndo, 1);
}

TEST_F(ImageCommands, BildDeformationsEffectsAndFilters) {
    PerspParams persp;
    WoelbenParams bulge;
    ButtonParams button;
    ShadowParams shadow;
    int grenze = 0;
    MosaicParams mosaic;
    std::vector<Case> cases = {
        {"Perspektive1", kBild + QStringLiteral("/&Deformationen"), "", 24, false,
         answer<TPerspForm>([&](TPerspForm& f) {
             f.setParams({30, false, true});
             persp = f.params();
         }),
         [&](const Before& b) {
             return b.changed([&](dib& d) {
                 return Perspektive(d, b.picture.get(), persp, b.col2, b.selection());
             });
         }},
        {"Wlben1", kBild + QStringLiteral("/&Deformationen"), "", 24, true,
         answer<TWoelbenForm>([&](TWoelbenForm& f) {
             f.setParams({2.5, true, false});
             bulge = f.params();
         }),
         [&](const Before& b) {
             return b.changed(
                 [&](dib& d) { return Woelben(d, b.picture.get(), bulge, b.selection()); });
         }},
        {"Druckknopferstellen1", kBild + QStringLiteral("/E&ffekte"), "", 24, true,
         answer<TButtonForm>([&](TButtonForm& f) {
             f.setParams({3, 40, true, 0});
             f.ColorBox->setCurrentIndex(int(EffectColour::Schwarz));
             button = f.params();
         }),
         [&](const Before& b) {
             button.color = 0;
             return b.changed([&](dib& d) { return Buttonize(d, button, b.selection()); });
         }},
        // Red on a palette picture is the palette's nearest entry to red.
        {"Schattenhinzufgen1", kBild + QStringLiteral("/E&ffekte"), "", 8, true,
         answer<TShadowForm>([&](TShadowForm& f) {
             f.ColorBox->setCurrentIndex(int(EffectColour::Rot));
             shadow = f.params();
         }),
         [&](const Before& b) {
             shadow.color = grafikrw3::nearestPaletteIndex(b.picture->pal, {255, 0, 0});
             return b.changed([&](dib& d) { return DrawShadow(d, shadow, b.selection()); });
         }},
        {"Hinzufgen1", kBild + QStringLiteral("/&Störungen"), "", 24, false,
         answer<TNoiseForm>([](TNoiseForm& f) {
             f.setParams({200, 100});
         }),
         nullptr},
        // The command's step and the operation's own.
        {"Entfernen1", kBild + QStringLiteral("/&Störungen"), "", 24, false,
         answer<TDelNoiseForm>([&](TDelNoiseForm& f) {
             f.setParams({20});
             grenze = f.params().Grenze;
         }),
         [&](const Before& b) {
             return b.changed([&](dib& d) { return DelNoise(d, grenze, b.selection()); });
         },
         2},
        {"Erweitern1",
         kBild + QStringLiteral("/Spe&zial Filter"),
         "",
         24,
         true,
         {},
         [](const Before& b) {
             return b.changed([&](dib& d) { return DibDilateFilter(d, b.selection()); });
         }},
        {"Auswachen1",
         kBild + QStringLiteral("/Spe&zial Filter"),
         "",
         24,
         false,
         {},
         [](const Before& b) {
             return b.changed([&](dib& d) { return DibErodeFilter(d, b.selection()); });
         }},
        {"MosaikEffekt1", kBild + QStringLiteral("/Spe&zial Filter"), "", 24, false,
         answer<TMosaikForm>([&](TMosaikForm& f) {
             f.setParams({3, 2});
             mosaic = f.params();
         }),
         [&](const Before& b) {
             return b.changed([&](dib& d) { return MosaikEffekt(d, mosaic, b.selection()); });
         }},
    };
    for (const BuiltinFilter& filter : kBuiltinFilters) {
        const QString sub = QString::fromUtf8(filterMenuInfo(filter.menu).caption);
        cases.push_back({filter.objectName,
                         kBild + QLatin1Char('/') + sub,
                         "",
                         24,
                         true,
                         {},
                         [&filter](const Before& b) {
                             return b.changed([&](dib& d) {
                                 return runBuiltinFilter(d, filter, b.selection());
                             });
                         }});
        EXPECT_EQ(command(filter.objectName)->text(), QString::fromUtf8(filter.caption));
    }
    for (const Case& c : cases) {
        check(c);
    }
    EXPECT_EQ(persp.stark, 30);
    EXPECT_EQ(mosaic.breit, 3);
}

// The user's filters: the list dialog reads and writes its file in the program's folder; the
// chosen filter is applied with one undo step.
TEST_F(ImageCommands, BildUserFilter) {
    const QString path = userfilters::defaultFilePath();
    QFile file(path);
    const bool existed = file.exists();
    QByteArray kept;
    if (existed && file.open(QIODevice::ReadOnly)) {
        kept = file.readAll();
        file.close();
    }
    filtertype negative{};
    setFilterName(negative, QStringLiteral("Negativ"));
    negative.divisor = -1;
    negative.bias = 255;
    negative.matrix[12] = 1;
    check({"BenutzerdefinierteFilter1", kBild, "", 24, true,
           [&](QWidget* w) {
               auto* form = qobject_cast<TUserFilterForm*>(w);
               ASSERT_NE(form, nullptr);
               form->filters = {negative};
               form->FillListNew();
               form->ListBox1->setCurrentRow(0);
               form->ApplyBtn->click();
           },
           [&](const Before& b) {
               return b.changed([&](dib& d) { return DibFilter(d, negative, b.selection()); });
           }});
    if (existed) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kept);
    } else {
        QFile::remove(path);
    }
}

TEST_F(ImageCommands, FarbenAdjustmentsAndColourCommands) {
    HKParams hk;
    GammaParams gamma;
    LightParams light;
    RGBParams rgb;
    ColizeParams colize;
    PosterParams poster;
    SolarParams solar;
    const QString anpassen = kFarben + QStringLiteral("/&Anpassen");
    const Case cases[] = {
        {"HelligkeitundKontrast1", anpassen, "", 24, true, answer<THKForm>([&](THKForm& f) {
             f.setParams({30, 120, -20});
             f.VschauBitBtn4->click(); // a preview first: OK starts from the picture again
             hk = f.params();
         }),
         [&](const Before& b) {
             return b.changed(
                 [&](dib& d) { return HelligkeitKontrastSaettigung(d, hk, b.selection()); });
         }},
        {"GammaKorrektion1", anpassen, "", 8, false, answer<TGammaForm>([&](TGammaForm& f) {
             f.setParams({2.4});
             gamma = f.params();
         }),
         [&](const Before& b) { return b.changed([&](dib& d) { return Gamma(d, gamma); }); }},
        {"GlanzlichtMitteSchatten1", anpassen, "", 24, false,
         answer<TLightForm>([&](TLightForm& f) {
             f.setParams({200, 100, 30});
             light = f.params();
         }),
         [&](const Before& b) {
             return b.changed([&](dib& d) { return HighMidShadow(d, light); });
         }},
        {"RotGrnBlau1", anpassen, "", 24, false, answer<TRGBForm>([&](TRGBForm& f) {
             f.setParams({10, -20, 30});
             rgb = f.params();
         }),
         [&](const Before& b) { return b.changed([&](dib& d) { return RedGreenBlue(d, rgb); }); }},
        {"Colorieren1", kFarben, "Shift+Alt+L", 24, false, answer<TColizeForm>([&](TColizeForm& f) {
             f.setParams({60, 200});
             colize = f.params();
         }),
         [&](const Before& b) { return b.changed([&](dib& d) { return Colorize(d, colize); }); }},
        {"Graustufen1",
         kFarben,
         "",
         24,
         true,
         {},
         [](const Before& b) {
             return b.changed([&](dib& d) { return DibGrayscale(d, b.selection()); });
         }},
        {"HistogramFunktionen1",
         kFarben,
         "",
         8,
         false,
         {},
         [](const Before& b) { return b.changed([&](dib& d) { return StretchHistogramm(d); }); }},
        {"Farbenumkehren1",
         kFarben,
         "",
         1,
         false,
         {},
         [](const Before& b) { return b.changed([&](dib& d) { return DibInvert(d); }); }},
        {"Tiefebeschrnken1", kFarben, "Shift+Alt+Z", 24, false,
         answer<TPosterFaktor>([&](TPosterFaktor& f) {
             f.setParams({3});
             poster = f.params();
         }),
         [&](const Before& b) {
             return b.changed([&](dib& d) { return DibPoster(d, poster.faktor()); });
         }},
        {"Solarisieren1", kFarben, "", 24, false, answer<TSolarfaktor>([&](TSolarfaktor& f) {
             f.setParams({100});
             solar = f.params();
         }),
         [&](const Before& b) {
             return b.changed([&](dib& d) { return DibSolar(d, solar.grenzwert); });
         }},
    };
    for (const Case& c : cases) {
        check(c);
    }
    EXPECT_EQ(poster.bits, 3);
    EXPECT_EQ(colize.farbe, 60);

    // A preview dialog left with Abbrechen after a preview puts the picture back and records
    // nothing.
    form.NewWindow(patternPicture(24, 16, 8), QStringLiteral("T"));
    const auto original = pixelBytes(doc().di.get());
    whenModalShows([](QWidget* w) {
        auto* f = qobject_cast<TGammaForm*>(w);
        f->setParams({3.0});
        f->VschauBitBtn4->click();
        f->AbbrechenBitBtn2->click();
    });
    command("GammaKorrektion1")->trigger();
    EXPECT_EQ(pixelBytes(doc().di.get()), original);
    EXPECT_EQ(doc().CanUndo, 0);
}

TEST_F(ImageCommands, FarbenPaletteFilesAndColourCount) {
    QTemporaryDir dir;
    const QString palette16 = dir.filePath(QStringLiteral("sechzehn.pal"));
    ASSERT_TRUE(writeSixteenColours(palette16));
    OwnedDib eight = patternPicture(2, 2, 8);
    LPAL reversed = eight->pal;
    std::reverse(reversed.pal, reversed.pal + 256);
    const QString palette256 = dir.filePath(QStringLiteral("umgekehrt.pal"));
    ASSERT_TRUE(writePaletteFile(palette256, reversed));
    const QString saved = dir.filePath(QStringLiteral("gespeichert.pal"));

    std::unique_ptr<filedialogs::Script> files;
    std::unique_ptr<QuestionScript> questions;
    MessageCapture messages;
    const Case loadAndAdapt{
        "PaletteladenBildanpassen1", kFarben, "Shift+Alt+O", 24, false, {}, [&](const Before& b) {
            return b.changed([&](dib& d) {
                return loadpal0(d, palette16, [](const OpMessage&) { return false; }).status;
            });
        }};
    files = std::make_unique<filedialogs::Script>(QStringList{palette16, palette16});
    questions = std::make_unique<QuestionScript>(QList<UserAnswer>{UserAnswer::No, UserAnswer::No});
    check(loadAndAdapt);
    EXPECT_EQ(questions->unanswered(), 0);
    EXPECT_EQ(DIBBitCount(doc().di.get()), 24); // undone

    files.reset(); // one script at a time
    files = std::make_unique<filedialogs::Script>(QStringList{palette256});
    check({"Paletteladen1", kFarben, "", 8, false, {}, [&](const Before& b) {
               return b.changed([&](dib& d) { return loadpal(d, palette256).status; });
           }});
    files.reset(); // one script at a time
    files = std::make_unique<filedialogs::Script>(QStringList{saved});
    check({"Palettespeichern1",
           kFarben,
           "",
           8,
           false,
           {},
           [](const Before& b) { return copyOf(b.picture.get()); },
           0});
    EXPECT_EQ(readPaletteFile(saved).status, PaletteFileStatus::Ok);
    EXPECT_EQ(0, std::memcmp(readPaletteFile(saved).pal.pal, doc().di->pal.pal,
                             sizeof doc().di->pal.pal));

    // A cancelled file dialog leaves no undo step.
    files.reset(); // one script at a time
    files = std::make_unique<filedialogs::Script>(QStringList{QString()});
    command("Paletteladen1")->trigger();
    EXPECT_EQ(doc().CanUndo, 0);
    files.reset();

    const int before = int(messages.texts().size());
    check({"BenutzteFarbenzhlen1",
           kFarben,
           "",
           24,
           true,
           {},
           [](const Before& b) { return copyOf(b.picture.get()); },
           0});
    ASSERT_EQ(int(messages.texts().size()), before + 1);
    const ColourCount count = CountColors(doc().di.get(), doc().selection());
    EXPECT_EQ(messages.texts().back(), countColorsMessages(count, true).front().text);
    EXPECT_TRUE(
        messages.texts().back().endsWith(QStringLiteral("in der aktuellen Auswahl benutzt.")));
}

// The three palette commands offer palette files in their dialogs, with the extension as
// the format names it and in small letters.
TEST_F(ImageCommands, PaletteDialogsOfferPaletteFiles) {
    form.NewWindow(patternPicture(24, 16, 8), QStringLiteral("T"));
    for (const char* name : {"Paletteladen1", "PaletteladenBildanpassen1", "Palettespeichern1"}) {
        QStringList filters;
        whenModalShows([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr) << w->metaObject()->className();
            filters = dialog->nameFilters();
            dialog->reject();
        });
        command(name)->trigger();
        EXPECT_EQ(filters, QStringList{QStringLiteral("Vandrix Paletten (*.PAL *.pal)")}) << name;
    }
    EXPECT_EQ(doc().CanUndo, 0);
}

// "Palette laden + Bild anpassen": the dithering question dismissed with Abbrechen or Esc
// leaves picture, undo steps and change mark as they were; Ja converts, with one undo step.
TEST_F(ImageCommands, TheDitheringQuestionDismissedChangesNothing) {
    QTemporaryDir dir;
    const QString palette = dir.filePath(QStringLiteral("sechzehn.PAL"));
    ASSERT_TRUE(writeSixteenColours(palette));
    form.NewWindow(patternPicture(24, 16, 24), QStringLiteral("T"));
    const std::vector<std::uint8_t> original = pixelBytes(doc().di.get());
    RealMessageBoxes boxes;
    const std::function<void(QMessageBox&)> answers[] = {
        [](QMessageBox& box) { box.button(QMessageBox::Cancel)->click(); },
        [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); },
        [](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); },
    };
    for (const auto& answerBox : answers) {
        filedialogs::Script file({palette});
        QString asked;
        whenModalShows([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr) << w->metaObject()->className();
            asked = box->text();
            answerBox(*box);
        });
        command("PaletteladenBildanpassen1")->trigger();
        EXPECT_EQ(asked, loadpal0Question().text);
        if (&answerBox != &answers[2]) {
            EXPECT_EQ(DIBBitCount(doc().di.get()), 24);
            EXPECT_EQ(pixelBytes(doc().di.get()), original);
            EXPECT_EQ(doc().CanUndo, 0);
            EXPECT_FALSE(doc().changed);
        }
    }
    EXPECT_EQ(DIBBitCount(doc().di.get()), 4);
    EXPECT_EQ(doc().CanUndo, 1);
}

// Every decimal field of the editor's dialogs takes a point as well as a comma and shows the
// comma.
TEST_F(ImageCommands, DecimalFieldsTakeAPointAsWellAsAComma) {
    form.NewWindow(patternPicture(24, 16, 24), QStringLiteral("T"));
    for (const char* name : {"GammaKorrektion1", "Rotieren1", "Wlben1"}) {
        for (const QString& typed : {QStringLiteral("2.5"), QStringLiteral("2,5")}) {
            int fields = 0;
            whenModalShows([&](QWidget* dialog) {
                for (QDoubleSpinBox* field : dialog->findChildren<QDoubleSpinBox*>()) {
                    ++fields;
                    field->setFocus();
                    field->selectAll();
                    QTest::keyClicks(field, typed);
                    QTest::keyClick(field, Qt::Key_Tab);
                    EXPECT_DOUBLE_EQ(field->value(), 2.5) << field->objectName().toStdString();
                    EXPECT_TRUE(field->text().startsWith(QStringLiteral("2,5")))
                        << field->text().toStdString();
                }
                qobject_cast<QDialog*>(dialog)->reject();
            });
            command(name)->trigger();
            EXPECT_EQ(fields, 1) << name << " " << typed.toStdString();
        }
    }
    EXPECT_EQ(doc().CanUndo, 0);
}

// A rotation or a crop that runs out of memory says so in one message of its own and leaves
// the picture as it was.
TEST_F(ImageCommands, AShortageIsToldOnce) {
    MessageCapture messages;
    form.NewWindow(patternPicture(200, 100, 24), QStringLiteral("T"));
    const std::vector<std::uint8_t> original = pixelBytes(doc().di.get());
    {
        // The undo step's copy fits, the turned picture does not.
        AllocationFailure shortage(100000);
        whenModalShows(answer<TRotateForm>([](TRotateForm& f) {
            f.FreiGradCheck->click();
            f.GradEdit->setValue(45);
        }));
        command("Rotieren1")->trigger();
    }
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("Fehler: Das Bild konnte nicht gedreht werden (zu wenig "
                                         "Speicher).")});
    doc().selectShape(3, 3, 50, 40, false, SelectionMode::Replace);
    {
        AllocationFailure shortage(1);
        command("ZurAuswahlverkleinern1")->trigger();
    }
    EXPECT_EQ(messages.texts().size(), 2);
    EXPECT_EQ(messages.texts().back(),
              QStringLiteral("Fehler: Konnte Bild nicht erstellen! (Zuwenig Speicher?)"));
    EXPECT_EQ(pixelBytes(doc().di.get()), original);
    EXPECT_EQ(form.ShowProzent->value(), 0);
}

// The picture printed into a PDF file through the menu and Ctrl+P; the setup dialog changes
// nothing of the picture.
TEST_F(ImageCommands, PrintingGoesToTheChosenPrinter) {
    QTemporaryDir dir;
    int printed = 0;
    form.choosePrinter = [&](QPrinter& p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(dir.filePath(QStringLiteral("bild%1.pdf").arg(++printed)));
        return true;
    };
    check({"Drucken1", QStringLiteral("&Datei"), "Ctrl+P", 24, false,
           [&](QWidget* w) {
               auto* f = qobject_cast<TPrintForm*>(w);
               ASSERT_NE(f, nullptr);
               EXPECT_EQ(f->choice(), PrintChoice{});
               f->UserdefCheck->click();
               f->ZentrCheck->click();
               f->BreitEdit->setValue(40);
               EXPECT_EQ(f->choice().fullPage, false);
               f->OkBitBtn1->click();
           },
           [](const Before& b) { return copyOf(b.picture.get()); }, 0});
    ASSERT_EQ(printed, 2);
    for (int i = 1; i <= 2; ++i) {
        QFile pdf(dir.filePath(QStringLiteral("bild%1.pdf").arg(i)));
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
        EXPECT_TRUE(pdf.read(5) == "%PDF-");
    }
    // Cancelled: nothing printed.
    whenModalShows([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    command("Drucken1")->trigger();
    EXPECT_EQ(printed, 2);
    check({"Druckereinrichten1", QStringLiteral("&Datei"), "", 24, false,
           [](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); },
           [](const Before& b) { return copyOf(b.picture.get()); }, 0});
}

// The selection commands and undo, by their shortcuts.
TEST_F(ImageCommands, SelectionAndUndoShortcuts) {
    form.NewWindow(patternPicture(24, 16, 24), QStringLiteral("T"));
    auto keys = [this](const char* name) {
        QTest::keySequence(&form, command(name)->shortcut());
        QApplication::processEvents();
    };
    keys("Allesauswhlen1");
    EXPECT_TRUE(doc().selaktiv);
    keys("VomUntergrundlsen1");
    EXPECT_TRUE(doc().DragingNotFinished);
    keys("MitUntergrundverschmelzen1");
    EXPECT_FALSE(doc().DragingNotFinished);
    keys("Auswahlumkeheren1");
    EXPECT_FALSE(doc().selaktiv);
    keys("Rckgngig1");
    EXPECT_TRUE(doc().selaktiv);
    keys("Nichtauswhlen1");
    EXPECT_FALSE(doc().selaktiv);
    EXPECT_EQ(doc().CanUndo, 2);
}

} // namespace
