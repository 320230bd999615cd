#include "TMainForm.h"

#include "ProgramWindows.h"
#include "TNeuForm.h"
#include "TSettingsTab.h"
#include "ToolBarIcons.h"
#include "designer/ChartRecovery.h"
#include "designer/PageRenderer.h"
#include "designer/Units.h"
#include "foundation/OwnedText.h"
#include "foundation/recovery/RecoveryKeeper.h"
#include "foundation/ui/HelpMenu.h"
#include "foundation/ui/TPaintBox.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>

namespace {

constexpr int kToolPanelHeight = 33;
constexpr int kToolButtonSize = 33;
constexpr int kPalettePanelWidth = 225;
constexpr int kPaletteButtonStripHeight = 57;
constexpr int kInitialRows = 10;
constexpr int kWheelStep = 10;   // pixels per notch
constexpr int kWheelNotch = 120; // angle units of one notch
const QString kWholeTableKey = QStringLiteral("MainForm/ZeigegesamteTabelle");
constexpr int kInitialColumns = 10;

QScrollArea* makeWorkspace(QWidget* parent, const char* name) {
    auto* box = new QScrollArea(parent);
    box->setObjectName(QLatin1String(name));
    box->setBackgroundRole(QPalette::Dark);
    return box;
}

} // namespace

TMainForm::TMainForm(ProgramWindows& windows, const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), windows_(windows), arguments_(arguments) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Orvenal Tessaplan-Designer 1.0"));
    QFont controlsFont(QStringLiteral("Tahoma"));
    controlsFont.setPixelSize(11);
    setFont(controlsFont);
    setWindowIcon(toolbaricons::programIcon());

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    createToolBar();
    layout->addWidget(ToolPanel);

    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    createEditTab();
    TabSheet2 = new TSettingsTab(PageControl1);
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Bearbeiten"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Einstellungen"));
    createInstructionsTab();
    PageControl1->addTab(TabSheet3, QStringLiteral("Anleitung"));
    PageControl1->setCurrentIndex(0);
    layout->addWidget(PageControl1, 1);
    setCentralWidget(central);
    createMenus();
    helpmenu::addHelpMenu(*menuBar(), *this);

    for (QDoubleSpinBox* edit :
         {TabSheet2->BreitEd, TabSheet2->RandEd, TabSheet2->PenWidEd, TabSheet2->BreitLegendeEd}) {
        connect(edit, &QDoubleSpinBox::valueChanged, this, &TMainForm::BreitEdChange);
    }
    // The palette writes the names with the numbers' font.
    connect(TabSheet2, &TSettingsTab::fontChanged, this, &TMainForm::PaintBox2Paint);
    // The other settings show at the next paint, for instance when this tab comes back.
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 0) {
            PaintBox1Paint();
        } else if (PageControl1->widget(index) == TabSheet3) {
            refreshInstructions();
        }
    });
    watchSettings();
    doc.history.onChange = [this] { historyChanged(); };

    resize(649, 496 + menuBar()->sizeHint().height());
    centreOnScreen();
    recovery_ = std::make_unique<recovery::Keeper>(
        recovery::Store(recovery::Store::defaultFolder()),
        std::make_unique<ChartRecoverySource>(doc, [this] { return TabSheet2->settings(); }));
    FormCreate();
}

TMainForm::~TMainForm() {
    doc.history.onChange = nullptr;
}

