#include "TDIBMainForm.h"

#include "ClipboardTransfer.h"
#include "ColourPanel.h"
#include "ScanControl.h"

#include "EditorIcons.h"
#include "TGradientCaption.h"
#include "foundation/recovery/RecoveryKeeper.h"
#include "foundation/ui/HelpMenu.h"
#include "foundation/ui/TPaintBox.h"
#include "image/PictureRecovery.h"
#include "image/ui/TMDIChild.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QProgressBar>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int kSpeedPanelHeight = 24;
constexpr int kSpeedBar2Height = 18;
constexpr int kStandardButtonWidth = 23;
constexpr int kStatusPanel0Width = 250;
constexpr int kStatusPanel1Width = 320;
constexpr int kInitialWidth = 640;
constexpr int kInitialHeight = 480;
const QString kPlacementKey = QStringLiteral("DIBMainForm/Placement");

QWidget* makeRegion(QWidget* parent, const char* name) {
    auto* region = new QWidget(parent);
    region->setObjectName(QLatin1String(name));
    return region;
}

} // namespace

TDIBMainForm::TDIBMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("DIBMainForm"));
    QFont controlsFont(QStringLiteral("Tahoma"));
    controlsFont.setPixelSize(11);
    setFont(controlsFont);

    createRegions();
    createMenus();
    helpmenu::addHelpMenu(*MainMenu, *this);
    setCaption(QStringLiteral("Bild bearbeiten"));
    resize(kInitialWidth, kInitialHeight);
    restorePlacement();
    FormCreate();

    // No copy while a dialog over the window shows a preview in the picture.
    auto source = std::make_unique<PictureRecoverySource>(doc(), !standalone_, [this] {
        const QWidget* modal = QApplication::activeModalWidget();
        return !modal || modal == this;
    });
    recoverySource_ = source.get();
    recovery_ = std::make_unique<recovery::Keeper>(
        recovery::Store(recovery::Store::defaultFolder()), std::move(source));
}

TDIBMainForm::~TDIBMainForm() {
    // The frame, a child, outlives this body: neither its document nor a focus or clipboard
    // change while the widgets go may call back into the window.
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(QGuiApplication::clipboard(), nullptr, this, nullptr);
    // A scan still running is stopped with its control; its reports must not arrive here.
    disconnect(scans_, nullptr, this, nullptr);
    doc().setEditorHost(nullptr);
}

void TDIBMainForm::FormCreate() {
    ProgPath = QCoreApplication::applicationDirPath();
    if (!ProgPath.endsWith(QLatin1Char('/'))) {
        ProgPath += QLatin1Char('/');
    }
    // The clipboard watcher and the change of the active window both refresh the commands.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &TDIBMainForm::ClipboardViewer1Change);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TDIBMainForm::UpdateMenuItems);
    for (int n = 1; n <= kToolCursorCount; ++n) {
        MDIChild1->registerCursor(n, toolCursor(ToolCursor(n)));
    }
    PalPaintBox->setCursor(toolCursor(ToolCursor::Drop));
    colours_->setDocument(&doc());
    createScanning();
    clipboardHasPicture_ = clipboardio::hasPicture(QGuiApplication::clipboard()->mimeData());
    UpdateMenuItems();
    NewWindow(makeWhiteImage(kStartWidth, kStartHeight), QStringLiteral("NONAME"));
}

