// The drawing tools, their option tabs and the magnification of the image editor window.
#include "TDIBMainForm.h"

#include "EditorIcons.h"
#include "TConfigBars.h"
#include "ToolCursors.h"
#include "ZoomSteps.h"
#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/ui/FileDialogs.h"
#include "image/ImageDocument.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>

namespace {

constexpr int kToolButtonSize = 23;
constexpr int kMinLabelColumn = 55; // controls start here at least; labels fill the room before
constexpr int kFirstRowTop = 4;

struct ToolEntry {
    QToolButton* TDIBMainForm::*button;
    const char* name;
    const char* hint;
};

// Top to bottom; the order is that of Tool.
const ToolEntry kTools[kToolCount] = {
    {&TDIBMainForm::ZoomBtn, "ZoomBtn", "Vergrößern und Verkleinern"},
    {&TDIBMainForm::HandBtn, "HandBtn", "Sichtbaren Bereich verschieben"},
    {&TDIBMainForm::SelectBtn, "SelectBtn", "Auswählen"},
    {&TDIBMainForm::FreeSelBtn, "FreeSelBtn", "Frei auswählen"},
    {&TDIBMainForm::MagicBtn, "MagicBtn", "Zauberstab"},
    {&TDIBMainForm::DropBtn, "DropBtn", "Pipette"},
    {&TDIBMainForm::BrushBtn, "BrushBtn", "Stift"},
    {&TDIBMainForm::CloneBtn, "CloneBtn", "Clone-Stift: Verdoppelt Billdausschnitte"},
    {&TDIBMainForm::ReplaceBtn, "ReplaceBtn", "Ersetzt eine Farbe durch eine andere"},
    {&TDIBMainForm::RetouchBtn, "RetouchBtn",
     "Retouch-Stift: Verändert einen Bildausschnitt durch einen Effekt"},
    {&TDIBMainForm::FillBtn, "FillBtn", "Farbeimer: füllt einen Bereich aus"},
    {&TDIBMainForm::TxtBtn, "TxtBtn", "Fügt einen Text ein"},
    {&TDIBMainForm::LineBtn, "LineBtn", "Zeichnet eine Linie"},
    {&TDIBMainForm::ShapeBtn, "ShapeBtn", "Zeichnet eine Geometrisches Gebilde"},
};

// The three numbers a brush type sets: hardness, density, transparency. "Normal" sets none.
struct BrushPreset {
    int hardness, density, transparency;
};
constexpr BrushPreset kBrushPresets[] = {
    {50, 100, 0},  // Pinsel
    {0, 100, 0},   // Feder
    {90, 50, 0},   // Bleistift
    {100, 95, 0},  // Markierer
    {100, 11, 50}, // Buntstift
    {90, 33, 20},  // Kreide
    {90, 33, 0},   // Holzkohle
    {0, 90, 87},   // Spreedose
};

QLabel* makeLabel(QWidget* parent, const char* name, const char* caption) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    if (*name) {
        label->setObjectName(QLatin1String(name));
    }
    // "Clone- Modus:" and "Retouch- Modus:" break after the hyphen.
    label->setWordWrap(true);
    return label;
}

QComboBox* makeList(QWidget* parent, const char* name, std::initializer_list<const char*> texts,
                    int chosen) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    for (const char* t : texts) {
        box->addItem(QString::fromUtf8(t));
    }
    box->setCurrentIndex(chosen);
    // The box is narrow; its open list shows the entries whole.
    box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + 8);
    return box;
}

QSpinBox* makeNumber(QWidget* parent, const char* name, int minimum, int maximum, int value) {
    auto* edit = new QSpinBox(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setRange(minimum, maximum);
    edit->setValue(value);
    return edit;
}

int rowPitch(const QWidget* sample) {
    return sample->sizeHint().height() + 2;
}

} // namespace

void TDIBMainForm::createToolBar() {
    SpeedBar1 = new QWidget(this);
    SpeedBar1->setObjectName(QStringLiteral("SpeedBar1"));
    SpeedBar1->setFixedWidth(24);
    auto* layout = new QVBoxLayout(SpeedBar1);
    layout->setContentsMargins(0, 2, 1, 0);
    layout->setSpacing(0);
    toolGroup_ = new QButtonGroup(this);
    toolGroup_->setExclusive(true);
    for (int i = 0; i < kToolCount; ++i) {
        const ToolEntry& entry = kTools[i];
        auto* button = new QToolButton(SpeedBar1);
        button->setObjectName(QLatin1String(entry.name));
        const QString hint = QString::fromUtf8(entry.hint);
        button->setToolTip(hint);
        button->setStatusTip(hint);
        button->setIcon(editoricons::toolIcon(Tool(i)));
        button->setIconSize(QSize(16, 16));
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setFixedSize(kToolButtonSize, kToolButtonSize);
        layout->addWidget(button);
        toolGroup_->addButton(button, i);
        this->*entry.button = button;
        toolButtons[std::size_t(i)] = button;
    }
    layout->addStretch(1);
    ZoomBtn->setChecked(true);
    connect(toolGroup_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) {
            ZoomBtnClick();
        }
    });
}