void TMainForm::createMenus() {
    struct Entry {
        const char* caption;
        void (TMainForm::*handler)();
        QKeySequence shortcut;
        bool separatorAfter;
    };
    auto fill = [this](QMenu* menu, std::initializer_list<Entry> entries) {
        for (const Entry& e : entries) {
            QAction* action = menu->addAction(QString::fromUtf8(e.caption), this, e.handler);
            action->setShortcut(e.shortcut);
            if (e.separatorAfter) {
                menu->addSeparator();
            }
        }
    };
    const QKeySequence none;
    Datei1 = menuBar()->addMenu(QStringLiteral("Datei"));
    Neu1 = Datei1->addAction(QStringLiteral("Neu..."), this, &TMainForm::Neu1Click);
    ffnen1 = Datei1->addAction(QStringLiteral("Öffnen..."), this, &TMainForm::ffnen1Click);
    Speichern1 = Datei1->addAction(QStringLiteral("Speichern"), this, &TMainForm::Speichern1Click);
    Speichernunter1 = Datei1->addAction(QStringLiteral("Speichern unter..."), this,
                                        &TMainForm::Speichernunter1Click);
    ExportierenalsBild1 = Datei1->addAction(QStringLiteral("Exportieren als Bild..."), this,
                                            &TMainForm::ExportierenalsBild1Click);
    Anleitungexportieren1 = Datei1->addAction(QStringLiteral("Anleitung exportieren..."), this,
                                              &TMainForm::Anleitungexportieren1Click);
    BildalsFarbmusterimportieren1 =
        Datei1->addAction(QStringLiteral("Bild als Farbmuster importieren..."), this,
                          &TMainForm::BildalsFarbmusterimportieren1Click);
    Datei1->addSeparator();
    Drucken1 = Datei1->addAction(QStringLiteral("Drucken..."), this, &TMainForm::Drucken1Click);
    Druckereinrichten1 = Datei1->addAction(QStringLiteral("Drucker einrichten..."), this,
                                           &TMainForm::Druckereinrichten1Click);
    Datei1->addSeparator();
    Beenden1 = Datei1->addAction(QStringLiteral("Beenden"), this, &TMainForm::Beenden1Click);
    createEditMenu();
    Spalten1 = menuBar()->addMenu(QStringLiteral("Spalten"));
    fill(Spalten1,
         {
             {"Neue Spalte links", &TMainForm::NeueSpaltelinks1Click, none, false},
             {"Neue Spalte rechts", &TMainForm::NeueSpalterechts1Click, none, true},
             {"Markierte Spalte löschen", &TMainForm::Markierte1Click, none, false},
             {"Spalte ganz links löschen", &TMainForm::Spalteganzlinkslschen1Click, none, false},
             {"Spalte ganz rechts löschen", &TMainForm::Spalteganzrechtslschen1Click, none, true},
             {"Spalte kopieren", &TMainForm::Spaltekopieren1Click,
              QKeySequence(Qt::CTRL | Qt::Key_C), false},
             {"Spalte einfügen", &TMainForm::Spalteeinfgen1Click,
              QKeySequence(Qt::CTRL | Qt::Key_V), false},
         });
    Zeilen1 = menuBar()->addMenu(QStringLiteral("Zeilen"));
    fill(Zeilen1,
         {
             {"Neue Zeile oben", &TMainForm::NeueZeileoben1Click, none, false},
             {"Zeue Zeile unten", &TMainForm::ZeueZeileunten1Click, none, true},
             {"Markierte Zeile löschen", &TMainForm::MarkierteZeilelschen1Click, none, false},
             {"Zeile ganz oben löschen", &TMainForm::Zeileganzobenlschen1Click, none, false},
             {"Zeile ganz unten löschen", &TMainForm::Zeileganzuntenlschen1Click, none, true},
             {"Zeile kopieren", &TMainForm::Zeilekopieren1Click, QKeySequence(Qt::CTRL | Qt::Key_D),
              false},
             {"Zeile einfügen", &TMainForm::Zeileeinfgen1Click, QKeySequence(Qt::CTRL | Qt::Key_F),
              true},
             {"Zeile nach links verschieben", &TMainForm::Zeilenachlinksverschieben1Click,
              QKeySequence(Qt::CTRL | Qt::Key_L), false},
             {"Zeile nach rechts verschieben", &TMainForm::Zeilenachrechtsverschieben1Click,
              QKeySequence(Qt::CTRL | Qt::Key_R), false},
         });
    Einstellungen1 = menuBar()->addMenu(QStringLiteral("Einstellungen"));
    ZeigegesamteTabelle1 = Einstellungen1->addAction(QStringLiteral("Zeige gesamte Tabelle"));
    ZeigegesamteTabelle1->setCheckable(true);
    // The view option is the one thing of this window kept between runs.
    ZeigegesamteTabelle1->setChecked(QSettings().value(kWholeTableKey, false).toBool());
    printInstructions_ =
        QSettings().value(QStringLiteral("MainForm/AnleitungDrucken"), false).toBool();
    connect(ZeigegesamteTabelle1, &QAction::toggled, this, &TMainForm::ZeigegesamteTabelle1Click);
    Einstellungen1->addSeparator();
    Standardstichehinzufgen1 =
        Einstellungen1->addAction(QStringLiteral("Standardstiche hinzufügen"), this,
                                  &TMainForm::Standardstichehinzufgen1Click);
    createBlockCommands();
}