void TDIBMainForm::createRegions() {
    auto* top = new QWidget(this);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->setSpacing(0);
    GradientCaption = new TGradientCaption(top);
    MainMenu = new QMenuBar(top);
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    topLayout->addWidget(GradientCaption);
    topLayout->addWidget(MainMenu);
    setMenuWidget(top);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientPanel"));
    auto* rows = new QVBoxLayout(central);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);

    createSpeedPanel();
    SpeedPanel->setParent(central);
    rows->addWidget(SpeedPanel);

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    createToolBar();
    SpeedBar1->setParent(central);
    middle->addWidget(SpeedBar1);

    ClientArea = makeRegion(central, "ClientArea");
    ClientArea->setBackgroundRole(QPalette::Dark);
    ClientArea->setAutoFillBackground(true);
    ClientArea->setMouseTracking(true);
    ClientArea->installEventFilter(this);
    auto* clientLayout = new QVBoxLayout(ClientArea);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    middle->addWidget(ClientArea, 1);
    embedDocument();

    Panel1 = makeRegion(central, "Panel1");
    auto* right = new QVBoxLayout(Panel1);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(2);
    Panel3 = makeRegion(Panel1, "Panel3");
    auto* optionsLayout = new QVBoxLayout(Panel3);
    optionsLayout->setContentsMargins(0, 0, 0, 0);
    createOptionTabs();
    PageControl1->setParent(Panel3);
    optionsLayout->addWidget(PageControl1);
    // The option pages place their controls by hand, so the tabs get their height from them.
    Panel3->setFixedHeight(PageControl1->tabBar()->sizeHint().height() +
                           std::max(TabSheet1->minimumHeight(), TabSheet2->minimumHeight()) + 6);
    right->addWidget(Panel3);

    // The colour panel: swatches and read-outs (Panel2) above the palette display.
    colours_ = new ColourPanel(Panel1);
    RightSidePanel = colours_;
    RightSidePanel->setObjectName(QStringLiteral("RightSidePanel"));
    Panel2 = colours_->Panel2;
    PalScrollBox = colours_->PalScrollBox;
    PalPaintBox = colours_->PalPaintBox;
    Shape1 = colours_->Shape1;
    Shape2 = colours_->Shape2;
    RedLabel = colours_->RedLabel;
    GreenLabel = colours_->GreenLabel;
    BlueLabel = colours_->BlueLabel;
    IndexLabel = colours_->IndexLabel;
    AColShape = colours_->AColShape;
    AColTimer1 = colours_->AColTimer1;
    right->addWidget(RightSidePanel, 1);
    right->addStretch(0); // takes the room when the colour panel is hidden
    Panel1->setFixedWidth(panel1Width_);
    middle->addWidget(Panel1);
    rows->addLayout(middle, 1);

    SpeedBar2 = makeRegion(central, "SpeedBar2");
    SpeedBar2->setFixedHeight(kSpeedBar2Height);
    auto* progressLayout = new QHBoxLayout(SpeedBar2);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    ShowProzent = new QProgressBar(SpeedBar2);
    ShowProzent->setObjectName(QStringLiteral("ShowProzent"));
    ShowProzent->setRange(0, 100);
    ShowProzent->setValue(0);
    ShowProzent->setTextVisible(false);
    progressLayout->addWidget(ShowProzent);
    // Shown while a scan runs: stops it.
    ScanCancelBtn = new QToolButton(SpeedBar2);
    ScanCancelBtn->setObjectName(QStringLiteral("ScanCancelBtn"));
    ScanCancelBtn->setText(QStringLiteral("Abbrechen"));
    ScanCancelBtn->setToolTip(QStringLiteral("Bricht das Scannen ab"));
    ScanCancelBtn->hide();
    progressLayout->addWidget(ScanCancelBtn);
    rows->addWidget(SpeedBar2);
    setCentralWidget(central);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    const int widths[] = {kStatusPanel0Width, kStatusPanel1Width};
    for (int i = 0; i < 2; ++i) {
        auto* panel = new QLabel(StatusBar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFixedWidth(widths[i]);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        StatusBar->addWidget(panel);
        statusPanels_[i] = panel;
    }
    setStatusBar(StatusBar);
}

void TDIBMainForm::createSpeedPanel() {
    SpeedPanel = makeRegion(this, "SpeedPanel");
    SpeedPanel->setFixedHeight(kSpeedPanelHeight);
    auto* layout = new QHBoxLayout(SpeedPanel);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(0);

    using Handler = void (TDIBMainForm::*)();
    struct ButtonEntry {
        QToolButton** button;
        const char* name;
        const char* hint;
        editoricons::Standard picture;
        Handler handler; // null: the command's operation is not there yet
        bool separatorAfter;
    };
    using editoricons::Standard;
    const ButtonEntry entries[] = {
        {&ToolButton1, "ToolButton1", "Neu...", Standard::New, &TDIBMainForm::FileNewItemClick,
         false},
        {&ToolButton2, "ToolButton2", "Öffnen...", Standard::Open, &TDIBMainForm::FileOpenItemClick,
         false},
        {&SaveSpeedBtn, "SaveSpeedBtn", "Speichern...", Standard::Save,
         &TDIBMainForm::FileSaveItemClick, true},
        {&CutSpeedBtn, "CutSpeedBtn", "Ausschneiden", Standard::Cut, &TDIBMainForm::CutItemClick,
         false},
        {&CopySpeedBtn, "CopySpeedBtn", "Kopieren", Standard::Copy, &TDIBMainForm::CopyItemClick,
         false},
        {&PasteSpeedBtn, "PasteSpeedBtn", "Einfügen", Standard::Paste,
         &TDIBMainForm::AlsAuswahl1Click, true},
        {&UndoItSpeedBtn, "UndoItSpeedBtn", "Rückgängig machen...", Standard::Undo,
         &TDIBMainForm::Rckgngig1Click, true},
        {&ToolButton8, "ToolButton8", "Zurück zum Tessaplan-Designer; Änderungen übernehmen",
         Standard::Back, &TDIBMainForm::FileExitItemClick, false},
    };
    for (const ButtonEntry& entry : entries) {
        auto* button = new QToolButton(SpeedPanel);
        button->setObjectName(QLatin1String(entry.name));
        const QString hint = QString::fromUtf8(entry.hint);
        button->setToolTip(hint);
        button->setStatusTip(hint);
        button->setIcon(editoricons::standardIcon(entry.picture));
        button->setIconSize(QSize(16, 16));
        button->setAutoRaise(true);
        button->setFixedSize(kStandardButtonWidth, kSpeedPanelHeight - 2);
        layout->addWidget(button);
        if (entry.separatorAfter) {
            layout->addSpacing(8);
        }
        if (entry.handler) {
            connect(button, &QToolButton::clicked, this, entry.handler);
        }
        registerCommand(button, entry.handler != nullptr);
        *entry.button = button;
    }
    layout->addStretch(1);
}