void TDIBMainForm::layOutOptionRow(QLabel* label, QWidget* control, int row) {
    const int pitch = rowPitch(control);
    const int top = kFirstRowTop + row * pitch;
    const int height = control->sizeHint().height();
    if (label) {
        // Centred on its control; a label that breaks into two lines reaches past the row,
        // which its tools leave free.
        const int width = labelColumn_ - 3;
        const int labelHeight = std::max(label->heightForWidth(width), 1);
        label->setGeometry(2, top + (height - labelHeight) / 2, width, labelHeight);
    }
    control->setGeometry(labelColumn_ + 1, top, panel1Width_ - labelColumn_ - 8, height);
}

void TDIBMainForm::createOptionTabs() {
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new QWidget(PageControl1);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    QWidget* t = TabSheet1;

    ZoomLabel = makeLabel(t, "ZoomLabel", "Zoom:");
    ZoomBox = new QComboBox(t);
    ZoomBox->setObjectName(QStringLiteral("ZoomBox"));
    for (int i = 0; i < zoomsteps::kEntryCount; ++i) {
        ZoomBox->addItem(zoomsteps::entryText(i));
    }
    ZoomBox->setCurrentIndex(zoomsteps::kOneToOneEntry);
    ZoomBox->setMaxVisibleItems(zoomsteps::kEntryCount);
    BreitLabel = makeLabel(t, "BreitLabel", "Breite:");
    BreitEdit = makeNumber(t, "BreitEdit", 1, 100, 1);
    TypLabel = makeLabel(t, "TypLabel", "Typ:");
    TypBox = makeList(t, "TypBox", {"Rechteck", "Quadrat", "Ellipse", "Kreis"}, 0);
    StilLabel = makeLabel(t, "StilLabel", "Stil:");
    StilBox = makeList(t, "StilBox", {"Umrissen", "Gefüllt"}, 0);
    TolLabel = makeLabel(t, "TolLabel", "Toleranz:");
    TolEdit = makeNumber(t, "TolEdit", 0, 200, 25);
    CloneLabel = makeLabel(t, "CloneLabel", "Clone- Modus:");
    CloneBox = makeList(t, "CloneBox", {"Ausgerichtet", "Nicht ausgerichtet"}, 0);
    RetouchLabel = makeLabel(t, "RetouchLabel", "Retouch- Modus:");
    RetouchBox = makeList(t, "RetouchBox", {"Aufhellen", "Abdunkeln", "Verschmieren", "Mixen"}, 0);
    FstyleLabel = makeLabel(t, "FstyleLabel", "Füllstil:");
    FillStyleBox = makeList(t, "FillStyleBox",
                            {"Einheitliche Farbe", "Muster", "Lineares Gefälle",
                             "Rechteckiges Gefälle", "Sonnenrad Gefälle", "Strahliges Gefälle"},
                            0);
    DirLabel = makeLabel(t, "DirLabel", "Richtung:");
    DirectBox = makeList(t, "DirectBox",
                         {"NW-SO", "N-S", "NO-SW", "O-W", "SO-NW", "S-N", "SW-NO", "W-O"}, 0);
    LoadPattBtn = new QPushButton(QStringLiteral("Muster &laden"), t);
    LoadPattBtn->setObjectName(QStringLiteral("LoadPattBtn"));

    // The label column takes the longest word of any label ("Transparenz:").
    const QFontMetrics metrics(font());
    for (const char* word : {"Transparenz:", "Toleranz:", "Richtung:", "Retouch-", "Füllstil:"}) {
        labelColumn_ =
            std::max(labelColumn_, metrics.horizontalAdvance(QString::fromUtf8(word)) + 6);
    }
    labelColumn_ = std::max(labelColumn_, kMinLabelColumn);
    // The lists show their current entry whole.
    for (const QComboBox* list : {TypBox, StilBox, CloneBox, RetouchBox, FillStyleBox, DirectBox}) {
        panel1Width_ = std::max(panel1Width_, labelColumn_ + list->sizeHint().width() + 9);
    }
    // Several options share a place; the tool decides which one shows.
    layOutOptionRow(BreitLabel, BreitEdit, 0);
    for (auto [label, control] : {std::pair<QLabel*, QWidget*>{ZoomLabel, ZoomBox},
                                  {TypLabel, TypBox},
                                  {TolLabel, TolEdit},
                                  {CloneLabel, CloneBox},
                                  {RetouchLabel, RetouchBox}}) {
        layOutOptionRow(label, control, 1);
    }
    layOutOptionRow(FstyleLabel, FillStyleBox, 2);
    layOutOptionRow(StilLabel, StilBox, 2);
    layOutOptionRow(DirLabel, DirectBox, 3);
    const int pitch = rowPitch(ZoomBox);
    const int buttonTop = kFirstRowTop + 4 * pitch + 4;
    LoadPattBtn->setGeometry(0, buttonTop, panel1Width_ - 10, LoadPattBtn->sizeHint().height());
    TabSheet1->setMinimumSize(panel1Width_ - 6, buttonTop + LoadPattBtn->height() + 4);

    createBrushTab();
    PageControl1->addTab(TabSheet1, QStringLiteral("Optionen"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Pinselspitze"));

    connect(ZoomBox, &QComboBox::activated, this, &TDIBMainForm::ZoomBoxChange);
    connect(BrushTypBox, &QComboBox::activated, this, &TDIBMainForm::BrushTypBoxChange);
    connect(LoadPattBtn, &QPushButton::clicked, this, &TDIBMainForm::LoadPattBtnClick);
    registerCommand(ZoomBox, true);
    ZoomBtnClick();
}

void TDIBMainForm::createBrushTab() {
    TabSheet2 = new QWidget(PageControl1);
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    QWidget* t = TabSheet2;
    BrushTypBox = makeList(t, "BrushTypBox",
                           {"Normal", "Pinsel", "Feder", "Bleistift", "Markierer", "Buntstift",
                            "Kreide", "Holzkohle", "Spreedose"},
                           0);
    FormBox =
        makeList(t, "FormBox", {"Quadrat", "Kreis", "Quer1", "Quer2", "Horizontal", "Vertikal"}, 1);
    SizeEdit = makeNumber(t, "SizeEdit", 1, 200, 7);
    HardEdit = makeNumber(t, "HardEdit", 0, 100, 50);
    DensEdit = makeNumber(t, "DensEdit", 1, 100, 100);
    OpaCityEdit = makeNumber(t, "OpaCityEdit", 0, 100, 0);
    const std::pair<const char*, QWidget*> rows[] = {
        {"Typ:", BrushTypBox}, {"Form:", FormBox},    {"Größe:", SizeEdit},
        {"Härte:", HardEdit},  {"Dichte:", DensEdit}, {"Transparenz:", OpaCityEdit},
    };
    int row = 0;
    for (auto [caption, control] : rows) {
        layOutOptionRow(makeLabel(t, "", caption), control, row++);
    }
    TabSheet2->setMinimumSize(panel1Width_ - 6, kFirstRowTop + row * rowPitch(FormBox) + 4);
}

void TDIBMainForm::ZoomBtnClick() {
    QWidget* const options[] = {ZoomLabel,    ZoomBox,   BreitLabel,   BreitEdit,  TypLabel,
                                TypBox,       StilLabel, StilBox,      TolLabel,   TolEdit,
                                CloneLabel,   CloneBox,  RetouchLabel, RetouchBox, FstyleLabel,
                                FillStyleBox, DirLabel,  DirectBox,    LoadPattBtn};
    for (QWidget* w : options) {
        w->hide();
    }
    auto show = [](std::initializer_list<QWidget*> widgets) {
        for (QWidget* w : widgets) {
            w->show();
        }
    };
    bool brushTip = false;
    switch (currentTool()) {
    case Tool::Select:
        show({TypLabel, TypBox});
        break;
    case Tool::Magic:
        show({TolLabel, TolEdit});
        break;
    case Tool::Clone:
        show({CloneLabel, CloneBox});
        brushTip = true;
        break;
    case Tool::Retouch:
        show({RetouchLabel, RetouchBox});
        brushTip = true;
        break;
    case Tool::Fill:
        show({TolLabel, TolEdit, FstyleLabel, FillStyleBox, DirLabel, DirectBox, LoadPattBtn});
        break;
    case Tool::Line:
        show({BreitLabel, BreitEdit});
        break;
    case Tool::Shape:
        show({BreitLabel, BreitEdit, TypLabel, TypBox, StilLabel, StilBox});
        break;
    case Tool::Brush:
    case Tool::Replace:
        show({ZoomLabel, ZoomBox});
        brushTip = true;
        break;
    case Tool::Zoom:
    case Tool::Hand:
    case Tool::FreeSel:
    case Tool::Drop:
    case Tool::Txt:
        show({ZoomLabel, ZoomBox});
        break;
    }
    const int brushTab = PageControl1->indexOf(TabSheet2);
    PageControl1->setTabVisible(brushTab, brushTip);
    if (!brushTip) {
        PageControl1->setCurrentWidget(TabSheet1);
    }
    TabSheet1->update();
    TabSheet2->update();
}

Tool TDIBMainForm::currentTool() const {
    const int id = toolGroup_->checkedId();
    return id >= 0 && id < kToolCount ? Tool(id) : Tool::Zoom;
}

void TDIBMainForm::selectTool(Tool tool) {
    toolButtons[std::size_t(tool)]->setChecked(true);
}

void TDIBMainForm::BrushTypBoxChange(int index) {
    if (index < 1 || index > int(std::size(kBrushPresets))) {
        return; // "Normal" keeps the numbers the user set
    }
    const BrushPreset& preset = kBrushPresets[index - 1];
    HardEdit->setValue(preset.hardness);
    DensEdit->setValue(preset.density);
    OpaCityEdit->setValue(preset.transparency);
}

ToolOptions TDIBMainForm::toolOptions() const {
    ToolOptions o;
    o.tool = currentTool();
    o.breite = BreitEdit->value();
    o.typ = TypBox->currentIndex();
    o.stil = StilBox->currentIndex();
    o.toleranz = TolEdit->value();
    o.cloneModus = CloneBox->currentIndex();
    o.retouchModus = RetouchBox->currentIndex();
    o.fillStyle = FillStyleBox->currentIndex();
    o.direction = DirectBox->currentIndex();
    o.pattern = pattern ? &pattern.get() : nullptr;
    o.tip.form = FormBox->currentIndex();
    o.tip.size = SizeEdit->value();
    o.tip.hard = HardEdit->value();
    o.tip.dens = DensEdit->value();
    o.tip.opacity = OpaCityEdit->value();
    return o;
}

QCursor TDIBMainForm::toolCursor(ToolCursor kind) const {
    return toolcursors::cursor(kind, devicePixelRatioF());
}

void TDIBMainForm::LoadPattBtnClick() {
    const QString fileName = filedialogs::getOpenFileName(this, QStringLiteral("Muster laden"),
                                                          grafikrw3::GetDIBOpenFilter());
    if (fileName.isEmpty()) {
        return;
    }
    dib loaded{};
    grafikrw3::OpenDib(&loaded, fileName, 0, progress());
    WMProgress(0);
    if (!loaded.poi) {
        // The pattern loaded before stays: a wrong file should not cost the user the old one.
        FreeDIB(loaded);
        showUserMessage(MessageIcon::Error, QStringLiteral("Fehler beim Laden des Bildes!"));
        return;
    }
    pattern.reset(loaded);
}

// Magnification -----------------------------------------------------------------------------

void TDIBMainForm::SetZoom(int zin, int zout) {
    // The document sizes its view, keeps the view's centre, selects the ZoomBox entry (without
    // running ZoomBoxChange), updates the caption and then the commands.
    doc().SetZoom(zin, zout);
}

void TDIBMainForm::ZoomBoxChange(int index) {
    const zoomsteps::Zoom zoom = zoomsteps::zoomForEntry(index);
    SetZoom(zoom.zin, zoom.zout);
}

void TDIBMainForm::Toolbars1Click() {
    TConfigBars dialog(this);
    dialog.setTicks({SpeedPanel->isVisibleTo(this), SpeedBar1->isVisibleTo(this),
                     RightSidePanel->isVisibleTo(this)});
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const TConfigBars::Ticks ticks = dialog.ticks();
    SpeedPanel->setVisible(ticks[TConfigBars::Standard]);
    SpeedBar1->setVisible(ticks[TConfigBars::Drawing]);
    RightSidePanel->setVisible(ticks[TConfigBars::Colours]);
    Panel2->setVisible(ticks[TConfigBars::Colours]);
}