void TMainForm::createToolBar() {
    ToolPanel = new QWidget(this);
    ToolPanel->setObjectName(QStringLiteral("ToolPanel"));
    ToolPanel->setFixedHeight(kToolPanelHeight);

    struct ToolButtonEntry {
        QToolButton** button;
        const char* name;
        const char* hint;
        toolbaricons::Kind icon;
        int x;
        void (TMainForm::*handler)();
    };
    const ToolButtonEntry entries[] = {
        {&SpeedButton1, "SpeedButton1", "Neu...", toolbaricons::Kind::New, 0,
         &TMainForm::Neu1Click},
        {&SpeedButton2, "SpeedButton2", "Öffnen...", toolbaricons::Kind::Open, 32,
         &TMainForm::ffnen1Click},
        {&SpeedButton3, "SpeedButton3", "Speichern", toolbaricons::Kind::Save, 64,
         &TMainForm::Speichern1Click},
        {&SpeedButton4, "SpeedButton4", "Speichern unter...", toolbaricons::Kind::SaveAs, 96,
         &TMainForm::Speichernunter1Click},
        {&SpeedButton5, "SpeedButton5", "Drucken", toolbaricons::Kind::Print, 136,
         &TMainForm::Drucken1Click},
    };
    for (const ToolButtonEntry& entry : entries) {
        auto* button = new QToolButton(ToolPanel);
        button->setObjectName(QLatin1String(entry.name));
        button->setToolTip(QString::fromUtf8(entry.hint));
        button->setIcon(toolbaricons::icon(entry.icon));
        button->setIconSize(QSize(24, 24));
        button->setAutoRaise(true);
        button->setGeometry(entry.x, 0, kToolButtonSize, kToolButtonSize);
        if (entry.handler) {
            connect(button, &QToolButton::clicked, this, entry.handler);
        }
        *entry.button = button;
    }
    createHistoryButtons();
}

void TMainForm::createEditTab() {
    TabSheet1 = new QWidget(PageControl1);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));

    Splitter1 = new QSplitter(Qt::Horizontal, TabSheet1);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    ScrollBox1 = makeWorkspace(Splitter1, "ScrollBox1");
    PaintBox1 = new TPaintBox(QStringLiteral("PaintBox1"));
    PaintBox1->paint = [this](QPainter& painter, const QRect& exposed) {
        const PageSettings settings = TabSheet2->settings();
        PageRenderer renderer(doc, settings, PaintBox1->logicalDpiX(), false, PaintBox1->width());
        renderer.Drawpage(painter, exposed);
        drawChartOverlay(painter);
    };
    PaintBox1->mouseDown = [this](QMouseEvent* event) { PaintBox1MouseDown(event); };
    ScrollBox1->setWidget(PaintBox1);
    ScrollBox1->viewport()->installEventFilter(this);
    ScrollBox1->verticalScrollBar()->installEventFilter(this);

    auto* palettePanel = new QWidget(Splitter1);
    palettePanel->setObjectName(QStringLiteral("Panel1"));
    auto* paletteLayout = new QVBoxLayout(palettePanel);
    paletteLayout->setContentsMargins(0, 0, 0, 0);
    paletteLayout->setSpacing(0);
    PaletteButtons = new QWidget(palettePanel);
    PaletteButtons->setObjectName(QStringLiteral("PaletteButtons"));
    PaletteButtons->setFixedHeight(kPaletteButtonStripHeight);
    ScrollBox2 = makeWorkspace(palettePanel, "ScrollBox2");
    ScrollBox2->viewport()->installEventFilter(this);
    createPalette(PaletteButtons);
    auto* buttons = new QGridLayout(PaletteButtons);
    buttons->setContentsMargins(2, 2, 2, 2);
    buttons->setSpacing(2);
    buttons->addWidget(BitBtn1, 0, 0);
    buttons->addWidget(BitBtn2, 0, 1);
    buttons->addWidget(BitBtn3, 0, 2);
    buttons->addWidget(BitBtn4, 1, 0);
    buttons->addWidget(BitBtn5, 1, 1);
    paletteLayout->addWidget(PaletteButtons);
    paletteLayout->addWidget(ScrollBox2, 1);

    Splitter1->addWidget(ScrollBox1);
    Splitter1->addWidget(palettePanel);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({649 - kPalettePanelWidth, kPalettePanelWidth});

    auto* layout = new QVBoxLayout(TabSheet1);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter1);
}