void TDIBMainForm::setCaption(const QString& caption) {
    setWindowTitle(caption);
    GradientCaption->setText(caption);
    noteDocumentState();
}

void TDIBMainForm::noteDocumentState() {
    if (recovery_) {
        recovery_->touch();
    }
}

// Commands and their state ------------------------------------------------------------------

void TDIBMainForm::registerCommand(QObject* target, bool wired) {
    int stateIndex = -1;
    const QByteArray name = target->objectName().toLatin1();
    for (int i = 0; i < menustate::kCommandCount; ++i) {
        if (name == menustate::commandName(menustate::Command(i))) {
            stateIndex = i;
            break;
        }
    }
    commands_.push_back({target, wired, stateIndex});
}

void TDIBMainForm::applyCommandStates() {
    for (const CommandControl& c : commands_) {
        bool on = c.wired;
        if (c.stateIndex >= 0) {
            on = on && menuEnabled_[std::size_t(c.stateIndex)];
        }
        if (auto* action = qobject_cast<QAction*>(c.target)) {
            action->setEnabled(on);
        } else if (auto* widget = qobject_cast<QWidget*>(c.target)) {
            widget->setEnabled(on);
        }
    }
}

void TDIBMainForm::ClipboardViewer1Change() {
    clipboardHasPicture_ = clipboardio::hasPicture(QGuiApplication::clipboard()->mimeData());
    UpdateMenuItems();
}

void TDIBMainForm::UpdateMenuItems() {
    menustate::Input input = documentMenuState();
    input.clipboardHasPicture = clipboardHasPicture_;
    menustate::apply(menuEnabled_, menustate::changesFor(input));
    applyCommandStates();
    noteDocumentState();
}

bool TDIBMainForm::commandEnabled(menustate::Command command) const {
    return menuEnabled_[std::size_t(command)];
}

// Status, progress, placement ---------------------------------------------------------------

void TDIBMainForm::DisplayHint(const QString& hint) {
    setStatusText(0, hint);
}

void TDIBMainForm::FormMouseMove() {
    setStatusText(1, QStringLiteral("Bild: keins"));
}

void TDIBMainForm::setStatusText(int panel, const QString& text) {
    if (panel >= 0 && panel < 2) {
        statusPanels_[panel]->setText(text);
    }
}

QString TDIBMainForm::statusText(int panel) const {
    return panel >= 0 && panel < 2 ? statusPanels_[panel]->text() : QString();
}

void TDIBMainForm::WMProgress(int percent) {
    ShowProzent->setValue(qBound(0, percent, 100));
    // Long operations keep the event loop waiting; the bar must show at once.
    if (ShowProzent->isVisible()) {
        ShowProzent->repaint();
    }
}

ProgressCallback TDIBMainForm::progress() {
    return [this](int percent) {
        WMProgress(percent);
        return true;
    };
}

void TDIBMainForm::restorePlacement() {
    const QByteArray placement = QSettings().value(kPlacementKey).toByteArray();
    if (!placement.isEmpty() && restoreGeometry(placement)) {
        return;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TDIBMainForm::storePlacement() const {
    QSettings().setValue(kPlacementKey, saveGeometry());
}

// Showing and closing -----------------------------------------------------------------------

void TDIBMainForm::ShowModal() {
    if (modalLoop_) {
        return; // already shown
    }
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    modalLoop_ = nullptr;
    setWindowModality(Qt::NonModal);
}

void TDIBMainForm::FileExitItemClick() {
    // Closing hands the picture back as it is; there is nothing to confirm.
    close();
}

void TDIBMainForm::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (event->spontaneous()) {
        return; // minimised: still open
    }
    storePlacement();
    // A picture scanned after the window closed would land in a document nobody sees.
    if (scans_ && scans_->running()) {
        scans_->cancel();
    }
    if (modalLoop_) {
        modalLoop_->quit();
    }
}

bool TDIBMainForm::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        DisplayHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool TDIBMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ClientArea && event->type() == QEvent::MouseMove) {
        FormMouseMove();
    }
    return QMainWindow::eventFilter(watched, event);
}