void TMainForm::centreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TMainForm::FormCreate() {
    maincap = windowTitle();
    SetUnChanged();
    progpath = QCoreApplication::applicationDirPath();
    if (!progpath.endsWith(QLatin1Char('/'))) {
        progpath += QLatin1Char('/');
    }
    doc.cellwh = millimetresToPixels(TabSheet2->BreitEd->value(), ScrollBox1->logicalDpiX());
    LoadStiche();
    if (!doc.buildChart(kInitialRows, kInitialColumns, 0)) {
        // Not even the small initial chart fits: start with none rather than a broken one.
        doc.azeilen = 0;
        doc.aspalten = 0;
    }
}

void TMainForm::FormShow() {
    if (isfirst) {
        return;
    }
    isfirst = true;
    PaintBox1Paint();
    PaintBox2Paint();
    if (arguments_.size() > 1) {
        // The window comes first: a large project takes a while to load, and its progress
        // dialog and any message belong over the window, not alone on the screen.
        QTimer::singleShot(0, this, &TMainForm::openStartProject);
    }
}

void TMainForm::openStartProject() {
    // The window system shows the window a moment after show(); wait for that, but not long.
    constexpr int kWaitStep = 20;
    constexpr int kMaxWaits = 50;
    if (windowHandle() && !windowHandle()->isExposed() && startWaits_++ < kMaxWaits) {
        QTimer::singleShot(kWaitStep, this, &TMainForm::openStartProject);
        return;
    }
    repaint(); // now, before the load holds the event loop
    LoadProject(arguments_.at(1));
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
}

void TMainForm::NewAll() {
    TNeuForm& dialog = *windows_.NeuForm;
    dialog.ComboBox1->clear();
    for (const TStich& stich : doc.stiche) {
        dialog.ComboBox1->addItem(ownedTextToString(stich.bezeichnung));
    }
    dialog.ComboBox1->setCurrentIndex(0);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const int rows = dialog.ZeilenEd->value();
    const int columns = dialog.SpaltenEd->value();
    if (!doc.buildChart(rows, columns, dialog.ComboBox1->currentIndex())) {
        return; // the record array has reported the shortage; the old chart stays
    }
    PaintBox1Paint();
    scrollToTopLeft();
    doc.afilename.clear();
    SetUnChanged();
}

void TMainForm::SetChanged() {
    doc.SetChanged();
    showChangedState();
}

void TMainForm::SetUnChanged() {
    doc.SetUnChanged();
    showChangedState();
}

void TMainForm::showChangedState() {
    setWindowTitle(doc.captionFor(maincap));
    if (recovery_) {
        recovery_->touch();
    }
}

void TMainForm::FormMouseWheel(QWheelEvent* event) {
    // Ten pixels per notch, up or down. Turns smaller than a notch add up, so that a touchpad
    // scrolls a pixel per twelfth of a notch.
    constexpr int kTurnPerPixel = kWheelNotch / kWheelStep;
    wheelTurn_ += event->angleDelta().y();
    const int pixels = wheelTurn_ / kTurnPerPixel;
    wheelTurn_ %= kTurnPerPixel;
    QScrollBar* bar = ScrollBox1->verticalScrollBar();
    bar->setValue(bar->value() - pixels);
}

void TMainForm::wheelEvent(QWheelEvent* event) {
    // The palette scrolls itself; the chart scrolls only where it shows.
    const QWidget* under = childAt(event->position().toPoint());
    if (event->angleDelta().y() == 0 || PageControl1->currentWidget() != TabSheet1 ||
        (under && ScrollBox2->isAncestorOf(under))) {
        QMainWindow::wheelEvent(event);
        return;
    }
    FormMouseWheel(event);
    event->accept();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (!ScrollBox1 || !ScrollBox2 || !PaintBox2) {
        return QMainWindow::eventFilter(watched, event); // still being built
    }
    if ((watched == ScrollBox1->viewport() || watched == ScrollBox1->verticalScrollBar()) &&
        event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->angleDelta().y() != 0) { // sideways turns scroll sideways as usual
            FormMouseWheel(wheel);
            return true;
        }
    }
    if (watched == ScrollBox2->viewport() && event->type() == QEvent::Resize) {
        PaintBox2Paint(); // the palette is as wide as its scroll box
    }
    return QMainWindow::eventFilter(watched, event);
}
